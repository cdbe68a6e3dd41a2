// The rework window's query run behind its print, preview and Excel buttons: capture the
// criteria, check that the chosen report has rows, refresh the company name, hand over.
#pragma once

#include <functional>
#include <optional>

#include "overview/criteria/QueryBuilder.h"
#include "reports/engine/Report.h"
#include "rework/ReworkCriteria.h"

namespace tarvel {

struct AppContext;

/// Produces the output of report `choice` once the check found rows: a layout printed or
/// previewed, or the export window for OutputMode::Excel.
using ReworkOutput = std::function<void(int choice, OutputMode mode)>;

/// BuildAndCheckRework: captures `form` into `criteria`, runs the check statement of the chosen
/// report once and, when it has rows, refreshes context.CompanyName from [COMPANY]; for an Excel
/// output it sets criteria.ReportName to the chosen report's name (choices 0 and 1 only: the
/// others keep the name of the last Excel output); then calls `output`. No rows:
/// "查無任何資料!" (style 48, "訊息"). Any error, the output's included: its description with
/// style 16 and the title "印表錯誤". The hourglass is on while the query runs and restored on
/// every path before a message shows. With `checked`, a print or preview runs the layout's own
/// statement as its check and leaves the rows read there (with the statement) for the layout to
/// print, so the rows counted are the rows printed (DataControl::UseCheckedRows); an export
/// checks with the check statement and streams its rows later.
BuildResult BuildAndCheckRework(const ReworkFormState& form, OutputMode mode, AppContext& context,
                                ReworkCriteria& criteria, const ReworkOutput& output,
                                std::optional<CheckedRows>* checked = nullptr);

}  // namespace tarvel
