// Rows and pages per second of a 100,000-row report like the base overview: the run into the
// page model, and the page model written to PDF (with the PDF's size).
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "db/Recordset.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/Report.h"

namespace tarvel {
namespace {

constexpr int kRows = 100000;

ControlDef Text(ControlKind kind, const char* name, const char* textOrColumn, int left, int width,
                int top = 45, double points = 11) {
  ControlDef def;
  def.kind = kind;
  def.name = QString::fromUtf8(name);
  (kind == ControlKind::Label ? def.text : def.dataField) = QString::fromUtf8(textOrColumn);
  def.left = left;
  def.top = top;
  def.width = width;
  def.height = 270;
  def.font.pointSize = points;
  return def;
}

ControlDef Rule(int top, int width) {
  return {.kind = ControlKind::Line, .name = QStringLiteral("Line"), .top = top, .width = width};
}

LayoutDefinition OverviewLayout() {
  LayoutDefinition layout{.name = QStringLiteral("rptBench")};
  layout.page.orientation = Orientation::Landscape;
  layout.page.SetMargins(450, 500, 400, 400);
  const struct {
    const char* heading;
    const char* field;
    const char* column;
    int left, width;
  } columns[] = {{"工單單號", "txtPO", "PO", 90, 1080},
                 {"日期", "txtODATE", "ODATE", 1215, 540},
                 {"客      戶", "txtSNAME", "SNAME", 1800, 990},
                 {"印  件  代  號", "txtCODE", "CODE", 2835, 1620},
                 {"印　　件　　名　　稱", "txtDESC", "DESC", 4500, 3285},
                 {"數    量", "txtQTY", "QTY", 7830, 990},
                 {"單    價", "txtPRICE", "PRICE", 8865, 990},
                 {"金     額", "txtAMT", "AMT", 9900, 990},
                 {"業務員", "txtNAME", "NAME", 10935, 765},
                 {"預交日", "Field4", "PDATE", 11745, 900},
                 {"完工", "txtFDATE", "FDATE", 12690, 450},
                 {"單　別", "Field3", "KIND", 13860, 990}};
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  ControlDef title = Text(ControlKind::Label, "Label1", "工單一覽表", 6135, 3000, 90, 18);
  title.font.family = QStringLiteral("標楷體");
  header.controls.push_back(title);
  header.controls.push_back(
      Text(ControlKind::Label, "Label25", "列表日期：", 12570, 1260, 810, 12));
  header.controls.push_back(Rule(1170, 14850));
  SectionDef detail{.kind = SectionKind::Detail, .height = 330};
  for (const auto& c : columns) {
    header.controls.push_back(
        Text(ControlKind::Label, c.heading, c.heading, c.left, c.width, 1215));
    ControlDef field = Text(ControlKind::Field, c.field, c.column, c.left, c.width);
    if (QByteArray(c.column) == "PDATE") field.outputFormat = QStringLiteral("###/##/##");
    if (QByteArray(c.column) == "QTY" || QByteArray(c.column) == "AMT")
      field.alignment = Alignment::Right;
    detail.controls.push_back(field);
  }
  detail.controls.push_back(Rule(320, 14850));
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 400};
  ControlDef count = Text(ControlKind::Field, "Field1", "PO", 1365, 720);
  count.summary.function = SummaryFunction::Count;
  ControlDef qty = Text(ControlKind::Field, "txt數量合計", "QTY", 7275, 1545);
  qty.summary.function = SummaryFunction::Sum;
  footer.controls = {count, qty};
  layout.sections = {
      {.kind = SectionKind::PageHeader}, header, detail, footer, {.kind = SectionKind::PageFooter}};
  return layout;
}

const db::Recordset& BenchRows() {
  static const db::Recordset rows = [] {
    std::vector<std::vector<db::Value>> data;
    data.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
      data.push_back({QStringLiteral("A%1").arg(i, 9, 10, QLatin1Char('0')),
                      QStringLiteral("1151204"), QStringLiteral("台北印刷"),
                      QStringLiteral("C-%1").arg(i % 977),
                      QStringLiteral("彩色型錄 %1 版").arg(i % 311), db::Value(1000 + i % 50),
                      db::Value(2.5), db::Value(2500.0 + i % 50), QStringLiteral("王小明"),
                      QStringLiteral("1151231"), QStringLiteral("Y"), QStringLiteral("一般")});
    }
    return db::Recordset({"PO", "ODATE", "SNAME", "CODE", "DESC", "QTY", "PRICE", "AMT", "NAME",
                          "PDATE", "FDATE", "KIND"},
                         data);
  }();
  return rows;
}

class BenchReport : public Report {
 public:
  BenchReport() : Report(OverviewLayout()) {}
  void ActiveReport_Initialize() override { DataControl1.SetRecordset(BenchRows()); }
  void Detail_Format() override {
    ReportControl& date = Field(QStringLiteral("txtODATE"));
    date.SetText(date.Value().Text().right(4).insert(2, QLatin1Char('/')));
  }
};

void BM_RunToPageModel(benchmark::State& state) {
  BenchRows();
  int pages = 0;
  for (auto _ : state) {
    PageModel model = CreateReport<BenchReport>()->Run();
    pages = model.PageCount();
    benchmark::DoNotOptimize(model);
  }
  state.counters["rows_per_s"] =
      benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pages_per_s"] =
      benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pages"] = pages;
}
BENCHMARK(BM_RunToPageModel)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WritePdf(benchmark::State& state) {
  const PageModel model = CreateReport<BenchReport>()->Run();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("bench.pdf"));
  for (auto _ : state)
    WritePdf(model, path);
  state.counters["pages_per_s"] = benchmark::Counter(double(model.PageCount()) * state.iterations(),
                                                     benchmark::Counter::kIsRate);
  state.counters["rows_per_s"] =
      benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["pdf_MB"] = QFileInfo(path).size() / 1e6;
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
