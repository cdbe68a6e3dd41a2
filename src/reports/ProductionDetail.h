// 表3, the process sheet of [歷史工單明細2] with the number of ups from CROWD: one list
// (ProductionDetail) or one block per salesperson (ProductionDetailBySalesperson).
#pragma once

#include <QStringList>

#include "reports/OverviewReport.h"

namespace tarvel {

class ProductionDetail : public OverviewReport {
 public:
  ProductionDetail(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                   const AppContext& context);

  /// The bands of both forms: per salesperson GroupHeader1 is the salesperson group (its own
  /// page, title block with EMPNO and NAME, totals per salesperson) and the 業務員 column goes.
  static std::vector<SectionDef> Bands(Listing listing);

  /// 印色 from the front and back colour counts: "" for none, "正4", "反1", "正4反1".
  static QString ColourText(double front, double back);

  /// 其他明細: the non-empty process texts (already trimmed, in the order 上光, 裱紙, 軋工, 糊工,
  /// 裁工, 裝訂, 燙金, 其他), each cut to 20 display bytes, two spaces apart.
  static QString OtherDetails(const QStringList& processes);

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;

 protected:
  ProductionDetail(const LayoutDesign& design, Listing listing, const WorkOrderCriteria& criteria,
                   const AppContext& context);
};

/// 表3 by salesperson (chk依業務印表1): ordered by EMPNO, PO, each salesperson on pages of their
/// own with their own totals.
class ProductionDetailBySalesperson final : public ProductionDetail {
 public:
  ProductionDetailBySalesperson(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                const AppContext& context);
};

}  // namespace tarvel
