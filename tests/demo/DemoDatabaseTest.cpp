// Writing the demo file: determinism, refusing to overwrite, --force, cleanup after failures.
#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "support/TempDir.h"

namespace tarvel::test {
namespace {

using namespace Qt::StringLiterals;

demo::DemoOptions SmallRun(std::uint64_t seed) {
  demo::DemoOptions options;
  options.orders = 300;
  options.seed = seed;
  options.today = QDate(2025, 5, 14);
  return options;
}

/// A digest of every row of `table` in storage order.
QByteArray Digest(const QString& file, const QString& table) {
  auto connection = db::Connection::OpenFile(file);
  db::Recordset rows = connection->OpenRecordset(u"select * from [%1]"_s.arg(table));
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (qint64 r = 0; r < rows.RecordCount(); ++r)
    for (const db::Value& v : rows.Row(r)) {
      hash.addData(QByteArray::number(v.IsNull()));
      hash.addData(v.ToText().toUtf8());
      hash.addData("\x1f");
    }
  return hash.result();
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

QStringList Entries(const TempDir& dir) {
  return QDir(dir.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(DemoDatabaseTest, SameSeedAndDayGiveTheSameFileAnotherSeedOtherRows) {
  TempDir a, b, c;
  const demo::DemoSummary first = demo::GenerateDemoDatabase(a.Path(), SmallRun(42));
  const demo::DemoSummary second = demo::GenerateDemoDatabase(b.Path(), SmallRun(42));
  const demo::DemoSummary other = demo::GenerateDemoDatabase(c.Path(), SmallRun(43));

  EXPECT_EQ(FileBytes(first.filePath), FileBytes(second.filePath));
  for (const QString& table : {u"工單主檔"_s, u"CUST"_s, u"工單製程"_s, u"PLATE"_s, u"合版明細"_s})
    EXPECT_EQ(Digest(first.filePath, table), Digest(second.filePath, table)) << table.toStdString();
  EXPECT_NE(Digest(first.filePath, u"工單主檔"_s), Digest(other.filePath, u"工單主檔"_s));
  EXPECT_NE(Digest(first.filePath, u"CUST"_s), Digest(other.filePath, u"CUST"_s));
  EXPECT_EQ(first.firstOrderDate, second.firstOrderDate);
}

TEST(DemoDatabaseTest, WritesKorvMdbAndReportsWhatItWrote) {
  TempDir dir;
  const demo::DemoSummary summary = demo::GenerateDemoDatabase(dir.Path(), SmallRun(1));
  EXPECT_EQ(summary.filePath, dir.File(u"KORV.mdb"_s));
  EXPECT_EQ(Entries(dir), QStringList{u"KORV.mdb"_s});  // no partial or journal file left

  // The counts of the summary are the rows really in the file, tables and views alike.
  auto connection = db::Connection::OpenFile(summary.filePath);
  bool sawOrders = false, sawView = false;
  for (const demo::DemoTableCount& t : summary.tables) {
    db::Recordset rows = connection->OpenRecordset(u"select count(*) from [%1]"_s.arg(t.table));
    EXPECT_EQ(rows.Field(0).Number(), static_cast<double>(t.rows)) << t.table.toStdString();
    sawOrders = sawOrders || (t.table == u"工單主檔"_s && t.rows == 300);
    sawView = sawView || (t.view && t.table == u"歷史工單明細4"_s);
  }
  EXPECT_TRUE(sawOrders);
  EXPECT_TRUE(sawView);

  // ROC dates from the first day of the month two years back up to the given day.
  EXPECT_GE(summary.firstOrderDate, u"1120501"_s);
  EXPECT_LE(summary.lastOrderDate, u"1140514"_s);
  const QString text = demo::DescribeDemoSummary(summary);
  for (const QString& expected : {u"KORV.mdb"_s, u"翠峰"_s, u"-AD=系統管理員 -NAME=系統管理員"_s,
                                  u"-AD= -NAME=王小明 -ID=A001"_s, u"SITE=C"_s})
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
}

TEST(DemoDatabaseTest, RefusesAnExistingFileUnlessForced) {
  TempDir dir;
  const QString target = dir.Write(u"KORV.mdb"_s, "the clerk's database");
  EXPECT_THROW(demo::GenerateDemoDatabase(dir.Path(), SmallRun(1)), Error);
  EXPECT_EQ(FileBytes(target), QByteArray("the clerk's database"));
  EXPECT_EQ(Entries(dir), QStringList{u"KORV.mdb"_s});

  demo::DemoOptions forced = SmallRun(1);
  forced.force = true;
  demo::GenerateDemoDatabase(dir.Path(), forced);
  EXPECT_TRUE(FileBytes(target).startsWith("SQLite format 3"));
  EXPECT_EQ(Entries(dir), QStringList{u"KORV.mdb"_s});
}

TEST(DemoDatabaseTest, AnotherLetterCaseCountsAsTheSameFile) {
  // The connection finds the data source case-insensitively, so korv.MDB would be opened too.
  TempDir dir;
  dir.Write(u"korv.MDB"_s, "old");
  EXPECT_THROW(demo::GenerateDemoDatabase(dir.Path(), SmallRun(1)), Error);

  demo::DemoOptions forced = SmallRun(1);
  forced.force = true;
  const demo::DemoSummary summary = demo::GenerateDemoDatabase(dir.Path(), forced);
  EXPECT_EQ(summary.filePath, dir.File(u"korv.MDB"_s));
  EXPECT_EQ(Entries(dir), QStringList{u"korv.MDB"_s});
  EXPECT_TRUE(FileBytes(summary.filePath).startsWith("SQLite format 3"));
}

TEST(DemoDatabaseTest, AFailedRunLeavesNoPartialFile) {
  // A folder in the way of the file: the database is written, but cannot be renamed into place.
  TempDir dir;
  ASSERT_TRUE(QDir(dir.Path()).mkdir(u"KORV.mdb"_s));
  dir.Write(u"KORV.mdb/keep.txt"_s, "keep");
  demo::DemoOptions forced = SmallRun(1);
  forced.force = true;
  EXPECT_THROW(demo::GenerateDemoDatabase(dir.Path(), forced), Error);
  EXPECT_EQ(Entries(dir), QStringList{u"KORV.mdb"_s});
  EXPECT_EQ(FileBytes(dir.File(u"KORV.mdb/keep.txt"_s)), QByteArray("keep"));
}

TEST(DemoDatabaseTest, RejectsOptionsOutOfRange) {
  TempDir dir;
  struct Case {
    const char* what;
    demo::DemoOptions options;
  };
  std::vector<Case> cases;
  cases.push_back({"no orders", SmallRun(1)});
  cases.back().options.orders = 0;
  cases.push_back({"empty company", SmallRun(1)});
  cases.back().options.company = u"  "_s;
  cases.push_back({"year before ROC 3", SmallRun(1)});
  cases.back().options.today = QDate(1913, 6, 1);
  for (const Case& c : cases) {
    EXPECT_THROW(demo::GenerateDemoDatabase(dir.Path(), c.options), Error) << c.what;
    EXPECT_TRUE(Entries(dir).isEmpty()) << c.what;
  }
}

TEST(DemoDatabaseTest, CreatesTheFolderAndTakesTodayFromTheClock) {
  TempDir dir;
  const ScopedToday today(QDate(2024, 2, 29));
  demo::DemoOptions options = SmallRun(5);
  options.today = QDate();
  const demo::DemoSummary summary = demo::GenerateDemoDatabase(dir.File(u"new/folder"_s), options);
  EXPECT_EQ(summary.today, QDate(2024, 2, 29));
  EXPECT_LE(summary.lastOrderDate, u"1130229"_s);
  EXPECT_GE(summary.firstOrderDate, u"1110201"_s);
  EXPECT_TRUE(QFile::exists(dir.File(u"new/folder/KORV.mdb"_s)));
}

TEST(DemoDatabaseTest, TheSchemaIsBuiltIn) {
  // The binary must not need the source tree: the embedded text is the file, byte for byte.
  QFile source(SourceDir() + u"/demo/schema.sql"_s);
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  EXPECT_EQ(demo::DemoSchemaText(), QString::fromUtf8(source.readAll()));
}

}  // namespace
}  // namespace tarvel::test
