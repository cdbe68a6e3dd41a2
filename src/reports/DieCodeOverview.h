// 表1 with die codes: two lines per process line of a work order, the first naming the step, its
// content, vendor and die code, the second the amounts and dates of ItemCodeOverview's line.
#pragma once

#include "reports/ItemCodeOverview.h"

namespace tarvel {

/// Same handlers as ItemCodeOverview (row texts, day count, grouped amounts); the footer prints the
/// count only, its quantity and amount totals stay in the design but hidden.
class DieCodeOverview : public ItemCodeOverview {
 public:
  DieCodeOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                  const AppContext& context);

  static std::vector<SectionDef> Bands();
};

}  // namespace tarvel
