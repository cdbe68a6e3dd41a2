#include "reports/DieCodeOverview.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10905 - 90;  // portrait A4 inside the margins
constexpr int kLineHeight = 240;
}  // namespace

std::vector<SectionDef> DieCodeOverview::Bands() {
  using namespace columns;
  ListBands list = OverviewList(
      {.ruleWidth = kFullWidth,
       .headerHeight = 1545,
       .detailHeight = 615,
       .detailTop = 30,
       .font = Ming(10),
       .lineHeight = kLineHeight},
      OverviewTitleBlock({.titleLeft = 4600, .companyVisible = true, .rightLeft = 8625}),
      {
          WorkOrderNo(90, 1080),
          OrderDate(1215, 540),
          Customer(1800, 1215),
          ItemName(3060, 1845).Titled("印 件 名 稱"),
          {"Label35", "項   目", "Field5", "DESC1", 4950, 720},
          {"Label36", "內                容", "Field6", "ITEM", 5715, 2025},
          {"Label37", "廠    商", "Field8", "SVENDER", 7785, 990},
          {"Label38", "刀  模  代  號", "Field7", "REM", 8820, 1440},
          Kind(10305, 600).Titled("單別"),
      });
  // The second line has no headings: quantity, price, amount, salesperson, promised date,
  // finished flag and day count, from under the date column.
  const int second = 30 + kLineHeight + 30;
  const FontSpec f = Ming(10);
  list.detail.controls.insert(
      list.detail.controls.end(),
      {
          FieldDef("txtQTY", "QTY", 1215, second, 990, kLineHeight, f, Alignment::Right),
          FieldDef("txtPRICE", "PRICE", 2250, second, 990, kLineHeight, f, Alignment::Right),
          FieldDef("txtAMT", "AMT", 3285, second, 1170, kLineHeight, f, Alignment::Right),
          FieldDef("txtNAME", "NAME", 4635, second, 900, kLineHeight, f),
          FieldDef("Field4", "PDATE", 5580, second, 945, kLineHeight, f, Alignment::Center,
                   "###/##/##"),
          FieldDef("txtFDATE", "FDATE", 6570, second, 450, kLineHeight, f, Alignment::Center),
          FieldDef("txt天數", "", 7065, second, 540, kLineHeight, f, Alignment::Right),
      });
  return {std::move(list.header), std::move(list.detail),
          OverviewFooter({.ruleWidth = kFullWidth,
                          .totals = {{"txt數量合計", "QTY", 660, 1545, false},
                                     {"txt合計", "AMT", 2745, 1710, false}}})};
}

DieCodeOverview::DieCodeOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                 const AppContext& context)
    : ItemCodeOverview(design, Bands(), criteria, context) {}

std::unique_ptr<Report> NewDieCodeOverview(const LayoutDesign& design,
                                           const RequestCriteria& request) {
  return std::make_unique<DieCodeOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
