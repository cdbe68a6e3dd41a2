// 表2, cost and margin per work order of [歷史工單明細1]: one list (rptTarvel3) or one block per
// salesperson (rptTarvel3_1).
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

class rptTarvel3 : public OverviewReport {
 public:
  rptTarvel3(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
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
  rptTarvel3(const LayoutEntry& entry, Listing listing, const WorkOrderCriteria& criteria,
             const AppContext& context);
};

/// 表2 by salesperson (chk依業務印表): the rows ordered by EMPNO, PO, each salesperson on pages of
/// their own with their own totals.
class rptTarvel3_1 final : public rptTarvel3 {
 public:
  rptTarvel3_1(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
               const AppContext& context);
};

}  // namespace tarvel
