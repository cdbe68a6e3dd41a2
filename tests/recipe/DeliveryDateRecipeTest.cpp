// The worked example of docs/adding-a-report.md, followed inside a test so that the recipe cannot
// rot: 表1 grouped by promised delivery date with a subtotal under each date, defined and
// registered here as a report's own file does it, then reached as a clerk and a script reach any
// report: through the main window, tarvel-cli, the print and the export.
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <map>

#include "cli/Command.h"
#include "db/Connection.h"
#include "design/ReportRegistry.h"
#include "excel/DefinedSheet.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/XlsxReadback.h"
#include "output/CatalogueCheck.h"
#include "output/OutputRun.h"
#include "reports/ItemCodeOverview.h"
#include "reports/OverviewColumns.h"
#include "reports/engine/ReportLayout.h"
#include "support/Cli.h"
#include "support/Golden.h"
#include "support/ReportTexts.h"
#include "windows/overview/MainWindowFixture.h"

namespace tarvel {
namespace {

using namespace columns;

// What the report's file holds: its definition, and the line that registers it.
ReportDefinition DeliveryDateOverview() {
  return {
      .name = "rptTarvel_1_交期",
      .choice = k表1,
      // The recipe gives the report a box of its own (a line of the box table and its place in
      // the window's .ui file). A test cannot add one, so this report is picked by a box the table
      // has, that 表1 offers and that picks no other layout of 表1.
      .pickedBy = "unreviewed",
      .statement = {.source = "歷史工單明細", .orderBy = " order by PDATE, PO "},
      .page = PrintedPage(Orientation::Landscape, 450, 500, 400, 400),
      .measures = {.ruleWidth = kItemCodeWidth},
      .columns = ItemCodeColumns(),
      .inner = Group{.key = "PDATE"},
      .footer = {.totals = {Sum("txt數量合計", "QTY", 7275, 1545, 'F'),
                            Sum("txt合計", "AMT", 9180, 1710, 'H')}},
      .innerFooter = Footer{.caption = "小        計：",
                            .countField = "Field9",
                            .totals = {Sum("txt數量小計", "QTY", 7275, 1545, 'F'),
                                       Sum("txt小計", "AMT", 9180, 1710, 'H')},
                            .sheetCaption = "小　　計："},
      .sheet = ItemCodeSheet("DeliveryDate", "表一轉Excel錯誤"),
  };
}

}  // namespace

TARVEL_REGISTER_REPORT(DeliveryDateOverview)

namespace {

/// A printed total's number (its text is grouped: "2,234.5").
double Printed(const test::BandText& band, const char* field) {
  return test::TextOf(band, field).remove(u',').toDouble();
}

/// The cells of the first sheet of the workbook at `path`, as openpyxl reads them; nothing when
/// the system's python3 has no openpyxl.
std::optional<QJsonObject> FirstSheetCells(const QString& path) {
  const std::optional<QJsonObject> read = excel::test::OpenpyxlRead(path);
  if (!read) return std::nullopt;
  return read->value("sheet")
      .toObject()
      .value(read->value("sheets").toArray().at(0).toString())
      .toObject()
      .value("cells")
      .toObject();
}

/// One promised delivery date's lines: their count and sums, as the database adds them.
struct DateSums {
  qint64 lines = 0;
  double quantity = 0, amount = 0;
};

class DeliveryDateRecipe : public test::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    form = test::DemoForm("1151101", "1151231");
    form.chk只印未審單 = true;
  }

  const ReportRow& Row() { return RowFor(form); }

  /// Each date's lines and sums, in the report's order, from the export's own statement.
  std::vector<std::pair<QString, DateSums>> ExpectedDates(const RequestCriteria& request) {
    auto connection = db::Connection::Open(context.ConnectionString);
    db::Recordset rows = connection->OpenRecordset(
        "select PDATE, count(*) as N, sum(QTY) as Q, sum(AMT) as A from (" +
        Row().Statement(request, StatementUse::Export) + ") as x group by PDATE order by PDATE");
    std::vector<std::pair<QString, DateSums>> dates;
    for (rows.MoveFirst(); !rows.EOF_(); rows.MoveNext())
      dates.push_back(
          {rows.Text("PDATE"),
           {static_cast<qint64>(rows.Number("N")), rows.Number("Q"), rows.Number("A")}});
    return dates;
  }

  OverviewFormState form;
  WorkOrderCriteria criteria;
};

TEST_F(DeliveryDateRecipe, TheCatalogueTakesItAndItsCheckFindsNothingMissing) {
  const ReportRow& row = Row();
  EXPECT_EQ(row.Name(), "rptTarvel_1_交期");
  ASSERT_NE(row.exporter, nullptr);
  EXPECT_STREQ(row.exporter->name, "DeliveryDate");
  OverviewFormState plain = form;
  plain.chk只印未審單 = false;
  EXPECT_EQ(RowFor(plain).Name(), "rptTarvel_1") << "without its box, 表1 is as it was";

  auto connection = db::Connection::Open(context.ConnectionString);
  const CatalogueCheck check{
      .columnsOf = [&](const QString& statement, QString&) -> std::optional<QStringList> {
        return connection->OpenRecordset(statement).FieldNames();
      }};
  EXPECT_EQ(CatalogueProblems(check), QStringList());
}

TEST_F(DeliveryDateRecipe, ThePrintSubtotalsEachDeliveryDate) {
  std::optional<PageModel> model;
  ASSERT_EQ(
      RequestOverview(form, OutputMode::Print, context, criteria,
                      [&](CheckedRequest& r) { model = r.CreateLayout()->Run(PaperSizeTwips(9)); }),
      OutputResult::Done);
  const RequestCriteria request{.context = context, .overview = &criteria};
  const auto dates = ExpectedDates(request);
  ASSERT_GT(dates.size(), 5u);
  const std::vector<test::BandText> subtotals =
      test::BandInstances(*model, SectionKind::GroupFooter2);
  ASSERT_EQ(subtotals.size(), dates.size());
  double quantity = 0;
  for (size_t i = 0; i < dates.size(); ++i) {
    SCOPED_TRACE(dates[i].first.toStdString());
    EXPECT_EQ(test::TextOf(subtotals[i], "Field9"), QString::number(dates[i].second.lines));
    EXPECT_NEAR(Printed(subtotals[i], "txt數量小計"), dates[i].second.quantity, 1e-6);
    EXPECT_NEAR(Printed(subtotals[i], "txt小計"), dates[i].second.amount, 1e-6);
    EXPECT_EQ(test::TextOf(subtotals[i], "Label16_2"), "小        計：");
    quantity += dates[i].second.quantity;
  }
  const test::BandText total = test::LastBand(*model, SectionKind::GroupFooter1);
  EXPECT_NEAR(Printed(total, "txt數量合計"), quantity, 1e-6);
}

TEST_F(DeliveryDateRecipe, TheSheetHasTheSameSubtotalsUnderEachDate) {
  CaptureCriteria(form, criteria);
  const RequestCriteria request{.context = context, .overview = &criteria};
  const auto dates = ExpectedDates(request);
  const QString path = folder.File("交期.xlsx");
  ASSERT_EQ(ExportReport(Row(), request, path), excel::ExportOutcome::Written);
  const std::optional<QJsonObject> cells = FirstSheetCells(path);
  if (!cells) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  const auto value = [&](const QString& column, int row) {
    return cells->value(column + QString::number(row)).toObject().value("value");
  };
  // The subtotal lines in their order, wherever the page blocks put them.
  std::vector<int> subtotalRows;
  int totalRow = 0;
  for (int row = 1; row < 100000 && totalRow == 0; ++row) {
    const QString a = value("A", row).toString();
    if (a.startsWith("小　　計：")) subtotalRows.push_back(row);
    if (a.startsWith("合　　計：")) totalRow = row;
  }
  ASSERT_EQ(subtotalRows.size(), dates.size());
  double amount = 0;
  for (size_t i = 0; i < dates.size(); ++i) {
    const int row = subtotalRows[i];
    SCOPED_TRACE(dates[i].first.toStdString());
    EXPECT_EQ(value("A", row).toString(),
              QStringLiteral("小　　計：%1 件").arg(dates[i].second.lines));
    EXPECT_DOUBLE_EQ(value("F", row).toDouble(), dates[i].second.quantity);
    EXPECT_DOUBLE_EQ(value("H", row).toDouble(), dates[i].second.amount);
    amount += dates[i].second.amount;
  }
  ASSERT_GT(totalRow, subtotalRows.back());
  EXPECT_DOUBLE_EQ(value("H", totalRow).toDouble(), amount);
}

// The same dates within each salesperson's page block: groups at both levels, each date's
// subtotal closing inside its salesperson's block, before the block's totals.
TEST_F(DeliveryDateRecipe, AnInnerGroupClosesInsideItsOuterBlockOnTheSheet) {
  ReportDefinition bySalesperson = DeliveryDateOverview();
  bySalesperson.statement.orderBy = " order by EMPNO, PDATE, PO ";
  bySalesperson.outer = {.key = "EMPNO", .newPage = true};
  CaptureCriteria(form, criteria);
  const RequestCriteria request{.context = context, .overview = &criteria};
  auto connection = db::Connection::Open(context.ConnectionString);
  db::Cursor rows =
      connection->OpenCursor(ComposeStatement(bySalesperson.statement, criteria, context));
  excel::DefinedSheet sheet(bySalesperson, request);
  excel::Workbook book;
  ASSERT_TRUE(sheet.Write(rows, book));
  const QString path = folder.File("業務交期.xlsx");
  book.SaveAs(path);
  const std::optional<QJsonObject> cells = FirstSheetCells(path);
  if (!cells) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  // Column A from the top: L a work order's line, S a subtotal, T a block's totals.
  QString seen;
  const QRegularExpression workOrder("^[0-9]{9}$");
  for (int row = 1; cells->contains("A" + QString::number(row)) || row < 100; ++row) {
    const QString a = cells->value("A" + QString::number(row)).toObject().value("value").toString();
    if (workOrder.match(a).hasMatch())
      seen += u'L';
    else if (a.startsWith("小　　計："))
      seen += u'S';
    else if (a.startsWith("合　　計："))
      seen += u'T';
  }
  ASSERT_GT(seen.count(u'T'), 1) << "a block per salesperson";
  EXPECT_FALSE(seen.contains("TS")) << "a subtotal left for the next block: " << seen.toStdString();
  EXPECT_FALSE(seen.contains("LT")) << "a block closed before its last date's subtotal";
  EXPECT_TRUE(seen.endsWith("ST")) << seen.right(20).toStdString();
}

TEST_F(DeliveryDateRecipe, TheWindowAndTheCommandLineReachIt) {
  Open();
  Click("chk選項");
  Click(FindOptionBox(u"unreviewed")->name);
  EXPECT_TRUE(Shown("ssc轉Excel檔"));
  Click("ssc列印");
  ASSERT_FALSE(outputs.empty());
  EXPECT_EQ(outputs.back(), (test::OutputCall{"rptTarvel_1_交期", OutputMode::Print}));

  const QStringList db = {"--db", databasePath, "--today", test::DemoToday().toString(Qt::ISODate)};
  const QString text = folder.File("交期.txt");
  const test::CliRun report = test::RunCli(
      cli::RunReportCommand,
      QStringList{"--choice", "0", "--unreviewed", "--date-from", "1151101", "--text", text} + db);
  ASSERT_EQ(report.code, 0) << report.err.toStdString();
  EXPECT_TRUE(report.err.startsWith("rptTarvel_1_交期:")) << report.err.toStdString();
  QFile dump(text);
  ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
  EXPECT_TRUE(QString::fromUtf8(dump.readAll()).contains("小        計："));
  const QString pdf = folder.File("交期.pdf");
  ASSERT_EQ(test::RunCli(cli::RunReportCommand,
                         QStringList{"--choice", "0", "--unreviewed", "--pdf", pdf} + db)
                .code,
            0);
  EXPECT_GT(test::PdfText(pdf).count(QRegularExpression("小 +計：")), 1)
      << "the subtotal lines on paper";

  const QString workbook = folder.File("交期-cli.xlsx");
  const test::CliRun excel = test::RunCli(
      cli::RunExcelCommand,
      QStringList{"--choice", "0", "--unreviewed", "--date-from", "1151101", "--xlsx", workbook} +
          db);
  EXPECT_EQ(excel.code, 0) << excel.err.toStdString();
  EXPECT_TRUE(QFileInfo::exists(workbook));
}

}  // namespace
}  // namespace tarvel
