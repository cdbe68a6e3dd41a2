#include "reports/RptTarvel7.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10890 - 90;  // portrait A4 inside the margins
}

std::vector<SectionDef> rptTarvel7::Bands() {
  using namespace columns;
  ListBands list = OverviewList(
      {.ruleWidth = kFullWidth,
       .headerHeight = 1545,
       .detailHeight = 330,
       .font = Ming(10),
       .lineHeight = 240},
      OverviewTitleBlock({.titleLeft = 4590, .companyVisible = true, .rightLeft = 8610}),
      {
          WorkOrderNo(90, 1080),
          OrderDate(1215, 540),
          Customer(1800, 990),
          ItemName(2835, 2430),
          Quantity(5310, 900),
          {"Label29", "客戶單號", "txtCUSTNO", "CUSTNO", 6255, 1080, Alignment::Center},
          Salesperson(7380, 720),
          PromisedDate(8145, 945),
          Finished(9135, 450),
          Days(9630, 540),
          Kind(10215, 675).Titled("單別"),
      });
  return {
      std::move(list.header), std::move(list.detail),
      OverviewFooter({.ruleWidth = kFullWidth, .totals = {{"txt數量合計", "QTY", 4665, 1545}}})};
}

rptTarvel7::rptTarvel7(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                       const AppContext& context)
    : rptTarvel_1(entry, Bands(), criteria, context) {}

void rptTarvel7::Detail_Format() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY"});
}

void rptTarvel7::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計"});
}

}  // namespace tarvel
