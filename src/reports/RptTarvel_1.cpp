#include "reports/RptTarvel_1.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 14850 - 90;  // from the first column's left to the last column's right
}

std::vector<OverviewColumn> rptTarvel_1::Columns() {
  using namespace columns;
  return {
      WorkOrderNo(90, 1080),   OrderDate(1215, 540),     Customer(1800, 990),  ItemCode(2835, 1620),
      ItemName(4500, 3285),    Quantity(7830, 990),      Price(8865, 990),     Amount(9900, 990),
      Salesperson(10935, 765), PromisedDate(11745, 900), Finished(12690, 450), Days(13185, 630),
      Kind(13860, 990),
  };
}

std::vector<SectionDef> rptTarvel_1::Bands() {
  ListBands list = OverviewList({.ruleWidth = kFullWidth}, OverviewTitleBlock({}), Columns());
  return {std::move(list.header), std::move(list.detail),
          OverviewFooter(
              {.ruleWidth = kFullWidth,
               .totals = {{"txt數量合計", "QTY", 7275, 1545}, {"txt合計", "AMT", 9180, 1710}}})};
}

rptTarvel_1::rptTarvel_1(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                         const AppContext& context)
    : OverviewReport(entry, Bands(), criteria, context) {}

rptTarvel_1::rptTarvel_1(const LayoutEntry& entry, std::vector<SectionDef> bands,
                         const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(entry, std::move(bands), criteria, context) {}

void rptTarvel_1::GroupHeader1_Format() {
  FillTitleBlock();
}

void rptTarvel_1::Detail_Format() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

void rptTarvel_1::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計"});
}

}  // namespace tarvel
