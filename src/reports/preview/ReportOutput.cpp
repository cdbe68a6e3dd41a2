#include "reports/preview/ReportOutput.h"

#include "platform/UserInterface.h"
#include "reports/preview/PreviewWindow.h"

namespace tarvel {

namespace {

PageModel RunWithHourglass(Report& report, std::optional<PaperTwips> devicePaper = {}) {
  BusyPointer busy;
  Ui().ProcessEvents();
  return report.Run(devicePaper);
}

}  // namespace

bool PrintReport(std::unique_ptr<Report> report, bool showDialog, QWidget* parent,
                 const PrintDialogFunction& dialog) {
  // The printer comes first: a layout without a paper of its own is laid out on the chosen one.
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, report->PageSetup(), report->Name());
  if (showDialog && !dialog(printer, 0, parent)) return false;
  const PageModel model = RunWithHourglass(*report, PrinterPaper(printer));
  report.reset();
  PrintPageModel(model, printer);
  return true;
}

void ShowReportModal(std::unique_ptr<Report> report, QWidget* parent) {
  PageModel model = RunWithHourglass(*report);
  PreviewWindow window(std::move(model), std::move(report), parent);
  window.Exec();
}

}  // namespace tarvel
