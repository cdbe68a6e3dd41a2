// What the dispatcher calls to print or preview a layout instance it created for one request.
#pragma once

#include <QWidget>
#include <memory>

#include "reports/engine/Report.h"
#include "reports/preview/ReportPrinter.h"

namespace tarvel {

/// "Print True": runs the report (hourglass meanwhile), shows the print dialog first when
/// `showDialog`, prints, and releases the instance (the unload after printing). Returns false
/// when the user cancelled the dialog. Errors of the run propagate to the caller's trap.
bool PrintReport(std::unique_ptr<Report> report, bool showDialog, QWidget* parent = nullptr,
                 const PrintDialogFunction& dialog = ExecPrintDialog);

/// "Show 1": runs the report and shows it in the modal preview window; returns when the user has
/// closed it. The instance lives as long as the window and goes with it.
void ShowReportModal(std::unique_ptr<Report> report, QWidget* parent = nullptr);

}  // namespace tarvel
