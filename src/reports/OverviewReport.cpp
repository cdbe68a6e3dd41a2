#include "reports/OverviewReport.h"

#include <string_view>

#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "overview/criteria/WhereClauses.h"
#include "platform/Conversions.h"
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

std::vector<ControlDef> OverviewFooter(int ruleWidth, const char* countField, bool engineCount,
                                       const std::vector<FooterTotal>& totals, FontSpec font) {
  using namespace layout;
  std::vector<ControlDef> c = {
      RuleDef("Line3", 90, 15, ruleWidth),
      LabelDef("Label16", "合        計：", 90, 60, 1275, 270, font),
      engineCount ? TotalDef(countField, "PO", SummaryFunction::Count, 1365, 60, 720, 270, font)
                  : FieldDef(countField, "", 1365, 60, 720, 270, font, Alignment::Right),
      LabelDef("Label8", "件", 2085, 60, 360, 270, font),
  };
  for (const FooterTotal& t : totals) {
    ControlDef total =
        *t.column != '\0'
            ? TotalDef(t.field, t.column, SummaryFunction::Sum, t.left, 60, t.width, 270, font)
            : FieldDef(t.field, "", t.left, 60, t.width, 270, font, Alignment::Right);
    total.visible = t.visible;
    c.push_back(std::move(total));
  }
  c.push_back(RuleDef("Line4", 90, 360, ruleWidth));
  return c;
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

void GroupBySalesperson(SectionDef& header) {
  header.groupKey = QStringLiteral("EMPNO");
  header.newPage = NewPage::Before;
}

void DropSalespersonColumn(std::vector<OverviewColumn>& columns) {
  std::erase_if(columns,
                [](const OverviewColumn& c) { return std::string_view(c.column) == "NAME"; });
}

LayoutDefinition OverviewDesign(const QString& name, Orientation orientation,
                                std::vector<SectionDef> bands) {
  LayoutDefinition design{.name = name};
  design.page.orientation = orientation;
  design.sections.push_back(SectionDef{.kind = SectionKind::PageHeader});
  for (SectionDef& band : bands)
    design.sections.push_back(std::move(band));
  design.sections.push_back(SectionDef{.kind = SectionKind::PageFooter});
  return design;
}

OverviewReport::OverviewReport(LayoutDefinition layout, const WorkOrderCriteria& criteria,
                               const AppContext& context)
    : Report(std::move(layout)), criteria_(criteria), context_(context) {}

void OverviewReport::Bind(const QString& statement) {
  DataControl1.ConnectionString = context_.ConnectionString + QLatin1Char(';');
  DataControl1.Source = statement;
}

void OverviewReport::BindOverview(const QString& table, const QString& orderBy,
                                  bool withCustomerRange, bool withPositiveAmount) {
  Bind(QStringLiteral("select * ") + "from [" + table + "] " +
       OverviewWhere(criteria_, context_, withCustomerRange, withPositiveAmount) + orderBy);
  if (criteria_.DateBasis == 1 && HasControl(QStringLiteral("txtODATE")))
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
  set("lbl日期", criteria_.DateBasis == 1   ? QStringLiteral("發票日期：")
                 : criteria_.DateBasis == 2 ? QStringLiteral("完工日期：")
                                            : QStringLiteral("工單日期："));
  set("txt送貨狀態", criteria_.DeliveryFilter == 1   ? QStringLiteral("已送清")
                     : criteria_.DeliveryFilter == 2 ? QStringLiteral("未送清")
                                                     : QStringLiteral("全    部"));
  set("txt完工狀態", criteria_.CompletionFilter == QLatin1String("1") ? QStringLiteral("已完工")
                     : criteria_.CompletionFilter == QLatin1String("2")
                         ? QStringLiteral("未完工")
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

void OverviewReport::WriteWorkOrderDates(const char* dayCountField) {
  ReportControl& finished = Field(QStringLiteral("txtFDATE"));
  const db::Value finishDate = finished.Value();
  finished.SetText(FinishedFlag(finishDate));
  ReportControl& orderDate = Field(QStringLiteral("txtODATE"));
  if (dayCountField != nullptr)
    Field(QString::fromUtf8(dayCountField)).SetText(DayCount(orderDate.Value(), finishDate));
  orderDate.SetText(MonthDay(orderDate.Value()));
}

void OverviewReport::WriteGrouped(std::initializer_list<const char*> fields) {
  for (const char* name : fields) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(FormatGrouped(field.Value().ToText()));
  }
}

void OverviewReport::SetFormattedValue(const char* name, const QString& value) {
  ReportControl& field = Field(QString::fromUtf8(name));
  field.SetValue(db::Value(value));
  const QString& pattern = field.Design().outputFormat;
  field.SetText(pattern.isEmpty() || value.isEmpty() ? value : Format(value, pattern));
}

}  // namespace tarvel
