// Prints report pages on a QPrinter, with the print dialog as a replaceable step: all at once
// from pages kept, or page by page as a run finishes them.
#pragma once

#include <QPainter>
#include <QPrinter>
#include <functional>
#include <memory>

#include "reports/engine/PageSink.h"

class QWidget;

namespace tarvel {

class PagePainter;

/// Asks the user for the printer and the pages; false when cancelled. `pageCount` bounds the range
/// (0: not known yet, the report runs after the dialog).
using PrintDialogFunction = std::function<bool(QPrinter& printer, int pageCount, QWidget* parent)>;

/// The real step: a QPrintDialog (in the user's language when Qt's translations are installed).
bool ExecPrintDialog(QPrinter& printer, int pageCount, QWidget* parent);

/// Sets paper, orientation, full-page drawing and the document name of `printer` from the frame.
void PreparePrinter(QPrinter& printer, const PageFrame& frame);
/// The same before the run, from the layout's page: its orientation, and its paper when it names
/// one (otherwise the printer keeps its own).
void PreparePrinter(QPrinter& printer, const PageSettings& page, const QString& documentName);
/// The paper of `printer` (portrait, twips), for laying out a report on it.
PaperTwips PrinterPaper(const QPrinter& printer);

/// Prints the pages on a prepared printer: all pages, or the range chosen in the print dialog.
/// Throws tarvel::Error when the printer cannot be opened.
void PrintPageModel(const PageSource& pages, QPrinter& printer);

/// Prepares a printer, shows `dialog` first when `showDialog` (the layouts' "print True"), and
/// prints. Returns false when the user cancelled the dialog.
bool PrintModel(const PageSource& pages, bool showDialog, QWidget* parent = nullptr,
                const PrintDialogFunction& dialog = ExecPrintDialog);

/// A run's pages sent to a prepared printer as they come (only those of the range chosen in the
/// print dialog), so printing starts with the first page and no page is kept. The pages must
/// not need the page count (a PageStore takes those first: PageCountGate).
class PrinterPageSink final : public PageSink {
 public:
  explicit PrinterPageSink(QPrinter& printer);
  ~PrinterPageSink() override;

  /// Throws tarvel::Error when the printer cannot be opened.
  void Begin(const PageFrame& frame) override;
  void Add(Page&& page) override;
  void End(int pageCount) override;

 private:
  QPrinter& printer_;
  PageFrame frame_;
  QPainter painter_;
  std::unique_ptr<PagePainter> pages_;
  int first_ = 0;  ///< 0-based range chosen
  int last_ = 0;
  int seen_ = 0;
  int printed_ = 0;
};

}  // namespace tarvel
