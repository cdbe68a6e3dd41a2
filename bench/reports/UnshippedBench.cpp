// 未送總表 on a generated database: the run with its one prepared stocked-in lookup against the
// same run opening a connection and a query for every printed row.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "db/Connection.h"
#include "db/SqlText.h"
#include "demo/DemoDatabase.h"
#include "reports/RptUnshippedOrders.h"

namespace tarvel {
namespace {

/// The lookup as it would be with a connection per printed row: for comparison only.
class ConnectionPerRow final : public rpt工單未出明細_橫 {
 public:
  using rpt工單未出明細_橫::rpt工單未出明細_橫;

 protected:
  std::optional<double> StockedQuantity(const QString& po, const QString& productCode) override {
    const auto connection = db::Connection::Open(context_.ConnectionString);
    const db::Recordset found = connection->OpenRecordset(
        "select * from [工單產品入庫數] where PO = '" + db::SqlEscape(po) + "' and PID = '" +
        db::SqlEscape(productCode) + "' ");
    if (found.RecordCount() < 1) return std::nullopt;
    return found.Number(QStringLiteral("入庫數量"));
  }
};

struct Demo {
  QTemporaryDir dir;
  AppContext context;
  WorkOrderCriteria criteria;
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
    demo->context.ConnectionString =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + demo->dir.filePath(demo::kDemoFileName);
    OverviewFormState form;
    form.sopt選擇報表 = k未送總表;
    form.txt單號_末 = "zzzzzzzzz";
    form.txt日期_末 = "9999999";
    CaptureCriteria(form, demo->criteria);
  }
  return *demo;
}

template <class Layout>
void BM_Unshipped(benchmark::State& state) {
  const Demo& demo = DemoOf(state.range(0));
  std::int64_t rows = 0;
  std::int64_t pages = 0;
  for (auto _ : state) {
    auto report = CreateReport<Layout>(demo.criteria, demo.context);
    const PageModel model = report->Run();
    benchmark::DoNotOptimize(model.pages.data());
    pages = model.PageCount();
    rows = report->RecordNumber();
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Unshipped<rpt工單未出明細_橫>)
    ->Name("Unshipped/PreparedLookup")
    ->Arg(2'000)
    ->Arg(20'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unshipped<ConnectionPerRow>)
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
