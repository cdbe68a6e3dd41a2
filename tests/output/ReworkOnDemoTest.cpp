// The rework window's exports on the run's demo database: the golden sheets of both lists, a
// workbook file read back against the rows, what the export tells, and tarvel-cli rework.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include "criteria/ReworkStatements.h"
#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/XlsxReadback.h"
#include "output/OutputRun.h"
#include "platform/Clock.h"
#include "startup/AppContextLoader.h"
#include "support/Cli.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/LayoutForms.h"
#include "support/RecordingUi.h"
#include "support/ReportTexts.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

class ReworkOnDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    ASSERT_TRUE(LoadAppContext(
        context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
  }
  ReworkFormState FormFor(int choice) const { return test::GoldenReworkForm(choice); }
  ReworkCriteria CriteriaFor(int choice) const {
    ReworkCriteria criteria;
    CaptureReworkCriteria(FormFor(choice), criteria);
    return criteria;
  }

  ScopedToday today{test::DemoToday()};
  test::RecordingUi ui;
  AppContext context;
};

TEST_F(ReworkOnDemo, GoldenSheetsOfBothExportsAndTheFileReadBack) {
  test::TempDir folder;
  for (const int choice : {k重工明細表, k打樣明細表}) {
    ReworkCriteria criteria = CriteriaFor(choice);
    criteria.ReportName = ReworkReportName(choice);
    SCOPED_TRACE(criteria.ReportName.toStdString());
    auto connection = test::OpenDemo();
    const ReportRow& row = ReworkRowFor(choice);
    const RequestCriteria request{.context = context, .rework = &criteria};
    const QString statement = row.Statement(request, StatementUse::Export);
    const qint64 count = connection->CountRows(statement);
    ASSERT_GT(count, 23) << "two page blocks";
    db::Cursor rows = connection->OpenCursor(statement);
    excel::RecordedWorkbook recorded;
    excel::Workbook book({.recorder = &recorded});
    const auto frame = row.CreateExport(request);
    ASSERT_TRUE(frame->Write(rows, book));
    book.SaveAs(folder.File(criteria.ReportName + ".xlsx"));
    test::ExpectGolden(QStringLiteral("rework/%1.txt").arg(criteria.ReportName), recorded.Text());
    EXPECT_EQ(frame->Totals().dataRowCount, count);
    EXPECT_EQ(rows.Position(), count);
  }

  // The rework export run as the window starts it, read back from the file.
  ReworkCriteria criteria = CriteriaFor(k重工明細表);
  criteria.ReportName = "重工明細表";
  const QString path = folder.File("重工明細表-1151204.xlsx");
  const RequestCriteria request{.context = context, .rework = &criteria};
  ASSERT_EQ(ExportReport(ReworkRowFor(k重工明細表), request, path), excel::ExportOutcome::Written);
  EXPECT_EQ(ui.messages.back(),
            (test::ShownMessage{"檔案存放在：" + path, kExclamation, "轉Excel成功"}));
  const std::optional<QJsonObject> read = excel::test::OpenpyxlRead(path);
  if (!read) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  const QJsonObject sheet = read->value("sheet")
                                .toObject()
                                .value(read->value("sheets").toArray().at(0).toString())
                                .toObject();
  const QJsonObject cells = sheet.value("cells").toObject();
  const auto value = [&](const QString& address) {
    return cells.value(address).toObject().value("value");
  };
  const auto cell = [&](const QString& address) { return cells.value(address).toObject(); };

  // The heading block and the lines are the golden sheet's; here the file's own cells.
  EXPECT_EQ(value("A1").toString(), context.CompanyName);
  EXPECT_EQ(value("A2").toString(), "重工明細表");
  EXPECT_TRUE(sheet.value("merged").toArray().contains("A1:J1"));

  // Every line: column A is the kind's first character before the work-order number, J stays
  // empty for printing reworks, and the totals add them all.
  auto connection = test::OpenDemo();
  db::Recordset rows =
      connection->OpenRecordset(ReworkRowFor(k重工明細表).Statement(request, StatementUse::Export));
  int row = 4;
  double amount = 0, cost = 0;
  int lines = 0, printing = 0;
  for (rows.MoveFirst(); !rows.EOF_(); rows.MoveNext()) {
    if (++row % 28 == 0) row += 5;  // the free last row and the next block's heading
    const QString kind = rows.Text("種類");
    const QString n = QString::number(row);
    EXPECT_EQ(value("A" + n).toString(), kind.left(1) + rows.Text("PO")) << row;
    EXPECT_TRUE(cell("A" + n).value("quote").toBool());
    if (kind == "印刷") {
      ++printing;
      EXPECT_TRUE(value("J" + n).isNull() || value("J" + n).toString().isEmpty()) << row;
    } else {
      EXPECT_EQ(value("J" + n).toDouble(), rows.Number("SUM")) << row;
    }
    amount += rows.Number("AMT");
    cost += rows.Number("SUM");
    ++lines;
  }
  EXPECT_GT(printing, 0);
  const QString totals = QString::number(row + 1);
  EXPECT_EQ(value("A" + totals).toString(), QStringLiteral("合　　計：%1 件").arg(lines));
  EXPECT_DOUBLE_EQ(value("H" + totals).toDouble(), amount);
  EXPECT_DOUBLE_EQ(value("J" + totals).toDouble(), cost);
  EXPECT_EQ(cell("A" + totals).value("border").toArray().at(1).toString(), "medium");
  EXPECT_EQ(value("A29").toString(), context.CompanyName) << "the second block's heading";
  // Each block prints on a page of its own, as the overview exports do.
  QJsonArray breaks;
  for (int above = 28; above < row; above += 28)
    breaks.append(above);
  EXPECT_EQ(sheet.value("page").toObject().value("breaks").toArray(), breaks);
  EXPECT_EQ(sheet.value("page").toObject().value("fit").toArray(), (QJsonArray{true, 1, 0}));
  EXPECT_EQ(sheet.value("dimension").toString(), "A1:J" + totals);
}

TEST_F(ReworkOnDemo, TheExportReportsNoRowsAndAReportWithoutExport) {
  test::TempDir folder;
  ReworkCriteria criteria = CriteriaFor(k打樣明細表);
  criteria.ReportName = "打樣明細表";
  criteria.DateFrom = criteria.DateTo = "0100101";
  const QString none = folder.File("none.xlsx");
  RequestCriteria request{.context = context, .rework = &criteria};
  EXPECT_EQ(ExportReport(ReworkRowFor(k打樣明細表), request, none), excel::ExportOutcome::NoRows);
  EXPECT_EQ(ui.messages.back(),
            (test::ShownMessage{"資料庫中沒有符合條件的資料!", kInformation, "訊息"}));
  EXPECT_FALSE(QFile::exists(none));

  criteria = CriteriaFor(k留版明細表);
  criteria.ReportName = "留版明細表";
  EXPECT_EQ(ExportReport(ReworkRowFor(k留版明細表), request, none), excel::ExportOutcome::Failed);
  EXPECT_EQ(ui.messages.back().title, "轉Excel錯誤");
  EXPECT_EQ(ui.messages.back().style, kCritical);
  EXPECT_FALSE(QFile::exists(none));
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(ReworkOnDemo, TheCommandLineProducesEveryOutput) {
  test::TempDir folder;
  const QStringList common = {"--db",        test::DemoDatabasePath(),
                              "--today",     "2026-12-04",
                              "--admin",     "系統管理員",
                              "--user",      "系統管理員",
                              "--date-from", "1151001",
                              "--date-to",   "1151231"};
  // sql: the layout's statement, criteria by option and by the program's names in a file.
  const QString json = folder.Write("criteria.json",
                                    R"({"VendorKeyword": "V0", "VendorOrder": 1,
                                        "KindFilter": 1, "sopt選擇報表": 3})");
  test::CliRun run =
      test::RunCli(cli::RunReworkCommand, QStringList{"sql", "--criteria", json} + common);
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  ReworkCriteria expected = CriteriaFor(k刀模明細表);
  expected.VendorKeyword = "V0";
  expected.VendorOrder = kByDieMaker;
  expected.KindFilter = kKindPrinting;
  EXPECT_EQ(run.out, ReworkStatement(k刀模明細表, expected) + "\n");
  run = test::RunCli(cli::RunReworkCommand,
                     QStringList{"sql", "--choice", "0", "--kind", "work-order"} + common);
  EXPECT_TRUE(run.out.contains(" and (種類 = '工單') ")) << run.out.toStdString();

  // report: the layout's text, as the golden test prints it for the same criteria.
  const QString text = folder.File("留版.txt");
  run = test::RunCli(cli::RunReworkCommand,
                     QStringList{"report", "--choice", "2", "--text", text} + common);
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString printed = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(printed.contains("Label1: 留版明細表"));
  EXPECT_TRUE(printed.contains("txt頁次: 2"));
  EXPECT_TRUE(run.err.contains("rpt留版明細表")) << run.err.toStdString();

  // excel: choices 0 and 1 only.
  const QString xlsx = folder.File("打樣.xlsx");
  run = test::RunCli(cli::RunReworkCommand,
                     QStringList{"excel", "--choice", "1", "--xlsx", xlsx} + common);
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(QFile::exists(xlsx));
  run = test::RunCli(cli::RunReworkCommand,
                     QStringList{"excel", "--choice", "3", "--xlsx", xlsx} + common);
  EXPECT_EQ(run.code, 2);
  run = test::RunCli(cli::RunReworkCommand, QStringList{"print", "--choice", "0"});
  EXPECT_EQ(run.code, 2);
  run = test::RunCli(cli::RunReworkCommand, QStringList{"sql", "--choice", "4"} + common);
  EXPECT_EQ(run.code, 2);
}

}  // namespace
}  // namespace tarvel
