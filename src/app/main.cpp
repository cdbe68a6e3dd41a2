// tarvel: the desktop program, started by the suite's menu with the signed-in user's command line.
#include <QApplication>
#include <memory>

#include "common/forms/MessageBoxUi.h"
#include "common/forms/QtTranslations.h"
#include "overview/ui/frmTarvel.h"
#include "reports/engine/ReportFonts.h"
#include "startup/AppContext.h"
#include "startup/LaunchArguments.h"
#include "startup/Startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvel"));
  QApplication::setDesktopFileName(QStringLiteral("tarvel"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tarvel")));
  tarvel::LoadQtTranslations();
  tarvel::LoadReportFonts();

  tarvel::MessageBoxUi ui;
  tarvel::SetUi(&ui);

  tarvel::AppContext context;
  std::unique_ptr<tarvel::frmTarvel> window;
  const QString commandLine = tarvel::CommandLineText(QApplication::arguments().mid(1));
  // The lock lives in `started` until the program ends.
  const tarvel::StartupResult started =
      tarvel::Main(context, commandLine, [&window](tarvel::AppContext& loaded) {
        window = std::make_unique<tarvel::frmTarvel>(loaded);
        window->show();
      });
  int status = 0;
  if (started.outcome == tarvel::StartOutcome::kRunning) status = QApplication::exec();
  window.reset();
  tarvel::SetUi(nullptr);
  return status;
}
