// tarvel: the desktop program, started by the suite's menu with the signed-in user's command line.
#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/forms/MessageBoxUi.h"
#include "common/forms/QtTranslations.h"
#include "common/forms/TraditionalChineseFont.h"
#include "platform/HeapTuning.h"
#include "platform/Termination.h"
#include "reports/engine/ReportFonts.h"
#include "startup/AppContext.h"
#include "startup/LaunchArguments.h"
#include "startup/Startup.h"
#include "windows/overview/MainWindow.h"

int main(int argc, char* argv[]) {
  // Asked by whoever installs or supports it, never by the suite's menu (whose command line
  // starts with the launch token): answered before any window or database is touched.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tarvel %s\n", TARVEL_VERSION);
    return 0;
  }
  // Before anything that may start threads: they would take the signals the handler expects.
  tarvel::InstallTerminationHandlers(tarvel::TerminationStyle::kCloseNormally);
  tarvel::KeepFreedHeapForReuse();
  // The command line is the suite's, not Qt's: given to Qt, "-platform xcb" in it aborted the
  // program and "-stylesheet FILE" read the file. Qt gets the program's name only and takes the
  // platform from the environment (QT_QPA_PLATFORM).
  const QStringList suiteArguments = tarvel::ArgumentsAfterProgram(argc, argv);
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Tarvel"));
  QApplication::setDesktopFileName(QStringLiteral("tarvel"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tarvel")));
  tarvel::LoadQtTranslations();
  tarvel::UseTraditionalChineseFont();
  tarvel::LoadReportFonts();

  tarvel::MessageBoxUi ui;
  tarvel::SetUi(&ui);

  tarvel::AppContext context;
  std::unique_ptr<tarvel::MainWindow> window;
  // Logout, shutdown, a closed terminal or Ctrl+C close the program as its user would: the
  // running-window row goes, then every event loop (modal windows' too) ends.
  QSocketNotifier ending(tarvel::TerminationNotifierFd(), QSocketNotifier::Read);
  QObject::connect(&ending, &QSocketNotifier::activated, &app, [&ending, &window] {
    ending.setEnabled(false);
    if (window) window->close();
    QApplication::exit(0);
  });
  const QString commandLine = tarvel::CommandLineText(suiteArguments);
  // The lock lives in `started` until the program ends.
  const tarvel::StartupResult started =
      tarvel::Main(context, commandLine, [&window](tarvel::AppContext& loaded) {
        window = std::make_unique<tarvel::MainWindow>(loaded);
        window->show();
      });
  int status = 0;
  if (started.outcome == tarvel::StartOutcome::kRunning && !tarvel::TerminationRequested())
    status = QApplication::exec();
  window.reset();
  tarvel::SetUi(nullptr);
  return status;
}
