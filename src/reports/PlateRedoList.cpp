#include "reports/PlateRedoList.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 10845 - 90;  // portrait A4 inside the margins
}

std::vector<SectionDef> PlateRedoList::Bands() {
  using namespace columns;
  // The selection is by order date only, so the caption stays 工單日期： and no delivery or
  // completion texts are printed.
  ListBands list =
      OverviewList({.ruleWidth = kFullWidth,
                    .headerHeight = 1590,
                    .detailHeight = 375,
                    .font = Ming(12),
                    .lineHeight = 285},
                   OverviewTitleBlock({.title = "補版明細表",
                                       .titleLeft = 4570,
                                       .companyVisible = true,
                                       .rightLeft = 8565,
                                       .statusLines = false,
                                       .dateCaption = "工單日期："}),
                   {
                       WorkOrderNo(90, 1200),
                       OrderDate(1335, 660),
                       Customer(2040, 1320),
                       ItemName(3405, 3120).Titled("印　件　名　稱"),
                       Quantity(6570, 1080),
                       {"Label19", "業務員", "txtNAME", "NAME", 7695, 1080, Alignment::Center},
                       Finished(8820, 600),
                       Kind(9465, 1380),
                   });
  return {
      std::move(list.header), std::move(list.detail),
      OverviewFooter({.ruleWidth = kFullWidth, .totals = {{"txt數量合計", "QTY", 6105, 1545}}})};
}

PlateRedoList::PlateRedoList(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                             const AppContext& context)
    : OverviewReport(design, Bands(), criteria, context) {}

void PlateRedoList::GroupHeader1_Format() {
  FillTitleDates();
}

void PlateRedoList::Detail_Format() {
  WriteWorkOrderDates({.dayCount = false});
  WriteGrouped({"txtQTY"});
}

void PlateRedoList::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計"});
}

std::unique_ptr<Report> NewPlateRedoList(const LayoutDesign& design,
                                         const RequestCriteria& request) {
  return std::make_unique<PlateRedoList>(design, request.Overview(), request.context);
}

}  // namespace tarvel
