// What the dispatcher calls to print or preview a layout instance it created for one request.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "reports/engine/Report.h"
#include "reports/preview/ReportPrinter.h"

namespace tarvel {

/// "Print True": shows the print dialog first when `showDialog`, then runs the report on the
/// chosen printer's paper, each page going to the printer as soon as it is laid out (hourglass
/// meanwhile), and releases the instance (the unload after printing). `checked`: the rows the
/// request's check read (CheckedRows::Open), printed instead of querying again when they are the
/// layout's statement's. Returns false when the user cancelled the dialog. Errors of the run
/// propagate to the caller's trap.
bool PrintReport(std::unique_ptr<Report> report, std::optional<CheckedRows> checked,
                 bool showDialog, QWidget* parent = nullptr,
                 const PrintDialogFunction& dialog = ExecPrintDialog);
bool PrintReport(std::unique_ptr<Report> report, bool showDialog, QWidget* parent = nullptr,
                 const PrintDialogFunction& dialog = ExecPrintDialog);

/// "Show 1": shows the report in the modal preview window as soon as its first page is laid out
/// (the rest follows while the window is shown) and returns when the user has closed it. The
/// instance lives as long as the window and goes with it. `checked` as for PrintReport. Errors
/// before the first page propagate to the caller's trap.
void ShowReportModal(std::unique_ptr<Report> report, std::optional<CheckedRows> checked,
                     QWidget* parent = nullptr);
void ShowReportModal(std::unique_ptr<Report> report, QWidget* parent = nullptr);

}  // namespace tarvel
