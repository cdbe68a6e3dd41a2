// The report catalogue: one row per overview layout, from which the dispatch, the layout's name,
// factory, statement and page setup are all read. Adding a layout is one row here and its class.
#pragma once

#include <QString>
#include <memory>
#include <span>

#include "overview/criteria/ReportDispatch.h"
#include "overview/criteria/Statement.h"
#include "reports/engine/Report.h"
#include "startup/AppContext.h"

namespace tarvel {

struct LayoutEntry;

/// Creates the layout of `entry` for one request (ActiveReport_Initialize not yet raised).
using LayoutFactory = std::unique_ptr<Report> (*)(const LayoutEntry& entry,
                                                  const WorkOrderCriteria& criteria,
                                                  const AppContext& context);

/// One overview layout.
struct LayoutEntry {
  ReportChoice choice;  ///< the report choice (sopt選擇報表) it belongs to
  /// Whether the main window's check boxes pick this layout. A choice's rows are tested in
  /// catalogue order and the first that agrees wins, so the last row of a choice says yes.
  bool (*selects)(const OverviewFormState& form);
  const char* name;  ///< the layout's name, "rptTarvel_1"
  StatementSpec statement;
  PageSettings page;
  LayoutFactory create;
};

/// Every layout, grouped by choice in the order of its dispatch precedence.
std::span<const LayoutEntry> ReportCatalogue();

/// The layout the window's choice and check boxes lead to. Throws tarvel::Error for a choice the
/// catalogue does not know.
const LayoutEntry& EntryFor(const OverviewFormState& form);

/// The layout called `name`, or nullptr.
const LayoutEntry* FindLayout(const QString& name);

/// A new instance of the layout for one request, ActiveReport_Initialize raised with `criteria`
/// and `context` (the statement composed from them, by ComposeStatement(entry.statement, …)).
std::unique_ptr<Report> CreateLayout(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                                     const AppContext& context);

/// CreateLayout whose first run prints `checked`'s rows instead of querying, when the layout's
/// source is the statement the check ran.
std::unique_ptr<Report> CreateLayout(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                                     const AppContext& context, std::optional<CheckedRows> checked);

/// The same by name; throws tarvel::Error for a name the catalogue does not know.
std::unique_ptr<Report> CreateLayout(const QString& name, const WorkOrderCriteria& criteria,
                                     const AppContext& context);

/// A dispatcher that reads the catalogue: the query builder checks the statement of the layout
/// the window leads to, and Output receives that layout's row.
class CatalogueDispatcher : public OutputDispatcher {
 public:
  const StatementSpec& StatementOf(const OverviewFormState& form) const override {
    return EntryFor(form).statement;
  }
  void Dispatch(const OverviewFormState& form, OutputMode mode) override {
    Output(EntryFor(form), mode);
    checked_.reset();
  }
  void KeepCheckedRows(const QString& statement, db::RowStream rows) override {
    checked_ = CheckedRows{statement, std::move(rows)};
  }

 protected:
  virtual void Output(const LayoutEntry& entry, OutputMode mode) = 0;

  /// CreateLayout, the layout printing the rows the check read when it queries the statement the
  /// check ran (it queries itself otherwise).
  std::unique_ptr<Report> CheckedLayout(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                                        const AppContext& context) {
    return CreateLayout(entry, criteria, context, std::exchange(checked_, std::nullopt));
  }

 private:
  std::optional<CheckedRows> checked_;
};

}  // namespace tarvel
