#include "reports/preview/ReportPrinter.h"

#include <QPrintDialog>
#include <algorithm>
#include <climits>

#include "platform/Error.h"
#include "reports/engine/PagePainter.h"

namespace tarvel {

bool ExecPrintDialog(QPrinter& printer, int pageCount, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  constexpr int kUnknownPageCount = 9999;
  dialog.setMinMax(1, pageCount > 0 ? pageCount : kUnknownPageCount);
  return dialog.exec() == QDialog::Accepted;
}

void PreparePrinter(QPrinter& printer, const PageFrame& frame) {
  printer.setFullPage(true);
  printer.setPageLayout(PageLayoutOf(frame));
  printer.setDocName(frame.title);
  printer.setFromTo(0, 0);
}

void PreparePrinter(QPrinter& printer, const PageSettings& page, const QString& documentName) {
  printer.setFullPage(true);
  if (page.paperSize) {
    PageFrame frame;
    frame.settings = page;
    printer.setPageSize(PageLayoutOf(frame).pageSize());
  }
  printer.setPageOrientation(page.orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
  printer.setDocName(documentName);
  printer.setFromTo(0, 0);
}

PaperTwips PrinterPaper(const QPrinter& printer) {
  const QSizeF points = printer.pageLayout().pageSize().size(QPageSize::Point);
  constexpr double kTwipsPerPoint = kTwipsPerInch / 72.0;
  return {qRound(points.width() * kTwipsPerPoint), qRound(points.height() * kTwipsPerPoint)};
}

PrinterPageSink::PrinterPageSink(QPrinter& printer) : printer_(printer) {}

PrinterPageSink::~PrinterPageSink() {
  // A run that failed or was cancelled: what was sent is ended as a document.
  if (painter_.isActive()) painter_.end();
}

void PrinterPageSink::Begin(const PageFrame& frame) {
  frame_ = frame;
  first_ = 0;
  last_ = INT_MAX;
  if (printer_.printRange() == QPrinter::PageRange && printer_.fromPage() > 0) {
    first_ = printer_.fromPage() - 1;
    last_ = printer_.toPage() > 0 ? std::max(printer_.toPage() - 1, first_) : INT_MAX;
  }
  // The dialog may have changed the paper; the page keeps its own layout.
  printer_.setFullPage(true);
  printer_.setPageLayout(PageLayoutOf(frame_));
  if (!painter_.begin(&printer_)) {
    throw Error(QStringLiteral("無法開啟印表機 %1").arg(printer_.printerName()));
  }
  pages_ = std::make_unique<PagePainter>(painter_, frame_);
}

void PrinterPageSink::Add(Page&& page) {
  // The pages of a range past the end of the report are never seen: nothing prints then.
  const int index = seen_++;
  if (index < first_ || index > last_) return;
  if (printed_++ > 0) printer_.newPage();
  pages_->Paint(page);
}

void PrinterPageSink::End(int) {
  pages_.reset();
  painter_.end();
}

void PrintPageModel(const PageSource& pages, QPrinter& printer) {
  if (pages.PageCount() == 0) return;
  int first = 0;
  int last = pages.PageCount() - 1;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = std::clamp(printer.fromPage() - 1, 0, last);
    last = std::clamp(printer.toPage() > 0 ? printer.toPage() - 1 : last, first, last);
  }
  // The dialog may have changed the paper; the page keeps its own layout.
  printer.setFullPage(true);
  printer.setPageLayout(PageLayoutOf(pages.Frame()));
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw Error(QStringLiteral("無法開啟印表機 %1").arg(printer.printerName()));
  }
  PaintPages(painter, printer, pages, first, last);
  painter.end();
}

bool PrintModel(const PageSource& pages, bool showDialog, QWidget* parent,
                const PrintDialogFunction& dialog) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, pages.Frame());
  if (showDialog && !dialog(printer, pages.PageCount(), parent)) return false;
  PrintPageModel(pages, printer);
  return true;
}

}  // namespace tarvel
