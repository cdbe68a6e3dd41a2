// 表1 without amounts: rptTarvel_1's rows in portrait with the customer's order number in place of
// price and amount, for copies that leave the office.
#pragma once

#include "reports/RptTarvel_1.h"

namespace tarvel {

class rptTarvel7 : public rptTarvel_1 {
 public:
  rptTarvel7(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
             const AppContext& context);

  static std::vector<SectionDef> Bands();

  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

}  // namespace tarvel
