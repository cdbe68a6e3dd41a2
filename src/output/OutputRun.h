// The check-and-output run every request goes through, from either window or tarvel-cli: capture
// the window's criteria, find the catalogue row, check that its statement has rows, refresh the
// company name, then hand the request to an output (print, preview, PDF, text or Excel), under
// one error policy.
#pragma once

#include <QString>
#include <QTextStream>
#include <functional>
#include <optional>

#include "criteria/RequestCriteria.h"
#include "excel/ExportRun.h"
#include "output/ReportCatalogue.h"
#include "reports/engine/Report.h"
#include "reports/preview/ReportPrinter.h"

class QWidget;

namespace tarvel {

/// The output a request asks for: the buttons 列印, 預覽列印 and 轉Excel檔.
enum class OutputMode { Print, Preview, Excel };

/// How a request ended, for callers that need to know (the windows ignore it).
enum class OutputResult { Done, NoRows, Failed };

/// A request whose check found rows, as the output receives it.
struct CheckedRequest {
  const ReportRow& row;
  OutputMode mode;
  /// The criteria it was checked with (the window's record, as captured for this request).
  const RequestCriteria& criteria;
  /// Print and preview: the rows the check read and the statement it ran. A layout that queries
  /// that same statement prints these rows, so it prints what was counted, from one state of the
  /// database however busy other workstations are.
  std::optional<CheckedRows> rows;

  /// The row's layout for this request, printing the checked rows.
  std::unique_ptr<Report> CreateLayout();
};

/// Produces the output of a checked request.
using OutputStep = std::function<void(CheckedRequest& request)>;

/// The main window's request: captures `form` into `criteria`, checks the statement of the layout
/// the form leads to and, when it has rows, refreshes context.CompanyName from [COMPANY] and calls
/// `output`. No rows: "查無任何資料!" (style 48, "訊息"). Any error, the output's included: its
/// description with style 16 and the title "印表錯誤". The hourglass is on while the check runs
/// and restored on every path, before any message.
OutputResult RequestOverview(const OverviewFormState& form, OutputMode mode, AppContext& context,
                             WorkOrderCriteria& criteria, const OutputStep& output);

/// The rework window's request, as RequestOverview; an export checks its own statement (the proof
/// list's without ORDER BY) and sets criteria.ReportName to the list it writes, which the record
/// keeps through outputs that do not set it.
OutputResult RequestRework(const ReworkFormState& form, OutputMode mode, AppContext& context,
                           ReworkCriteria& criteria, const OutputStep& output);

/// Print (after the print dialog, `dialog` or Qt's own) or preview (the modal preview window) of
/// the request's layout.
void PrintOrPreview(CheckedRequest& request, QWidget* parent,
                    const PrintDialogFunction& dialog = {});

/// Where a headless run writes a layout's pages: a PDF, a text file, or (neither given) the text
/// to `out`.
struct ReportFiles {
  QString pdfPath;
  QString textPath;
};

/// Runs the request's layout and writes its pages to `files`; returns the page count. Throws
/// tarvel::Error, with the system's words for the failure, when a file cannot be written (an
/// existing one is then left as it was). A text file onto a device or a pipe is written into it.
int WriteReportFiles(CheckedRequest& request, const ReportFiles& files, QTextStream& out);

/// Exports the rows of the row's export for `criteria` to `targetPath`, with the messages and the
/// file handling of every export (excel::ExportRows) under the export's error title. A row without
/// an export is refused with its reason, as a failure.
excel::ExportOutcome ExportReport(const ReportRow& row, const RequestCriteria& criteria,
                                  const QString& targetPath, const excel::ExportWatch& watch = {});

/// The same export as excel::RunExport: nothing shown, the rights not checked, fit to run on a
/// thread of its own (while `row` and `criteria` are left alone by the others).
excel::ExportResult RunReportExport(const ReportRow& row, const RequestCriteria& criteria,
                                    const QString& targetPath, const excel::ExportWatch& watch = {},
                                    excel::ExportStop* stop = nullptr);

}  // namespace tarvel
