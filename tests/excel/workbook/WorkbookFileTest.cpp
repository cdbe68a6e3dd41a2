// The file SaveAs writes: its parts against golden copies, its cells as openpyxl reads them, and
// what happens to the target when saving fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <optional>

#include "ModelSheet.h"
#include "XlsxReadback.h"
#include "excel/workbook/ColumnWidth.h"
#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/WorkbookError.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace tarvel::excel {
namespace {

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lets this process write files only up to `bytes`: a disk that fills up. Writes beyond fail
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

class WorkbookFileTest : public ::testing::Test {
 protected:
  QString Old(const QString& name) {
    return dir_.Write(name, QByteArrayLiteral("the old workbook"));
  }
  tarvel::test::TempDir dir_;
};

TEST_F(WorkbookFileTest, TheModelSheetReadsBackAsWritten) {
  const QString path = dir_.File(QStringLiteral("工單一覽表-1151204.xlsx"));
  Workbook book({.tempFolder = dir_.Path()});
  test::WriteModelSheet(book.ActiveSheet(), 3);
  book.SaveAs(path);
  EXPECT_FALSE(book.IsOpen());
  EXPECT_THROW(book.ActiveSheet().Range(QStringLiteral("A1")).SetValue(1), WorkbookError);
  EXPECT_THROW(book.SaveAs(path), WorkbookError);
  EXPECT_EQ(Entries(dir_.Path()), QStringList{QStringLiteral("工單一覽表-1151204.xlsx")});

  tarvel::test::ExpectGolden(
      QStringLiteral("workbook/model-sheet1.xml"),
      test::XmlLines(test::UnzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"))));
  tarvel::test::ExpectGolden(
      QStringLiteral("workbook/model-styles.xml"),
      test::XmlLines(test::UnzipPart(path, QStringLiteral("xl/styles.xml"))));

  const std::optional<QJsonObject> read = test::OpenpyxlRead(path);
  if (!read) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  EXPECT_EQ(read->value("sheets").toArray(), QJsonArray{QStringLiteral("工作表1")});
  const QJsonObject sheet =
      read->value("sheet").toObject().value(QStringLiteral("工作表1")).toObject();
  const QJsonObject cells = sheet.value("cells").toObject();
  const auto cell = [&](const char* address) {
    return cells.value(QLatin1String(address)).toObject();
  };
  const auto array = [](std::initializer_list<QJsonValue> values) { return QJsonArray(values); };

  EXPECT_EQ(cell("A1").value("value").toString(), QStringLiteral("工單一覽表"));
  EXPECT_EQ(cell("A1").value("font").toArray(),
            array({QStringLiteral("標楷體"), 20.0, true, QStringLiteral("single"), QJsonValue()}));
  EXPECT_EQ(cell("A1").value("align").toArray(),
            array({QStringLiteral("center"), QStringLiteral("center"), false}));
  // Texts typed with an apostrophe keep their leading zeros and the quote prefix; numbers and
  // plain texts of the same look do not share their style.
  EXPECT_EQ(cell("A4").value("value").toString(), QStringLiteral("001140001"));
  EXPECT_EQ(cell("A4").value("type").toString(), QStringLiteral("s"));
  EXPECT_TRUE(cell("A4").value("quote").toBool());
  EXPECT_TRUE(cell("C4").value("quote").toBool());
  EXPECT_EQ(cell("E4").value("value").toString(), QStringLiteral("=DM 型錄 <A4>"));
  EXPECT_TRUE(cell("E4").value("quote").toBool());
  EXPECT_EQ(cell("L4").value("value").toDouble(), 3);
  EXPECT_EQ(cell("L4").value("type").toString(), QStringLiteral("n"));
  EXPECT_FALSE(cell("L4").value("quote").toBool());
  EXPECT_EQ(cell("L4").value("border").toArray(), cell("C4").value("border").toArray());
  EXPECT_EQ(cell("K4").value("value").toString(), QStringLiteral("Y"));
  EXPECT_FALSE(cell("K4").value("quote").toBool());
  EXPECT_EQ(cell("M4").value("value").toDouble(), 123);
  EXPECT_EQ(cell("M4").value("format").toString(), QStringLiteral("General"));
  EXPECT_EQ(cell("F4").value("value").toDouble(), 1234);
  EXPECT_EQ(cell("F4").value("format").toString(), QStringLiteral("#,##0"));
  EXPECT_EQ(cell("F5").value("value").toDouble(), 1234.5);
  EXPECT_EQ(cell("F5").value("format").toString(), QStringLiteral("#,##0.0"));
  EXPECT_EQ(cell("F5").value("font").toArray(),
            array({QStringLiteral("新細明體"), 11.0, false, QJsonValue(), QJsonValue()}));
  EXPECT_EQ(cell("F5").value("align").toArray(),
            array({QStringLiteral("right"), QStringLiteral("center"), false}));
  EXPECT_EQ(cell("A3").value("border").toArray(),
            array({QStringLiteral("medium"), QStringLiteral("thin"), QJsonValue(), QJsonValue()}));
  EXPECT_EQ(cell("A7").value("value").toString(), QStringLiteral("合　　計：3 件"));
  EXPECT_EQ(
      cell("A7").value("border").toArray(),
      array({QStringLiteral("double"), QStringLiteral("medium"), QJsonValue(), QJsonValue()}));
  EXPECT_TRUE(cell("A7").value("align").toArray().at(2).toBool());
  EXPECT_EQ(cell("F7").value("value").toDouble(), 2468.5);
  EXPECT_EQ(cell("F7").value("format").toString(), QStringLiteral("#,##0.00"));
  EXPECT_EQ(cell("J7").value("value").toDouble(), 0.12);
  EXPECT_EQ(cell("J7").value("format").toString(), QStringLiteral("0%"));
  EXPECT_EQ(cell("J7").value("font").toArray().at(4).toString(), QStringLiteral("FFFF0000"));

  EXPECT_EQ(sheet.value("merged").toArray(),
            array({QStringLiteral("A1:M1"), QStringLiteral("A7:C7"), QStringLiteral("K2:M2")}));
  EXPECT_EQ(sheet.value("default_row_height").toDouble(), 20);
  EXPECT_EQ(sheet.value("rows").toObject().value("1").toDouble(), 23);
  EXPECT_FALSE(sheet.value("rows").toObject().contains("2"));
  const QJsonObject page = sheet.value("page").toObject();
  EXPECT_EQ(page.value("orientation").toString(), QStringLiteral("landscape"));
  EXPECT_EQ(page.value("paper").toInt(), 9);
  const QJsonArray margins = page.value("margins").toArray();
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(margins.at(i).toDouble(), 0.3937, 1e-4) << i;
  EXPECT_EQ(margins.at(4).toDouble(), 0);
  EXPECT_EQ(margins.at(5).toDouble(), 0);
  EXPECT_EQ(page.value("fit").toArray(), array({true, 1, 0}));
  // The sheet is as wide as its cells: the whole-sheet font reaches the columns beyond through
  // the workbook's default format, not through a style on each of them.
  EXPECT_EQ(sheet.value("dimension").toString(), QStringLiteral("A1:M7"));
  EXPECT_EQ(sheet.value("max_column").toInt(), 13);
  // Widths as a Traditional Chinese Excel (新細明體 12, 8-pixel digits) shows them.
  const QJsonArray columns = sheet.value("columns").toArray();
  ASSERT_EQ(columns.size(), 12);  // G:H share a width
  const auto shownPixels = [&](int column) {
    for (const QJsonValue& run : columns) {
      const QJsonArray range = run.toArray();
      if (range.at(0).toInt() <= column && column <= range.at(1).toInt())
        return StoredWidthPixels(range.at(2).toDouble(), 8);
    }
    return -1;
  };
  EXPECT_EQ(shownPixels(1), 77);   // A 9
  EXPECT_EQ(shownPixels(5), 285);  // E 35
  EXPECT_EQ(shownPixels(8), 77);   // H 9
  EXPECT_EQ(shownPixels(9), 57);   // I 6.5
  EXPECT_EQ(shownPixels(14), -1);  // Excel's standard width, stored nowhere
}

TEST_F(WorkbookFileTest, ManualPageBreaksAndScalingReadBack) {
  const QString path = dir_.File(QStringLiteral("breaks.xlsx"));
  Workbook book({.tempFolder = dir_.Path()});
  Worksheet& sheet = book.ActiveSheet();
  for (int r = 1; r <= 84; ++r)
    sheet.Cells(r, 2).SetValue(double(r));
  sheet.AddPageBreak(57);
  sheet.AddPageBreak(29);
  sheet.AddPageBreak(29);
  EXPECT_THROW(sheet.AddPageBreak(1), WorkbookError);
  sheet.PageSetup().FitToPages(1, 0);
  EXPECT_THROW(sheet.PageSetup().FitToPages(0, 0), WorkbookError);
  EXPECT_THROW(sheet.PageSetup().FitToPages(1, -1), WorkbookError);
  // A sheet takes as many breaks as Excel reads, and no more.
  Worksheet& full = book.AddSheet();
  full.Cells(1, 1).SetValue(1);
  for (int i = 0; i < kMaxPageBreaks; ++i)
    full.AddPageBreak(2 + i);
  EXPECT_THROW(full.AddPageBreak(5000), WorkbookError);
  book.SaveAs(path);

  const std::optional<QJsonObject> read = test::OpenpyxlRead(path);
  if (!read) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  const QJsonObject first = read->value("sheet").toObject().value("工作表1").toObject();
  const QJsonObject page = first.value("page").toObject();
  EXPECT_EQ(page.value("breaks").toArray(), (QJsonArray{28, 56})) << "a page ends above each";
  EXPECT_EQ(page.value("fit").toArray(), (QJsonArray{true, 1, 0}))
      << QJsonDocument(page).toJson().toStdString();
  EXPECT_EQ(first.value("dimension").toString(), QStringLiteral("B1:B84"));
  const QJsonObject second = read->value("sheet").toObject().value("工作表2").toObject();
  EXPECT_EQ(second.value("page").toObject().value("breaks").toArray().size(), kMaxPageBreaks);
  EXPECT_EQ(second.value("page").toObject().value("fit").toArray().first(), false);
}

TEST_F(WorkbookFileTest, LongSheetsAreCompleteAndGoOnOnASecondSheet) {
  const QString path = dir_.File(QStringLiteral("long.xlsx"));
  Workbook book({.tempFolder = dir_.Path(), .rowWindow = 64});
  Worksheet& first = book.ActiveSheet();
  for (int r = 1; r <= 5000; ++r) {
    first.Cells(r, 1).SetValue(QStringLiteral("'%1").arg(r, 6, 10, QChar(u'0')));
    first.Cells(r, 2).SetValue(double(r));
    AlignCenter(first.Range(QStringLiteral("A%1:B%1").arg(r)));
  }
  EXPECT_GT(first.FirstOpenRow(), 4900);
  Worksheet& second = book.AddSheet();
  second.Range(QStringLiteral("A1")).SetValue(QStringLiteral("'續"));
  book.SaveAs(path);

  const QByteArray xml = test::UnzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"));
  EXPECT_EQ(xml.count("<row r=\""), 5000);
  EXPECT_TRUE(xml.contains("<row r=\"5000\""));
  const std::optional<QJsonObject> read = test::OpenpyxlRead(path);
  if (!read) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl";
  EXPECT_EQ(read->value("sheets").toArray(),
            (QJsonArray{QStringLiteral("工作表1"), QStringLiteral("工作表2")}));
  const QJsonObject sheets = read->value("sheet").toObject();
  const QJsonObject cells =
      sheets.value(QStringLiteral("工作表1")).toObject().value("cells").toObject();
  EXPECT_EQ(cells.size(), 10000);
  EXPECT_EQ(cells.value("A5000").toObject().value("value").toString(), QStringLiteral("005000"));
  EXPECT_EQ(cells.value("B4999").toObject().value("value").toDouble(), 4999);
  EXPECT_EQ(sheets.value(QStringLiteral("工作表2"))
                .toObject()
                .value("cells")
                .toObject()
                .value("A1")
                .toObject()
                .value("value")
                .toString(),
            QStringLiteral("續"));
}

TEST_F(WorkbookFileTest, ASuccessfulSaveReplacesTheOldFile) {
  const QString path = Old(QStringLiteral("book.xlsx"));
  Workbook book({.tempFolder = dir_.Path()});
  book.ActiveSheet().Range(QStringLiteral("A1")).SetValue(QStringLiteral("new"));
  book.SaveAs(path);
  EXPECT_TRUE(test::UnzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml")).contains("new"));
  EXPECT_EQ(Entries(dir_.Path()), QStringList{QStringLiteral("book.xlsx")});
}

// A save asked to stop gives up wherever it is (before the package is made, while a child process
// makes it, while it is copied and checked, just before it takes the target's place): the old
// file stays, nothing is left beside it and no child process either. Asked but never stopped,
// it saves the whole workbook.
TEST_F(WorkbookFileTest, AStoppedSaveLeavesTheOldFileAndNoTraces) {
  const QString old = Old(QStringLiteral("old.xlsx"));
  const auto filled = [&](Workbook& book) {
    for (int r = 1; r <= 40000; ++r) {
      book.ActiveSheet().Cells(r, 1).SetValue(QStringLiteral("'第 %1 列的內容").arg(r));
      book.ActiveSheet().Cells(r, 2).SetValue(r * 1.5);
    }
  };
  // Every save asks at least once before the package is made, once for each quarter megabyte
  // copied and once before it replaces the target: more than eight times here.
  for (const int stopAt : {1, 2, 3, 5, 8}) {
    SCOPED_TRACE(stopAt);
    Workbook book({.tempFolder = dir_.Path()});
    filled(book);
    int asked = 0;
    EXPECT_THROW(book.SaveAs(old, [&] { return ++asked >= stopAt; }), SaveStopped);
    EXPECT_EQ(asked, stopAt);
    EXPECT_FALSE(book.IsOpen());
    EXPECT_EQ(Contents(old), QByteArrayLiteral("the old workbook"));
    EXPECT_EQ(Entries(dir_.Path()), QStringList{QStringLiteral("old.xlsx")});
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD) << "a child process is left";
  }
  Workbook book({.tempFolder = dir_.Path()});
  filled(book);
  int asked = 0;
  book.SaveAs(old, [&] { return ++asked < 0; });
  EXPECT_GT(asked, 8);
  EXPECT_TRUE(test::UnzipPart(old, QStringLiteral("xl/worksheets/sheet1.xml"))
                  .contains("第 40000 列的內容"));
  EXPECT_EQ(Entries(dir_.Path()), QStringList{QStringLiteral("old.xlsx")});
}

TEST_F(WorkbookFileTest, AFailedSaveLeavesTheOldFileAndNoTraces) {
  const QString old = Old(QStringLiteral("old.xlsx"));
  const auto filled = [&](Workbook& book, int rows) {
    for (int r = 1; r <= rows; ++r) {
      book.ActiveSheet().Cells(r, 1).SetValue(QStringLiteral("'第 %1 列的內容").arg(r));
      book.ActiveSheet().Cells(r, 2).SetValue(r * 1.5);
    }
  };
  const auto failsWith = [&](Workbook& book, const QString& target, const QString& words) {
    try {
      book.SaveAs(target);
      ADD_FAILURE() << "saved to " << target.toStdString();
    } catch (const WorkbookError& error) {
      EXPECT_TRUE(error.Description().contains(words)) << error.what();
    }
    EXPECT_FALSE(book.IsOpen());
    EXPECT_EQ(Contents(old), QByteArrayLiteral("the old workbook"));
    EXPECT_EQ(Entries(dir_.Path()), QStringList{QStringLiteral("old.xlsx")});
  };
  {
    SCOPED_TRACE("folder that does not exist");
    Workbook book({.tempFolder = dir_.Path()});
    filled(book, 10);
    failsWith(book, dir_.File(QStringLiteral("missing/old.xlsx")), QStringLiteral("無法寫入檔案"));
  }
  {
    SCOPED_TRACE("target that is a folder");
    QDir(dir_.Path()).mkdir(QStringLiteral("folder.xlsx"));
    Workbook book({.tempFolder = dir_.Path()});
    filled(book, 10);
    try {
      book.SaveAs(dir_.File(QStringLiteral("folder.xlsx")));
      ADD_FAILURE() << "saved over a folder";
    } catch (const WorkbookError&) {
    }
    EXPECT_TRUE(QFileInfo(dir_.File(QStringLiteral("folder.xlsx"))).isDir());
    QDir(dir_.Path()).rmdir(QStringLiteral("folder.xlsx"));
  }
  {
    SCOPED_TRACE("target folder gone before saving");
    tarvel::test::TempDir elsewhere;
    QDir(elsewhere.Path()).mkdir(QStringLiteral("gone"));
    Workbook book({.tempFolder = dir_.Path()});
    filled(book, 10);
    QDir(elsewhere.Path()).rmdir(QStringLiteral("gone"));
    failsWith(book, elsewhere.File(QStringLiteral("gone/old.xlsx")),
              QStringLiteral("無法寫入檔案"));
  }
  for (const bool fullWhileWriting : {true, false}) {
    SCOPED_TRACE(fullWhileWriting ? "disk full while rows are written" : "disk full on saving");
    Workbook book({.tempFolder = dir_.Path(), .rowWindow = 16});
    std::optional<FileSizeLimit> limit;
    if (fullWhileWriting) limit.emplace(64 * 1024);
    filled(book, 20000);
    if (!fullWhileWriting) limit.emplace(64 * 1024);
    failsWith(book, old, QString());
  }
  {
    SCOPED_TRACE("empty name");
    Workbook book({.tempFolder = dir_.Path()});
    failsWith(book, QStringLiteral("  "), QStringLiteral("檔名"));
  }
  {
    SCOPED_TRACE("never saved");
    Workbook book({.tempFolder = dir_.Path()});
    filled(book, 3000);
  }
  EXPECT_EQ(Entries(dir_.Path()), QStringList{QStringLiteral("old.xlsx")});
  EXPECT_THROW(Workbook({.tempFolder = dir_.File(QStringLiteral("missing"))}), WorkbookError);
}

}  // namespace
}  // namespace tarvel::excel
