// The row stream of one output: a check that reads no further than the first row, the output
// reading on from that same row in the same read snapshot.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "DbTestSupport.h"
#include "db/BackgroundCount.h"
#include "db/DbError.h"
#include "db/RowStream.h"

namespace tarvel::db {
namespace {

QStringList ReadAll(RowStream& stream) {
  QStringList values;
  while (stream.Next())
    values << stream.Rows().Text(QStringLiteral("A"));
  return values;
}

TEST(RowStream, TheCheckReadsTheFirstRowAndTheOutputStartsFromIt) {
  test::ScratchDb db(QStringLiteral(
      "create table T (A text, B integer); insert into T values ('x', 1), ('y', 2), ('z', 3);"));
  const QString connection = QStringLiteral("Data Source=") + db.path;
  RowStream stream = RowStream::Open(connection, QStringLiteral("select * from T order by A"));
  EXPECT_TRUE(stream.HasRows());
  EXPECT_TRUE(stream.HasRows()) << "asking again reads nothing more";
  EXPECT_EQ(stream.FieldCount(), 2);
  EXPECT_EQ(stream.FieldIndex(QStringLiteral("b")), 1);
  EXPECT_EQ(ReadAll(stream), (QStringList{"x", "y", "z"}));
  EXPECT_FALSE(stream.HasRows());
  EXPECT_EQ(stream.Rows().Text(QStringLiteral("A")), QStringLiteral("z")) << "the last stays";

  // The rest at once, from where the check left it.
  RowStream rest = RowStream::Open(connection, QStringLiteral("select * from T order by A"));
  ASSERT_TRUE(rest.HasRows());
  const Recordset all = rest.ReadRest();
  EXPECT_EQ(all.RecordCount(), 3);
  EXPECT_EQ(all.FieldNames(), (QStringList{"A", "B"}));

  // Nothing to read: no rows, and a default stream has none either.
  RowStream none = RowStream::Open(connection, QStringLiteral("select * from T where B > 9"));
  EXPECT_FALSE(none.HasRows());
  EXPECT_FALSE(none.Next());
  RowStream empty;
  EXPECT_FALSE(empty.HasRows());
  EXPECT_EQ(empty.ReadRest().RecordCount(), 0);

  // A moved stream carries its row read ahead with it.
  RowStream first = RowStream::Open(connection, QStringLiteral("select * from T order by A"));
  ASSERT_TRUE(first.HasRows());
  RowStream moved = std::move(first);
  EXPECT_EQ(ReadAll(moved), (QStringList{"x", "y", "z"}));

  EXPECT_THROW(RowStream::Open(connection, QStringLiteral("select * from NoSuchTable")), DbError);
}

TEST(RowStream, RowsInMemoryAreSharedNotCopied) {
  const auto rows = std::make_shared<const Recordset>(
      QStringList{"A"}, std::vector<std::vector<Value>>{{Value("p")}, {Value("q")}});
  RowStream one = RowStream::Over(rows);
  RowStream two = RowStream::Over(rows);
  EXPECT_EQ(ReadAll(one), (QStringList{"p", "q"}));
  EXPECT_EQ(ReadAll(two), (QStringList{"p", "q"}));
  EXPECT_EQ(rows.use_count(), 1) << "a stream read to its end lets its rows go";
}

// The stream holds its snapshot from the check on: with a rollback journal a writer cannot commit
// until the stream ends; what the stream reads is the state at its check either way.
TEST(RowStream, HoldsOneSnapshotFromTheCheckToItsEnd) {
  test::ScratchDb db(QStringLiteral("create table T (A text); insert into T values ('x'), ('y');"));
  ScopedBusyTimeout shortWait(50);
  auto writer = Connection::OpenFile(db.path);
  {
    RowStream stream = RowStream::Open(QStringLiteral("Data Source=") + db.path,
                                       QStringLiteral("select * from T order by A"));
    ASSERT_TRUE(stream.HasRows());
    EXPECT_THROW(writer->Execute(QStringLiteral("insert into T values ('a')")), DbError);
    EXPECT_EQ(ReadAll(stream), (QStringList{"x", "y"}));
    EXPECT_THROW(writer->Execute(QStringLiteral("insert into T values ('a')")), DbError)
        << "held after the last row too, until the stream ends";
  }
  EXPECT_NO_THROW(writer->Execute(QStringLiteral("insert into T values ('a')")));
}

// The total beside an export: the count of a second connection while the rows are read; a count
// that fails, or is stopped, gives no total rather than an error.
TEST(BackgroundCount, CountsBesideTheReaderAndGoesWithoutATotalWhenItCannot) {
  test::ScratchDb db(
      QStringLiteral("create table T (A text); insert into T values ('x'), ('y'), ('z');"));
  const QString connection = QStringLiteral("Data Source=") + db.path;
  RowStream reader = RowStream::Open(connection, QStringLiteral("select * from T"));
  ASSERT_TRUE(reader.HasRows());
  BackgroundCount count(connection, QStringLiteral("select * from T where A > 'x'"));
  EXPECT_EQ(count.Wait(), 2);
  EXPECT_EQ(count.Total(), 2);
  EXPECT_EQ(BackgroundCount(connection, QStringLiteral("select * from Missing")).Wait(), -1);
  EXPECT_EQ(BackgroundCount(QStringLiteral("Data Source=") + db.path + QStringLiteral(".none/x"),
                            QStringLiteral("select * from T"))
                .Wait(),
            -1);
  // A count that would run for minutes is stopped when it is no longer wanted, however soon.
  test::ScratchDb big(QStringLiteral(
      "create table N as with recursive c(x) as (select 1 union all select x + 1 from c where x < "
      "3000) select x from c;"));
  for (const int waitMs : {0, 50}) {
    BackgroundCount stopped(QStringLiteral("Data Source=") + big.path,
                            QStringLiteral("select * from N a, N b, N c"));
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    EXPECT_EQ(stopped.Total(), -1);
  }
}

}  // namespace
}  // namespace tarvel::db
