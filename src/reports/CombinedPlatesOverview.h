// 表4(含合版): the work orders with their combined-plate lines, portrait, with the customer's order
// number.
#pragma once

#include "reports/CombinedPlateReport.h"

namespace tarvel {

/// 表4(含合版), portrait: the order without item code, with the customer's order number in place of
/// salesperson, dates and category.
class CombinedPlatesOverview : public CombinedPlateReport {
 public:
  CombinedPlatesOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                         const AppContext& context);
  static std::vector<SectionDef> Bands();

 protected:
  void WriteWorkOrderLine() override;
};

}  // namespace tarvel
