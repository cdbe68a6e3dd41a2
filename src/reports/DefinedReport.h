// A report layout built from its definition: the banded design of PrintedLayout, the statement of
// its criteria, and the handlers every definition shares (title block, the cells of each line,
// the totals of each group). A layout that computes more keeps a small hook: a subclass.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "criteria/RequestCriteria.h"
#include "design/ReportDefinition.h"
#include "reports/LayoutDesign.h"
#include "reports/engine/Report.h"

namespace tarvel {

class DefinedReport : public Report {
 public:
  /// Takes a copy of the request's criteria and context as they are now: the instance shows
  /// exactly that request's rows, whatever happens to the window's records afterwards.
  DefinedReport(const ReportDefinition& definition, const RequestCriteria& request);
  ~DefinedReport() override;

  /// DataControl1 := the connection string and the statement of the definition; under the
  /// overview rule with the invoice date as date basis, the order-date column shows 發票日期.
  void ActiveReport_Initialize() override;
  void GroupHeader1_Format() override;
  void GroupHeader2_Format() override;
  void Detail_Format() override;
  void GroupFooter2_Format() override;
  void GroupFooter1_Format() override;

  const ReportDefinition& Definition() const { return definition_; }
  /// The page number the title block printed last (layouts that number their pages).
  int PageCounter() const { return pageCounter_; }

 protected:
  const AppContext& Context() const { return context_; }
  const WorkOrderCriteria* OverviewCriteria() const { return overview_ ? &*overview_ : nullptr; }

 private:
  struct CellPlan;
  struct BandPlan;
  struct TotalPlan;

  void Plan();
  BandPlan* BandOf(SectionKind kind);
  void FormatBand(SectionKind kind);
  void FormatFooter(int level);
  void FillTitleBlock();
  QString DateBasisCaption(bool withColon) const;

  const ReportDefinition& definition_;
  const AppContext context_;
  std::optional<WorkOrderCriteria> overview_;
  std::optional<ReworkCriteria> rework_;

  bool planned_ = false;
  std::vector<BandPlan> bands_;
  std::vector<TotalPlan> totals_;
  // Counters of this instance (one instance serves one request).
  int pageCounter_ = 0;
  std::array<qint64, 3> lines_{};  ///< the columns' lines shown, per group level
  QString outerKey_;
  bool outerStarted_ = false;
};

/// The layout of `definition` for one request, ActiveReport_Initialize not yet raised: its hook's,
/// or a DefinedReport.
std::unique_ptr<Report> NewDefinedLayout(const ReportDefinition& definition,
                                         const RequestCriteria& request);

}  // namespace tarvel
