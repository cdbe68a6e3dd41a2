#include "reports/RptTarvel10.h"

#include "overview/criteria/WhereClauses.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10845 - 90;  // portrait A4 inside the margins
}

LayoutDefinition rptTarvel10::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1590, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 375};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  // The selection is by order date only, so the caption stays 工單日期： and no delivery or
  // completion texts are printed.
  header.controls = OverviewTitleBlock({.title = "補版明細表",
                                        .titleLeft = 4570,
                                        .companyVisible = true,
                                        .rightLeft = 8565,
                                        .statusLines = false,
                                        .dateCaption = "工單日期："});
  header.controls.push_back(RuleDef("Line1", 90, 1170, kFullWidth));
  AddColumns(header, 1215, detail, 45,
             {
                 {"Label3", "工單單號", "txtPO", "PO", 90, 1200},
                 {"Label28", "日期", "txtODATE", "ODATE", 1335, 660, Alignment::Center},
                 {"Label11", "客      戶", "txtSNAME", "SNAME", 2040, 1320},
                 {"Label2", "印　件　名　稱", "txtDESC", "DESC", 3405, 3120},
                 {"Label12", "數    量", "txtQTY", "QTY", 6570, 1080, Alignment::Right},
                 {"Label19", "業務員", "txtNAME", "NAME", 7695, 1080, Alignment::Center},
                 {"Label21", "完工", "txtFDATE", "FDATE", 8820, 600, Alignment::Center},
                 {"Label31", "單　別", "Field3", "KIND", 9465, 1380},
             },
             Ming(12), 285);
  detail.controls.push_back(RuleDef("Line2", 90, 360, kFullWidth));

  footer.controls =
      OverviewFooter(kFullWidth, "Field1", true, {{"txt數量合計", "QTY", 6105, 1545}});

  return OverviewDesign(QStringLiteral("rptTarvel10"), Orientation::Portrait,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rptTarvel10::rptTarvel10(const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(Design(), criteria, context) {}

void rptTarvel10::ActiveReport_Initialize() {
  Bind(QStringLiteral("select * ") + "from [歷史工單明細] " + PlateRedoWhere(criteria_, context_) +
       "order by PO ");
}

void rptTarvel10::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Portrait;
  PageSetup().SetMargins(450, 500, 400, 400);
}

void rptTarvel10::GroupHeader1_Format() {
  FillTitleDates();
}

void rptTarvel10::Detail_Format() {
  WriteWorkOrderDates(nullptr);
  WriteGrouped({"txtQTY"});
}

void rptTarvel10::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計"});
}

}  // namespace tarvel
