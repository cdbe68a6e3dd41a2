#include "reports/CombinedPlateCodeOverview.h"

#include <algorithm>

#include "reports/ItemCodeOverview.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

std::vector<SectionDef> CombinedPlateCodeOverview::Bands() {
  // ItemCodeOverview's title block, headings and line; the header ends on the headings' underline,
  // where the first order's rule falls.
  constexpr int kFullWidth = 14850 - 90;
  ListBands list = OverviewList({.ruleWidth = kFullWidth, .headerHeight = 1470},
                                OverviewTitleBlock({}), ItemCodeOverview::Columns());
  std::erase_if(list.detail.controls,
                [](const ControlDef& c) { return c.kind == ControlKind::Line; });
  return CombinedPlateReport::Bands(
      std::move(list.header), std::move(list.detail.controls), kFullWidth,
      {
          {"txt合版客戶簡稱", "合版客戶簡稱", "Label11"},
          {"txt合版代號", "合版代號", "Label35"},
          {"txt合版名稱", "合版名稱", "Label2"},
          {"txt合版數量", "合版數量", "Label12", Alignment::Right},
          {"txt合版單價", "合版單價", "Label29", Alignment::Right},
          {"txt合版小計", "合版小計", "Label15", Alignment::Right},
      },
      {{"txt數量合計", "", 7275, 1545}, {"txt合計", "", 9180, 1710}}, Ming(11), 255);
}

CombinedPlateCodeOverview::CombinedPlateCodeOverview(const LayoutDesign& design,
                                                     const WorkOrderCriteria& criteria,
                                                     const AppContext& context)
    : CombinedPlateReport(design, Bands(), criteria, context) {}

void CombinedPlateCodeOverview::WriteWorkOrderLine() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

std::unique_ptr<Report> NewCombinedPlateCodeOverview(const LayoutDesign& design,
                                                     const RequestCriteria& request) {
  return std::make_unique<CombinedPlateCodeOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
