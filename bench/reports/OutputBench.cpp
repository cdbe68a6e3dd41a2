// 表1 (rptTarvel_1) over every work order of a demo database, from the check to the output, each
// against its bare baseline in the same run:
//   - to text, against bare SQLite stepping the same statement and reading every column as text;
//   - to PDF, against a naive Qt program that steps the same rows and draws the same pages with
//     QPainter::drawText into a QPdfWriter;
//   - the preview's first page shown, against the whole report laid out first (as the preview
//     did before) and against bare SQLite's first row;
//   - the peak memory (VmHWM) of text and PDF at a million lines, each run in a child process of
//     its own, against the bare step's.
// TARVEL_BENCH_ORDERS sets the work orders of the first three (100,000 by default),
// TARVEL_BENCH_BIG_ORDERS those of the peak memory (1,000,000 by default).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "Table1Request.h"
#include "criteria/Statement.h"
#include "criteria/WorkOrderCriteria.h"
#include "db/Connection.h"
#include "db/sql/Translate.h"
#include "db/sqlite/SqliteBackend.h"
#include "demo/DemoDatabase.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "platform/HeapTuning.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/ReportFiles.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/ReportRun.h"
#include "reports/preview/PreviewWindow.h"
#include "startup/DatabaseLocation.h"

namespace tarvel {
namespace {

constexpr const char* kChild = "TARVEL_OUTPUT_BENCH_CHILD";
constexpr const char* kChildDatabase = "TARVEL_OUTPUT_BENCH_DATABASE";

/// The request of every bench: 表1 over every work order, as the administrator.
struct Request : bench::Table1Request {
  QString statement;

  explicit Request(const QString& database)
      : Table1Request(database), statement(Statement(StatementUse::Layout)) {}
  /// The layout for one request with the rows its check read, as the program runs it.
  std::unique_ptr<Report> Checked() const {
    std::unique_ptr<Report> report = FindRow("rptTarvel_1")->CreateLayout(Criteria());
    report->DataControl1.UseCheckedRows(
        CheckedRows::Open(context.ConnectionString, report->DataControl1.Source));
    return report;
  }
};

struct Fixture {
  QTemporaryDir dir;
  QString database;
  std::unique_ptr<Request> request;
  qint64 lines = 0;

  explicit Fixture(int orders)
      : database(bench::WriteDemo(dir.path(), orders)),
        request(std::make_unique<Request>(database)),
        lines(db::Connection::OpenFile(database)->CountRows(request->statement)) {}
};

Fixture& Shared() {
  static Fixture fixture(bench::OrdersFrom("TARVEL_BENCH_ORDERS", 100000));
  return fixture;
}

Fixture& Big() {
  static Fixture fixture(bench::OrdersFrom("TARVEL_BENCH_BIG_ORDERS", 1000000));
  return fixture;
}

sqlite3* Sqlite(db::Connection& connection) {
  return static_cast<db::SqliteBackend&>(db::BackendOf(connection)).Handle();
}

/// Bare SQLite: the statement as the access layer translates it, stepped, every column read as
/// text. Returns the rows; with `firstOnly`, stops at the first.
qint64 BareStep(const Request& request, bool firstOnly = false) {
  const auto connection = db::Connection::Open(request.context.ConnectionString);
  const QByteArray sql =
      db::sql::Translate(request.statement, db::sql::Engine::Sqlite, &connection->Catalog())
          .sql.toUtf8();
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(Sqlite(*connection), sql.constData(), -1, &stmt, nullptr);
  const int columns = sqlite3_column_count(stmt);
  qint64 rows = 0;
  std::size_t bytes = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < columns; ++c) {
      benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
      bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
    }
    if (firstOnly) break;
  }
  sqlite3_finalize(stmt);
  benchmark::DoNotOptimize(bytes);
  return rows;
}

/// The naive program: the bare step's rows drawn with QPainter::drawText at the places of 表1's
/// design (its title block and headings on every page, its detail fields and rules on every
/// line, as many lines to a page as the report has), fonts made once per control.
int NaivePdf(const Request& request, const QString& path) {
  const std::unique_ptr<Report> design = FindRow("rptTarvel_1")->CreateLayout(request.Criteria());
  const PageSettings page = design->PageSetup();
  const SectionDef& header = design->Section(SectionKind::GroupHeader1).Design();
  const SectionDef& detail = design->Section(SectionKind::Detail).Design();
  PaperTwips paper = PaperSizeTwips(page.paperSize.value_or(9));
  if (page.orientation == Orientation::Landscape) std::swap(paper.width, paper.height);

  QPdfWriter writer(path);
  writer.setResolution(600);
  writer.setPageLayout(QPageLayout(
      QPageSize(QPageSize::A4),
      page.orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF()));
  QPainter painter(&writer);
  const double scale = 600.0 / kTwipsPerInch;
  const auto box = [&](const ControlDef& c, int top) {
    return QRectF((page.leftMargin + c.left) * scale, (top + c.top) * scale, c.width * scale,
                  c.height * scale);
  };
  const auto flags = [](const ControlDef& c) {
    const int horizontal = c.alignment == Alignment::Right    ? Qt::AlignRight
                           : c.alignment == Alignment::Center ? Qt::AlignHCenter
                                                              : Qt::AlignLeft;
    return horizontal | Qt::AlignTop | Qt::TextSingleLine;
  };
  std::vector<QFont> headerFonts, detailFonts;
  for (const ControlDef& c : header.controls)
    headerFonts.emplace_back(ResolveFont(c.font), &writer);
  for (const ControlDef& c : detail.controls)
    detailFonts.emplace_back(ResolveFont(c.font), &writer);

  const auto connection = db::Connection::Open(request.context.ConnectionString);
  const QByteArray sql =
      db::sql::Translate(request.statement, db::sql::Engine::Sqlite, &connection->Catalog())
          .sql.toUtf8();
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(Sqlite(*connection), sql.constData(), -1, &stmt, nullptr);
  std::vector<int> columnOf;
  for (const ControlDef& c : detail.controls) {
    int column = -1;
    for (int i = 0; i < sqlite3_column_count(stmt) && !c.dataField.isEmpty(); ++i)
      if (c.dataField.compare(QString::fromUtf8(sqlite3_column_name(stmt, i)),
                              Qt::CaseInsensitive) == 0)
        column = i;
    columnOf.push_back(column);
  }
  const int top = qRound(page.topMargin);
  const int bottom = paper.height - qRound(page.bottomMargin);
  const auto draw = [&](const ControlDef& c, const QFont& font, int y, const QString& text) {
    if (c.kind == ControlKind::Line) {
      QPen pen(Qt::black);
      pen.setWidthF(std::max(c.lineWidth * scale, 1.0));
      painter.setPen(pen);
      painter.drawLine(box(c, y).topLeft(),
                       box(c, y).topLeft() + QPointF(c.width, c.height) * scale);
      return;
    }
    painter.setPen(Qt::black);
    painter.setFont(font);
    painter.drawText(box(c, y), flags(c), text);
  };
  int pages = 0;
  int y = bottom;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    if (y + detail.height > bottom) {
      if (pages++ > 0) writer.newPage();
      y = top;
      for (size_t i = 0; i < header.controls.size(); ++i)
        draw(header.controls[i], headerFonts[i], y, header.controls[i].text);
      y += header.height;
    }
    for (size_t i = 0; i < detail.controls.size(); ++i) {
      const int column = columnOf[i];
      const QString text =
          column < 0
              ? detail.controls[i].text
              : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)));
      draw(detail.controls[i], detailFonts[i], y, text);
    }
    y += detail.height;
  }
  sqlite3_finalize(stmt);
  painter.end();
  return pages;
}

void Counters(benchmark::State& state, const Fixture& f, int pages = 0) {
  state.counters["lines"] = static_cast<double>(f.lines);
  state.counters["lines/s"] =
      benchmark::Counter(double(f.lines) * state.iterations(), benchmark::Counter::kIsRate);
  if (pages > 0) state.counters["pages"] = pages;
}

// ---- text -------------------------------------------------------------------------------------

void BM_Table1ToText(benchmark::State& state) {
  Fixture& f = Shared();
  const QString path = f.dir.filePath(QStringLiteral("table1.txt"));
  int pages = 0;
  for (auto _ : state)
    pages = WriteReportText(*f.request->Checked(), path, PaperSizeTwips(9));
  Counters(state, f, pages);
  state.counters["MB"] = QFileInfo(path).size() / 1e6;
}
BENCHMARK(BM_Table1ToText)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_BareSqliteStepAsText(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state)
    benchmark::DoNotOptimize(BareStep(*f.request));
  Counters(state, f);
}
BENCHMARK(BM_BareSqliteStepAsText)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---- PDF --------------------------------------------------------------------------------------

void BM_Table1ToPdf(benchmark::State& state) {
  Fixture& f = Shared();
  const QString path = f.dir.filePath(QStringLiteral("table1.pdf"));
  int pages = 0;
  for (auto _ : state)
    pages = WriteReportPdf(*f.request->Checked(), path, PaperSizeTwips(9));
  Counters(state, f, pages);
  state.counters["MB"] = QFileInfo(path).size() / 1e6;
}
BENCHMARK(BM_Table1ToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_NaiveDrawTextPdf(benchmark::State& state) {
  Fixture& f = Shared();
  const QString path = f.dir.filePath(QStringLiteral("naive.pdf"));
  int pages = 0;
  for (auto _ : state)
    pages = NaivePdf(*f.request, path);
  Counters(state, f, pages);
  state.counters["MB"] = QFileInfo(path).size() / 1e6;
}
BENCHMARK(BM_NaiveDrawTextPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// ---- the preview's first page -------------------------------------------------------------------

/// From the request (the check included) to page 1 painted in the shown window.
void BM_PreviewFirstPageShown(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    PreviewWindow window(f.request->Checked());
    window.resize(1200, 900);
    window.show();
    benchmark::DoNotOptimize(window.grab().width());
    state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    benchmark::DoNotOptimize(window.PageCount());
  }
  Counters(state, f);
}
BENCHMARK(BM_PreviewFirstPageShown)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

/// The same with the whole report laid out before the window opens.
void BM_PreviewAfterTheWholeRun(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<Report> report = f.request->Checked();
    PageModel model = report->Run();
    PreviewWindow window(std::move(model), std::move(report));
    window.resize(1200, 900);
    window.show();
    benchmark::DoNotOptimize(window.grab().width());
    state.SetIterationTime(clock.nsecsElapsed() / 1e9);
  }
  Counters(state, f);
}
BENCHMARK(BM_PreviewAfterTheWholeRun)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

void BM_BareSqliteFirstRow(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state)
    benchmark::DoNotOptimize(BareStep(*f.request, true));
}
BENCHMARK(BM_BareSqliteFirstRow)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---- peak memory at a million lines -------------------------------------------------------------

/// Runs `what` on the big demo in a child process of its own and reports its high-water mark.
void PeakOfChild(benchmark::State& state, const char* what) {
  Fixture& f = Big();
  double peak = 0;
  for (auto _ : state) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChild), QString::fromLatin1(what));
    environment.insert(QString::fromLatin1(kChildDatabase), f.database);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
      state.SkipWithError(child.readAllStandardError().constData());
      return;
    }
    peak = child.readAllStandardOutput().trimmed().toDouble() / 1024;
  }
  Counters(state, f);
  state.counters["peak MiB"] = peak;
}

void BM_PeakMemoryTable1ToText(benchmark::State& state) {
  PeakOfChild(state, "text");
}
BENCHMARK(BM_PeakMemoryTable1ToText)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_PeakMemoryTable1ToPdf(benchmark::State& state) {
  PeakOfChild(state, "pdf");
}
BENCHMARK(BM_PeakMemoryTable1ToPdf)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_PeakMemoryBareSqliteStep(benchmark::State& state) {
  PeakOfChild(state, "bare");
}
BENCHMARK(BM_PeakMemoryBareSqliteStep)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

/// VmHWM of this process, KiB.
QByteArray HighWaterMark() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return "0";
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').front();
  return "0";
}

/// The child: one output of the big demo, then its high-water mark on the standard output.
int RunChild(const QString& what, const QString& database) {
  SetToday(bench::BenchToday());
  const Request request(database);
  QTemporaryDir dir;
  if (what == QLatin1String("text"))
    WriteReportText(*request.Checked(), dir.filePath(QStringLiteral("t.txt")), PaperSizeTwips(9));
  else if (what == QLatin1String("pdf"))
    WriteReportPdf(*request.Checked(), dir.filePath(QStringLiteral("t.pdf")), PaperSizeTwips(9));
  else
    BareStep(request);
  printf("%s\n", HighWaterMark().constData());
  return 0;
}

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // As the programs run: the naive baseline gets the same heap.
  tarvel::KeepFreedHeapForReuse();
  QApplication app(argc, argv);
  if (qEnvironmentVariableIsSet(tarvel::kChild)) {
    return tarvel::RunChild(qEnvironmentVariable(tarvel::kChild),
                            qEnvironmentVariable(tarvel::kChildDatabase));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
