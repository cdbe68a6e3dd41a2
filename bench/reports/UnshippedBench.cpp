// The stocked-in lookup of 未送總表 on a generated database: one connection and one prepared
// query for the whole run, against a connection and a query opened for every printed line.
//
// The lines are read here with the report's condition (work orders not fully delivered), so the
// comparison measures the lookup alone and does not change with the layout's design.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "db/Connection.h"
#include "db/SqlText.h"
#include "demo/DemoDatabase.h"

namespace tarvel {
namespace {

struct Demo {
  QTemporaryDir dir;
  QString connectionString;
  std::vector<std::pair<QString, QString>> lines;  ///< PO and product code of each printed line
};

/// One database per process, as large as the argument asks (work orders).
const Demo& DemoOf(std::int64_t orders) {
  static std::map<std::int64_t, std::unique_ptr<Demo>> demos;
  auto& demo = demos[orders];
  if (!demo) {
    demo = std::make_unique<Demo>();
    demo::DemoOptions options;
    options.orders = orders;
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(demo->dir.path(), options);
    demo->connectionString =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + demo->dir.filePath(demo::kDemoFileName);
    const auto connection = db::Connection::Open(demo->connectionString);
    db::Recordset rows = connection->OpenRecordset(QStringLiteral(
        "select PO, CODE from [工單主檔] where 已出數量 is null or 已出數量 < QTY order by PO"));
    for (; !rows.EOF_(); rows.MoveNext())
      demo->lines.emplace_back(rows.Text(QStringLiteral("PO")), rows.Text(QStringLiteral("CODE")));
  }
  return *demo;
}

/// 入庫數量 of one line, or 0 when it has none (as the report prints it).
double Stocked(const db::Recordset& found) {
  return found.RecordCount() < 1 ? 0 : found.Number(QStringLiteral("入庫數量"));
}

void Report(benchmark::State& state, const Demo& demo, double sum) {
  const auto lines = static_cast<double>(demo.lines.size());
  state.counters["rows"] = lines;
  state.counters["stocked"] = sum;
  state.counters["rows/s"] = benchmark::Counter(lines * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void BM_PreparedLookup(benchmark::State& state) {
  const Demo& demo = DemoOf(state.range(0));
  double sum = 0;
  for (auto _ : state) {
    sum = 0;
    const auto connection = db::Connection::Open(demo.connectionString);
    db::Command query = connection->Prepare(
        QStringLiteral("select * from [工單產品入庫數] where PO = ? and PID = ? "));
    for (const auto& [po, product] : demo.lines) {
      query.Bind(1, db::Value(po)).Bind(2, db::Value(product));
      sum += Stocked(query.Query());
    }
    benchmark::DoNotOptimize(sum);
  }
  Report(state, demo, sum);
}

void BM_ConnectionPerRow(benchmark::State& state) {
  const Demo& demo = DemoOf(state.range(0));
  double sum = 0;
  for (auto _ : state) {
    sum = 0;
    for (const auto& [po, product] : demo.lines) {
      const auto connection = db::Connection::Open(demo.connectionString);
      sum += Stocked(connection->OpenRecordset("select * from [工單產品入庫數] where PO = '" +
                                               db::SqlEscape(po) + "' and PID = '" +
                                               db::SqlEscape(product) + "' "));
    }
    benchmark::DoNotOptimize(sum);
  }
  Report(state, demo, sum);
}

BENCHMARK(BM_PreparedLookup)
    ->Name("Unshipped/PreparedLookup")
    ->Arg(2'000)
    ->Arg(20'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConnectionPerRow)
    ->Name("Unshipped/ConnectionPerRow")
    ->Arg(2'000)
    ->Arg(20'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
