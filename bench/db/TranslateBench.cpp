// Access SQL's translation: parsing, binding and writing the program's longest statement, against
// SQLite compiling the text it gives; and the statement with the margin test run over 100,000 work
// orders, against the same filter written by hand in plain SQLite (the same plan: a scan of the
// view in PO order; the difference is Access's Format read back as a number).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>

#include "db/Connection.h"
#include "db/sql/Parser.h"
#include "db/sql/Translate.h"
#include "db/sqlite/SqliteBackend.h"
#include "demo/DemoDatabase.h"
#include "platform/Clock.h"

namespace tarvel {
namespace {

// The SQLite handle under a connection to a file, for the bare baseline.
sqlite3* Sqlite(tarvel::db::Connection& c) {
  return static_cast<tarvel::db::SqliteBackend&>(tarvel::db::BackendOf(c)).Handle();
}

constexpr int kOrders = 100000;

struct Fixture {
  QTemporaryDir dir;
  std::unique_ptr<db::Connection> connection;
  QString longest;  // the program's longest statement (tests/golden/statements.sql)
  QString margin;   // a statement with the margin test
  explicit Fixture(int orders) {
    SetToday(QDate(2026, 12, 4));
    demo::DemoOptions options;
    options.orders = orders;
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(dir.path(), options);
    connection = db::Connection::OpenFile(dir.filePath(QStringLiteral("KORV.mdb")));
    QFile golden(QStringLiteral(TARVEL_SOURCE_DIR "/tests/golden/statements.sql"));
    golden.open(QIODevice::ReadOnly);
    for (const QString& line : QString::fromUtf8(golden.readAll()).split(u'\n')) {
      if (line.startsWith(QLatin1String("--"))) continue;
      if (line.size() > longest.size()) longest = line;
    }
    margin = QStringLiteral(
        "select * from [歷史工單明細] where (YN = '' or YN is NULL) and (AMT = 0 or "
        "(iif(COST=0,0,format((稅前金額+OTAMT-COST)/COST*100,'0.00'))<=0)) order by PO");
    // The catalog has read the tables once, as a connection has after its first statement.
    db::sql::Translate(longest, db::sql::Engine::Sqlite, &connection->Catalog());
  }
};

// Translating needs the schema only; running the margin test needs the rows.
Fixture& Schema() {
  static Fixture fixture(10);
  return fixture;
}

Fixture& Shared() {
  static Fixture fixture(kOrders);
  return fixture;
}

void BM_TranslateLongestStatement(benchmark::State& state) {
  Fixture& f = Schema();
  for (auto _ : state) {
    const auto t = db::sql::Translate(f.longest, db::sql::Engine::Sqlite, &f.connection->Catalog());
    benchmark::DoNotOptimize(t.sql.size());
  }
  state.counters["chars"] = static_cast<double>(f.longest.size());
}
BENCHMARK(BM_TranslateLongestStatement)->Unit(benchmark::kMicrosecond);

// The parser's share of the above: the text into a tree, without names resolved or SQL written.
void BM_ParseLongestStatement(benchmark::State& state) {
  Fixture& f = Schema();
  for (auto _ : state) {
    const db::sql::Statement statement = db::sql::Parse(f.longest);
    benchmark::DoNotOptimize(statement.query.get());
  }
}
BENCHMARK(BM_ParseLongestStatement)->Unit(benchmark::kMicrosecond);

// The bare baseline: SQLite compiling the text the translation gives.
void BM_SqliteCompilesTheTranslation(benchmark::State& state) {
  Fixture& f = Schema();
  const QByteArray sql =
      db::sql::Translate(f.longest, db::sql::Engine::Sqlite, &f.connection->Catalog()).sql.toUtf8();
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(Sqlite(*f.connection), sql.constData(), -1, &stmt, nullptr);
    benchmark::DoNotOptimize(stmt);
    sqlite3_finalize(stmt);
  }
}
BENCHMARK(BM_SqliteCompilesTheTranslation)->Unit(benchmark::kMicrosecond);

void Run(benchmark::State& state, const QByteArray& sql) {
  Fixture& f = Shared();
  qint64 rows = 0;
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(Sqlite(*f.connection), sql.constData(), -1, &stmt, nullptr);
    rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
      ++rows;
    sqlite3_finalize(stmt);
  }
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_MarginStatementTranslated(benchmark::State& state) {
  Fixture& f = Shared();
  Run(state,
      db::sql::Translate(f.margin, db::sql::Engine::Sqlite, &f.connection->Catalog()).sql.toUtf8());
}
BENCHMARK(BM_MarginStatementTranslated)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MarginStatementInPlainSqlite(benchmark::State& state) {
  Run(state, QByteArrayLiteral(
                 "select * from [歷史工單明細] where (YN = '' or YN is NULL) and (AMT = 0 or "
                 "(CASE WHEN COST = 0 THEN 0 ELSE round((稅前金額 + OTAMT - COST) * 1.0 / COST * "
                 "100, 2) END) <= 0) order by PO"));
}
BENCHMARK(BM_MarginStatementInPlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tarvel

BENCHMARK_MAIN();
