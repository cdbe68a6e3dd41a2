// The rework and proof lists (landscape): one line per rework or proof with quantity, price,
// amount and cost, and a footer with the count and the sums of amount and cost.
#pragma once

#include "rework/ReworkReport.h"

namespace tarvel {

/// rpt重工明細表: the reworks of [重工明細表] ordered by kind and work order. The kind column
/// shows the first character of 種類 (印, 工, 製); a 印刷 rework prints no cost, though the
/// footer's cost total (the engine's sum of SUM) still counts it.
class rpt重工明細表 : public ReworkReport {
 public:
  rpt重工明細表(const ReworkLayoutEntry& entry, const ReworkCriteria& criteria,
                const AppContext& context);
  static std::vector<SectionDef> Bands();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

/// rpt打樣明細表: the proofs of [打樣明細表] ordered by work order.
class rpt打樣明細表 : public ReworkReport {
 public:
  rpt打樣明細表(const ReworkLayoutEntry& entry, const ReworkCriteria& criteria,
                const AppContext& context);
  static std::vector<SectionDef> Bands();

  void GroupHeader1_Format() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;
};

}  // namespace tarvel
