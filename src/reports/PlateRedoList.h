// 補版明細: the work orders that needed a plate remade (a PLATE line mentioning 補版), one portrait
// line each with quantity, salesperson and finished flag.
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

class PlateRedoList : public OverviewReport {
 public:
  PlateRedoList(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                const AppContext& context);

  static std::vector<SectionDef> Bands();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

}  // namespace tarvel
