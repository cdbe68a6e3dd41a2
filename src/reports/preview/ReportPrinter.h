// Prints a PageModel on a QPrinter, with the print dialog as a replaceable step.
#pragma once

#include <QPrinter>
#include <functional>

#include "reports/engine/PageModel.h"

class QWidget;

namespace tarvel {

/// Asks the user for the printer and the pages; false when cancelled. `pageCount` bounds the range
/// (0: not known yet, the report runs after the dialog).
using PrintDialogFunction = std::function<bool(QPrinter& printer, int pageCount, QWidget* parent)>;

/// The real step: a QPrintDialog (in the user's language when Qt's translations are installed).
bool ExecPrintDialog(QPrinter& printer, int pageCount, QWidget* parent);

/// Sets paper, orientation, full-page drawing and the document name of `printer` from the model.
void PreparePrinter(QPrinter& printer, const PageModel& model);
/// The same before the run, from the layout's page: its orientation, and its paper when it names
/// one (otherwise the printer keeps its own).
void PreparePrinter(QPrinter& printer, const PageSettings& page, const QString& documentName);
/// The paper of `printer` (portrait, twips), for laying out a report on it.
PaperTwips PrinterPaper(const QPrinter& printer);

/// Prints the model on a prepared printer: all pages, or the range chosen in the print dialog.
/// Throws tarvel::Error when the printer cannot be opened.
void PrintPageModel(const PageModel& model, QPrinter& printer);

/// Prepares a printer, shows `dialog` first when `showDialog` (the layouts' "print True"), and
/// prints. Returns false when the user cancelled the dialog.
bool PrintModel(const PageModel& model, bool showDialog, QWidget* parent = nullptr,
                const PrintDialogFunction& dialog = ExecPrintDialog);

}  // namespace tarvel
