#include "reports/ReworkReport.h"

#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "criteria/ReworkStatements.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

std::vector<ControlDef> ReworkTitleBlock(const ReworkTitleSpec& spec) {
  using namespace layout;
  const FontSpec& f = spec.font;
  constexpr int kLeft = 90;
  constexpr int kRow = 900;  // the criteria line under the title
  const int right = kLeft + spec.width;
  std::vector<ControlDef> c = {
      FieldDef("txt公司名稱", "", kLeft, 0, spec.width, 420, Kai(20), Alignment::Center),
      LabelDef("Label1", spec.title, kLeft, 450, spec.width, 390, Kai(18), Alignment::Center),
  };
  const auto range = [&](const char* caption, const char* from, const char* to) {
    c.push_back(LabelDef(spec.paged ? "Label10" : "Label22", caption, kLeft, kRow, 1100, 270, f));
    c.push_back(FieldDef(from, "", kLeft + 1100, kRow, 1000, 270, f, Alignment::Left, "###/##/##"));
    c.push_back(LabelDef("Label23", "～", kLeft + 2100, kRow, 300, 270, f, Alignment::Center));
    c.push_back(FieldDef(to, "", kLeft + 2400, kRow, 1000, 270, f, Alignment::Left, "###/##/##"));
  };
  if (!spec.paged) {
    range("日期起迄：", "txt日期1", "txt日期2");
    c.push_back(LabelDef("Label25", "列表日期：", right - 2200, kRow, 1100, 270, f));
    c.push_back(FieldDef("txt列印日期", "", right - 1100, kRow, 1100, 270, f));
    return c;
  }
  c.push_back(LabelDef("Label22", "頁　　次：", right - 2200, kRow - 300, 1100, 270, f));
  c.push_back(FieldDef("txt頁次", "", right - 1100, kRow - 300, 1100, 270, f));
  range("工單日期：", "txt訂單日期_起", "txt訂單日期_末");
  c.push_back(LabelDef("Label9", "印表日期：", right - 2200, kRow, 1100, 270, f));
  c.push_back(FieldDef("txt印表日期", "", right - 1100, kRow, 1100, 270, f));
  return c;
}

ReworkReport::ReworkReport(const LayoutDesign& design, std::vector<SectionDef> bands,
                           const ReworkCriteria& criteria, const AppContext& context)
    : Report(FramedLayout(QString::fromUtf8(design.name), design.page, std::move(bands))),
      criteria_(criteria),
      context_(context),
      design_(design) {}

void ReworkReport::ActiveReport_Initialize() {
  DataControl1.ConnectionString = context_.ConnectionString + QLatin1Char(';');
  DataControl1.Source = ReworkStatement(design_.choice, criteria_);
}

void ReworkReport::ActiveReport_ReportStart() {
  PageSetup().orientation = design_.page.orientation;
  PageSetup().SetMargins(design_.page.leftMargin, design_.page.rightMargin, design_.page.topMargin,
                         design_.page.bottomMargin);
}

void ReworkReport::FillTitleBlock() {
  for (const char* name : {"txt公司名稱", "txt列印日期", "txt印表日期"}) {
    const QString control = QString::fromUtf8(name);
    if (!HasControl(control)) continue;
    Field(control).SetText(control == QStringLiteral("txt公司名稱") ? context_.CompanyName
                                                                    : RocToday());
  }
  for (const auto& [from, to] :
       {std::pair{"txt日期1", "txt日期2"}, std::pair{"txt訂單日期_起", "txt訂單日期_末"}}) {
    if (!HasControl(QString::fromUtf8(from))) continue;
    SetFormattedValue(QString::fromUtf8(from), criteria_.DateFrom);
    SetFormattedValue(QString::fromUtf8(to), criteria_.DateTo);
  }
}

void ReworkReport::WriteGrouped(std::initializer_list<const char*> fields) {
  for (const char* name : fields) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(FormatGrouped(field.Value()));
  }
}

void ReworkReport::SetFormattedValue(const QString& name, const QString& value) {
  ReportControl& field = Field(name);
  field.SetValue(db::Value(value));
  const QString& pattern = field.Design().outputFormat;
  field.SetText(pattern.isEmpty() || value.isEmpty() ? value : Format(value, pattern));
}

}  // namespace tarvel
