#include "reports/preview/ReportOutput.h"

#include "platform/UserInterface.h"
#include "reports/engine/PageCountGate.h"
#include "reports/engine/ReportRun.h"
#include "reports/preview/PreviewWindow.h"

namespace tarvel {

bool PrintReport(std::unique_ptr<Report> report, std::optional<CheckedRows> checked,
                 bool showDialog, QWidget* parent, const PrintDialogFunction& dialog) {
  report->DataControl1.UseCheckedRows(std::move(checked));
  // The printer comes first: a layout without a paper of its own is laid out on the chosen one.
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, report->PageSetup(), report->Name());
  if (showDialog && !dialog(printer, 0, parent)) return false;
  {
    BusyPointer busy;
    Ui().ProcessEvents();
    PrinterPageSink device(printer);
    PageCountGate pages(device);
    ReportRun(*report, pages, PrinterPaper(printer)).Finish();
  }
  report.reset();
  return true;
}

bool PrintReport(std::unique_ptr<Report> report, bool showDialog, QWidget* parent,
                 const PrintDialogFunction& dialog) {
  return PrintReport(std::move(report), std::nullopt, showDialog, parent, dialog);
}

void ShowReportModal(std::unique_ptr<Report> report, std::optional<CheckedRows> checked,
                     QWidget* parent) {
  report->DataControl1.UseCheckedRows(std::move(checked));
  std::unique_ptr<PreviewWindow> window;
  {
    BusyPointer busy;
    Ui().ProcessEvents();
    window = std::make_unique<PreviewWindow>(std::move(report), parent);
  }
  window->Exec();
}

void ShowReportModal(std::unique_ptr<Report> report, QWidget* parent) {
  ShowReportModal(std::move(report), std::nullopt, parent);
}

}  // namespace tarvel
