// 表1 without amounts: ItemCodeOverview's rows in portrait with the customer's order number in
// place of price and amount, for copies that leave the office.
#pragma once

#include "reports/ItemCodeOverview.h"

namespace tarvel {

class NoAmountOverview : public ItemCodeOverview {
 public:
  NoAmountOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                   const AppContext& context);

  static std::vector<SectionDef> Bands();

  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

}  // namespace tarvel
