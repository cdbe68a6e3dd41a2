// The 表1 overview on a PostgreSQL server: its statement through the access layer (translated,
// run, every cell read into a value), as the reports read it (a row stream: a cursor in a
// REPEATABLE READ snapshot, the next batch fetched while the last is decoded) and as a snapshot
// read whole, against bare libpq running the same translated text and reading every cell's
// bytes; and the whole 表1 text report on the server against SQLite, for the same demo. 100,000
// work orders by default, TARVEL_BENCH_ORDERS for another number.
//
// The benchmark starts a throwaway cluster of its own (scripts/pg-cluster, under /tmp) and stops
// it at the end; run it where the PostgreSQL server programs are installed.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

#include "criteria/Statement.h"
#include "db/Connection.h"
#include "db/RowStream.h"
#include "db/sql/Translate.h"
#include "demo/DemoDatabase.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "reports/engine/ReportFiles.h"
#include "startup/DatabaseLocation.h"

namespace tarvel {
namespace {

int Orders() {
  const int fromEnvironment = qEnvironmentVariableIntValue("TARVEL_BENCH_ORDERS");
  return fromEnvironment > 0 ? fromEnvironment : 100000;
}

QString ClusterDir() {
  return QStringLiteral("/tmp/tarvel-server-bench-%1").arg(QCoreApplication::applicationPid());
}

bool RunCluster(const QString& action, QString* uri = nullptr) {
  QProcess process;
  process.start(QStringLiteral(TARVEL_PG_CLUSTER), {action, ClusterDir()});
  if (!process.waitForFinished(120000) || process.exitCode() != 0) {
    fprintf(stderr, "pg-cluster %s failed: %s\n", qPrintable(action),
            process.readAllStandardError().constData());
    return false;
  }
  if (uri) *uri = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
  return true;
}

struct Fixture {
  QTemporaryDir dir;
  QString uri;
  AppContext sqlite, server;
  WorkOrderCriteria criteria;
  QString statement;
  bool ready = false;

  Fixture() {
    SetToday(QDate(2026, 12, 4));
    if (!RunCluster(QStringLiteral("start"), &uri)) return;
    demo::DemoOptions options;
    options.orders = Orders();
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(dir.path(), options);
    demo::GenerateDemoOnServer(uri, options);
    sqlite.ConnectionString = ComposeConnectionString(dir.filePath("KORV.mdb"));
    server.ConnectionString = ComposeConnectionString(uri);
    for (AppContext* context : {&sqlite, &server})
      context->CompanyName = QString::fromUtf8(demo::kDefaultDemoCompany);
    OverviewFormState form;  // every work order of the database
    form.txt單號_末 = "zzzzzzzzz";
    form.txt客戶代號1 = {"", "zzzzzzzzz"};
    form.txt日期_起 = "0000000";
    form.txt日期_末 = "9999999";
    CaptureCriteria(form, criteria);
    statement = FindRow("rptTarvel_1")
                    ->Statement({.context = server, .overview = &criteria}, StatementUse::Layout);
    ready = true;
  }
};

Fixture* started = nullptr;

Fixture& Shared() {
  static Fixture fixture;
  started = &fixture;
  return fixture;
}

void Rows(benchmark::State& state, qint64 rows) {
  state.counters["rows/s"] =
      benchmark::Counter(double(rows) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_StatementThroughTheBackend(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.ready) return state.SkipWithError("no PostgreSQL cluster");
  qint64 rows = 0;
  for (auto _ : state) {
    const auto connection = db::Connection::Open(f.server.ConnectionString);
    const db::Recordset recordset = connection->OpenRecordset(f.statement);
    rows = recordset.RecordCount();
  }
  Rows(state, rows);
}
BENCHMARK(BM_StatementThroughTheBackend)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_StatementThroughTheBackendStream(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.ready) return state.SkipWithError("no PostgreSQL cluster");
  qint64 rows = 0;
  for (auto _ : state) {
    db::RowStream stream = db::RowStream::Open(f.server.ConnectionString, f.statement);
    rows = 0;
    while (stream.Next())
      ++rows;
  }
  Rows(state, rows);
}
BENCHMARK(BM_StatementThroughTheBackendStream)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_StatementThroughBareLibpq(benchmark::State& state) {
  Fixture& f = Shared();
  if (!f.ready) return state.SkipWithError("no PostgreSQL cluster");
  // The same text the backend sends: translated with what the server holds.
  const auto connection = db::Connection::OpenFile(f.uri);
  const QByteArray sql =
      db::sql::Translate(f.statement, db::sql::Engine::Postgres, &connection->Catalog())
          .sql.toUtf8();
  qint64 rows = 0;
  for (auto _ : state) {
    PGconn* conn = PQconnectdb(f.uri.toUtf8().constData());
    PGresult* result = PQexec(conn, sql.constData());
    if (PQresultStatus(result) != PGRES_TUPLES_OK) state.SkipWithError(PQerrorMessage(conn));
    rows = PQntuples(result);
    const int columns = PQnfields(result);
    std::size_t bytes = 0;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c)
        if (!PQgetisnull(result, r, c)) bytes += std::strlen(PQgetvalue(result, r, c));
    benchmark::DoNotOptimize(bytes);
    PQclear(result);
    PQfinish(conn);
  }
  Rows(state, rows);
}
BENCHMARK(BM_StatementThroughBareLibpq)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void ReportText(benchmark::State& state, const AppContext& context) {
  Fixture& f = Shared();
  if (!f.ready) return state.SkipWithError("no PostgreSQL cluster");
  int pages = 0;
  for (auto _ : state) {
    std::unique_ptr<Report> report =
        FindRow("rptTarvel_1")->CreateLayout({.context = context, .overview = &f.criteria});
    report->DataControl1.UseCheckedRows(
        CheckedRows::Open(context.ConnectionString, report->DataControl1.Source));
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    pages = WriteReportText(*report, text, PaperSizeTwips(9));
    benchmark::DoNotOptimize(text.size());
  }
  state.counters["pages"] = pages;
  Rows(state, Orders());
}

void BM_ReportTextOnSqlite(benchmark::State& state) {
  ReportText(state, Shared().sqlite);
}
BENCHMARK(BM_ReportTextOnSqlite)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_ReportTextOnServer(benchmark::State& state) {
  ReportText(state, Shared().server);
}
BENCHMARK(BM_ReportTextOnServer)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (tarvel::started && tarvel::started->ready) tarvel::RunCluster(QStringLiteral("stop"));
  return 0;
}
