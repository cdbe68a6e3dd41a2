// Rows and pages per second of 表1 (ItemCodeOverview) over 100,000 work orders: the query, handlers
// and pagination into the page model, then the page model written to PDF (with the file's size).
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "criteria/WorkOrderCriteria.h"
#include "demo/DemoDatabase.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "reports/engine/PdfRenderer.h"
#include "startup/AppContext.h"

namespace tarvel {
namespace {

constexpr int kOrders = 100000;

struct Fixture {
  QTemporaryDir dir;
  AppContext context;
  WorkOrderCriteria criteria;

  Fixture() {
    SetToday(QDate(2026, 12, 4));
    demo::DemoOptions options;
    options.orders = kOrders;
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(dir.path(), options);
    context.ConnectionString =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.filePath("KORV.mdb");
    context.CompanyName = QString::fromUtf8(demo::kDefaultDemoCompany);
    OverviewFormState form;  // every work order of the database
    form.txt單號_末 = "zzzzzzzzz";
    form.txt客戶代號1 = {"", "zzzzzzzzz"};
    form.txt日期_起 = "0000000";
    form.txt日期_末 = "9999999";
    CaptureCriteria(form, criteria);
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_OverviewToPageModel(benchmark::State& state) {
  Fixture& f = Shared();
  int pages = 0;
  for (auto _ : state) {
    auto report =
        FindRow("rptTarvel_1")->CreateLayout({.context = f.context, .overview = &f.criteria});
    const PageModel model = report->Run();
    pages = model.PageCount();
    benchmark::DoNotOptimize(pages);
  }
  state.counters["rows/s"] =
      benchmark::Counter(double(kOrders) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pages/s"] =
      benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pages"] = pages;
}
BENCHMARK(BM_OverviewToPageModel)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_OverviewPageModelToPdf(benchmark::State& state) {
  Fixture& f = Shared();
  auto report =
      FindRow("rptTarvel_1")->CreateLayout({.context = f.context, .overview = &f.criteria});
  const PageModel model = report->Run();
  const QString path = f.dir.filePath("overview.pdf");
  for (auto _ : state)
    WritePdf(model, path);
  state.counters["pages/s"] = benchmark::Counter(double(model.PageCount()) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
  state.counters["rows/s"] =
      benchmark::Counter(double(kOrders) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["MB"] = QFileInfo(path).size() / 1e6;
}
BENCHMARK(BM_OverviewPageModelToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
