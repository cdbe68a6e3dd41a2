// The query run behind the print, preview and Excel buttons: capture the criteria, check that
// the chosen report has rows, refresh the company name and hand over to the dispatcher.
#pragma once

#include "overview/criteria/ReportDispatch.h"
#include "overview/criteria/WorkOrderCriteria.h"

namespace tarvel {

struct AppContext;

/// Outcome of one request, for callers that need to know (the window ignores it).
enum class BuildResult { Dispatched, NoRows, Failed };

/// Captures `form` into `criteria`, runs the statement of the output the dispatcher names once and,
/// when it has rows, refreshes context.CompanyName from [COMPANY] and calls `dispatcher` (a print
/// or preview first gets the rows read, KeepCheckedRows, so it need not query again). No rows:
/// "查無任何資料!" (style 48, "訊息"). Any error, the dispatcher's included: its description with
/// style 16 and the title "印表錯誤". The hourglass is on while the query runs and restored on
/// every path.
BuildResult BuildAndCheck(const OverviewFormState& form, OutputMode mode, AppContext& context,
                          WorkOrderCriteria& criteria, OutputDispatcher& dispatcher);

}  // namespace tarvel
