// 表1, the base work-order overview: one landscape line per work order of [歷史工單明細].
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

class ItemCodeOverview : public OverviewReport {
 public:
  ItemCodeOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                   const AppContext& context);

  /// The bands: title block and headings, the work-order line, the footer.
  static std::vector<SectionDef> Bands();
  /// The columns of the work-order line, as the combined-plate layout reuses them.
  static std::vector<OverviewColumn> Columns();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;

 protected:
  /// For the 表1 variants that keep this layout's handlers with bands of their own.
  ItemCodeOverview(const LayoutDesign& design, std::vector<SectionDef> bands,
                   const WorkOrderCriteria& criteria, const AppContext& context);
};

}  // namespace tarvel
