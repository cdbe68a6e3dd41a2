// 表1 with die codes: two lines per process line of a work order, the first naming the step, its
// content, vendor and die code, the second the amounts and dates of rptTarvel_1's line.
#pragma once

#include "reports/RptTarvel_1.h"

namespace tarvel {

/// Same handlers as rptTarvel_1 (row texts, day count, grouped amounts); the footer prints the
/// count only, its quantity and amount totals stay in the design but hidden.
class rptTarvel5 : public rptTarvel_1 {
 public:
  rptTarvel5(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
             const AppContext& context);

  static std::vector<SectionDef> Bands();
};

}  // namespace tarvel
