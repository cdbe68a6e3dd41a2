#include "reports/OverviewReport.h"

#include <string_view>

#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "criteria/Statement.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

void AddColumns(SectionDef& headings, int headingTop, SectionDef& detail, int detailTop,
                const std::vector<OverviewColumn>& columns, FontSpec font, int height) {
  for (const OverviewColumn& c : columns) {
    headings.controls.push_back(layout::LabelDef(c.heading, c.caption, c.left, headingTop, c.width,
                                                 height, font, Alignment::Center));
    headings.controls.push_back(layout::RuleDef((std::string(c.heading) + "_底線").c_str(), c.left,
                                                headingTop + height, c.width));
    if (c.field == nullptr) continue;
    ControlDef field = layout::FieldDef(c.field, c.column, c.left, detailTop, c.width, height, font,
                                        c.alignment, c.outputFormat);
    field.visible = c.fieldVisible;
    detail.controls.push_back(std::move(field));
  }
}

SectionDef OverviewFooter(const FooterSpec& spec) {
  using namespace layout;
  const FontSpec font = Ming(12);
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};
  std::vector<ControlDef>& c = footer.controls;
  c = {
      RuleDef("Line3", 90, 15, spec.ruleWidth),
      LabelDef("Label16", "合        計：", 90, 60, 1275, 270, font),
      spec.count == FooterCount::Engine
          ? TotalDef(spec.countField, "PO", SummaryFunction::Count, 1365, 60, 720, 270, font)
          : FieldDef(spec.countField, "", 1365, 60, 720, 270, font, Alignment::Right),
      LabelDef("Label8", spec.unit, 2085, 60, 360, 270, font),
  };
  for (const FooterTotal& t : spec.totals) {
    ControlDef total =
        *t.column != '\0'
            ? TotalDef(t.field, t.column, SummaryFunction::Sum, t.left, 60, t.width, 270, font)
            : FieldDef(t.field, "", t.left, 60, t.width, 270, font, Alignment::Right);
    total.visible = t.visible;
    c.push_back(std::move(total));
  }
  c.push_back(RuleDef("Line4", 90, 360, spec.ruleWidth));
  return footer;
}

std::vector<ControlDef> OverviewTitleBlock(const TitleBlockSpec& spec) {
  using namespace layout;
  const FontSpec& f = spec.font;
  const int value = spec.rightLeft + 1260;
  std::vector<ControlDef> c;
  ControlDef company = FieldDef("txt公司名稱", "", 90, 0, 7000, 420, Kai(20));
  company.visible = spec.companyVisible;
  c.push_back(company);
  ControlDef title = LabelDef("Label1", spec.title, spec.titleLeft, spec.companyVisible ? 420 : 90,
                              2600, 420, Kai(18));
  title.visible = spec.titleVisible;
  c.push_back(title);
  if (spec.statusLines) {
    c.push_back(LabelDef("Label33", "完工狀態：", spec.rightLeft, 270, 1260, 270, f));
    c.push_back(FieldDef("txt完工狀態", "", value, 270, 1020, 270, f));
    c.push_back(LabelDef("Label32", "送清狀態：", spec.rightLeft, 540, 1260, 270, f));
    c.push_back(FieldDef("txt送貨狀態", "", value, 540, 1020, 270, f));
  }
  if (spec.salesperson != TitleBlockSpec::Salesperson::Absent) {
    std::vector<ControlDef> block = {
        LabelDef("Label10", "業  務  員：", 90, 540, 1260, 270, f),
        LabelDef("Label26", "[", 1350, 540, 150, 270, f),
        FieldDef("txtEMPNO", "EMPNO", 1500, 540, 800, 270, f),
        LabelDef("Label27", "]", 2300, 540, 150, 270, f),
        FieldDef(spec.salesNameField, "NAME", 2450, 540, 1500, 270, f),
    };
    for (ControlDef& control : block) {
      control.visible = spec.salesperson == TitleBlockSpec::Salesperson::Shown;
      c.push_back(control);
    }
  }
  c.push_back(LabelDef("lbl日期", spec.dateCaption, 90, 810, 1260, 270, f));
  c.push_back(FieldDef("txt日期1", "", 1350, 810, 1100, 270, f, Alignment::Left, "###/##/##"));
  c.push_back(LabelDef("Label23", "～", 2355, 810, 280, 270, f));
  c.push_back(FieldDef("txt日期2", "", 2640, 810, 1100, 270, f, Alignment::Left, "###/##/##"));
  c.push_back(LabelDef("Label25", spec.printDateCaption, spec.rightLeft, 810, 1260, 270, f));
  c.push_back(FieldDef(spec.printDateField, "", value, 810, 1020, 270, f));
  return c;
}

ListBands OverviewList(const ListDesign& design, std::vector<ControlDef> titleBlock,
                       const std::vector<OverviewColumn>& columns) {
  ListBands bands{
      .header = {.kind = SectionKind::GroupHeader1,
                 .height = design.headerHeight,
                 .repeatOnEveryPage = true},
      .detail = {.kind = SectionKind::Detail, .height = design.detailHeight},
  };
  if (design.listing == Listing::PerSalesperson) {
    bands.header.groupKey = QStringLiteral("EMPNO");
    bands.header.newPage = NewPage::Before;
  }
  bands.header.controls = std::move(titleBlock);
  bands.header.controls.push_back(layout::RuleDef("Line1", 90, 1170, design.ruleWidth));
  AddColumns(bands.header, 1215, bands.detail, design.detailTop, columns, design.font,
             design.lineHeight);
  bands.detail.controls.push_back(
      layout::RuleDef("Line2", 90, design.detailHeight - 15, design.ruleWidth));
  return bands;
}

void DropSalespersonColumn(std::vector<OverviewColumn>& columns) {
  std::erase_if(columns,
                [](const OverviewColumn& c) { return std::string_view(c.column) == "NAME"; });
}

const OverviewColumn& ColumnOf(const std::vector<OverviewColumn>& columns, const char* field) {
  for (const OverviewColumn& c : columns)
    if (c.field != nullptr && std::string_view(c.field) == field) return c;
  throw Error(QStringLiteral("版面沒有欄位 %1").arg(QString::fromUtf8(field)));
}

int FlowColumns(std::vector<OverviewColumn>& columns, int left, int gap) {
  for (OverviewColumn& c : columns) {
    c.left = left;
    left += c.width + gap;
  }
  return left - gap;
}

namespace columns {
OverviewColumn WorkOrderNo(int left, int width) {
  return {"Label3", "工單單號", "txtPO", "PO", left, width};
}
OverviewColumn OrderDate(int left, int width) {
  return {"Label28", "日期", "txtODATE", "ODATE", left, width, Alignment::Center};
}
OverviewColumn Customer(int left, int width) {
  return {"Label11", "客      戶", "txtSNAME", "SNAME", left, width};
}
OverviewColumn ItemCode(int left, int width) {
  return {"Label35", "印  件  代  號", "txtCODE", "CODE", left, width};
}
OverviewColumn ItemName(int left, int width) {
  return {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", left, width};
}
OverviewColumn Quantity(int left, int width) {
  return {"Label12", "數    量", "txtQTY", "QTY", left, width, Alignment::Right};
}
OverviewColumn Price(int left, int width) {
  return {"Label29", "單    價", "txtPRICE", "PRICE", left, width, Alignment::Right};
}
OverviewColumn Amount(int left, int width) {
  return {"Label15", "金     額", "txtAMT", "AMT", left, width, Alignment::Right};
}
OverviewColumn Salesperson(int left, int width) {
  return {"Label19", "業務員", "txtNAME", "NAME", left, width};
}
OverviewColumn PromisedDate(int left, int width) {
  return {"Label34", "預交日", "Field4", "PDATE", left, width, Alignment::Center, "###/##/##"};
}
OverviewColumn Finished(int left, int width) {
  return {"Label21", "完工", "txtFDATE", "FDATE", left, width, Alignment::Center};
}
OverviewColumn Days(int left, int width) {
  return {"Label30", "天數", "txt天數", "", left, width, Alignment::Right};
}
OverviewColumn Kind(int left, int width) {
  return {"Label31", "單　別", "Field3", "KIND", left, width};
}
}  // namespace columns

OverviewReport::OverviewReport(const LayoutDesign& design, std::vector<SectionDef> bands,
                               const WorkOrderCriteria& criteria, const AppContext& context)
    : Report(FramedLayout(QString::fromUtf8(design.name), design.page, std::move(bands))),
      criteria_(criteria),
      context_(context),
      design_(design) {}

void OverviewReport::ActiveReport_Initialize() {
  DataControl1.ConnectionString = context_.ConnectionString + QLatin1Char(';');
  DataControl1.Source = ComposeStatement(design_.statement, criteria_, context_);
  // Only the overview rule has a date basis; the other rules select on the order date.
  if (design_.statement.where == WhereRule::Overview && criteria_.DateBasis == DateBasis::Invoice &&
      HasControl(QStringLiteral("txtODATE")))
    Field(QStringLiteral("txtODATE")).SetDataField(QStringLiteral("發票日期"));
}

namespace {
void SetIfPresent(Report& report, const char* name, const QString& text) {
  const QString control = QString::fromUtf8(name);
  if (report.HasControl(control)) report.Control(control).SetText(text);
}
}  // namespace

void OverviewReport::FillTitleDates() {
  SetIfPresent(*this, "txt公司名稱", context_.CompanyName);
  SetIfPresent(*this, "txt列印日期", RocToday());
  SetIfPresent(*this, "txt印表日期", RocToday());
  if (HasControl(QStringLiteral("txt日期1"))) SetFormattedValue("txt日期1", criteria_.DateFrom);
  if (HasControl(QStringLiteral("txt日期2"))) SetFormattedValue("txt日期2", criteria_.DateTo);
}

void OverviewReport::FillTitleBlock() {
  const auto set = [this](const char* name, const QString& text) {
    SetIfPresent(*this, name, text);
  };
  FillTitleDates();
  set("lbl日期", criteria_.DateBasis == DateBasis::Invoice  ? QStringLiteral("發票日期：")
                 : criteria_.DateBasis == DateBasis::Finish ? QStringLiteral("完工日期：")
                                                            : QStringLiteral("工單日期："));
  set("txt送貨狀態", criteria_.DeliveryFilter == DeliveryFilter::Cleared ? QStringLiteral("已送清")
                     : criteria_.DeliveryFilter == DeliveryFilter::NotCleared
                         ? QStringLiteral("未送清")
                         : QStringLiteral("全    部"));
  set("txt完工狀態",
      criteria_.CompletionFilter == CompletionFilter::Finished     ? QStringLiteral("已完工")
      : criteria_.CompletionFilter == CompletionFilter::Unfinished ? QStringLiteral("未完工")
                                                                   : QStringLiteral("全    部"));
}

QString OverviewReport::FinishedFlag(const db::Value& finishDate) {
  return finishDate.Text().isEmpty() ? QStringLiteral("N") : QStringLiteral("Y");
}

QString OverviewReport::DayCount(const db::Value& orderDate, const db::Value& finishDate) {
  const auto days = WorkOrderDayCount(orderDate.ToText(), finishDate.ToText());
  return days ? QString::number(*days) : QString();
}

QString OverviewReport::MonthDay(const db::Value& date) {
  return Format(date.ToText().right(4), QStringLiteral("00/00"));
}

void OverviewReport::WriteWorkOrderDates(WorkOrderDates dates) {
  ReportControl& finished = Field(QStringLiteral("txtFDATE"));
  const db::Value finishDate = finished.Value();
  finished.SetText(FinishedFlag(finishDate));
  ReportControl& orderDate = Field(QStringLiteral("txtODATE"));
  if (dates.dayCount)
    Field(QStringLiteral("txt天數")).SetText(DayCount(orderDate.Value(), finishDate));
  if (dates.monthDay) orderDate.SetText(MonthDay(orderDate.Value()));
}

void OverviewReport::WriteGrouped(std::initializer_list<const char*> fields) {
  for (const char* name : fields) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(FormatGrouped(field.Value()));
  }
}

void OverviewReport::WriteGroupedValues(std::initializer_list<const char*> fields) {
  for (const char* name : fields) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(FormatGroupedNumber(Val(field.Value().ToText())));
  }
}

void OverviewReport::SetFormattedValue(const char* name, const QString& value) {
  ReportControl& field = Field(QString::fromUtf8(name));
  field.SetValue(db::Value(value));
  const QString& pattern = field.Design().outputFormat;
  field.SetText(pattern.isEmpty() || value.isEmpty() ? value : Format(value, pattern));
}

}  // namespace tarvel
