#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "db/DbError.h"

namespace tarvel::db {
namespace {

using test::ScratchDb;

const QString kSchema = QStringLiteral(
    "create table [SYSUSER1] (ID text collate nocase, FUNC text collate nocase, LPID real, "
    "NOTE text default '-');");

// The running-window registry's write, as the start-up code performs it.
void Register(Connection& c, const QString& id, const QString& func, double handle) {
  UpdatableRecordset rs =
      c.OpenForUpdate(QStringLiteral("select top 1 * from [SYSUSER1] where ID = '") + id +
                      QStringLiteral("' and FUNC = '") + func + QStringLiteral("' "));
  if (rs.RecordCount() == 0) {
    rs.AddNew();
    rs.SetField(QStringLiteral("ID"), Value(id));
    rs.SetField(QStringLiteral("FUNC"), Value(func));
  }
  rs.SetField(QStringLiteral("LPID"), Value(handle));
  rs.Update();
}

TEST(Registry, RegisteringTwiceKeepsOneRowAndUpdatesLpid) {
  ScratchDb db(kSchema);
  Connection& c = *db.connection;
  Register(c, QStringLiteral("PC1\\amy"), QStringLiteral("Tarvel"), 1001);
  Register(c, QStringLiteral("PC1\\amy"), QStringLiteral("Other"), 7);
  Register(c, QStringLiteral("PC1\\AMY"), QStringLiteral("Tarvel"), 2002);  // case-insensitive
  Recordset rs = c.OpenRecordset(QStringLiteral("select * from [SYSUSER1] order by FUNC desc"));
  ASSERT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Text("ID"), QStringLiteral("PC1\\amy"));
  EXPECT_EQ(rs.Number("LPID"), 2002);
  EXPECT_EQ(rs.Text("NOTE"), QStringLiteral("-"));  // defaults filled by the engine
  rs.MoveNext();
  EXPECT_EQ(rs.Number("LPID"), 7);

  c.Execute(QStringLiteral("delete from [SYSUSER1] where ID = 'PC1\\amy' and FUNC = 'Tarvel' "));
  EXPECT_EQ(c.OpenRecordset(QStringLiteral("select * from [SYSUSER1]")).RecordCount(), 1);
}

TEST(Registry, NewRowIsCurrentWithItsStoredValuesAndCanBeChangedAgain) {
  ScratchDb db(kSchema);
  UpdatableRecordset rs =
      db.connection->OpenForUpdate(QStringLiteral("select * from SYSUSER1 where ID = 'none'"));
  EXPECT_TRUE(rs.EOF_());
  EXPECT_THROW(rs.SetField(QStringLiteral("LPID"), Value(1)), DbError);  // no current row
  rs.AddNew();
  EXPECT_THROW(rs.SetField(QStringLiteral("PID"), Value(1)), DbError);
  rs.SetField(QStringLiteral("id"), Value("B"));
  rs.SetField(QStringLiteral("LPID"), Value(qint64{5}));
  rs.Update();
  EXPECT_EQ(rs.RecordCount(), 1);
  EXPECT_EQ(rs.Field(QStringLiteral("NOTE")).Text(), QStringLiteral("-"));
  EXPECT_TRUE(rs.Field(QStringLiteral("LPID")).IsReal());  // the column's affinity, read back
  rs.SetField(QStringLiteral("LPID"), Value(6.0));
  rs.Update();
  EXPECT_EQ(
      db.connection->OpenRecordset(QStringLiteral("select LPID from SYSUSER1")).Number("LPID"), 6);
}

TEST(Registry, ChangedOrDeletedMeanwhileIsAConflict) {
  ScratchDb db(kSchema +
               QStringLiteral("insert into SYSUSER1 (ID, FUNC, LPID) values ('A', 'T', 1);"));
  const QString select = QStringLiteral("select top 1 * from [SYSUSER1] where ID = 'A' ");
  auto other = Connection::OpenFile(db.path);

  UpdatableRecordset mine = db.connection->OpenForUpdate(select);
  other->Execute(QStringLiteral("update SYSUSER1 set LPID = 99"));
  mine.SetField(QStringLiteral("LPID"), Value(2.0));
  try {
    mine.Update();
    FAIL() << "a row changed meanwhile must not be overwritten";
  } catch (const DbError& e) {
    EXPECT_EQ(e.Statement(), select);
    EXPECT_FALSE(e.Description().isEmpty());
  }
  EXPECT_EQ(other->OpenRecordset(select).Number("LPID"), 99);

  // A change to another field does not conflict.
  UpdatableRecordset again = db.connection->OpenForUpdate(select);
  other->Execute(QStringLiteral("update SYSUSER1 set NOTE = 'x'"));
  again.SetField(QStringLiteral("LPID"), Value(3.0));
  EXPECT_NO_THROW(again.Update());

  UpdatableRecordset gone = db.connection->OpenForUpdate(select);
  other->Execute(QStringLiteral("delete from SYSUSER1"));
  gone.SetField(QStringLiteral("LPID"), Value(4.0));
  EXPECT_THROW(gone.Update(), DbError);
}

TEST(Registry, TablesWithoutRowidAreFoundByTheirValues) {
  ScratchDb db(
      QStringLiteral("create table K (ID text primary key, LPID real) without rowid;"
                     "insert into K values ('A', 1), ('B', 1);"));
  auto other = Connection::OpenFile(db.path);
  UpdatableRecordset rs =
      db.connection->OpenForUpdate(QStringLiteral("select * from K where ID = 'A'"));
  rs.SetField(QStringLiteral("LPID"), Value(2.0));
  rs.Update();
  EXPECT_EQ(other->OpenRecordset(QStringLiteral("select * from K where ID='A'")).Number("LPID"), 2);
  EXPECT_EQ(other->OpenRecordset(QStringLiteral("select * from K where ID='B'")).Number("LPID"), 1);
  other->Execute(QStringLiteral("update K set LPID = 9 where ID = 'A'"));
  rs.SetField(QStringLiteral("LPID"), Value(3.0));
  EXPECT_THROW(rs.Update(), DbError);
}

TEST(Registry, JoinsCannotBeUpdated) {
  ScratchDb db(kSchema + QStringLiteral("create table X (ID text);"));
  EXPECT_THROW(db.connection->OpenForUpdate(QStringLiteral(
                   "select SYSUSER1.*, X.ID from SYSUSER1 join X on X.ID = SYSUSER1.ID")),
               DbError);
}

}  // namespace
}  // namespace tarvel::db
