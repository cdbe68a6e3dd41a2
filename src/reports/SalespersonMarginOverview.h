// 表2, cost and margin per work order of [歷史工單明細1]: one list (MarginOverview) or one block
// per salesperson (MarginOverviewBySalesperson).
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

class MarginOverview : public OverviewReport {
 public:
  MarginOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                 const AppContext& context);

  /// The bands of both forms: per salesperson GroupHeader1 is the salesperson group (its own
  /// page, title block with EMPNO and NAME, totals per salesperson) and the 業務員 column goes.
  static std::vector<SectionDef> Bands(Listing listing);

  /// The margin percentage as printed: the margin over the base (the cost when the system's
  /// profit-rate base ITEM18 is numerically 0, also when it is empty or not a number; otherwise
  /// the amount), rounded to a whole percent with thousands separators; "0" when the base is 0.
  static QString MarginRate(double margin, double amount, double cost,
                            const QString& profitRateBase);

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;

 protected:
  MarginOverview(const LayoutDesign& design, Listing listing, const WorkOrderCriteria& criteria,
                 const AppContext& context);
};

/// 表2 by salesperson (chk依業務印表): the rows ordered by EMPNO, PO, each salesperson on pages of
/// their own with their own totals.
class MarginOverviewBySalesperson final : public MarginOverview {
 public:
  MarginOverviewBySalesperson(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                              const AppContext& context);
};

}  // namespace tarvel
