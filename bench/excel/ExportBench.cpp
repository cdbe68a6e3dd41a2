// Speed and memory of the Excel export: the item-code overview (表1) over 100,000 work orders,
// from the open recordset to the saved file, against bare libxlsxwriter writing the same values
// with a handful of formats in constant-memory mode. Peak memory is the process's high-water mark
// after each run (the baseline runs first, so the export's figure shows what it adds).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "excel/ExportFrame.h"
#include "excel/workbook/Workbook.h"
#include "platform/Clock.h"
#include "startup/DatabaseLocation.h"

namespace tarvel {
namespace {

constexpr int kOrders = 100000;

struct Fixture {
  QTemporaryDir dir;
  AppContext context;
  WorkOrderCriteria criteria;
  QString statement;

  Fixture() {
    SetToday(QDate(2026, 12, 4));
    demo::DemoOptions options;
    options.orders = kOrders;
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(dir.path(), options);
    context.ConnectionString = ComposeConnectionString(dir.filePath("KORV.mdb"));
    context.AdminName = "系統管理員";
    OverviewFormState form;  // every work order
    form.txt單號_末 = "zzzzzzzzz";
    form.txt客戶代號1 = {"", "zzzzzzzzz"};
    form.txt日期_起 = "0000000";
    form.txt日期_末 = "9999999";
    CaptureCriteria(form, criteria);
    statement = excel::ExportStatement(excel::ExportRoutine::ItemCode, criteria, context);
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void Report(benchmark::State& state, qint64 rows, const QString& path) {
  state.counters["rows/s"] =
      benchmark::Counter(double(rows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["file MB"] = QFileInfo(path).size() / 1e6;
  state.counters["peak MB"] = PeakMegabytes();
}

// The same cells, written straight: texts, numbers with two formats, one border per line.
void BM_BareLibxlsxwriter(benchmark::State& state) {
  Fixture& f = Shared();
  auto connection = db::Connection::Open(f.context.ConnectionString);
  db::Recordset rows = connection->OpenRecordset(f.statement);
  const QByteArray path = f.dir.filePath("bare.xlsx").toUtf8();
  for (auto _ : state) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* text = workbook_add_format(book);
    format_set_bottom(text, LXW_BORDER_THIN);
    lxw_format* number = workbook_add_format(book);
    format_set_num_format(number, "#,##0");
    format_set_bottom(number, LXW_BORDER_THIN);
    const char* fields[] = {"PO",  "ODATE", "SNAME", "CODE",  "DESC",  "QTY", "PRICE",
                            "AMT", "NAME",  "PDATE", "FDATE", "ODATE", "KIND"};
    lxw_row_t row = 5;
    for (rows.MoveFirst(); !rows.EOF_(); rows.MoveNext(), ++row) {
      for (lxw_col_t c = 0; c < 13; ++c) {
        const QString value = rows.Text(QString::fromLatin1(fields[c]));
        if (c == 5 || c == 6 || c == 7)
          worksheet_write_number(sheet, row, c, value.toDouble(), number);
        else
          worksheet_write_string(sheet, row, c, value.toUtf8().constData(), text);
      }
    }
    if (workbook_close(book) != LXW_NO_ERROR) state.SkipWithError("libxlsxwriter failed");
  }
  Report(state, rows.RecordCount(), QString::fromUtf8(path));
}
BENCHMARK(BM_BareLibxlsxwriter)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_ExportItemCode(benchmark::State& state) {
  Fixture& f = Shared();
  auto connection = db::Connection::Open(f.context.ConnectionString);
  db::Recordset rows = connection->OpenRecordset(f.statement);
  const QString path = f.dir.filePath("export.xlsx");
  for (auto _ : state) {
    excel::Workbook book({.tempFolder = f.dir.path()});
    excel::CreateExport(excel::ExportRoutine::ItemCode, f.criteria, f.context)
        ->Write(rows, book.ActiveSheet());
    book.SaveAs(path);
  }
  Report(state, rows.RecordCount(), path);
}
BENCHMARK(BM_ExportItemCode)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
