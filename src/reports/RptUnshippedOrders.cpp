#include "reports/RptUnshippedOrders.h"

#include "common/GroupedNumber.h"
#include "db/DbError.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kRight = 14850;

const QString kStockedQuery =
    QStringLiteral("select * from [工單產品入庫數] where PO = ? and PID = ? ");

/// FormatGrouped of the plain text of Val(text): "1234.50" and " 1234.5" both give 1,234.5.
QString GroupedValue(const QString& text) {
  return FormatGrouped(NumberText(Val(text)));
}

}  // namespace

LayoutDefinition rpt工單未出明細_橫::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 345};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  TitleBlockSpec title{.title = "未 送 總 表",
                       .titleLeft = 6210,
                       .statusLines = false,
                       .salesperson = TitleBlockSpec::Salesperson::Absent,
                       .printDateField = "txt印表日期",
                       .printDateCaption = "印表日期：",
                       .dateCaption = "工單日期：",
                       .font = Ming(11)};
  header.controls = OverviewTitleBlock(title);
  for (ControlDef& control : header.controls) {
    if (control.name == QStringLiteral("lbl日期")) {
      control.name = QStringLiteral("Label22");  // this layout's name for the date caption
    }
    if (control.name == QLatin1String("Label1")) control.alignment = Alignment::Center;
  }
  header.controls.push_back(
      LabelDef("Label39", "頁　　次：", title.rightLeft, 540, 1260, 270, Ming(11)));
  header.controls.push_back(
      FieldDef("txt頁次", "", title.rightLeft + 1260, 540, 1020, 270, Ming(11)));
  header.controls.push_back(RuleDef("Line1", kLeft, 1170, kRight - kLeft));
  AddColumns(
      header, 1215, detail, 45,
      {
          {"Label3", "工單單號", "txtPO", "PO", 90, 1170},
          {"Label28", "日期", "txtODATE", "ODATE", 1305, 540, Alignment::Center},
          {"Label11", "客   戶", "txtSNAME", "SNAME", 1890, 990},
          {"Label35", "印  件  代  號", "txtCODE", "CODE", 2925, 1800},
          {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 4770, 3420},
          {"Label12", "工單數量", "txtQTY", "QTY", 8235, 1080, Alignment::Right},
          {"Label13", "已出數量", "txt已出數量", "已出數量", 9360, 1080, Alignment::Right},
          {"Label14", "未出數量", "txt未出數量", "未出數量", 10485, 1080, Alignment::Right},
          {"Label15", "入庫數量", "txt入庫數量", "", 11610, 1080, Alignment::Right},
          {"Label17", "目前庫存", "txtSTOCK", "STOCK", 12735, 1080, Alignment::Right},
          {"Label34", "預交日期", "Field4", "PDATE", 13860, 990, Alignment::Center, "###/##/##"},
      },
      Ming(11), 255);
  detail.controls.push_back(Hidden(FieldDef("txt種類", "種類", 0, 45, 0, 255, Ming(11))));
  detail.controls.push_back(Hidden(FieldDef("txtNAME", "NAME", 0, 45, 0, 255, Ming(11))));
  detail.controls.push_back(Hidden(FieldDef("txtCQTY", "已出數量", 0, 45, 0, 255, Ming(11))));
  detail.controls.push_back(RuleDef("Line2", kLeft, 330, kRight - kLeft));

  const auto total = [](const char* name, const char* column, int left) {
    return TotalDef(name, column, SummaryFunction::Sum, left, 60, 1080, 270, Ming(11));
  };
  footer.controls = {
      RuleDef("Line3", kLeft, 15, kRight - kLeft),
      LabelDef("Label16", "合        計：", 90, 60, 1275, 270, Ming(11)),
      FieldDef("txt筆數", "", 1365, 60, 720, 270, Ming(11), Alignment::Right),
      LabelDef("Label8", "筆", 2130, 60, 360, 270, Ming(11)),
      total("txtQTY1", "QTY", 8235),
      total("txt已出數量1", "已出數量", 9360),
      total("txt未出數量1", "未出數量", 10485),
      FieldDef("txt入庫數量1", "", 11610, 60, 1080, 270, Ming(11), Alignment::Right),
      Hidden(total("txtCQTY1", "已出數量", 12735)),
      RuleDef("Line4", kLeft, 360, kRight - kLeft),
  };

  return OverviewDesign(QStringLiteral("rpt工單未出明細_橫"), Orientation::Landscape,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rpt工單未出明細_橫::rpt工單未出明細_橫(const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(Design(), criteria, context) {}

rpt工單未出明細_橫::~rpt工單未出明細_橫() = default;

void rpt工單未出明細_橫::ActiveReport_Initialize() {
  // 未送總表 has no customer range and no amount piece.
  BindOverview(QStringLiteral("工單未出明細"), QStringLiteral(" order by PO, [NO] "), false, false);
}

void rpt工單未出明細_橫::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Landscape;
  PageSetup().SetMargins(450, 500, 400, 500);
  // One connection and one prepared query for the whole run instead of one per printed row.
  // When they cannot be had, every row shows 0, as a failing lookup does, and the report goes on.
  try {
    stockConnection_ = db::Connection::Open(context_.ConnectionString);
    stockQuery_.emplace(stockConnection_->Prepare(kStockedQuery));
  } catch (const Error& error) {
    stockQuery_.reset();
    stockConnection_.reset();
    stockOpenError_ = error.Description();
  }
}

void rpt工單未出明細_橫::ActiveReport_ReportEnd() {
  stockQuery_.reset();
  stockConnection_.reset();
}

void rpt工單未出明細_橫::GroupHeader1_Format() {
  FillTitleBlock();
  // The header repeats at the top of every page, so counting its instances numbers the pages.
  ++pages_;
  Field(QStringLiteral("txt頁次")).SetText(QString::number(pages_));
}

void rpt工單未出明細_橫::Detail_Format() {
  ReportControl& orderDate = Field(QStringLiteral("txtODATE"));
  orderDate.SetText(MonthDay(orderDate.Value()));
  for (const char* name : {"txtQTY", "txtCQTY", "txt已出數量", "txt未出數量", "txtSTOCK"}) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(GroupedValue(field.Value().ToText()));
  }
  ReportControl& kind = Field(QStringLiteral("txt種類"));
  if (kind.Value().Text() == QStringLiteral("合版")) kind.SetText(QStringLiteral("合"));
  ++rows_;
  StockedQuantityLookup(Field(QStringLiteral("txtPO")).Value().Text(),
                        Field(QStringLiteral("txtCODE")).Value().Text());
}

std::optional<double> rpt工單未出明細_橫::StockedQuantity(const QString& po,
                                                          const QString& productCode) {
  if (!stockQuery_) throw Error(stockOpenError_);
  stockQuery_->Bind(1, db::Value(po)).Bind(2, db::Value(productCode));
  const db::Recordset found = stockQuery_->Query();
  if (found.RecordCount() < 1) return std::nullopt;
  return found.Number(QStringLiteral("入庫數量"));
}

void rpt工單未出明細_橫::StockedQuantityLookup(const QString& po, const QString& productCode) {
  ReportControl& stocked = Field(QStringLiteral("txt入庫數量"));
  stocked.SetText(QStringLiteral("0"));
  try {
    if (const std::optional<double> quantity = StockedQuantity(po, productCode)) {
      stocked.SetText(FormatGrouped(NumberText(*quantity)));
      stockedSum_ += *quantity;
    }
  } catch (const Error&) {
    // Passed over: this row keeps 0 and adds nothing.
  }
}

void rpt工單未出明細_橫::GroupFooter1_Format() {
  for (const char* name : {"txtQTY1", "txtCQTY1", "txt已出數量1", "txt未出數量1"}) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(GroupedValue(field.Value().ToText()));
  }
  Field(QStringLiteral("txt入庫數量1")).SetText(FormatGrouped(NumberText(stockedSum_)));
  Field(QStringLiteral("txt筆數")).SetText(QString::number(rows_));
}

}  // namespace tarvel
