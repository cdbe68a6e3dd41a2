#include "reports/ItemCodeOverview.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 14850 - 90;  // from the first column's left to the last column's right
}

std::vector<OverviewColumn> ItemCodeOverview::Columns() {
  using namespace columns;
  return {
      WorkOrderNo(90, 1080),   OrderDate(1215, 540),     Customer(1800, 990),  ItemCode(2835, 1620),
      ItemName(4500, 3285),    Quantity(7830, 990),      Price(8865, 990),     Amount(9900, 990),
      Salesperson(10935, 765), PromisedDate(11745, 900), Finished(12690, 450), Days(13185, 630),
      Kind(13860, 990),
  };
}

std::vector<SectionDef> ItemCodeOverview::Bands() {
  ListBands list = OverviewList({.ruleWidth = kFullWidth}, OverviewTitleBlock({}), Columns());
  return {std::move(list.header), std::move(list.detail),
          OverviewFooter(
              {.ruleWidth = kFullWidth,
               .totals = {{"txt數量合計", "QTY", 7275, 1545}, {"txt合計", "AMT", 9180, 1710}}})};
}

ItemCodeOverview::ItemCodeOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                   const AppContext& context)
    : OverviewReport(design, Bands(), criteria, context) {}

ItemCodeOverview::ItemCodeOverview(const LayoutDesign& design, std::vector<SectionDef> bands,
                                   const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(design, std::move(bands), criteria, context) {}

void ItemCodeOverview::GroupHeader1_Format() {
  FillTitleBlock();
}

void ItemCodeOverview::Detail_Format() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

void ItemCodeOverview::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計"});
}

std::unique_ptr<Report> NewItemCodeOverview(const LayoutDesign& design,
                                            const RequestCriteria& request) {
  return std::make_unique<ItemCodeOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
