// Damaged, cut-off and foreign files, and pages in flux: a clear message, never a crash or hang.
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "JetCraft.h"
#include "JetTestSupport.h"
#include "db/Connection.h"
#include "db/jet/JetFile.h"
#include "db/jet/JetModule.h"
#include "support/Cli.h"
#include "support/TempDir.h"

namespace tarvel::db {
namespace {

using test::ErrorText;
using test::JetConnectionString;
using test::ReadFixture;

// Opens `bytes` as a database file and reads every table whole. The description of the first
// failure, or "" when everything read.
QString OpenAndReadAll(const tarvel::test::TempDir& dir, const QByteArray& bytes) {
  const QString path = dir.Write(QStringLiteral("KORV.mdb"), bytes);
  return ErrorText([&] {
    auto connection = Connection::Open(JetConnectionString(path));
    Recordset tables =
        connection->OpenRecordset("select name from sqlite_schema where type in ('table', 'view')");
    for (; !tables.EOF_(); tables.MoveNext()) {
      connection->OpenRecordset(QStringLiteral("select * from [") + tables.Text("name") + "]");
    }
  });
}

TEST(JetDamage, CutOffForeignAndEmptyFilesAreRefusedByName) {
  tarvel::test::TempDir dir;
  const QByteArray whole = ReadFixture(QStringLiteral("testV2003.mdb"));
  ASSERT_GT(whole.size(), 4096 * 8);
  QByteArray foreign(4096 * 4, 'x');
  foreign.replace(4, 16, QByteArray("Standard Jet DB\0", 16));
  const struct {
    const char* what;
    QByteArray bytes;
    const char16_t* says;
  } cases[] = {
      {"half a page", whole.left(2000), u"不是完整的資料頁"},
      {"a few bytes", whole.left(100), u"檔案太短"},
      {"cut inside a page", whole.left(4096 * 5 + 100), u"不是完整的資料頁"},
      {"two pages", whole.left(4096 * 2), u"不是完整的資料頁"},
      {"Jet tag over garbage", foreign, u"無法讀取 Jet"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QString error = OpenAndReadAll(dir, c.bytes);
    EXPECT_TRUE(error.contains(QString::fromUtf16(c.says))) << error.toStdString();
    EXPECT_TRUE(error.contains(dir.Path())) << error.toStdString();
  }
  // Cut at a page boundary, losing the table's pages: a clear failure too, not silently fewer
  // rows.
  const QString cut = OpenAndReadAll(dir, whole.left(whole.size() / 2 / 4096 * 4096));
  EXPECT_FALSE(cut.isEmpty());
}

// Thousands of damaged copies of a Jet 4 and a Jet 3 file: each opens and reads or fails with a
// DbError. Under the sanitizers this is where a bad offset would show.
TEST(JetDamage, RandomlyDamagedFilesNeverCrash) {
  tarvel::test::TempDir dir;
  QRandomGenerator random(20261207);
  int failures = 0;
  for (const char* fixture : {"queryTestV2003.mdb", "testV1997.mdb", "overflowTestV2003.mdb"}) {
    SCOPED_TRACE(fixture);
    const QByteArray original = ReadFixture(QString::fromLatin1(fixture));
    const int pageSize = original[0x14] == 0 ? 2048 : 4096;
    for (int round = 0; round < 60; ++round) {
      QByteArray damaged = original;
      // A burst of bytes in one page past the header page, the way a torn write looks.
      const int page = 1 + static_cast<int>(random.bounded(original.size() / pageSize - 1));
      const int count = 1 + static_cast<int>(random.bounded(24));
      for (int i = 0; i < count; ++i) {
        const int at = page * pageSize + static_cast<int>(random.bounded(pageSize));
        damaged[at] = static_cast<char>(random.bounded(256));
      }
      if (!OpenAndReadAll(dir, damaged).isEmpty()) ++failures;
    }
  }
  // Some damage lands in unused space, some does not: both kinds occurred.
  EXPECT_GT(failures, 0);
  EXPECT_LT(failures, 180);
}

// Reads every value of `table` in `bytes` (opened as 損壞.mdb): "" when all read, else the
// description of the DbError that stopped it.
QString ReadTable(const QByteArray& bytes, const QString& table) {
  return ErrorText([&] {
    const auto scan = jet::File::OpenBytes(bytes, QStringLiteral("損壞.mdb"))->OpenScan(table);
    while (scan->Next()) {
      for (int c = 0; c < scan->ColumnCount(); ++c)
        scan->Value(c);
    }
  });
}

// The damage that made libmdb read outside the row (a page's row count raised, so that its row
// table names "rows" made of other bytes), and every count and offset inside each row of a Jet 4
// and a Jet 3 table set to the values that point furthest: each copy reads, or fails naming the
// file and the table. Under the sanitizers a read outside a row shows here.
TEST(JetDamage, DamagedRowsAreRefusedNamingFileAndTableNeverReadOutside) {
  for (const char* fixture : {"overflowTestV2003.mdb", "testV1997.mdb"}) {
    SCOPED_TRACE(fixture);
    const QByteArray original = ReadFixture(QString::fromLatin1(fixture));
    const QString table = QStringLiteral("Table1");
    const std::vector<test::RowPlace> rows = test::RowsOf(original, table);
    ASSERT_FALSE(rows.empty());
    std::vector<QByteArray> counts, copies;
    for (const test::RowPlace& row : rows) {
      for (const int count : {1, 16, 245, 0x7ff}) {
        QByteArray copy = original;
        const int at = test::RowTableAt(copy, row.page);
        qToLittleEndian<quint16>(
            static_cast<quint16>(qFromLittleEndian<quint16>(copy.constData() + at) + count),
            copy.data() + at);
        counts.push_back(copy);
      }
      // The column count at the row's start; the null mask, the variable columns' count and
      // their offsets (and Jet 3's jumps) at its end.
      const int base = row.page * test::PageSizeOf(original);
      std::vector<int> places = {row.start, row.start + 1};
      for (int at = std::max(row.start + 2, row.end - 24); at < row.end; ++at)
        places.push_back(at);
      for (const int at : places) {
        for (const char value : {'\xff', '\x00', '\x80', '\x7f'}) {
          QByteArray copy = original;
          copy[base + at] = value;
          copies.push_back(copy);
        }
      }
    }
    const auto named = [&](const QString& error) {
      return error.contains(QStringLiteral("損壞.mdb")) && error.contains(table);
    };
    for (const QByteArray& copy : counts) {
      const QString error = ReadTable(copy, table);
      EXPECT_TRUE(named(error)) << error.toStdString();
    }
    // A damaged byte may also be one no read depends on: both outcomes occur.
    int refused = 0;
    for (const QByteArray& copy : copies) {
      const QString error = ReadTable(copy, table);
      if (error.isEmpty()) continue;
      ++refused;
      EXPECT_TRUE(named(error)) << error.toStdString();
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, static_cast<int>(copies.size()));
  }
  // What jet-info, query and copy-db meet: the table's rows are refused in words, the rest reads.
  tarvel::test::TempDir dir;
  QByteArray crashed = ReadFixture(QStringLiteral("overflowTestV2003.mdb"));
  const int page = test::RowsOf(crashed, QStringLiteral("Table1")).front().page;
  crashed[test::RowTableAt(crashed, page)] = '\xf5';
  const tarvel::test::CliRun info =
      tarvel::test::RunCli(cli::RunJetInfoCommand, {dir.Write("KORV.mdb", crashed)});
  EXPECT_EQ(info.code, 0) << info.err.toStdString();
  EXPECT_TRUE(info.out.contains(QStringLiteral("  Table1  unreadable: Jet 資料庫檔案 %1 的資料表 "
                                               "Table1 資料頁不一致")
                                    .arg(dir.File("KORV.mdb"))))
      << info.out.toStdString();
}

TEST(JetDamage, AnInconsistentPageIsReadAgainThenFailsClearly) {
  tarvel::test::TempDir dir;
  QByteArray bytes = ReadFixture(QStringLiteral("delTestV2003.mdb"));
  // Page 31 holds the table's rows; its first row's offset now points past the page.
  const int rowTable = 31 * 4096 + 14;
  ASSERT_EQ(static_cast<unsigned char>(bytes[31 * 4096]), 0x01);
  bytes[rowTable] = '\xff';
  bytes[rowTable + 1] = '\x1f';
  const QString path = dir.Write(QStringLiteral("KORV.mdb"), bytes);
  auto connection = Connection::Open(JetConnectionString(path));
  const QString error = ErrorText([&] { connection->OpenRecordset("select * from [Table]"); });
  EXPECT_TRUE(error.contains(QStringLiteral("資料頁不一致"))) << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("讀了 %1 次").arg(Connection::kJetReadAttempts)))
      << error.toStdString();
  // Other statements on the connection still run.
  EXPECT_TRUE(connection->HasRows("select * from sqlite_schema"));
}

TEST(JetDamage, RetryPolicyRunsAgainOnlyForPagesInFlux) {
  jet::Source source;
  int calls = 0;
  // Torn twice, then whole: the third run's result comes back.
  const int result = jet::RetryTorn(&source, QStringLiteral("select 1"), 4, [&] {
    if (++calls < 3) {
      source.torn = true;
      throw DbError(QStringLiteral("torn"));
    }
    return 42;
  });
  EXPECT_EQ(result, 42);
  EXPECT_EQ(calls, 3);
  // Any other failure is not retried.
  calls = 0;
  EXPECT_THROW(jet::RetryTorn(&source, QString(), 4,
                              [&]() -> int {
                                ++calls;
                                throw DbError(QStringLiteral("no such column"));
                              }),
               DbError);
  EXPECT_EQ(calls, 1);
  // Always torn: exactly `attempts` runs, then the statement's failure with the count.
  calls = 0;
  try {
    jet::RetryTorn(&source, QStringLiteral("select x"), 3, [&]() -> int {
      ++calls;
      source.torn = true;
      throw DbError(QStringLiteral("torn"));
    });
    ADD_FAILURE() << "no error";
  } catch (const DbError& e) {
    EXPECT_EQ(e.Statement(), QStringLiteral("select x"));
    EXPECT_EQ(e.Description(), QStringLiteral("torn（讀了 3 次仍不一致）"));
  }
  EXPECT_EQ(calls, 3);
}

// Each statement reads the file as it is when it runs: a row changed on disk between two
// statements of one connection shows in the second.
TEST(JetDamage, EveryStatementReadsTheFileAsItIsNow) {
  tarvel::test::TempDir dir;
  QByteArray bytes = ReadFixture(QStringLiteral("delTestV2003.mdb"));
  const QString path = dir.Write(QStringLiteral("KORV.mdb"), bytes);
  auto connection = Connection::Open(JetConnectionString(path));
  EXPECT_EQ(connection->OpenRecordset("select count(*) from [Table] where a = 'z'").Field(0),
            Value(1));
  // Another workstation changes the first row's "z" to "q" (same length, in place).
  const qsizetype at = bytes.indexOf(QByteArray("z\0y\0", 4), 31 * 4096);
  ASSERT_GT(at, 0);
  bytes[at] = 'q';
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  file.write(bytes);
  file.close();
  EXPECT_EQ(connection->OpenRecordset("select a from [Table] order by a").GetRows()[0],
            std::vector<Value>({Value("q"), Value("v")}));
}

}  // namespace
}  // namespace tarvel::db
