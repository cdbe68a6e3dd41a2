#include "reports/NoAmountOverview.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10890 - 90;  // portrait A4 inside the margins
}

std::vector<SectionDef> NoAmountOverview::Bands() {
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

NoAmountOverview::NoAmountOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                   const AppContext& context)
    : ItemCodeOverview(design, Bands(), criteria, context) {}

void NoAmountOverview::Detail_Format() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY"});
}

void NoAmountOverview::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計"});
}

std::unique_ptr<Report> NewNoAmountOverview(const LayoutDesign& design,
                                            const RequestCriteria& request) {
  return std::make_unique<NoAmountOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
