#include "reports/RptTarvel5.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10905 - 90;  // portrait A4 inside the margins
constexpr int kLineHeight = 240;
}  // namespace

LayoutDefinition rptTarvel5::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1545, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 615};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  header.controls =
      OverviewTitleBlock({.titleLeft = 4600, .companyVisible = true, .rightLeft = 8625});
  header.controls.push_back(RuleDef("Line1", 90, 1170, kFullWidth));
  AddColumns(header, 1215, detail, 30,
             {
                 {"Label3", "工單單號", "txtPO", "PO", 90, 1080},
                 {"Label28", "日期", "txtODATE", "ODATE", 1215, 540, Alignment::Center},
                 {"Label11", "客      戶", "txtSNAME", "SNAME", 1800, 1215},
                 {"Label2", "印 件 名 稱", "txtDESC", "DESC", 3060, 1845},
                 {"Label35", "項   目", "Field5", "DESC1", 4950, 720},
                 {"Label36", "內                容", "Field6", "ITEM", 5715, 2025},
                 {"Label37", "廠    商", "Field8", "SVENDER", 7785, 990},
                 {"Label38", "刀  模  代  號", "Field7", "REM", 8820, 1440},
                 {"Label31", "單別", "Field3", "KIND", 10305, 600},
             },
             Ming(10), kLineHeight);
  // The second line has no headings: quantity, price, amount, salesperson, promised date,
  // finished flag and day count, from under the date column.
  const int second = 30 + kLineHeight + 30;
  const FontSpec f = Ming(10);
  detail.controls.insert(
      detail.controls.end(),
      {
          FieldDef("txtQTY", "QTY", 1215, second, 990, kLineHeight, f, Alignment::Right),
          FieldDef("txtPRICE", "PRICE", 2250, second, 990, kLineHeight, f, Alignment::Right),
          FieldDef("txtAMT", "AMT", 3285, second, 1170, kLineHeight, f, Alignment::Right),
          FieldDef("txtNAME", "NAME", 4635, second, 900, kLineHeight, f),
          FieldDef("Field4", "PDATE", 5580, second, 945, kLineHeight, f, Alignment::Center,
                   "###/##/##"),
          FieldDef("txtFDATE", "FDATE", 6570, second, 450, kLineHeight, f, Alignment::Center),
          FieldDef("txt天數", "", 7065, second, 540, kLineHeight, f, Alignment::Right),
          RuleDef("Line2", 90, 600, kFullWidth),
      });

  footer.controls = OverviewFooter(
      kFullWidth, "Field1", true,
      {{"txt數量合計", "QTY", 660, 1545, false}, {"txt合計", "AMT", 2745, 1710, false}});

  return OverviewDesign(QStringLiteral("rptTarvel5"), Orientation::Portrait,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rptTarvel5::rptTarvel5(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel_1(Design(), criteria, context) {}

void rptTarvel5::ActiveReport_Initialize() {
  BindOverview(QStringLiteral("歷史工單明細3"), QStringLiteral(" order by PO, [NO] "), true, false);
}

void rptTarvel5::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Portrait;
  PageSetup().SetMargins(450, 500, 400, 400);
}

}  // namespace tarvel
