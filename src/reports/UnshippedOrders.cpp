#include "reports/UnshippedOrders.h"

#include "common/GroupedNumber.h"
#include "db/DbError.h"
#include "platform/Conversions.h"
#include "platform/UserInterface.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kRight = 14850;

const QString kStockedQuery =
    QStringLiteral("select * from [工單產品入庫數] where PO = ? and PID = ? ");

}  // namespace

std::vector<SectionDef> UnshippedOrders::Bands() {
  using namespace columns;
  TitleBlockSpec title{.title = "未 送 總 表",
                       .titleLeft = 6210,
                       .statusLines = false,
                       .salesperson = TitleBlockSpec::Salesperson::Absent,
                       .printDateField = "txt印表日期",
                       .printDateCaption = "印表日期：",
                       .dateCaption = "工單日期：",
                       .font = Ming(11)};
  std::vector<ControlDef> titleBlock = OverviewTitleBlock(title);
  for (ControlDef& control : titleBlock) {
    if (control.name == QStringLiteral("lbl日期")) {
      control.name = QStringLiteral("Label22");  // this layout's name for the date caption
    }
    if (control.name == QLatin1String("Label1")) control.alignment = Alignment::Center;
  }
  titleBlock.push_back(
      LabelDef("Label39", "頁　　次：", title.rightLeft, 540, 1260, 270, Ming(11)));
  titleBlock.push_back(FieldDef("txt頁次", "", title.rightLeft + 1260, 540, 1020, 270, Ming(11)));

  ListBands list = OverviewList(
      {.ruleWidth = kRight - kLeft}, std::move(titleBlock),
      {
          WorkOrderNo(90, 1170),
          OrderDate(1305, 540),
          Customer(1890, 990).Titled("客   戶"),
          ItemCode(2925, 1800),
          ItemName(4770, 3420),
          Quantity(8235, 1080).Titled("工單數量"),
          {"Label13", "已出數量", "txt已出數量", "已出數量", 9360, 1080, Alignment::Right},
          {"Label14", "未出數量", "txt未出數量", "未出數量", 10485, 1080, Alignment::Right},
          {"Label15", "入庫數量", "txt入庫數量", "", 11610, 1080, Alignment::Right},
          {"Label17", "目前庫存", "txtSTOCK", "STOCK", 12735, 1080, Alignment::Right},
          PromisedDate(13860, 990).Titled("預交日期"),
      });
  list.detail.controls.push_back(Hidden(FieldDef("txt種類", "種類", 0, 45, 0, 255, Ming(11))));
  list.detail.controls.push_back(Hidden(FieldDef("txtNAME", "NAME", 0, 45, 0, 255, Ming(11))));
  list.detail.controls.push_back(Hidden(FieldDef("txtCQTY", "已出數量", 0, 45, 0, 255, Ming(11))));

  return {std::move(list.header), std::move(list.detail),
          OverviewFooter({.ruleWidth = kRight - kLeft,
                          .countField = "txt筆數",
                          .count = FooterCount::Layout,
                          .unit = "筆",
                          .totals = {
                              {"txtQTY1", "QTY", 8235, 1080},
                              {"txt已出數量1", "已出數量", 9360, 1080},
                              {"txt未出數量1", "未出數量", 10485, 1080},
                              {"txt入庫數量1", "", 11610, 1080},
                              {"txtCQTY1", "已出數量", 12735, 1080, false},
                          }})};
}

UnshippedOrders::UnshippedOrders(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                 const AppContext& context)
    : OverviewReport(design, Bands(), criteria, context) {}

UnshippedOrders::~UnshippedOrders() = default;

void UnshippedOrders::ActiveReport_ReportStart() {
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

void UnshippedOrders::ActiveReport_ReportEnd() {
  stockQuery_.reset();
  stockConnection_.reset();
  if (failedLookups_ > 0) {
    ShowMessage(QStringLiteral("有 %1 筆工單的入庫數量無法查詢，以 0 列印。\n%2")
                    .arg(failedLookups_)
                    .arg(lookupFailure_),
                kExclamation, QStringLiteral("查詢入庫數量錯誤"));
  }
}

void UnshippedOrders::GroupHeader1_Format() {
  FillTitleBlock();
  // The header repeats at the top of every page, so counting its instances numbers the pages.
  ++pages_;
  Field(QStringLiteral("txt頁次")).SetText(QString::number(pages_));
}

void UnshippedOrders::Detail_Format() {
  ReportControl& orderDate = Field(QStringLiteral("txtODATE"));
  orderDate.SetText(MonthDay(orderDate.Value()));
  WriteGroupedValues({"txtQTY", "txtCQTY", "txt已出數量", "txt未出數量", "txtSTOCK"});
  ReportControl& kind = Field(QStringLiteral("txt種類"));
  if (kind.Value().Text() == QStringLiteral("合版")) kind.SetText(QStringLiteral("合"));
  ++rows_;
  StockedQuantityLookup(Field(QStringLiteral("txtPO")).Value().Text(),
                        Field(QStringLiteral("txtCODE")).Value().Text());
}

std::optional<double> UnshippedOrders::StockedQuantity(const QString& po,
                                                       const QString& productCode) {
  if (!stockQuery_) throw Error(stockOpenError_);
  stockQuery_->Bind(1, db::Value(po)).Bind(2, db::Value(productCode));
  const db::Recordset found = stockQuery_->Query();
  if (found.RecordCount() < 1) return std::nullopt;
  return found.Number(QStringLiteral("入庫數量"));
}

void UnshippedOrders::StockedQuantityLookup(const QString& po, const QString& productCode) {
  ReportControl& stocked = Field(QStringLiteral("txt入庫數量"));
  stocked.SetText(QStringLiteral("0"));
  try {
    if (const std::optional<double> quantity = StockedQuantity(po, productCode)) {
      stocked.SetText(FormatGroupedNumber(*quantity));
      stockedSum_ += *quantity;
    }
  } catch (const Error& error) {
    // This row keeps 0 and adds nothing; the failure is reported once at the end of the run.
    if (failedLookups_++ == 0) lookupFailure_ = error.Description();
  }
}

void UnshippedOrders::GroupFooter1_Format() {
  WriteGroupedValues({"txtQTY1", "txtCQTY1", "txt已出數量1", "txt未出數量1"});
  Field(QStringLiteral("txt入庫數量1")).SetText(FormatGroupedNumber(stockedSum_));
  Field(QStringLiteral("txt筆數")).SetText(QString::number(rows_));
}

std::unique_ptr<Report> NewUnshippedOrders(const LayoutDesign& design,
                                           const RequestCriteria& request) {
  return std::make_unique<UnshippedOrders>(design, request.Overview(), request.context);
}

}  // namespace tarvel
