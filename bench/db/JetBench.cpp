// Scanning Jet tables through the backend, against mdb-export of the same tables in the same run.
//
// BM_JetScan reads a table whole through an open connection (libmdb, the virtual table, SQLite,
// the snapshot); BM_JetOpenAndScan adds opening the connection, as every report does;
// BM_MdbExport runs mdbtools' own exporter on the same table to /dev/null, the bare baseline
// (its figure includes starting the process). Each reports rows per second of wall-clock time.
// The fixtures' tables hold a handful of rows, so the figures are mostly what a scan (or a
// process) costs to start; the per-row cost is at most time / rows.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <unistd.h>
#include <QString>
#include <cstdlib>

#include "db/Connection.h"

extern char** environ;

namespace {

using tarvel::db::Connection;

struct Table {
  const char* file;
  const char* name;
};
// The fixtures' largest tables, Jet 4 and Jet 3.
constexpr Table kTables[] = {{"testUnicodeCompV2003.mdb", "Table"},
                             {"overflowTestV2003.mdb", "Table1"},
                             {"testV1997.mdb", "Table1"}};

QString PathOf(const Table& t) {
  return QStringLiteral(TARVEL_JET_FIXTURES "/") + QLatin1String(t.file);
}

QString ConnectionTo(const Table& t) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + PathOf(t) +
         QStringLiteral(";Jet OLEDB:Database Password=tqlv5218tqlv5218");
}

void BM_JetScan(benchmark::State& state) {
  const Table& t = kTables[state.range(0)];
  auto connection = Connection::Open(ConnectionTo(t));
  const QString sql = QStringLiteral("select * from [%1]").arg(QLatin1String(t.name));
  qint64 rows = 0;
  for (auto _ : state) {
    rows += connection->OpenRecordset(sql).RecordCount();
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
  state.SetLabel(t.file);
}
BENCHMARK(BM_JetScan)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_JetOpenAndScan(benchmark::State& state) {
  const Table& t = kTables[state.range(0)];
  const QString sql = QStringLiteral("select * from [%1]").arg(QLatin1String(t.name));
  qint64 rows = 0;
  for (auto _ : state) {
    auto connection = Connection::Open(ConnectionTo(t));
    rows += connection->OpenRecordset(sql).RecordCount();
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
  state.SetLabel(t.file);
}
BENCHMARK(BM_JetOpenAndScan)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_MdbExport(benchmark::State& state) {
  const Table& t = kTables[state.range(0)];
  const QByteArray path = PathOf(t).toLocal8Bit();
  // The same rows the scans return.
  const qint64 tableRows =
      Connection::Open(ConnectionTo(t))
          ->OpenRecordset(QStringLiteral("select * from [%1]").arg(QLatin1String(t.name)))
          .RecordCount();
  qint64 rows = 0;
  for (auto _ : state) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("mdb-export"), const_cast<char*>(path.constData()),
                    const_cast<char*>(t.name), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "mdb-export", &actions, nullptr, argv, environ) != 0) {
      state.SkipWithError("mdb-export not found (apt-get install mdbtools)");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    rows += tableRows;
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
  state.SetLabel(t.file);
}
BENCHMARK(BM_MdbExport)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
