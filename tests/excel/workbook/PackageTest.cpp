// The copy of the package to its target: parts kept intact, damage and short writes caught.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <tuple>
#include <vector>

#include "XlsxReadback.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/WorkbookError.h"
#include "excel/workbook/XlsxPackage.h"
#include "support/TempDir.h"

namespace tarvel::excel {
namespace {

const QString kSheet = QStringLiteral("xl/worksheets/sheet1.xml");

// A device that takes `capacity` bytes and then fails, as a full disk does.
class FullDevice : public QIODevice {
 public:
  explicit FullDevice(qint64 capacity) : capacity_(capacity) { open(QIODevice::WriteOnly); }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char*, qint64 size) override {
    if (written_ + size > capacity_) {
      setErrorString(QStringLiteral("磁碟已滿"));
      return -1;
    }
    written_ += size;
    return size;
  }

 private:
  qint64 capacity_;
  qint64 written_ = 0;
};

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = dir_.File(QStringLiteral("source.xlsx"));
    Workbook book({.tempFolder = dir_.Path()});
    for (int r = 1; r <= 200; ++r) {
      book.ActiveSheet().Cells(r, 1).SetValue(QStringLiteral("'%1 號").arg(r));
      book.ActiveSheet().Cells(r, 2).SetValue(double(r));
    }
    book.SaveAs(source_);
    QFile file(source_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    bytes_ = file.readAll();
  }

  // Rewrites `package` into a file; throws what RewritePackage throws.
  QString Rewrite(const QByteArray& package, const PackageEdit& edit = {}) {
    QBuffer in;
    in.setData(package);
    in.open(QIODevice::ReadOnly);
    const QString target = dir_.File(QStringLiteral("target.xlsx"));
    QFile out(target);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    RewritePackage(in, out, edit);
    return target;
  }

  tarvel::test::TempDir dir_;
  QString source_;
  QByteArray bytes_;
};

TEST_F(PackageTest, CopiesEveryPartAndReplacesTheOnesAsked) {
  PackageEdit edit;
  edit.worksheets.insert(kSheet, {200, 200});
  edit.replace.insert(QStringLiteral("docProps/app.xml"),
                      [](const QByteArray& old) { return old + "<!-- patched -->"; });
  const QString target = Rewrite(bytes_, edit);
  for (const QString& part :
       {kSheet, QStringLiteral("xl/styles.xml"), QStringLiteral("[Content_Types].xml")})
    EXPECT_EQ(test::UnzipPart(target, part), test::UnzipPart(source_, part)) << part.toStdString();
  EXPECT_EQ(test::UnzipPart(target, QStringLiteral("docProps/app.xml")),
            test::UnzipPart(source_, QStringLiteral("docProps/app.xml")) + "<!-- patched -->");
  // A second copy of the copy is the same file: nothing drifts.
  QFile copy(target);
  ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
  const QByteArray once = copy.readAll();
  copy.close();
  EXPECT_EQ(QFile(Rewrite(once)).size(), once.size());
}

TEST_F(PackageTest, DamagedOrIncompletePackagesAreRefused) {
  // Bytes changed inside the worksheet's compressed data.
  const qsizetype name = bytes_.indexOf(kSheet.toUtf8());
  ASSERT_GT(name, 30);
  const qsizetype data = name + kSheet.size();
  for (qsizetype at = data; at < data + 120; at += 3) {
    QByteArray damaged = bytes_;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x24);
    EXPECT_THROW(Rewrite(damaged), WorkbookError) << "byte " << at;
  }
  // Cut short anywhere.
  for (const qsizetype size : {qsizetype(0), qsizetype(21), bytes_.size() / 2, bytes_.size() - 1})
    EXPECT_THROW(Rewrite(bytes_.left(size)), WorkbookError) << size;

  // A worksheet without the rows libxlsxwriter was given (its row file lost them).
  PackageEdit edit;
  edit.worksheets.insert(kSheet, {201, 201});
  try {
    Rewrite(bytes_, edit);
    ADD_FAILURE() << "missing rows went unnoticed";
  } catch (const WorkbookError& error) {
    EXPECT_TRUE(error.Description().contains(QStringLiteral("應有 201 列"))) << error.what();
  }
  // A part to replace that is not there.
  PackageEdit missing;
  missing.replace.insert(QStringLiteral("xl/none.xml"), [](const QByteArray& old) { return old; });
  EXPECT_THROW(Rewrite(bytes_, missing), WorkbookError);
}

TEST(WorksheetRows, CountsEveryRowOnceHoweverThePiecesFall) {
  QByteArray xml = "<?xml version=\"1.0\"?><worksheet><sheetData>";
  for (int r = 1; r <= 40; ++r)
    xml += QStringLiteral(
               "<row r=\"%1\" spans=\"1:2\"><c r=\"A%1\" t=\"inlineStr\"><is><t>&lt;row "
               "r=\"9\"</t></is></c></row>")
               .arg(r * 25)
               .toUtf8();
  xml += "</sheetData></worksheet>\n";
  const auto count = [&](const std::vector<qsizetype>& cuts) {
    WorksheetRows rows;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
      rows.Add(xml.constData() + from, cut - from);
      from = cut;
    }
    rows.Add(xml.constData() + from, xml.size() - from);
    return std::tuple(rows.Rows(), rows.LastRow(), rows.Ended());
  };
  const auto whole = std::tuple(qint64{40}, 1000, true);
  ASSERT_EQ(count({}), whole);
  // Two pieces cut anywhere; three with a short middle piece (a tag or a number across three).
  for (qsizetype cut = 0; cut <= xml.size(); ++cut) {
    EXPECT_EQ(count({cut}), whole) << cut;
    for (qsizetype middle : {1, 3, 7, 63, 64, 65}) {
      if (cut + middle <= xml.size()) {
        EXPECT_EQ(count({cut, cut + middle}), whole) << cut << "+" << middle;
      }
    }
  }
  // Byte by byte.
  std::vector<qsizetype> everyByte;
  for (qsizetype at = 1; at < xml.size(); ++at)
    everyByte.push_back(at);
  EXPECT_EQ(count(everyByte), whole);
  // A document cut short does not end.
  WorksheetRows cut;
  cut.Add(xml.constData(), xml.size() - 20);
  EXPECT_FALSE(cut.Ended());
}

TEST_F(PackageTest, AFailingTargetIsReported) {
  QBuffer in;
  in.setData(bytes_);
  in.open(QIODevice::ReadOnly);
  for (const qint64 capacity : {qint64(0), qint64(100), bytes_.size() - 30}) {
    FullDevice out(capacity);
    try {
      RewritePackage(in, out, {});
      ADD_FAILURE() << "wrote " << bytes_.size() << " bytes into " << capacity;
    } catch (const WorkbookError& error) {
      EXPECT_TRUE(error.Description().contains(QStringLiteral("磁碟已滿"))) << error.what();
    }
  }
}

}  // namespace
}  // namespace tarvel::excel
