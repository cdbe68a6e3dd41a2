// The rework reports on the run's demo database: the query run and what it hands on, every layout
// printing the rows the check counted, the golden texts of the four layouts and the two workbooks,
// a PDF and a workbook file read back, and tarvel-cli rework.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/XlsxReadback.h"
#include "platform/Clock.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/TextDump.h"
#include "rework/ReworkCatalogue.h"
#include "rework/ReworkExport.h"
#include "rework/ReworkQuery.h"
#include "rework/ReworkStatements.h"
#include "startup/AppContextLoader.h"
#include "startup/DatabaseLocation.h"
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

TEST_F(ReworkOnDemo, EveryLayoutPrintsTheRowsTheCheckCounted) {
  for (const ReworkLayoutEntry& entry : ReworkCatalogue()) {
    SCOPED_TRACE(entry.name);
    ReworkCriteria criteria;
    context.CompanyName.clear();
    std::unique_ptr<Report> report;
    std::optional<CheckedRows> checked;
    const ReworkFormState form = FormFor(entry.choice);
    ASSERT_EQ(BuildAndCheckRework(
                  form, OutputMode::Preview, context, criteria,
                  [&](int choice, OutputMode mode) {
                    EXPECT_EQ(choice, entry.choice);
                    EXPECT_EQ(mode, OutputMode::Preview);
                    report = CreateReworkLayout(ReworkEntryFor(choice), criteria, context);
                    // The layout prints the rows the check read: with its database gone, still.
                    report->DataControl1.ConnectionString = "Data Source=/nonexistent/KORV.mdb";
                    report->DataControl1.UseCheckedRows(std::exchange(checked, std::nullopt));
                  },
                  &checked),
              BuildResult::Dispatched);
    ASSERT_TRUE(report);
    EXPECT_FALSE(context.CompanyName.isEmpty()) << "refreshed from [COMPANY]";
    EXPECT_TRUE(criteria.ReportName.isEmpty()) << "print and preview leave the report name";
    const QString check = ReworkStatement(entry.choice, criteria, ReworkQuery::Check);
    const qint64 counted = static_cast<qint64>(
        test::Scalar(*test::OpenDemo(), "select count(*) from (" + check + ")"));
    EXPECT_GT(counted, 0);
    EXPECT_EQ(report->DataControl1.Source, ReworkStatement(entry.choice, criteria));
    const PageModel model = report->Run(PaperSizeTwips(9));
    EXPECT_EQ(test::BandInstances(model, SectionKind::Detail).size(), static_cast<size_t>(counted));
    EXPECT_GE(model.PageCount(), 2);
  }
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(ReworkOnDemo, TheQueryRunReportsNoRowsAndErrorsAndNamesTheExportedReport) {
  ReworkCriteria criteria;
  int outputs = 0;
  const ReworkOutput count = [&](int, OutputMode) { ++outputs; };
  ReworkFormState none = FormFor(k重工明細表);
  none.txt日期_起 = "0100101";
  none.txt日期_末 = "0100102";
  EXPECT_EQ(BuildAndCheckRework(none, OutputMode::Print, context, criteria, count),
            BuildResult::NoRows);
  EXPECT_EQ(ui.messages.back(), (test::ShownMessage{"查無任何資料!", kExclamation, "訊息"}));
  EXPECT_EQ(criteria.DateFrom, "0100101") << "captured before the check";

  // Excel names the chosen report for choices 0 and 1; the others keep the last name.
  EXPECT_EQ(BuildAndCheckRework(FormFor(k打樣明細表), OutputMode::Excel, context, criteria, count),
            BuildResult::Dispatched);
  EXPECT_EQ(criteria.ReportName, "打樣明細表");
  EXPECT_EQ(BuildAndCheckRework(FormFor(k留版明細表), OutputMode::Excel, context, criteria, count),
            BuildResult::Dispatched);
  EXPECT_EQ(criteria.ReportName, "打樣明細表");
  EXPECT_EQ(BuildAndCheckRework(FormFor(k重工明細表), OutputMode::Excel, context, criteria, count),
            BuildResult::Dispatched);
  EXPECT_EQ(criteria.ReportName, "重工明細表");
  EXPECT_EQ(outputs, 3);

  // An output that fails and a database that cannot open: "印表錯誤" with their own text.
  EXPECT_EQ(BuildAndCheckRework(FormFor(k重工明細表), OutputMode::Print, context, criteria,
                                [](int, OutputMode) { throw Error("印表機沒有回應"); }),
            BuildResult::Failed);
  EXPECT_EQ(ui.messages.back(), (test::ShownMessage{"印表機沒有回應", kCritical, "印表錯誤"}));
  test::TempDir folder;
  context.ConnectionString = ComposeConnectionString(folder.File("none/KORV.mdb"));
  EXPECT_EQ(BuildAndCheckRework(FormFor(k重工明細表), OutputMode::Print, context, criteria, count),
            BuildResult::Failed);
  EXPECT_EQ(ui.messages.back().title, "印表錯誤");
  EXPECT_EQ(ui.messages.back().style, kCritical);
  EXPECT_FALSE(ui.messages.back().text.isEmpty());
  EXPECT_EQ(outputs, 3);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(ReworkOnDemo, GoldenTextOfEveryLayoutAndItsPdf) {
  for (const ReworkLayoutEntry& entry : ReworkCatalogue()) {
    SCOPED_TRACE(entry.name);
    const PageModel model =
        CreateReworkLayout(entry, CriteriaFor(entry.choice), context)->Run(PaperSizeTwips(9));
    const int printable =
        model.paperWidth - qRound(model.settings.leftMargin) - qRound(model.settings.rightMargin);
    for (const ItemStyle& style : model.styles)
      EXPECT_LE(style.box.left() + style.box.width(), printable) << style.control.toStdString();
    test::ExpectGolden(QStringLiteral("rework/%1.txt").arg(QString::fromUtf8(entry.name)),
                       DumpText(model));
  }
  // What a printed page shows: the die list's first page with its page number.
  test::TempDir folder;
  const QString pdf = folder.File("刀模明細表.pdf");
  WritePdf(CreateReworkLayout(ReworkEntryFor(k刀模明細表), CriteriaFor(k刀模明細表), context)
               ->Run(PaperSizeTwips(9)),
           pdf);
  const QString text = test::PdfText(pdf);
  EXPECT_TRUE(text.contains("刀模明細表")) << text.left(400).toStdString();
  EXPECT_TRUE(text.contains(context.CompanyName));
  EXPECT_TRUE(text.contains("115/10/01")) << "the order-date range";
}

TEST_F(ReworkOnDemo, GoldenSheetsOfBothExportsAndTheFileReadBack) {
  test::TempDir folder;
  for (const int choice : {k重工明細表, k打樣明細表}) {
    ReworkCriteria criteria = CriteriaFor(choice);
    criteria.ReportName = ReworkReportName(choice);
    SCOPED_TRACE(criteria.ReportName.toStdString());
    auto connection = test::OpenDemo();
    const QString statement = ReworkExportStatement(criteria.ReportName, criteria);
    const qint64 count = connection->CountRows(statement);
    ASSERT_GT(count, 23) << "two page blocks";
    db::Cursor rows = connection->OpenCursor(statement);
    excel::RecordedWorkbook recorded;
    excel::Workbook book({.recorder = &recorded});
    const auto frame = excel::CreateReworkExport(criteria, context);
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
  ASSERT_EQ(excel::ExportRework(criteria, context, path), excel::ExportOutcome::Written);
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

  // The heading block of the first page block.
  EXPECT_EQ(value("A1").toString(), context.CompanyName);
  EXPECT_EQ(cell("A1").value("font").toArray().at(0).toString(), "標楷體");
  EXPECT_EQ(value("A2").toString(), "重工明細表");
  EXPECT_EQ(cell("A2").value("font").toArray().at(1).toDouble(), 18);
  EXPECT_EQ(value("A3").toString(), "日期起迄：115/07/01 ～ 115/12/31");
  EXPECT_EQ(value("I3").toString(), "印表日期：115/12/04");
  EXPECT_EQ(cell("A3").value("border").toArray().at(1).toString(), "medium");
  const char* headings[] = {"工單單號", "工單日期", "客戶簡稱", "印件名稱", "業務/管理單號",
                            "數量",     "單價",     "金額",     "預交日期", "成本金額"};
  for (int i = 0; i < 10; ++i) {
    const QString address = QString(QChar('A' + i)) + "4";
    EXPECT_EQ(value(address).toString(), headings[i]) << address.toStdString();
    EXPECT_EQ(cell(address).value("border").toArray().at(1).toString(), "thin");
    EXPECT_NE(cell(address).value("border").toArray().at(0).toString(), "medium");
  }
  EXPECT_TRUE(sheet.value("merged").toArray().contains("A1:J1"));
  EXPECT_TRUE(sheet.value("merged").toArray().contains("A2:J2"));

  // Every line: column A is the kind's first character before the work-order number, J stays
  // empty for printing reworks, and the totals add them all.
  auto connection = test::OpenDemo();
  db::Recordset rows = connection->OpenRecordset(ReworkExportStatement("重工明細表", criteria));
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
  EXPECT_EQ(excel::ExportRework(criteria, context, none), excel::ExportOutcome::NoRows);
  EXPECT_EQ(ui.messages.back(),
            (test::ShownMessage{"資料庫中沒有符合條件的資料!", kInformation, "訊息"}));
  EXPECT_FALSE(QFile::exists(none));

  criteria = CriteriaFor(k留版明細表);
  criteria.ReportName = "留版明細表";
  EXPECT_EQ(excel::ExportRework(criteria, context, none), excel::ExportOutcome::Failed);
  EXPECT_EQ(ui.messages.back().title, "表一轉Excel錯誤");
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
