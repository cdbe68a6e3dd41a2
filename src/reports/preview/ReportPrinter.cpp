#include "reports/preview/ReportPrinter.h"

#include <QPainter>
#include <QPrintDialog>

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

void PreparePrinter(QPrinter& printer, const PageModel& model) {
  printer.setFullPage(true);
  printer.setPageLayout(PageLayoutOf(model));
  printer.setDocName(model.title);
  printer.setFromTo(0, 0);
}

void PreparePrinter(QPrinter& printer, const PageSettings& page, const QString& documentName) {
  printer.setFullPage(true);
  if (page.paperSize) printer.setPageSize(PageLayoutOf(PageModel{.settings = page}).pageSize());
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

void PrintPageModel(const PageModel& model, QPrinter& printer) {
  if (model.PageCount() == 0) return;
  int first = 0;
  int last = model.PageCount() - 1;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = std::clamp(printer.fromPage() - 1, 0, last);
    last = std::clamp(printer.toPage() > 0 ? printer.toPage() - 1 : last, first, last);
  }
  // The dialog may have changed the paper; the page keeps its own layout.
  printer.setFullPage(true);
  printer.setPageLayout(PageLayoutOf(model));
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw Error(QStringLiteral("無法開啟印表機 %1").arg(printer.printerName()));
  }
  PaintPages(painter, printer, model, first, last);
  painter.end();
}

bool PrintModel(const PageModel& model, bool showDialog, QWidget* parent,
                const PrintDialogFunction& dialog) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, model);
  if (showDialog && !dialog(printer, model.PageCount(), parent)) return false;
  PrintPageModel(model, printer);
  return true;
}

}  // namespace tarvel
