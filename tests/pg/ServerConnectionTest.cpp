// A connection to the run's PostgreSQL server, each test in a scratch database of its own: the
// values by column type, parameters, transactions, a held lock, and the running-window registry
// with its optimistic locking by key and by value.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "db/DbError.h"
#include "startup/RunningWindowRegistry.h"
#include "support/RecordingUi.h"
#include "support/Server.h"

namespace tarvel::db {
namespace {

class ServerConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    TARVEL_REQUIRE_SERVER();
    db.emplace();
  }
  Connection& C() { return *db->connection; }
  std::optional<test::ScratchServerDb> db;
};

TEST_F(ServerConnection, ValuesByColumnTypeAndNamesAsTheTextSpellsThem) {
  C().ExecuteScript(QStringLiteral(
      "create table t (i2 int2, i4 int4, i8 int8, f4 float4, f8 float8, n numeric(10,2), b bool, "
      "tx text, vc varchar(5), ci citext, by bytea, d date, ts timestamp);"
      "insert into t values (-2, 4, 9007199254740993, 1.5, 0.1, 12.25, true, 'a''b\\c', "
      "'台北', 'AbC', '\\x00ff', '2026-12-04', '2026-12-04 13:14:15');"
      "insert into t (i2) values (null);"));
  Recordset rs = C().OpenRecordset(QStringLiteral("select * from [T] order by I2"));
  ASSERT_EQ(rs.RecordCount(), 2);
  // Named as the table spells its columns, whatever the text says.
  EXPECT_EQ(rs.FieldNames().first(), QStringLiteral("i2"));
  EXPECT_EQ(rs.FieldNames().last(), QStringLiteral("ts"));
  EXPECT_TRUE(rs.Field("i2").IsNull());  // NULL first, as Jet sorts it
  rs.MoveNext();
  const std::vector<Value> expected = {Value(qint64{-2}),
                                       Value(qint64{4}),
                                       Value(qint64{9007199254740993}),
                                       Value(1.5),
                                       Value(0.1),
                                       Value(12.25),
                                       Value(qint64{-1}),
                                       Value("a'b\\c"),
                                       Value("台北"),
                                       Value("AbC"),
                                       Value(QByteArray("\0\xff", 2)),
                                       Value("2026-12-04"),
                                       Value("2026-12-04 13:14:15")};
  for (int f = 0; f < rs.FieldCount(); ++f)
    EXPECT_TRUE(rs.Field(f) == expected[static_cast<size_t>(f)])
        << rs.FieldNames()[f].toStdString();
  // Aggregates: whole sums stay whole numbers, averages and divisions are real.
  rs = C().OpenRecordset(QStringLiteral(
      "select sum(i8) as s, avg(i4) as a, count(*) as c, 7/2 as q, 7/0 as z from t"));
  EXPECT_TRUE(rs.Field("s") == Value(qint64{9007199254740993}));
  EXPECT_TRUE(rs.Field("a") == Value(4.0));
  EXPECT_TRUE(rs.Field("c") == Value(qint64{2}));
  EXPECT_TRUE(rs.Field("q") == Value(3.5));
  EXPECT_TRUE(rs.Field("z").IsNull());
  // Comparison and LIKE as Jet: without case, and a backslash is just a character.
  EXPECT_TRUE(C().HasRows(QStringLiteral("select * from t where ci = 'abc' and ci like 'a%'")));
  EXPECT_TRUE(C().HasRows(QStringLiteral("select * from t where tx like '%''b\\c'")));
  // Every text compares as Jet's do, whatever its column's type: without regard to case.
  EXPECT_TRUE(
      C().HasRows(QStringLiteral("select * from t where tx like '%b_c' and tx = 'A''B\\c'")));
  EXPECT_FALSE(C().HasRows(QStringLiteral("select * from t where tx = 'A''B\\d'")));
}

TEST_F(ServerConnection, PreparedCommandsBindEveryKindAgainAndAgain) {
  C().ExecuteScript(
      QStringLiteral("create table w (po citext, pid citext, qty float8, n int8, "
                     "data bytea)"));
  Command insert = C().Prepare(QStringLiteral("insert into [W] values (?, ?, ?, ?, ?)"));
  const std::vector<std::vector<Value>> rows = {
      {Value("P1"), Value(""), Value(2.5), Value(qint64{1}), Value(QByteArray("\x01\x02"))},
      {Value("O'Neil\\"), Value(), Value(1e300), Value(), Value()},
  };
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i)
      insert.Bind(static_cast<int>(i + 1), row[i]);
    insert.Execute();
  }
  EXPECT_THROW(insert.Bind(6, Value(1)), DbError);
  Command query = C().Prepare(QStringLiteral("select * from w where po = ? order by po"));
  for (const auto& row : rows) {
    const Recordset rs = query.Bind(1, row[0].ToText().toLower()).Query();
    ASSERT_EQ(rs.RecordCount(), 1);
    for (int f = 0; f < rs.FieldCount(); ++f)
      EXPECT_TRUE(rs.Row(0)[f] == row[static_cast<size_t>(f)]) << f;
  }
  // A failing run leaves the command usable.
  Command bad = C().Prepare(QStringLiteral("insert into w (n) values (?)"));
  EXPECT_THROW(bad.Bind(1, Value("x")).Execute(), DbError);
  EXPECT_NO_THROW(bad.Bind(1, Value(qint64{3})).Execute());
}

TEST_F(ServerConnection, TransactionsAndAHeldLock) {
  C().ExecuteScript(QStringLiteral("create table k (id int primary key)"));
  {
    Transaction dropped(C());
    C().Execute(QStringLiteral("insert into k values (1)"));
  }
  {
    Transaction kept(C());
    C().Execute(QStringLiteral("insert into k values (2)"));
    kept.Commit();
  }
  EXPECT_EQ(C().OpenRecordset(QStringLiteral("select id from k")).RecordCount(), 1);

  // Another workstation holds the table: we wait the busy timeout, then say it is locked.
  auto other = db->Open();
  other->BeginTransaction();
  other->Execute(QStringLiteral("lock table k in exclusive mode"));
  ScopedBusyTimeout shortWait(100);
  auto waiting = db->Open();
  try {
    waiting->Execute(QStringLiteral("insert into k values (3)"));
    ADD_FAILURE() << "no lock wait";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.Description().contains(QStringLiteral("正被其他程式鎖定")))
        << e.Description().toStdString();
  }
  other->Rollback();
  EXPECT_NO_THROW(waiting->Execute(QStringLiteral("insert into k values (3)")));
}

// The forward-only cursor streams in batches through a server-side cursor; the snapshot keeps
// a check and the query after it on the same rows while another workstation writes.
TEST_F(ServerConnection, CursorAndReadSnapshot) {
  C().ExecuteScript(
      QStringLiteral("create table t (id int8, name citext); insert into t select g, 'n' || g from "
                     "generate_series(1, 2500) g; insert into t values (null, null);"));
  const QString query = QStringLiteral("select NAME, ID from [T] order by ID");
  EXPECT_EQ(C().CountRows(query), 2501);
  {
    Cursor rows = C().OpenCursor(query);
    EXPECT_EQ(rows.FieldNames(), QStringList({"NAME", "ID"}));
    ASSERT_TRUE(rows.Next());
    EXPECT_TRUE(rows.Field("id").IsNull());  // NULL first, as Jet sorts
    qint64 sum = 0;
    while (rows.Next())
      sum += rows.Field(1).AsInteger();
    EXPECT_EQ(sum, 2500 * 2501 / 2);
    EXPECT_EQ(rows.Position(), 2501);
    EXPECT_EQ(rows.Text("NAME"), QStringLiteral("n2500")) << "the last row stays current";
    // Inside the cursor's transaction the connection still reads.
    EXPECT_TRUE(C().HasRows(QStringLiteral("select * from t where id = 1")));
  }
  Cursor none = C().OpenCursor(QStringLiteral("select * from t where id > 9999"));
  EXPECT_FALSE(none.Next());
  EXPECT_THROW(C().OpenCursor(QStringLiteral("select * from [NONE]")), DbError);
  // A failed cursor leaves no transaction behind.
  EXPECT_NO_THROW(C().Execute(QStringLiteral("insert into t values (0, 'zero')")));

  auto writer = db->Open();
  {
    ReadSnapshot snapshot(C());
    EXPECT_EQ(C().CountRows(QStringLiteral("select * from t")), 2502);
    writer->Execute(QStringLiteral("insert into t values (-1, 'new')"));
    EXPECT_EQ(C().CountRows(QStringLiteral("select * from t")), 2502);
    EXPECT_THROW(C().Execute(QStringLiteral("delete from t")), DbError);  // read-only
  }
  EXPECT_EQ(C().CountRows(QStringLiteral("select * from t")), 2503);
}

TEST_F(ServerConnection, RunningWindowRegistryOfTheProgram) {
  C().ExecuteScript(QStringLiteral(
      "create table sysuser1 (id citext, func citext, lpid float8, note citext default '-')"));
  const QString connection = QStringLiteral("Data Source=") + db->uri;
  const double launcher = QCoreApplication::applicationPid();
  test::RecordingUi ui;
  EXPECT_EQ(RegisterRunningWindow(connection, "PC1\\amy", launcher, 1001, "Tarvel"),
            RegistryOutcome::Done);
  RegisterRunningWindow(connection, "PC1\\amy", launcher, 7, "Other");
  RegisterRunningWindow(connection, "PC1\\AMY", launcher, 2002, "Tarvel");  // case-insensitive
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
  Recordset rs = C().OpenRecordset(QStringLiteral("select * from [SYSUSER1] order by FUNC desc"));
  ASSERT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Text("ID"), QStringLiteral("PC1\\amy"));
  EXPECT_EQ(rs.Number("LPID"), 2002);
  EXPECT_EQ(rs.Text("NOTE"), QStringLiteral("-"));
  UnregisterRunningWindow(connection, "pc1\\amy", "tarvel", false);
  EXPECT_EQ(C().OpenRecordset(QStringLiteral("select * from [SYSUSER1]")).RecordCount(), 1);
  UnregisterRunningWindow(connection, "PC1\\amy", "", true);
  EXPECT_EQ(C().OpenRecordset(QStringLiteral("select * from [SYSUSER1]")).RecordCount(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

// Optimistic locking: with a key, only a change to the fields we change conflicts; without one
// every value read must still be there, and of rows alike only one changes.
TEST_F(ServerConnection, UpdatesFindTheirRowByKeyOrByValue) {
  C().ExecuteScript(QStringLiteral(
      "create table keyed (id citext primary key, lpid float8, note citext);"
      "create table loose (id citext, lpid float8);"
      "insert into keyed values ('A', 1, 'n'); insert into loose values ('A', 1), ('A', 1);"));
  auto other = db->Open();
  const QString keyed = QStringLiteral("select top 1 * from keyed where id = 'a'");
  UpdatableRecordset mine = C().OpenForUpdate(keyed);
  other->Execute(QStringLiteral("update keyed set note = 'x'"));
  mine.SetField(QStringLiteral("LPID"), Value(2.0));
  EXPECT_NO_THROW(mine.Update());
  EXPECT_EQ(mine.Field(QStringLiteral("note")).Text(), QStringLiteral("x"));  // the stored row
  other->Execute(QStringLiteral("update keyed set lpid = 99"));
  mine.SetField(QStringLiteral("LPID"), Value(3.0));
  try {
    mine.Update();
    ADD_FAILURE() << "a field changed meanwhile must not be overwritten";
  } catch (const DbError& e) {
    EXPECT_EQ(e.Statement(), keyed);
  }

  UpdatableRecordset loose = C().OpenForUpdate(QStringLiteral("select * from loose"));
  loose.SetField(QStringLiteral("lpid"), Value(5.0));
  loose.Update();
  EXPECT_EQ(C().OpenRecordset(QStringLiteral("select * from loose where lpid = 5")).RecordCount(),
            1);
  loose.AddNew();
  loose.SetField(QStringLiteral("id"), Value("B"));
  loose.Update();
  EXPECT_EQ(loose.RecordCount(), 3);
  EXPECT_TRUE(loose.Field(QStringLiteral("lpid")).IsNull());
  loose.SetField(QStringLiteral("lpid"), Value(6.0));
  loose.Update();
  other->Execute(QStringLiteral("delete from loose where id = 'B'"));
  loose.SetField(QStringLiteral("lpid"), Value(7.0));
  EXPECT_THROW(loose.Update(), DbError);

  EXPECT_THROW(C().OpenForUpdate(QStringLiteral(
                   "select keyed.*, loose.lpid from keyed join loose on loose.id = keyed.id")),
               DbError);
  EXPECT_THROW(C().OpenForUpdate(QStringLiteral("select count(*) from keyed")), DbError);
}

}  // namespace
}  // namespace tarvel::db
