#include "reports/RptTarvel7.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10890 - 90;  // portrait A4 inside the margins
}

LayoutDefinition rptTarvel7::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1545, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 330};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  header.controls =
      OverviewTitleBlock({.titleLeft = 4590, .companyVisible = true, .rightLeft = 8610});
  header.controls.push_back(RuleDef("Line1", 90, 1170, kFullWidth));
  AddColumns(
      header, 1215, detail, 45,
      {
          {"Label3", "工單單號", "txtPO", "PO", 90, 1080},
          {"Label28", "日期", "txtODATE", "ODATE", 1215, 540, Alignment::Center},
          {"Label11", "客      戶", "txtSNAME", "SNAME", 1800, 990},
          {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 2835, 2430},
          {"Label12", "數    量", "txtQTY", "QTY", 5310, 900, Alignment::Right},
          {"Label29", "客戶單號", "txtCUSTNO", "CUSTNO", 6255, 1080, Alignment::Center},
          {"Label19", "業務員", "txtNAME", "NAME", 7380, 720},
          {"Label34", "預交日", "Field4", "PDATE", 8145, 945, Alignment::Center, "###/##/##"},
          {"Label21", "完工", "txtFDATE", "FDATE", 9135, 450, Alignment::Center},
          {"Label30", "天數", "txt天數", "", 9630, 540, Alignment::Right},
          {"Label31", "單別", "Field3", "KIND", 10215, 675},
      },
      Ming(10), 240);
  detail.controls.push_back(RuleDef("Line2", 90, 315, kFullWidth));

  footer.controls =
      OverviewFooter(kFullWidth, "Field1", true, {{"txt數量合計", "QTY", 4665, 1545}});

  return OverviewDesign(QStringLiteral("rptTarvel7"), Orientation::Portrait,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rptTarvel7::rptTarvel7(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel_1(Design(), criteria, context) {}

void rptTarvel7::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Portrait;
  PageSetup().SetMargins(450, 500, 400, 400);
}

void rptTarvel7::Detail_Format() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY"});
}

void rptTarvel7::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計"});
}

}  // namespace tarvel
