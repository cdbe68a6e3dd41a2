// 表1 with 印合版資料: the item-code overview's line per work order, its combined-plate lines under
// it.
#pragma once

#include "reports/CombinedPlateReport.h"

namespace tarvel {

/// 表1 with combined plates, landscape: ItemCodeOverview's line per work order.
class CombinedPlateCodeOverview : public CombinedPlateReport {
 public:
  CombinedPlateCodeOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                            const AppContext& context);
  static std::vector<SectionDef> Bands();

 protected:
  void WriteWorkOrderLine() override;
};

}  // namespace tarvel
