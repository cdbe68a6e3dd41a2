// The server cursor asks for its next batch as soon as one arrives: rows stay whole and in order
// across batches, the connection still runs other statements while a batch is out (they wait
// for it, and it is kept), a cursor left half-read frees its connection, and a row stream reads
// one snapshot however much is written meanwhile.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "db/BackgroundCount.h"
#include "db/DbError.h"
#include "db/RowStream.h"
#include "support/Server.h"

namespace tarvel::db {
namespace {

class CursorBatches : public ::testing::Test {
 protected:
  void SetUp() override {
    TARVEL_REQUIRE_SERVER();
    db.emplace();
    // More rows than three batches hold: the first small one and two large ones, and some.
    C().ExecuteScript(
        QStringLiteral("create table t (id int8, name text); insert into t select g, '工單' || g "
                       "from generate_series(1, %1) g;")
            .arg(kRows));
  }
  Connection& C() { return *db->connection; }
  static constexpr qint64 kRows = 13001;
  std::optional<test::ScratchServerDb> db;
};

TEST_F(CursorBatches, RowsStayWholeAndInOrderWhileTheConnectionRunsOtherStatements) {
  Cursor rows = C().OpenCursor(QStringLiteral("select ID, NAME from [T] order by ID"));
  qint64 expected = 0;
  int asides = 0;
  while (rows.Next()) {
    ++expected;
    ASSERT_EQ(rows.Field(0).AsInteger(), expected);
    ASSERT_EQ(rows.Text(QStringLiteral("NAME")), QStringLiteral("工單%1").arg(expected));
    // Around the batch boundaries (a batch is out then) and in between, the same connection
    // answers another statement with its own result.
    if (expected % 997 == 0 || expected == 1000 || expected == 1001 || expected == 6000) {
      ++asides;
      const Recordset aside = C().OpenRecordset(
          QStringLiteral("select count(*) as n from t where id <= %1").arg(expected));
      ASSERT_EQ(aside.Field(0).AsInteger(), expected);
    }
  }
  EXPECT_EQ(expected, kRows);
  EXPECT_GT(asides, 10);
  // The cursor's own transaction has ended: the connection writes again.
  EXPECT_NO_THROW(C().Execute(QStringLiteral("insert into t values (0, 'zero')")));
}

TEST_F(CursorBatches, ACursorLeftHalfReadFreesItsConnection) {
  for (const qint64 stopAt : {1LL, 999LL, 1000LL, 1001LL, 5999LL}) {
    SCOPED_TRACE(stopAt);
    {
      Cursor rows = C().OpenCursor(QStringLiteral("select ID from [T] order by ID"));
      for (qint64 i = 0; i < stopAt; ++i)
        ASSERT_TRUE(rows.Next());
    }
    EXPECT_NO_THROW(C().Execute(QStringLiteral("update t set name = name where id = 1")));
    EXPECT_EQ(C().CountRows(QStringLiteral("select * from t")), kRows);
  }
}

// The count beside an export on the server: its total, and a count too long stopped by the
// server when the export ends first.
TEST_F(CursorBatches, ACountBesideTheReaderIsCancelledWhenNoLongerWanted) {
  const QString connection = QStringLiteral("Data Source=") + db->uri;
  EXPECT_EQ(BackgroundCount(connection, QStringLiteral("select * from t")).Wait(), kRows);
  BackgroundCount stopped(connection, QStringLiteral("select * from t a, t b, t c"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(stopped.Total(), -1);
}

TEST_F(CursorBatches, AStreamReadsOneSnapshotWhateverIsWrittenMeanwhile) {
  auto writer = db->Open();
  RowStream stream = RowStream::Open(QStringLiteral("Data Source=") + db->uri,
                                     QStringLiteral("select ID, NAME from [T] order by ID"));
  ASSERT_TRUE(stream.HasRows());
  qint64 count = 0, sum = 0;
  while (stream.Next()) {
    ++count;
    sum += stream.Rows().Field(0).AsInteger();
    if (count % 2000 == 0) {
      writer->Execute(QStringLiteral("delete from t where id > 12000"));
      writer->Execute(QStringLiteral("insert into t values (%1, 'new')").arg(100000 + count));
      writer->Execute(QStringLiteral("update t set id = id + 1000000 where id = 13000"));
    }
  }
  EXPECT_EQ(count, kRows);
  EXPECT_EQ(sum, kRows * (kRows + 1) / 2);
  EXPECT_LT(writer->CountRows(QStringLiteral("select * from t")), kRows) << "the writes were made";
}

}  // namespace
}  // namespace tarvel::db
