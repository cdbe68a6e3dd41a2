// Opening a large snapshot: 100,000 rows x 40 columns, the size of a year's overview export.
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <malloc.h>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "db/Connection.h"
#include "db/sqlite/SqliteBackend.h"

namespace {

// The SQLite handle under a connection to a file, for the bare baseline.
sqlite3* Sqlite(tarvel::db::Connection& c) {
  return static_cast<tarvel::db::SqliteBackend&>(tarvel::db::BackendOf(c)).Handle();
}

using tarvel::db::Connection;
using tarvel::db::Value;

constexpr int kRows = 100000;
constexpr int kTextColumns = 30;
constexpr int kNumberColumns = 10;

// Heap bytes in use (glibc), for the memory a snapshot holds.
double HeapBytes() {
  return static_cast<double>(mallinfo2().uordblks + mallinfo2().hblkhd);
}

struct Fixture {
  QTemporaryDir dir;
  QString path;
  Fixture() {
    path = dir.filePath(QStringLiteral("korv.mdb"));
    auto c = Connection::OpenFile(path, true);
    QString create = QStringLiteral("create table T (");
    QString insert = QStringLiteral("insert into T values (");
    for (int i = 0; i < kTextColumns + kNumberColumns; ++i) {
      create += (i ? QStringLiteral(", ") : QString()) +
                QStringLiteral("C%1 %2").arg(i).arg(i < kTextColumns
                                                        ? QStringLiteral("text collate nocase")
                                                        : QStringLiteral("numeric"));
      insert += i ? QStringLiteral(", ?") : QStringLiteral("?");
    }
    c->ExecuteScript(create + u')');
    tarvel::db::Transaction transaction(*c);
    auto command = c->Prepare(insert + u')');
    for (int r = 0; r < kRows; ++r) {
      for (int i = 0; i < kTextColumns; ++i) {
        // Typical fields: codes, short Chinese names, some empty, some NULL.
        Value v = i % 7 == 6   ? Value()
                  : i % 5 == 4 ? Value(QString())
                  : i % 2      ? Value(QStringLiteral("台北紙業%1").arg(r % 97))
                               : Value(QStringLiteral("P%1").arg(r, 9, 10, QLatin1Char('0')));
        command.Bind(i + 1, v);
      }
      for (int i = 0; i < kNumberColumns; ++i) {
        command.Bind(kTextColumns + i + 1, i % 2 ? Value(r * 1.25) : Value(qint64{r}));
      }
      command.Execute();
    }
    transaction.Commit();
  }
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

void BM_OpenRecordset100kx40(benchmark::State& state) {
  Fixture& data = Data();
  auto c = Connection::Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                            data.path + QStringLiteral(";Jet OLEDB:Database Password=x"));
  double memory = 0;
  for (auto _ : state) {
    const double before = HeapBytes();
    auto rs = std::make_unique<tarvel::db::Recordset>(
        c->OpenRecordset(QStringLiteral("select * from [T] ")));
    benchmark::DoNotOptimize(rs->RecordCount());
    state.PauseTiming();  // releasing the snapshot is measured below, not here
    memory = HeapBytes() - before;
    rs.reset();
    state.ResumeTiming();
  }
  state.counters["rows"] = kRows;
  state.counters["snapshot_MB"] = memory / 1e6;
  state.counters["bytes_per_cell"] = memory / (kRows * (kTextColumns + kNumberColumns));
  state.counters["value_bytes"] = sizeof(Value);
}
BENCHMARK(BM_OpenRecordset100kx40)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine alone: stepping the rows and touching every column, the floor under OpenRecordset.
void BM_EngineStepOnly(benchmark::State& state) {
  auto c = Connection::OpenFile(Data().path);
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(Sqlite(*c), "select * from T", -1, &stmt, nullptr);
    size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int i = 0; i < kTextColumns + kNumberColumns; ++i) {
        sqlite3_column_text(stmt, i);
        bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, i));
      }
    }
    sqlite3_finalize(stmt);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_EngineStepOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReleaseRecordset100kx40(benchmark::State& state) {
  auto c = Connection::OpenFile(Data().path);
  for (auto _ : state) {
    state.PauseTiming();
    auto rs = std::make_unique<tarvel::db::Recordset>(
        c->OpenRecordset(QStringLiteral("select * from [T] ")));
    state.ResumeTiming();
    rs.reset();
  }
}
BENCHMARK(BM_ReleaseRecordset100kx40)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reading every field of every row by name, as a report's detail section does.
void BM_ReadAllFieldsByName(benchmark::State& state) {
  auto c = Connection::OpenFile(Data().path);
  auto rs = c->OpenRecordset(QStringLiteral("select * from [T] "));
  QStringList names = rs.FieldNames();
  for (auto _ : state) {
    double sum = 0;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
      for (const QString& name : names)
        sum += rs.Text(name).size();
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ReadAllFieldsByName)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
