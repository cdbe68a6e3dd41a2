#include "reports/RptTarvel9.h"

#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "overview/criteria/WhereClauses.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kLeft = 90;
constexpr int kRight = 14850;
}  // namespace

LayoutDefinition rptTarvel9::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 315};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  header.controls = OverviewTitleBlock({.titleVisible = false,
                                        .companyVisible = true,
                                        .statusLines = false,
                                        .salesperson = TitleBlockSpec::Salesperson::Absent,
                                        .dateCaption = "工單日期："});
  for (ControlDef& control : header.controls) {
    if (control.name == QStringLiteral("txt公司名稱")) {
      // Without a title the company name heads the page, centred over the columns.
      control.left = kLeft;
      control.width = kRight - kLeft;
      control.top = 90;
      control.alignment = Alignment::Center;
    }
  }
  header.controls.push_back(RuleDef("Line1", kLeft, 1170, kRight - kLeft));
  // 正/反 (色數正, 色數反) and 印刷尺寸 (開數1) stay hidden, and so do their headings.
  AddColumns(header, 1215, detail, 30,
             {
                 {"Label3", "工單單號", "txtPO", "PO", 90, 1080},
                 {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 1215, 2880},
                 {"Label4", "紙      別", "txtITEM", "ITEM", 4140, 1800},
                 {"Label5", "規    格", "txtSPEC", "SPEC", 5985, 1080},
                 {"Label6", "總    數", "txt總數", "", 7110, 1260, Alignment::Right},
                 {"Label7", "總耗時", "txt耗時", "耗時", 8415, 900, Alignment::Right},
                 {"Label9", "生產量", "txt生產量", "生產量", 9360, 900, Alignment::Right},
                 {"Label11", "工單實數", "txtQTY1", "QTY1", 10305, 1080, Alignment::Right},
                 {"Label12", "工單放數", "txtQTY2", "QTY2", 11430, 990, Alignment::Right},
                 {"Label13", "估價成本", "txtOAMT", "OAMT", 12465, 1170, Alignment::Right},
                 {"Label14", "估價報價", "txtAMT", "AMT", 13680, 1170, Alignment::Right},
             },
             Ming(10), 255);
  for (const char* column : {"色數正", "色數反", "開數1", "QTY", "FREE"}) {
    const std::string name = std::string("txt") + column;
    detail.controls.push_back(Hidden(FieldDef(name.c_str(), column, 0, 30, 0, 255, Ming(10))));
  }
  detail.controls.push_back(RuleDef("Line2", kLeft, 300, kRight - kLeft));

  footer.controls = {
      RuleDef("Line3", kLeft, 15, kRight - kLeft),
      LabelDef("Label16", "合        計：", kLeft, 60, 1275, 255, Ming(10)),
      TotalDef("Field1", "PO", SummaryFunction::Count, 1365, 60, 720, 255, Ming(10)),
      LabelDef("Label8", "筆", 2130, 60, 360, 255, Ming(10)),
      RuleDef("Line4", kLeft, 360, kRight - kLeft),
  };

  return OverviewDesign(QStringLiteral("rptTarvel9"), Orientation::Landscape,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rptTarvel9::rptTarvel9(const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(Design(), criteria, context) {}

void rptTarvel9::ActiveReport_Initialize() {
  Bind(QStringLiteral("select * ") + "from [工單生產報表] " + ProductionWhere(criteria_, context_) +
       "order by PO, [NO] ");
}

void rptTarvel9::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Landscape;
  PageSetup().SetMargins(400, 500, 400, 400);
}

void rptTarvel9::GroupHeader1_Format() {
  // Only company, print date and date range: 表5 reads no other criterion.
  FillTitleDates();
}

void rptTarvel9::Detail_Format() {
  // QTY is the paper in reams, FREE the sheets beyond them.
  const double sheets = Val(Field(QStringLiteral("txtQTY")).Value().ToText()) * kSheetsPerReam +
                        Val(Field(QStringLiteral("txtFREE")).Value().ToText());
  Field(QStringLiteral("txt總數")).SetText(FormatReamSheet(sheets, QStringLiteral("Y")));
  for (const char* name : {"txtOAMT", "txtAMT"}) {
    ReportControl& field = Field(QString::fromUtf8(name));
    field.SetText(FormatGrouped(NumberText(Val(field.Value().ToText()))));
  }
}

}  // namespace tarvel
