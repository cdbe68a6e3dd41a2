// The overview exports: where the page blocks put each line, what every routine writes on the
// demo database (golden files of the recorded sheets), and what one export run shows and leaves
// on the disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <set>
#include <thread>

#include "db/Connection.h"
#include "excel/ConvertedWorkbook.h"
#include "excel/PageBlocks.h"
#include "excel/WorkbookConversion.h"
#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/XlsxReadback.h"
#include "output/OutputRun.h"
#include "platform/Clock.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/LayoutForms.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"

namespace tarvel::excel {
namespace {

/// The rows the lines of a run get, and the heading blocks written before them (as the first
/// heading row of each block), when `lines` lines are written and then the totals.
struct Placed {
  std::vector<int> lines;
  std::vector<int> headings;
  int totals = 0;
};

Placed Place(int pageRows, int headingRows, int lines) {
  PageBlocks blocks(pageRows, headingRows);
  Placed placed;
  placed.headings.push_back(blocks.HeadingRows().front());
  for (int i = 0; i < lines; ++i) {
    if (blocks.BreakIfFull()) placed.headings.push_back(blocks.HeadingRows().front());
    placed.lines.push_back(blocks.NextLine());
  }
  placed.totals = blocks.TotalsRow();
  return placed;
}

TEST(PageBlocks, EachBlockKeepsItsHeadingAndAFreeLastRow) {
  // 28 rows, 5 heading rows: lines on 6..27, then the next block's heading on 29..33.
  Placed full = Place(28, 5, 22);
  EXPECT_EQ(full.lines.front(), 6);
  EXPECT_EQ(full.lines.back(), 27);
  EXPECT_EQ(full.headings, std::vector<int>{1});
  EXPECT_EQ(full.totals, 28);

  Placed over = Place(28, 5, 23);
  EXPECT_EQ(over.lines.back(), 34);
  EXPECT_EQ(over.headings, (std::vector<int>{1, 29}));
  EXPECT_EQ(over.totals, 35);

  // A block moved to a new sheet keeps its place within the block.
  PageBlocks moved(28, 5);
  EXPECT_EQ(moved.BlockEnd(), 28);
  moved.StartNextBlock();
  EXPECT_EQ(moved.BlockEnd(), 56);
  moved.NextLine();
  moved.MoveBlockToTop();
  EXPECT_EQ(moved.HeadingRows(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(moved.NextLine(), 7);
  EXPECT_EQ(moved.TotalsRow(), 8);

  // Blocks of every routine's size stay aligned on their multiples for long runs.
  const struct {
    int pageRows, headingRows;
  } sizes[] = {{28, 5}, {28, 6}, {28, 3}, {21, 4}, {21, 5}, {41, 6}};
  for (const auto& size : sizes) {
    const Placed run = Place(size.pageRows, size.headingRows, 60000);
    for (size_t b = 0; b < run.headings.size(); ++b)
      ASSERT_EQ(run.headings[b], 1 + static_cast<int>(b) * size.pageRows);
    for (int row : run.lines) {
      const int inBlock = (row - 1) % size.pageRows + 1;
      ASSERT_GT(inBlock, size.headingRows);
      ASSERT_LT(inBlock, size.pageRows) << "the last row of a block is the totals line's";
    }
    EXPECT_GT(run.lines.back(), 65535) << "rows are counted beyond 16 bits";
  }
}

TEST(PageBlocks, ASalespersonBlockClosesWithItsTotalsAndTheNextStartsAtTheTop) {
  PageBlocks blocks(28, 4);
  for (int i = 0; i < 3; ++i)
    blocks.NextLine();
  EXPECT_FALSE(blocks.NoRoomForTotals());
  EXPECT_EQ(blocks.TotalsRow(), 8);
  blocks.StartNextBlock();
  EXPECT_EQ(blocks.HeadingRows(), (std::vector<int>{29, 30, 31, 32}));
  EXPECT_EQ(blocks.NextLine(), 33);

  // A block filled to its free row must break before it can close.
  for (int i = 0; i < 21; ++i)
    blocks.NextLine();
  EXPECT_EQ(blocks.RowInPage(), 26);
  EXPECT_FALSE(blocks.NoRoomForTotals());
  blocks.NextLine();
  EXPECT_TRUE(blocks.NoRoomForTotals());
}

class ExportOnDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString = tarvel::test::DemoConnectionString();
    ASSERT_TRUE(LoadAppContext(
        context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
    // Ten days: two page blocks for most routines, both salesperson variants with several
    // blocks, combined plates included.
    form = tarvel::test::DemoForm("1151101", "1151110");
  }

  WorkOrderCriteria CriteriaOf(const OverviewFormState& state) const {
    WorkOrderCriteria criteria;
    CaptureCriteria(state, criteria);
    return criteria;
  }
  /// The export the main window leads to for `state` (表1's item-code overview by default), run
  /// as the export window runs it, as `user`.
  ExportOutcome Export(const OverviewFormState& state, const QString& path,
                       const ExportWatch& watch = {}, const AppContext* user = nullptr) {
    criteria = CriteriaOf(state);
    return ExportReport(RowFor(state), {.context = user ? *user : context, .overview = &criteria},
                        path, watch);
  }
  QString ExportStatementOf(const OverviewFormState& state) {
    criteria = CriteriaOf(state);
    return RowFor(state).Statement({.context = context, .overview = &criteria},
                                   StatementUse::Export);
  }

  ScopedToday today{tarvel::test::DemoToday()};
  tarvel::test::RecordingUi ui;
  AppContext context;
  OverviewFormState form;
  WorkOrderCriteria criteria;
};

TEST_F(ExportOnDemo, EveryRoutineWritesItsGoldenSheet) {
  tarvel::test::TempDir folder;
  std::set<const ExportRow*> written;
  for (const ReportRow& row : ReportRows()) {
    if (row.family != ReportFamily::Overview || !row.exporter ||
        !written.insert(row.exporter).second)
      continue;
    const QString name = QString::fromUtf8(row.exporter->name);
    SCOPED_TRACE(name.toStdString());
    const OverviewFormState state = tarvel::test::FormForLayout(row, form);
    auto connection = tarvel::test::OpenDemo();
    db::Cursor rows = connection->OpenCursor(ExportStatementOf(state));
    RecordedWorkbook recorded;
    Workbook book({.recorder = &recorded});
    const std::unique_ptr<PageBlockSheet> sheet =
        row.CreateExport({.context = context, .overview = &criteria});
    ASSERT_TRUE(sheet->Write(rows, book));
    book.SaveAs(folder.File(name + ".xlsx"));
    tarvel::test::ExpectGolden(QStringLiteral("exports/%1.txt").arg(name), recorded.Text());
  }
  // Every golden sheet is some export's: a removed or renamed export leaves none behind.
  std::set<QString> goldens;
  for (const QString& file :
       QDir(tarvel::test::SourceDir() + "/tests/golden/exports").entryList({"*.txt"}))
    goldens.insert(QFileInfo(file).completeBaseName());
  std::set<QString> names;
  for (const ExportRow* exporter : written)
    names.insert(QString::fromUtf8(exporter->name));
  EXPECT_EQ(names, goldens);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ExportOnDemo, AnExportRunReportsAndReplacesTheFileOnlyWhenComplete) {
  tarvel::test::TempDir folder;
  const QString target = folder.File("工單一覽表-1151204.xlsx");
  QFile old(target);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old workbook");
  old.close();

  EXPECT_EQ(Export(form, target), ExportOutcome::Written);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0],
            (tarvel::test::ShownMessage{"檔案存放在：" + target, kExclamation, "轉Excel成功"}));
  QFile written(target);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.read(2) == "PK") << "the old file was replaced by a workbook";
  EXPECT_EQ(ui.busyDepth, 0);

  // Nothing matches: no file is touched.
  OverviewFormState empty = form;
  empty.txt日期_起 = "0100101";
  empty.txt日期_末 = "0100102";
  const QString untouched = folder.File("none.xlsx");
  EXPECT_EQ(Export(empty, untouched), ExportOutcome::NoRows);
  EXPECT_EQ(ui.messages.back(),
            (tarvel::test::ShownMessage{"資料庫中沒有符合條件的資料!", kInformation, "訊息"}));
  EXPECT_FALSE(QFile::exists(untouched));

  // Cancelled half-way: the old file stays, nothing is left beside it, and the progress heard
  // the count as its total once the count beside the export was in (0 until then, never less
  // than the lines written).
  QFile::remove(target);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old workbook");
  old.close();
  qint64 heardTotal = 0;
  const auto cancelAtThird = [&](const ExportStatus& status) {
    EXPECT_EQ(status.stage == ExportStage::Counting, status.total == 0);
    EXPECT_TRUE(status.total == 0 || status.total >= status.written)
        << status.total << " after " << status.written;
    heardTotal = status.total;
    if (status.total == 0) QThread::msleep(5);  // the count is on its way
    return status.total == 0 || status.written < 3;
  };
  EXPECT_EQ(Export(form, target, cancelAtThird), ExportOutcome::Cancelled);
  EXPECT_EQ(ui.messages.back(), (tarvel::test::ShownMessage{"已取消轉檔，檔案沒有寫入：" + target,
                                                            kInformation, "訊息"}));
  EXPECT_EQ(heardTotal, tarvel::test::OpenDemo()->CountRows(ExportStatementOf(form)));
  EXPECT_GT(heardTotal, 3);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "old workbook");
  old.close();

  // A folder that does not exist: the routine's own title, and the old file stays.
  OverviewFormState plates = form;
  plates.sopt選擇報表 = k表4含合版;
  EXPECT_EQ(Export(plates, folder.File("missing/工單.xlsx")), ExportOutcome::Failed);
  EXPECT_EQ(ui.messages.back().title, "表七轉Excel錯誤");
  EXPECT_EQ(ui.messages.back().style, kCritical);
  EXPECT_FALSE(ui.messages.back().text.isEmpty());
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files).size(), 1)
      << "no temporary file is left beside the target";
  EXPECT_EQ(ui.busyDepth, 0);
}

// The worked examples, read back from the file as a spreadsheet reads it.
TEST_F(ExportOnDemo, TwentyTwoLinesFillOneBlockAndTheTwentyThirdOpensTheNext) {
  tarvel::test::TempDir folder;
  for (const int lines : {22, 23}) {
    OverviewFormState state = form;
    state.txt單號_起 = "115110001";
    state.txt單號_末 = QStringLiteral("1151100%1").arg(lines);
    const QString path = folder.File(QStringLiteral("%1.xlsx").arg(lines));
    ASSERT_EQ(Export(state, path), ExportOutcome::Written);
    const std::optional<QJsonObject> book = excel::test::OpenpyxlRead(path);
    if (!book) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
    const QJsonObject cells = (*book)["sheet"].toObject()["工作表1"].toObject()["cells"].toObject();
    const auto value = [&](const char* cell) -> QJsonValue {
      return cells[cell].toObject()["value"];
    };
    const int totals = lines == 22 ? 28 : 35;
    EXPECT_EQ(value("A6").toString(), "115110001");
    EXPECT_TRUE(cells["A6"].toObject()["quote"].toBool()) << "work-order numbers stay text";
    EXPECT_EQ(value(qPrintable(QStringLiteral("A%1").arg(totals))).toString(),
              QStringLiteral("合　　計：%1 件").arg(lines));
    if (lines == 22) {
      EXPECT_TRUE(value("A29").isUndefined() || value("A29").isNull());
    } else {
      EXPECT_EQ(value("A29").toString(), "工單一覽表");
      EXPECT_EQ(value("A33").toString(), "工單單號");
      EXPECT_EQ(value("A34").toString(), "115110023");
    }
    // Numbers keep their own decimals in their format.
    for (const QString& name : cells.keys()) {
      const QJsonObject cell = cells[name].toObject();
      if (!name.startsWith('G') || !cell["value"].isDouble()) continue;
      const double price = cell["value"].toDouble();
      const QString expected = price == std::floor(price)             ? "#,##0"
                               : price * 10 == std::floor(price * 10) ? "#,##0.0"
                                                                      : "#,##0.00";
      EXPECT_EQ(cell["format"].toString(), expected) << name.toStdString() << " " << price;
    }
  }
}

// Past a sheet's last row the page blocks go on at the top of a second sheet (here a sheet of 60
// rows: two blocks of 28 fit, the third moves), with the totals after the last line there: 45
// lines, 44 on the first sheet.
TEST_F(ExportOnDemo, PageBlocksThatPassTheSheetsLastRowContinueOnTheNextSheet) {
  OverviewFormState state = form;
  state.txt單號_起 = "115110001";
  state.txt單號_末 = "115110045";
  const QString statement = ExportStatementOf(state);
  const auto frame = RowFor(state).CreateExport({.context = context, .overview = &criteria});
  frame->SetSheetRowLimit(60);
  tarvel::test::TempDir folder;
  const QString path = folder.File("sheets.xlsx");
  ASSERT_EQ(ExportRows(
                *frame, [&] { return statement; }, "表八轉Excel錯誤", context, path),
            ExportOutcome::Written);
  EXPECT_EQ(frame->Totals().pageCount, 3);
  const std::optional<QJsonObject> book = excel::test::OpenpyxlRead(path);
  if (!book) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  const QJsonObject sheets = (*book)["sheet"].toObject();
  const auto cell = [&](const char* sheet, const char* address) -> QJsonValue {
    return sheets[sheet].toObject()["cells"].toObject()[address].toObject()["value"];
  };
  EXPECT_EQ(cell("工作表1", "A34").toString(), "115110023");
  EXPECT_EQ(cell("工作表1", "A55").toString(), "115110044");
  EXPECT_TRUE(cell("工作表1", "A57").isNull());
  EXPECT_EQ(cell("工作表2", "A1").toString(), "工單一覽表");
  EXPECT_EQ(cell("工作表2", "A5").toString(), "工單單號");
  EXPECT_EQ(cell("工作表2", "A6").toString(), "115110045");
  EXPECT_EQ(cell("工作表2", "A7").toString(), "合　　計：45 件");
  const QJsonObject firstPage = sheets["工作表1"].toObject()["page"].toObject();
  const QJsonObject secondPage = sheets["工作表2"].toObject()["page"].toObject();
  EXPECT_EQ(secondPage["orientation"].toString(), "landscape");
  EXPECT_EQ(firstPage["breaks"].toArray(), QJsonArray{28});
  EXPECT_EQ(secondPage["breaks"].toArray(), QJsonArray()) << "a sheet's first block needs none";
  EXPECT_EQ(secondPage["fit"].toArray(), (QJsonArray{true, 1, 0}));
}

/// The pages LibreOffice prints of the workbook at `path`, as pdftotext reads them.
QStringList PrintedByLibreOffice(const QString& path, const tarvel::test::TempDir& folder) {
  QProcess soffice;
  soffice.setProcessChannelMode(QProcess::MergedChannels);
  soffice.start("soffice",
                {"-env:UserInstallation=" + QUrl::fromLocalFile(folder.File("profile")).toString(),
                 "--headless", "--norestore", "--convert-to", "pdf", "--outdir",
                 folder.File("printed"), path});
  if (!soffice.waitForFinished(300000) || soffice.exitCode() != 0) {
    ADD_FAILURE() << "soffice could not print " << path.toStdString() << ": "
                  << soffice.readAll().toStdString();
    return {};
  }
  QStringList pages =
      tarvel::test::PdfText(folder.File("printed/" + QFileInfo(path).completeBaseName() + ".pdf"))
          .split(u'\f');
  if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

// A 60-line 表1 as a clerk prints it: one page block on each page, every column on it, in a
// program that measures its rows and columns otherwise than Excel does.
TEST_F(ExportOnDemo, EveryPageBlockPrintsOnAPageOfItsOwn) {
  OverviewFormState state = form;
  state.txt日期_末 = "1151130";
  state.txt單號_起 = "115110001";
  state.txt單號_末 = "115110060";
  tarvel::test::TempDir folder;
  const QString path = folder.File("工單一覽表.xlsx");
  ASSERT_EQ(Export(state, path), ExportOutcome::Written);

  // Three blocks of 28 rows: 22 lines, 22 lines, 16 lines and the totals on row 78.
  if (const std::optional<QJsonObject> book = excel::test::OpenpyxlRead(path)) {
    const QJsonObject sheet = (*book)["sheet"].toObject()["工作表1"].toObject();
    const QJsonObject cells = sheet["cells"].toObject();
    EXPECT_EQ(cells["A29"].toObject()["value"].toString(), "工單一覽表");
    EXPECT_EQ(cells["A57"].toObject()["value"].toString(), "工單一覽表");
    EXPECT_EQ(cells["A78"].toObject()["value"].toString(), "合　　計：60 件");
    EXPECT_EQ(sheet["page"].toObject()["breaks"].toArray(), (QJsonArray{28, 56}));
    EXPECT_EQ(sheet["page"].toObject()["fit"].toArray(), (QJsonArray{true, 1, 0}));
    EXPECT_EQ(sheet["page"].toObject()["orientation"].toString(), "landscape");
    EXPECT_EQ(sheet["dimension"].toString(), "A1:M78");
    EXPECT_EQ(sheet["max_column"].toInt(), 13);
  }

  const QStringList pages = PrintedByLibreOffice(path, folder);
  ASSERT_EQ(pages.size(), 3);
  for (const QString& page : pages) {
    const QString first = page.trimmed().section(u'\n', 0, 0).trimmed();
    EXPECT_EQ(first, "工單一覽表") << page.toStdString();
    EXPECT_TRUE(page.contains("單別")) << "the last column is on the page: " << page.toStdString();
  }
  EXPECT_TRUE(pages[0].contains("115110022") && !pages[0].contains("115110023"));
  EXPECT_TRUE(pages[1].contains("115110023") && pages[1].contains("115110044"));
  EXPECT_TRUE(pages[2].contains("115110045") && pages[2].contains("60 件"));
}

TEST_F(ExportOnDemo, OlderAndOpenFormatsAreConvertedFromTheFinishedWorkbook) {
  EXPECT_EQ(FormatOfPath("/a/b.XLS"), WorkbookFormat::Xls);
  EXPECT_EQ(FormatOfPath("/a/b.ods"), WorkbookFormat::Ods);
  EXPECT_EQ(FormatOfPath("/a/b.xlsx"), WorkbookFormat::Xlsx);
  EXPECT_EQ(FormatOfPath("/a/工單一覽表-1151204"), WorkbookFormat::Xlsx);

  tarvel::test::TempDir folder;
  const struct {
    const char* name;
    QByteArray magic;
  } targets[] = {{"表八.xls", QByteArray::fromHex("d0cf11e0a1b11ae1")},  // OLE2 compound file
                 {"表八.ods", "PK"}};
  for (const auto& target : targets) {
    const QString path = folder.File(QString::fromUtf8(target.name));
    ASSERT_EQ(Export(form, path), ExportOutcome::Written)
        << (ui.messages.empty() ? QString() : ui.messages.back().text).toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(target.magic.size()), target.magic) << target.name;
  }
  EXPECT_EQ(
      QDir(folder.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
      2)
      << "the intermediate workbook and the converter's profile are gone";
}

// The export run asks for the right itself, whichever window or command starts it.
TEST_F(ExportOnDemo, AUserWithoutTheRightGetsNoWorkbook) {
  AppContext restricted;
  restricted.ConnectionString = context.ConnectionString;
  ASSERT_TRUE(LoadAppContext(restricted,
                             "-qdx5170 -AD= -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=0"));
  tarvel::test::TempDir folder;
  const QString target = folder.File("表1.xlsx");
  EXPECT_EQ(Export(form, target, {}, &restricted), ExportOutcome::Refused);
  EXPECT_EQ(ui.messages,
            (std::vector<tarvel::test::ShownMessage>{{"您的權限不可以轉Excel！", 48, "警告"}}));
  EXPECT_TRUE(QDir(folder.Path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// Other programs go on saving work orders while a long export reads its snapshot: the demo
// database keeps a write-ahead log, where a rollback journal would make them wait for the end.
TEST_F(ExportOnDemo, AWriterCommitsWhileAnExportReads) {
  tarvel::test::TempDir folder;
  const QString copy = tarvel::test::CopyDemoDatabase(folder.Path());
  AppContext onCopy = context;
  onCopy.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + copy;
  const db::ScopedBusyTimeout briefly(300);
  const auto writer = db::Connection::OpenFile(copy);
  int saved = 0;
  QString failure;
  const auto writeMidway = [&](const ExportStatus& status) {
    if (status.written == 3 && status.stage <= ExportStage::Rows) {
      try {
        writer->Execute("insert into [SYSUSER1] (ID, FUNC, LPID) values ('PC2\\amy', 'Other', 1)");
        ++saved;
      } catch (const Error& error) {
        failure = error.Description();
      }
    }
    return true;
  };
  EXPECT_EQ(Export(form, folder.File("表1.xlsx"), writeMidway, &onCopy), ExportOutcome::Written);
  EXPECT_EQ(saved, 1) << failure.toStdString();
}

// An export goes through its stages in order (the rows' stage even when the rows are written
// before the count beside them is in), and a stop at any of them keeps the old file, leaves
// nothing beside it and says the export was cancelled.
TEST_F(ExportOnDemo, AStopAtAnyStageKeepsTheOldFileAndLeavesNothingBesideIt) {
  const std::vector<ExportStage> order = {ExportStage::Counting, ExportStage::Rows,
                                          ExportStage::Saving, ExportStage::Converting,
                                          ExportStage::Checking};
  const struct {
    ExportStage stage;
    const char* target;
  } cases[] = {
      {ExportStage::Counting, "表1.xlsx"}, {ExportStage::Rows, "表1.xlsx"},
      {ExportStage::Saving, "表1.xlsx"},   {ExportStage::Converting, "表1.xls"},
      {ExportStage::Checking, "表1.ods"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target + std::to_string(static_cast<int>(c.stage)));
    tarvel::test::TempDir folder;
    const QString target = folder.Write(c.target, "old workbook");
    std::vector<ExportStage> heard;
    const auto stopAt = [&](const ExportStatus& status) {
      if (heard.empty() || heard.back() != status.stage) heard.push_back(status.stage);
      EXPECT_EQ(status.format, FormatOfPath(target));
      return status.stage != c.stage;
    };
    EXPECT_EQ(Export(form, target, stopAt), ExportOutcome::Cancelled);
    EXPECT_EQ(heard, std::vector<ExportStage>(order.begin(),
                                              std::find(order.begin(), order.end(), c.stage) + 1));
    EXPECT_EQ(ui.messages.back(), (tarvel::test::ShownMessage{"已取消轉檔，檔案沒有寫入：" + target,
                                                              kInformation, "訊息"}));
    EXPECT_EQ(tarvel::test::ReadFile(target), "old workbook");
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{c.target});
  }
}

// A stop asked from another thread while the statement is still on its way to the first row (a
// sort, a slow server) interrupts the statement: the run ends as cancelled, not as failed.
TEST_F(ExportOnDemo, AStopFromAnotherThreadInterruptsTheStatementBeforeTheFirstRow) {
  const QString statement = ExportStatementOf(form);
  // Billions of combinations to count before the first row can come.
  const QString slow = "select * from (" + statement +
                       ") as x where (select count(*) from [工單主檔] as a, [工單主檔] as b, "
                       "[工單主檔] as c) > 0";
  const auto sheet = RowFor(form).CreateExport({.context = context, .overview = &criteria});
  tarvel::test::TempDir folder;
  const QString target = folder.Write("表1.xlsx", "old workbook");
  ExportStop stop;
  std::atomic<bool> started{false};
  std::thread asker([&] {
    while (!started.load())
      QThread::msleep(5);
    // Long enough for the statement to be under way; asked again, as the window does, until
    // the run has ended.
    QThread::msleep(300);
    while (started.load()) {
      stop.Request();
      QThread::msleep(50);
    }
  });
  const ExportResult result = RunExport(
      *sheet, [&] { return slow; }, "表八轉Excel錯誤", context, target,
      [&](const ExportStatus&) {
        started = true;
        return true;
      },
      &stop);
  started = false;
  asker.join();
  EXPECT_EQ(result.outcome, ExportOutcome::Cancelled) << result.message.toStdString();
  EXPECT_EQ(result.message, "已取消轉檔，檔案沒有寫入：" + target);
  EXPECT_EQ(tarvel::test::ReadFile(target), "old workbook");
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"表1.xlsx"});
  EXPECT_TRUE(ui.messages.empty()) << "the run itself shows nothing";
}

// What LibreOffice writes is read back before it replaces the target: a file that does not hold
// the workbook's rows is refused and the old one stays.
TEST(WorkbookConversion, TheConvertedFileMustHoldTheWorkbooksRows) {
  tarvel::test::TempDir folder;
  const QString xlsx = folder.File("book.xlsx");
  Workbook book;
  book.ActiveSheet().Range("A1").SetValue(QStringLiteral("工單一覽表"));
  book.ActiveSheet().Range("C4").SetValue(12.5);
  book.ActiveSheet()
      .Range("A6")
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetWeight(XlBorderWeight::kThin);  // a format alone is no value
  book.AddSheet().Range("B2").SetValue(QStringLiteral("'0012"));
  book.SaveAs(xlsx);
  const std::vector<SheetValues> values = book.Values();
  ASSERT_EQ(values, (std::vector<SheetValues>{{2, 4}, {1, 2}}));

  for (const WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Ods}) {
    const QString target =
        folder.Write(format == WorkbookFormat::Xls ? "old.xls" : "old.ods", "old workbook");
    std::vector<SheetValues> more = values;
    ++more.back().lastRow;
    EXPECT_THROW(ConvertWorkbook(xlsx, format, target, more), Error);
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old workbook");
    old.close();
    ConvertWorkbook(xlsx, format, target, values);
    EXPECT_EQ(ReadSheetValues(target, format), values);
  }
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"book.xlsx", "old.ods", "old.xls"}));
}

}  // namespace
}  // namespace tarvel::excel
