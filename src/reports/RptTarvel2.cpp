#include "reports/RptTarvel2.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 15885 - 90;
}

LayoutDefinition rptTarvel2::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 345};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  header.controls =
      OverviewTitleBlock({.titleLeft = 7090, .companyVisible = true, .rightLeft = 13605});
  header.controls.push_back(RuleDef("Line1", 90, 1170, kFullWidth));
  // 發票號碼, 收款日 and 備註 are left blank for the customer; the two fields under them stay
  // bound (NAME, FDATE) but do not print.
  AddColumns(
      header, 1215, detail, 45,
      {
          {"Label3", "工單單號", "txtPO", "PO", 90, 1080},
          {"Label28", "日期", "txtODATE", "ODATE", 1215, 990, Alignment::Center, "###/##/##"},
          {"Label11", "客      戶", "txtSNAME", "SNAME", 2250, 1350},
          {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 3645, 2700},
          {"Label12", "數    量", "txtQTY", "QTY", 6390, 990, Alignment::Right},
          {"Label29", "單    價", "txtPRICE", "PRICE", 7425, 990, Alignment::Right},
          {"Label15", "金     額", "txtAMT", "AMT", 8460, 1170, Alignment::Right},
          {"Label19", "客戶單號", "txtcustno", "CUSTNO", 9765, 1350, Alignment::Center},
          {"Label34", "客戶工號", "Field3", "採購單號", 11160, 1350, Alignment::Center},
          {"Label21", "發票號碼", "txtNAME", "NAME", 12555, 1170, Alignment::Left, "", false},
          {"Label30", "收款日", "txtFDATE", "FDATE", 13770, 900, Alignment::Center, "", false},
          {"Label31", "備　註", nullptr, "", 14715, 1170},
      },
      Ming(11), 255);
  detail.controls.push_back(RuleDef("Line2", 90, 330, kFullWidth));

  footer.controls =
      OverviewFooter(kFullWidth, "Field1", true,
                     {{"txt數量合計", "QTY", 5835, 1545}, {"txt合計", "AMT", 7920, 1710}});

  return OverviewDesign(QStringLiteral("rptTarvel2"), Orientation::Landscape,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rptTarvel2::rptTarvel2(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel_1(Design(), criteria, context) {}

void rptTarvel2::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Landscape;
  PageSetup().SetMargins(400, 500, 400, 400);
}

void rptTarvel2::Detail_Format() {
  ReportControl& finished = Field(QStringLiteral("txtFDATE"));
  finished.SetText(FinishedFlag(finished.Value()));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

}  // namespace tarvel
