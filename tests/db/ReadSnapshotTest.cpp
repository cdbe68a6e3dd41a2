#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "db/DbError.h"

namespace tarvel::db {
namespace {

// On SQLite the snapshot holds its read lock from the start: a writer elsewhere waits for it, so
// the reads inside see one state of the file; afterwards the writer gets through.
TEST(ReadSnapshot, KeepsWritersOutWhileItLives) {
  test::ScratchDb db(QStringLiteral("create table T (A integer); insert into T values (1);"));
  ScopedBusyTimeout shortWait(50);
  auto writer = Connection::OpenFile(db.path);
  {
    ReadSnapshot snapshot(*db.connection);
    EXPECT_THROW(writer->Execute(QStringLiteral("insert into T values (2)")), DbError);
    EXPECT_EQ(db.connection->CountRows(QStringLiteral("select * from T")), 1);
  }
  EXPECT_NO_THROW(writer->Execute(QStringLiteral("insert into T values (2)")));
  EXPECT_EQ(db.connection->CountRows(QStringLiteral("select * from T")), 2);
  // A snapshot inside an open transaction cannot begin, and leaves that transaction as it was.
  Transaction open(*db.connection);
  EXPECT_THROW(ReadSnapshot inner(*db.connection), DbError);
  EXPECT_NO_THROW(db.connection->Execute(QStringLiteral("insert into T values (3)")));
}

}  // namespace
}  // namespace tarvel::db
