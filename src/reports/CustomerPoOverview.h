// 表1 with the customer's order numbers: ItemCodeOverview's rows and totals, laid out for the
// customer (客戶單號, 客戶工號 and blank columns to write invoice, payment date and remarks by
// hand).
#pragma once

#include "reports/ItemCodeOverview.h"

namespace tarvel {

class CustomerPoOverview : public ItemCodeOverview {
 public:
  CustomerPoOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                     const AppContext& context);

  static std::vector<SectionDef> Bands();

  void Detail_Format() override;
};

}  // namespace tarvel
