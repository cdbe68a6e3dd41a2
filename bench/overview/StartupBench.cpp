// Start-up time of the desktop program: the context loaded from the command line, the main window
// created and shown, and its first activation (registry row, salesperson list, category lists,
// customer list, defaults, choice 表1) finished. The baseline shows an empty main window: what Qt
// costs before the program does anything.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

#include "demo/DemoDatabase.h"
#include "platform/Clock.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"
#include "startup/Startup.h"
#include "windows/overview/MainWindow.h"

namespace tarvel {
namespace {

class SilentUi final : public UserInterface {
 public:
  void ShowMessage(const QString& text, int, const QString& title) override {
    qFatal("unexpected message [%s] %s", qUtf8Printable(title), qUtf8Printable(text));
  }
  void SetBusy(bool) override {}
};

struct Fixture {
  QTemporaryDir dir;
  QString database;
  QString commandLine;

  Fixture() {
    demo::DemoOptions options;
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(dir.path(), options);
    database = dir.filePath("KORV.mdb");
    commandLine =
        QStringLiteral("-qdx5170 -AD= -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=%1")
            .arg(::getpid());
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_StartupToFirstActivation(benchmark::State& state) {
  Fixture& f = Shared();
  SilentUi ui;
  SetUi(&ui);
  for (auto _ : state) {
    AppContext context;
    LoadContextForDatabase(context, f.database, f.commandLine);
    MainWindowSeams seams;
    seams.endProgram = [] { qFatal("the launcher is this process"); };
    MainWindow window(context, std::move(seams));
    window.show();
    window.FirstActivation();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.SalespersonList().size());
    window.close();
  }
  SetUi(nullptr);
}
BENCHMARK(BM_StartupToFirstActivation)->Unit(benchmark::kMillisecond);

void BM_EmptyMainWindowShown(benchmark::State& state) {
  for (auto _ : state) {
    QMainWindow window;
    window.resize(900, 560);
    window.show();
    QApplication::processEvents();
    window.close();
  }
}
BENCHMARK(BM_EmptyMainWindowShown)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  tarvel::SetToday(QDate(2026, 12, 4));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
