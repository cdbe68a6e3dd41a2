// 表5, the production sheet: one landscape line per printing step of [工單生產報表], the company
// name at the head of the page and a count of the lines.
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

class ProductionReport : public OverviewReport {
 public:
  ProductionReport(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                   const AppContext& context);

  static std::vector<SectionDef> Bands();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
};

}  // namespace tarvel
