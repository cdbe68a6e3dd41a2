// 表1 with the customer's order numbers: rptTarvel_1's rows and totals, laid out for the customer
// (客戶單號, 客戶工號 and blank columns to write invoice, payment date and remarks by hand).
#pragma once

#include "reports/RptTarvel_1.h"

namespace tarvel {

class rptTarvel2 : public rptTarvel_1 {
 public:
  rptTarvel2(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
             const AppContext& context);

  static std::vector<SectionDef> Bands();

  void Detail_Format() override;
};

}  // namespace tarvel
