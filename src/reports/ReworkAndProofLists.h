// The rework and proof lists (landscape): one line per rework or proof with quantity, price,
// amount and cost, and a footer with the count and the sums of amount and cost.
#pragma once

#include "reports/ReworkReport.h"

namespace tarvel {

/// ReworkList: the reworks of [重工明細表] ordered by kind and work order. The kind column
/// shows the first character of 種類 (印, 工, 製); a 印刷 rework prints no cost, though the
/// footer's cost total (the engine's sum of SUM) still counts it.
class ReworkList : public ReworkReport {
 public:
  ReworkList(const LayoutDesign& design, const ReworkCriteria& criteria, const AppContext& context);
  static std::vector<SectionDef> Bands();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

/// ProofList: the proofs of [打樣明細表] ordered by work order.
class ProofList : public ReworkReport {
 public:
  ProofList(const LayoutDesign& design, const ReworkCriteria& criteria, const AppContext& context);
  static std::vector<SectionDef> Bands();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

}  // namespace tarvel
