#include "reports/OverviewReport.h"

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
    detail.controls.push_back(layout::FieldDef(c.field, c.column, c.left, detailTop, c.width,
                                               height, font, c.alignment, c.outputFormat));
  }
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

void OverviewReport::FillTitleBlock() {
  const auto set = [this](const char* name, const QString& text) {
    const QString control = QString::fromUtf8(name);
    if (HasControl(control)) Control(control).SetText(text);
  };
  set("txt公司名稱", context_.CompanyName);
  set("txt列印日期", RocToday());
  set("txt印表日期", RocToday());
  if (HasControl(QStringLiteral("txt日期1"))) SetFormattedValue("txt日期1", criteria_.DateFrom);
  if (HasControl(QStringLiteral("txt日期2"))) SetFormattedValue("txt日期2", criteria_.DateTo);
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
