// Speed of the demo generator: work orders and rows written per second.
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QTemporaryDir>

#include "demo/DemoDatabase.h"

namespace {

void BM_GenerateDemoDatabase(benchmark::State& state) {
  tarvel::demo::DemoOptions options;
  options.orders = state.range(0);
  options.today = QDate(2025, 5, 14);
  std::int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    state.ResumeTiming();
    const tarvel::demo::DemoSummary summary =
        tarvel::demo::GenerateDemoDatabase(dir.path(), options);
    state.PauseTiming();
    for (const auto& t : summary.tables)
      if (!t.view) rows += t.rows;
    dir.remove();
    state.ResumeTiming();
  }
  state.counters["orders/s"] = benchmark::Counter(
      static_cast<double>(options.orders) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateDemoDatabase)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
