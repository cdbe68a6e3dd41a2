// The output modes, and what the query builder hands a request to once it has found rows.
#pragma once

#include "db/RowStream.h"
#include "overview/criteria/Statement.h"
#include "overview/criteria/WorkOrderCriteria.h"

namespace tarvel {

/// The output mode the main window's buttons store before a request (print, preview, Excel).
enum class OutputMode { Print, Preview, Excel };

/// Knows which output a request leads to (the report catalogue) and produces it.
class OutputDispatcher {
 public:
  virtual ~OutputDispatcher() = default;
  /// The statement of the output that `form` leads to: the query builder checks it for rows.
  virtual const StatementSpec& StatementOf(const OverviewFormState& form) const = 0;
  /// Produces the output; called only when the statement has rows.
  virtual void Dispatch(const OverviewFormState& form, OutputMode mode) = 0;
  /// Just before Dispatch of a print or preview: the statement text the check ran and its rows,
  /// still open in their read snapshot and read no further than the first. An output that reads
  /// on from them prints what was checked, from one state of the database, however busy other
  /// workstations are. The default drops them.
  virtual void KeepCheckedRows(const QString& /*statement*/, db::RowStream /*rows*/) {}
};

}  // namespace tarvel
