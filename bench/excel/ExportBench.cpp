// Speed and memory of the Excel export: the item-code overview (表1) over 100,000 work orders
// (TARVEL_BENCH_ORDERS overrides the number), from the query to the saved file and end to end as
// the export window runs it, and how soon a running export stops when asked, against bare
// libxlsxwriter writing the same values with a handful of formats in constant-memory mode from
// the same cursor. Peak memory is each run's own high-water mark: the process's mark is reset
// before the run (Linux's clear_refs), so the demo's generation does not count.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "Table1Request.h"
#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "db/Connection.h"
#include "excel/workbook/Workbook.h"
#include "output/OutputRun.h"
#include "output/ReportCatalogue.h"
#include "platform/Conversions.h"

namespace tarvel {
namespace {

struct Fixture {
  QTemporaryDir dir;
  bench::Table1Request request;
  const AppContext& context;
  const WorkOrderCriteria& criteria;
  QString statement;

  Fixture()
      : request(bench::WriteDemo(dir.path(), bench::OrdersFrom("TARVEL_BENCH_ORDERS", 100000))),
        context(request.context),
        criteria(request.criteria),
        statement(request.Statement(StatementUse::Export)) {}
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// Forgets the process's high-water mark of resident memory, so the next reading is this run's.
void ResetPeak() {
  QFile refs(QStringLiteral("/proc/self/clear_refs"));
  if (refs.open(QIODevice::WriteOnly)) refs.write("5");
}

double PeakMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
  }
  return 0;
}

void Report(benchmark::State& state, qint64 rows, const QString& path) {
  state.counters["rows/s"] =
      benchmark::Counter(double(rows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["file MB"] = QFileInfo(path).size() / 1e6;
  state.counters["peak MB"] = PeakMegabytes();
}

// The export's own cells written straight with libxlsxwriter, as a hand-written exporter would:
// the same values, heading blocks every 22 lines (5 rows, merges, fonts), number formats chosen
// per value, borders, alignment, the totals line, column widths and page setup. Only the quote
// prefix (a flag in styles.xml) is left out.
void BM_BareLibxlsxwriter(benchmark::State& state) {
  Fixture& f = Shared();
  const QByteArray path = f.dir.filePath("bare.xlsx").toUtf8();
  qint64 rowCount = 0;
  qint64 saveMs = 0;
  ResetPeak();
  for (auto _ : state) {
    auto connection = db::Connection::Open(f.context.ConnectionString);
    db::Cursor rows = connection->OpenCursor(f.statement);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "工作表1");
    const auto format = [&](auto&& set) {
      lxw_format* fmt = workbook_add_format(book);
      format_set_align(fmt, LXW_ALIGN_VERTICAL_CENTER);
      set(fmt);
      return fmt;
    };
    lxw_format* title = format([](lxw_format* x) {
      format_set_font_name(x, "標楷體");
      format_set_font_size(x, 20);
      format_set_bold(x);
      format_set_underline(x, LXW_UNDERLINE_SINGLE);
      format_set_align(x, LXW_ALIGN_CENTER);
    });
    lxw_format* left = format([](lxw_format* x) { format_set_align(x, LXW_ALIGN_LEFT); });
    lxw_format* heading = format([](lxw_format* x) {
      format_set_align(x, LXW_ALIGN_CENTER);
      format_set_top(x, LXW_BORDER_MEDIUM);
      format_set_bottom(x, LXW_BORDER_THIN);
    });
    lxw_format* text = format([](lxw_format* x) { format_set_bottom(x, LXW_BORDER_THIN); });
    lxw_format* centred = format([](lxw_format* x) {
      format_set_bottom(x, LXW_BORDER_THIN);
      format_set_align(x, LXW_ALIGN_CENTER);
    });
    QHash<QString, lxw_format*> numbers;
    const auto number = [&](double value) {
      const QString pattern = GroupedNumberFormat(NumberText(value));
      lxw_format*& fmt = numbers[pattern];
      if (!fmt) {
        const QByteArray utf8 = pattern.toUtf8();
        fmt = format([&](lxw_format* x) {
          format_set_bottom(x, LXW_BORDER_THIN);
          format_set_align(x, LXW_ALIGN_RIGHT);
          format_set_num_format(x, utf8.constData());
        });
      }
      return fmt;
    };
    lxw_format* totals = format([](lxw_format* x) {
      format_set_bottom(x, LXW_BORDER_MEDIUM);
      format_set_align(x, LXW_ALIGN_RIGHT);
    });
    const auto layOut = [](lxw_worksheet* on) {
      const double widths[] = {9, 5, 9, 15, 35, 8, 9, 9, 6.5, 8, 4, 5, 8};
      for (lxw_col_t c = 0; c < 13; ++c)
        worksheet_set_column(on, c, c, widths[c], nullptr);
      worksheet_set_default_row(on, 20, LXW_FALSE);
      worksheet_set_landscape(on);
      worksheet_set_margins(on, 0.3937, 0.3937, 0.3937, 0.3937);
    };
    layOut(sheet);
    const auto utf8 = [](const QString& value) { return value.toUtf8(); };
    const char* headings[] = {"工單單號", "日期",  "客　戶", "印 件 代 號", "印 件 名 稱",
                              "數 量",    "單 價", "金 額",  "業務員",      "預交日期",
                              "完工",     "天數",  "單別"};
    double quantity = 0, amount = 0;
    qint64 line = 0;
    qint64 sheetBlock = 0;  // blocks on the sheet before this one
    lxw_row_t row = 0;
    while (rows.Next()) {
      if (line % 22 == 0) {
        if ((sheetBlock + 1) * 28 > 1048576) {  // the next block passes the sheet's last row
          sheet = workbook_add_worksheet(book, nullptr);
          layOut(sheet);
          sheetBlock = 0;
        }
        const lxw_row_t top = static_cast<lxw_row_t>(sheetBlock++ * 28);
        worksheet_set_row(sheet, top, 23, nullptr);
        worksheet_merge_range(sheet, top, 0, top, 12, "工單一覽表", title);
        worksheet_merge_range(sheet, top + 1, 10, top + 1, 12, "完工狀態：全　部", left);
        worksheet_merge_range(sheet, top + 2, 10, top + 2, 12, "送清狀態：全　部", left);
        worksheet_merge_range(sheet, top + 3, 0, top + 3, 3, "工單日期：000/00/00 ～ 999/99/99",
                              left);
        worksheet_merge_range(sheet, top + 3, 10, top + 3, 12, "列表日期：115/12/04", left);
        for (lxw_col_t c = 0; c < 13; ++c)
          worksheet_write_string(sheet, top + 4, c, headings[c], heading);
        row = top + 5;
      }
      ++line;
      const QString odate = rows.Text(QStringLiteral("ODATE"));
      const QString fdate = rows.Text(QStringLiteral("FDATE"));
      worksheet_write_string(sheet, row, 0, utf8(rows.Text("PO")).constData(), centred);
      worksheet_write_string(sheet, row, 1,
                             utf8(Format(odate.right(4), QStringLiteral("00/00"))).constData(),
                             centred);
      worksheet_write_string(sheet, row, 2, utf8(rows.Text("SNAME")).constData(), text);
      worksheet_write_string(sheet, row, 3, utf8(rows.Text("CODE")).constData(), text);
      worksheet_write_string(sheet, row, 4, utf8(rows.Text("DESC")).constData(), text);
      const double qty = Val(rows.Text("QTY")), price = Val(rows.Text("PRICE")),
                   amt = Val(rows.Text("AMT"));
      quantity += qty;
      amount += amt;
      worksheet_write_number(sheet, row, 5, qty, number(qty));
      worksheet_write_number(sheet, row, 6, price, number(price));
      worksheet_write_number(sheet, row, 7, amt, number(amt));
      worksheet_write_string(sheet, row, 8, utf8(rows.Text("NAME")).constData(), text);
      worksheet_write_string(
          sheet, row, 9, utf8(Format(rows.Text("PDATE"), QStringLiteral("###/##/##"))).constData(),
          centred);
      worksheet_write_string(sheet, row, 10, fdate.isEmpty() ? "N" : "Y", centred);
      if (const auto days = WorkOrderDayCount(odate, fdate))
        worksheet_write_number(sheet, row, 11, static_cast<double>(*days), text);
      else
        worksheet_write_blank(sheet, row, 11, text);
      worksheet_write_string(sheet, row, 12, utf8(rows.Text("KIND")).constData(), text);
      ++row;
    }
    worksheet_merge_range(sheet, row, 0, row, 2,
                          utf8(QStringLiteral("合　　計：%1 件").arg(line)).constData(), totals);
    worksheet_write_number(sheet, row, 5, quantity, number(quantity));
    worksheet_write_number(sheet, row, 7, amount, number(amount));
    QElapsedTimer closing;
    closing.start();
    if (workbook_close(book) != LXW_NO_ERROR) state.SkipWithError("libxlsxwriter failed");
    saveMs += closing.elapsed();
    rowCount = rows.Position();
  }
  Report(state, rowCount, QString::fromUtf8(path));
  state.counters["save ms"] = double(saveMs) / state.iterations();
}
BENCHMARK(BM_BareLibxlsxwriter)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_ExportItemCode(benchmark::State& state) {
  Fixture& f = Shared();
  const QString path = f.dir.filePath("export.xlsx");
  qint64 rowCount = 0;
  qint64 saveMs = 0;
  ResetPeak();
  for (auto _ : state) {
    auto connection = db::Connection::Open(f.context.ConnectionString);
    db::Cursor rows = connection->OpenCursor(f.statement);
    rows.Next();
    excel::Workbook book({.tempFolder = f.dir.path()});
    FindRow(QStringLiteral("rptTarvel_1"))
        ->CreateExport({.context = f.context, .overview = &f.criteria})
        ->Write(rows, book);
    QElapsedTimer saving;
    saving.start();
    book.SaveAs(path);
    saveMs += saving.elapsed();
    rowCount = rows.Position();
  }
  Report(state, rowCount, path);
  state.counters["save ms"] = double(saveMs) / state.iterations();
}
BENCHMARK(BM_ExportItemCode)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// End to end as the export window runs it (ExportReport): the rights check, the statement, the
// first row as the test for "no rows", the rows streamed with the total counted beside them on a
// connection of their own, the workbook written, checked and renamed into place, the message.
void BM_ExportEndToEnd(benchmark::State& state) {
  Fixture& f = Shared();
  const QString path = f.dir.filePath("end-to-end.xlsx");
  qint64 rowCount = 0;
  qint64 lastTotal = 0;
  ResetPeak();
  for (auto _ : state) {
    const excel::ExportOutcome outcome = ExportReport(
        *FindRow(QStringLiteral("rptTarvel_1")), {.context = f.context, .overview = &f.criteria},
        path, [&](const excel::ExportStatus& status) {
          rowCount = status.written;
          lastTotal = status.total;
          return true;
        });
    if (outcome != excel::ExportOutcome::Written) return state.SkipWithError("not written");
  }
  Report(state, rowCount, path);
  state.counters["total heard"] = double(lastTotal);
}
BENCHMARK(BM_ExportEndToEnd)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// How soon an export stops once the clerk asks (取消轉檔, Esc): from the stop request, made on
// another thread as the export window makes it, to the run's end with the old file kept; while
// the rows are written (0), while LibreOffice converts them to .xls (1), and 0.1 s into saving
// the workbook (2), while its package is deflated.
void BM_ExportStop(benchmark::State& state) {
  Fixture& f = Shared();
  const excel::ExportStage stage = state.range(0) == 0   ? excel::ExportStage::Rows
                                   : state.range(0) == 1 ? excel::ExportStage::Converting
                                                         : excel::ExportStage::Saving;
  const bool converting = stage == excel::ExportStage::Converting;
  const QString path = f.dir.filePath(converting ? "stopped.xls" : "stopped.xlsx");
  using Clock = std::chrono::steady_clock;
  double stopMs = 0;
  for (auto _ : state) {
    excel::ExportStop stop;
    std::atomic<bool> reached{false};
    std::atomic<bool> ended{false};
    Clock::time_point asked;
    std::thread asker([&] {
      while (!reached.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (stage == excel::ExportStage::Saving)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      asked = Clock::now();
      // Asked again until the run ends, as the window does.
      while (!ended.load()) {
        stop.Request();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
    const excel::ExportResult result = RunReportExport(
        *FindRow(QStringLiteral("rptTarvel_1")), {.context = f.context, .overview = &f.criteria},
        path,
        [&](const excel::ExportStatus& status) {
          if (status.stage == stage &&
              (stage != excel::ExportStage::Rows || status.written > 10000))
            reached = true;
          return true;
        },
        &stop);
    const Clock::time_point end = Clock::now();
    ended = true;
    asker.join();
    if (result.outcome != excel::ExportOutcome::Cancelled)
      return state.SkipWithError("not cancelled");
    stopMs += std::chrono::duration<double, std::milli>(end - asked).count();
  }
  state.counters["stop ms"] = stopMs / state.iterations();
}
BENCHMARK(BM_ExportStop)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
