// 表1, the base work-order overview: one landscape line per work order of [歷史工單明細].
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

class rptTarvel_1 : public OverviewReport {
 public:
  rptTarvel_1(const WorkOrderCriteria& criteria, const AppContext& context);

  /// The design: page, sections and controls.
  static LayoutDefinition Design();

  void ActiveReport_Initialize() override;
  void ActiveReport_ReportStart() override;
  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;

 protected:
  /// For the 表1 variants that keep this layout's handlers with a design of their own.
  rptTarvel_1(LayoutDefinition design, const WorkOrderCriteria& criteria,
              const AppContext& context);
};

}  // namespace tarvel
