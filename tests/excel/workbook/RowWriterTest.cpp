// The writer's thread: calls made in the order queued across many batches, and a call that fails
// told to the workbook at the next hand-over, naming the sheet and the row.
#include <gtest/gtest.h>

#include <QFile>

#include "XlsxReadback.h"
#include "excel/workbook/RowWriter.h"
#include "excel/workbook/WorkbookError.h"
#include "support/TempDir.h"

namespace tarvel::excel {
namespace {

/// A constant-memory libxlsxwriter workbook of one sheet in a scratch folder.
class LxwBook {
 public:
  explicit LxwBook(const QString& folder)
      : path_(QFile::encodeName(folder + QStringLiteral("/book.xlsx"))),
        tmp_(QFile::encodeName(folder)) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmp_.data();
    book_ = workbook_new_opt(path_.constData(), &options);
    sheet_ = workbook_add_worksheet(book_, "表");
  }
  ~LxwBook() {
    if (book_) lxw_workbook_free(book_);
  }
  lxw_worksheet* Sheet() const { return sheet_; }
  QString Close() {
    EXPECT_EQ(workbook_close(book_), LXW_NO_ERROR);
    book_ = nullptr;
    return QFile::decodeName(path_);
  }

 private:
  QByteArray path_, tmp_;
  lxw_workbook* book_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
};

TEST(RowWriter, MakesTheCallsInOrderAcrossBatches) {
  tarvel::test::TempDir dir;
  LxwBook book(dir.Path());
  const QString name = QStringLiteral("表");
  {
    RowWriter writer;
    writer.SetDefaultRow(book.Sheet(), 18);
    // Rows written out of order would be dropped in constant-memory mode: every one must arrive.
    for (lxw_row_t r = 0; r < 6000; ++r) {
      writer.WriteNumber(book.Sheet(), &name, r, 0, r + 1, nullptr);
      writer.WriteString(book.Sheet(), &name, r, 1, QStringLiteral("第%1列 𠀋").arg(r + 1),
                         nullptr);
      if (r % 100 == 0) writer.SetRow(book.Sheet(), &name, r, 30);
      writer.Commit();
    }
    writer.Merge(book.Sheet(), {6001, 1, 6001, 3});
    writer.Drain();
  }
  const QString xml = QString::fromUtf8(test::UnzipPart(book.Close(), "xl/worksheets/sheet1.xml"));
  EXPECT_EQ(xml.count(QStringLiteral("<row ")), 6000);
  EXPECT_TRUE(
      xml.contains(QStringLiteral("<c r=\"B6000\" t=\"inlineStr\"><is><t>第6000列 𠀋</t>")));
  EXPECT_TRUE(xml.contains(QStringLiteral("<mergeCell ref=\"A6001:C6001\"/>")));
  EXPECT_LT(xml.indexOf(QStringLiteral("r=\"A5999\"")), xml.indexOf(QStringLiteral("r=\"A6000\"")));
}

TEST(RowWriter, AFailedCallIsToldAtTheNextHandOverAndNothingAfterItIsWritten) {
  tarvel::test::TempDir dir;
  LxwBook book(dir.Path());
  const QString name = QStringLiteral("明細");
  RowWriter writer;
  writer.WriteNumber(book.Sheet(), &name, 0, 0, 1, nullptr);
  writer.WriteNumber(book.Sheet(), &name, LXW_ROW_MAX + 5, 0, 2, nullptr);  // beyond the sheet
  try {
    writer.Drain();
    FAIL() << "a failed write went unnoticed";
  } catch (const WorkbookError& error) {
    EXPECT_TRUE(error.Description().startsWith(
        QStringLiteral("無法寫入工作表「明細」第 %1 列：").arg(LXW_ROW_MAX + 6)))
        << error.what();
  }
  // The workbook is given up from there: later calls are not made, and each hand-over says so.
  writer.WriteNumber(book.Sheet(), &name, 1, 0, 3, nullptr);
  EXPECT_THROW(writer.Drain(), WorkbookError);
}

}  // namespace
}  // namespace tarvel::excel
