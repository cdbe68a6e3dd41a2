#include "reports/preview/ReportOutput.h"

#include "platform/UserInterface.h"
#include "reports/preview/PreviewWindow.h"

namespace tarvel {

namespace {

PageModel RunWithHourglass(Report& report) {
  BusyPointer busy;
  Ui().ProcessEvents();
  return report.Run();
}

}  // namespace

bool PrintReport(std::unique_ptr<Report> report, bool showDialog, QWidget* parent,
                 const PrintDialogFunction& dialog) {
  const PageModel model = RunWithHourglass(*report);
  report.reset();
  return PrintModel(model, showDialog, parent, dialog);
}

void ShowReportModal(std::unique_ptr<Report> report, QWidget* parent) {
  PageModel model = RunWithHourglass(*report);
  PreviewWindow window(std::move(model), std::move(report), parent);
  window.Exec();
}

}  // namespace tarvel
