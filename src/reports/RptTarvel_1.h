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
};

}  // namespace tarvel
