// The retained-plate and cutting-die lists (portrait): their title block carries a page counter,
// their footer only the count of lines.
#pragma once

#include <cstdint>

#include "reports/ReworkReport.h"

namespace tarvel {

/// A list whose title block, repeated at the top of every page, numbers the pages itself: each
/// instance of GroupHeader1 adds one to the counter and prints it in txt頁次.
class PagedReworkReport : public ReworkReport {
 public:
  using ReworkReport::ReworkReport;

  void GroupHeader1_Format() override;
  /// The counter as the last title block printed it.
  std::int32_t PageCounter() const { return pageCounter_; }

 private:
  // Wide enough for any listing: a 16-bit counter would wrap after 32,767 pages.
  std::int32_t pageCounter_ = 0;
};

/// KeptPlateList: the kept plates of [留版明細表4] by work order and plate; a colour count of 0
/// prints empty.
class KeptPlateList : public PagedReworkReport {
 public:
  KeptPlateList(const LayoutDesign& design, const ReworkCriteria& criteria,
                const AppContext& context);
  static std::vector<SectionDef> Bands();

  void Detail_Format() override;
};

/// DieList: the cutting dies of [刀模明細表] by die maker (or die cutter), work order and
/// die code, with the days since the order.
class DieList : public PagedReworkReport {
 public:
  DieList(const LayoutDesign& design, const ReworkCriteria& criteria, const AppContext& context);
  static std::vector<SectionDef> Bands();

  void Detail_Format() override;
};

}  // namespace tarvel
