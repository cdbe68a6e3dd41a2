#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <thread>

#include "DbTestSupport.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqlText.h"
#include "support/CaseFile.h"

namespace tarvel::db {
namespace {

using test::ScratchDb;

QString ConnectionTo(const QString& dataSource) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dataSource +
         QStringLiteral(";Jet OLEDB:Database Password=tqlv5218tqlv5218");
}

// The description of the DbError that `action` raises ("" when it raises none).
template <typename F>
DbError ErrorOf(F&& action) {
  try {
    action();
  } catch (const DbError& e) {
    return e;
  }
  return DbError(QString());
}

TEST(ConnectionString, ParsesTheKeysTheProgramComposes) {
  const auto keys = ConnectionString::Parse(
      QStringLiteral(" provider = Microsoft.Jet.OLEDB.4.0 ;DATA SOURCE=\\\\SRV\\ERP\\KORV.mdb;"
                     "Jet OLEDB:Database Password=tqlv5218tqlv5218;Extra=1"));
  EXPECT_EQ(keys.provider, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
  EXPECT_EQ(keys.dataSource, QStringLiteral("\\\\SRV\\ERP\\KORV.mdb"));
  EXPECT_EQ(keys.password, QStringLiteral("tqlv5218tqlv5218"));
  EXPECT_EQ(ConnectionString::Parse(QStringLiteral("Data Source=\"/a;b/KORV.mdb\"")).dataSource,
            QStringLiteral("/a;b/KORV.mdb"));
}

// OLE DB's quoting (tests/data/connection-string-quoting.txt).
TEST(ConnectionString, QuotedValues) {
  for (const QStringList& c :
       tarvel::test::ReadCases(QStringLiteral("connection-string-quoting.txt"))) {
    const auto keys = ConnectionString::Parse(c[0]);
    EXPECT_EQ(keys.dataSource, c[1]) << c[0].toStdString();
    EXPECT_EQ(keys.password, c[2]) << c[0].toStdString();
  }
}

TEST(Connection, OpensAnUpperCasedWindowsDataSource) {
  tarvel::test::TempDir dir;
  const QString path = dir.File(QStringLiteral("srv/erp/korv.mdb"));
  dir.Write(QStringLiteral("srv/erp/readme.txt"), "");
  Connection::OpenFile(path, true)
      ->ExecuteScript(QStringLiteral("create table T (A text); insert into T values ('x');"));
  // The DSN text is upper-cased and written the Windows way.
  const QString windowsForm =
      QString(dir.Path()).replace(u'/', u'\\') + QStringLiteral("\\SRV\\ERP\\KORV.MDB");
  auto connection = Connection::Open(ConnectionTo(windowsForm));
  EXPECT_EQ(connection->FilePath(), path);
  EXPECT_EQ(connection->OpenRecordset(QStringLiteral("select * from [t]")).Text("a"),
            QStringLiteral("x"));
}

TEST(Connection, RecognisesTheFileByItsHeader) {
  tarvel::test::TempDir dir;
  QByteArray jet(64, '\0');
  jet.replace(4, 15, "Standard Jet DB");
  QByteArray ace(64, '\0');
  ace.replace(4, 15, "Standard ACE DB");
  const struct {
    const char* name;
    QByteArray content;
    const char16_t* message;
  } cases[] = {
      {"jet.mdb", jet, u"無法讀取 Jet (Access) 資料庫檔案 "},
      {"ace.accdb", ace, u"無法讀取 Jet (Access) 資料庫檔案 "},
      {"garbage.mdb", QByteArray("hello, this is not a database at all"),
       u"檔案不是可辨識的資料庫："},
      {"empty.mdb", QByteArray(), u"檔案不是可辨識的資料庫："},
      // A SQLite header on a damaged body is caught at open, not at the first query.
      {"damaged.mdb", QByteArray("SQLite format 3\0", 16) + QByteArray(200, '\x7f'),
       u"檔案不是可辨識的資料庫："},
  };
  for (const auto& c : cases) {
    const QString path = dir.Write(QString::fromUtf8(c.name), c.content);
    const DbError error = ErrorOf([&] { Connection::Open(ConnectionTo(path)); });
    EXPECT_TRUE(error.Description().startsWith(QString::fromUtf16(c.message)))
        << c.name << ": " << error.Description().toStdString();
    EXPECT_TRUE(error.Description().contains(path)) << c.name;
    EXPECT_EQ(QFileInfo(path).size(), c.content.size()) << c.name << " must stay untouched";
  }
  const DbError folder = ErrorOf([&] { Connection::Open(ConnectionTo(dir.Path())); });
  EXPECT_TRUE(folder.Description().startsWith(QStringLiteral("檔案不是可辨識的資料庫：")));
}

TEST(Connection, MissingFileIsAnErrorAndIsNeverCreated) {
  tarvel::test::TempDir dir;
  const QString path = dir.Path() + QStringLiteral("/KORV.mdb");
  const DbError error = ErrorOf([&] { Connection::Open(ConnectionTo(path)); });
  EXPECT_EQ(error.Description(), QStringLiteral("找不到資料庫檔案：") + path);
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_FALSE(QFileInfo::exists(dir.Path() + QStringLiteral("/korv.mdb")));

  const DbError windows =
      ErrorOf([] { Connection::Open(ConnectionTo(QStringLiteral("\\\\NOSRV\\ERP\\KORV.mdb"))); });
  EXPECT_EQ(windows.Description(), QStringLiteral("找不到資料庫檔案：/NOSRV/ERP/KORV.mdb"));
  const DbError none = ErrorOf([] { Connection::Open(QStringLiteral("Provider=x")); });
  EXPECT_FALSE(none.Description().isEmpty());
  EXPECT_THROW(Connection::OpenFile(path), DbError);
  EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(Connection, EngineErrorsCarryDescriptionAndStatement) {
  ScratchDb db(QStringLiteral("create table T (A text);"));
  const struct {
    QString sql;
    const char* description;
  } cases[] = {
      {QStringLiteral("select * from [NOPE] "), "no such table: NOPE"},
      // A name that is no column is a parameter, as in Access, and has no value.
      {QStringLiteral("select NOPE from T"),
       "查詢需要參數「NOPE」的值（資料來源沒有這個名稱的欄位）。"},
      {QStringLiteral("select * from T where A = 'x'; delete from T"),
       "SQL 語法錯誤：第 32 "
       "個字元（「delete」）附近，陳述式在此應已結束（一段文字只能有一個陳述式）。"},
  };
  for (const auto& c : cases) {
    const DbError error = ErrorOf([&] { db.connection->OpenRecordset(c.sql); });
    EXPECT_EQ(error.Description(), QString::fromUtf8(c.description)) << c.sql.toStdString();
    EXPECT_EQ(error.Statement(), c.sql);
  }
  const QString bad = QStringLiteral("delete from [SYSUSER1] where ID = 'x' ");
  const DbError error = ErrorOf([&] { db.connection->Execute(bad); });
  EXPECT_EQ(error.Description(), QStringLiteral("no such table: SYSUSER1"));
  EXPECT_EQ(error.Statement(), bad);
}

// A file whose header holds but whose pages are damaged opens, and fails at the read that meets
// them: in the user's words, naming the file, with the engine's after them.
TEST(Connection, ADamagedFileIsReportedInChineseWithTheEnginesWords) {
  QString path;
  {
    ScratchDb db(QStringLiteral("create table T (A text);"));
    db.connection->ExecuteScript(
        QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < "
                       "2000) insert into T (A) select printf('%0200d', i) from n;"));
    path = db.path;
    db.connection.reset();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(4096 * 4));
    file.write(QByteArray(4096 * 20, '\x5a'));
    file.close();
    const auto damaged = Connection::OpenFile(path);
    const DbError error =
        ErrorOf([&] { damaged->OpenRecordset(QStringLiteral("select count(*) from T")); });
    EXPECT_TRUE(error.Description().startsWith(QStringLiteral("資料庫檔案 ") + path +
                                               QStringLiteral(" 已損壞，無法讀取（")))
        << error.Description().toStdString();
    EXPECT_TRUE(error.Description().endsWith(QStringLiteral("malformed）")))
        << error.Description().toStdString();
  }
}

TEST(Connection, ReadsNullApartFromEmptyAndPlainNamesOverAJoin) {
  ScratchDb db(QStringLiteral(
      "create table [歷史工單明細2] (PO text collate nocase, ODATE text, QTY integer, AMT real);"
      "create table CROWD (PO text collate nocase, MEMB text);"
      "insert into [歷史工單明細2] values ('P001', '1130105', 10, 2.5), ('P002', '', NULL, 0),"
      "  ('P003', NULL, 3, NULL);"
      "insert into CROWD values ('P001', '甲組'), ('P002', '');"));
  Recordset rs = db.connection->OpenRecordset(
      QStringLiteral("select 歷史工單明細2.*,CROWD.MEMB from [歷史工單明細2] left join CROWD on "
                     "歷史工單明細2.PO = CROWD.PO order by 歷史工單明細2.PO"));
  EXPECT_EQ(rs.RecordCount(), 3);
  EXPECT_EQ(rs.FieldNames(), QStringList({"PO", "ODATE", "QTY", "AMT", "MEMB"}));
  EXPECT_EQ(rs.Text("MEMB"), QStringLiteral("甲組"));
  EXPECT_EQ(rs.Field(QStringLiteral("歷史工單明細2.PO")).AsText(), QStringLiteral("P001"));
  EXPECT_EQ(rs.Number("amt"), 2.5);
  rs.MoveNext();
  EXPECT_TRUE(rs.Field(QStringLiteral("MEMB")).IsText());
  EXPECT_FALSE(rs.Field(QStringLiteral("MEMB")).IsNull());
  EXPECT_FALSE(rs.Field(QStringLiteral("ODATE")).IsNull());
  EXPECT_TRUE(rs.Field(QStringLiteral("QTY")).IsNull());
  rs.MoveNext();
  EXPECT_TRUE(rs.Field(QStringLiteral("MEMB")).IsNull());  // no CROWD row
  EXPECT_TRUE(rs.Field(QStringLiteral("ODATE")).IsNull());
  EXPECT_EQ(rs.Text("ODATE"), QString());
  EXPECT_EQ(rs.Number("QTY"), 3);
}

TEST(Connection, HasRowsLooksNoFurtherThanTheFirstRow) {
  ScratchDb db(
      QStringLiteral("create table T (ID integer, NAME text);"
                     "insert into T values (1, 'a'), (2, 'b');"));
  EXPECT_TRUE(db.connection->HasRows(QStringLiteral("select * from [T] where NAME = 'b'")));
  EXPECT_FALSE(db.connection->HasRows(QStringLiteral("select * from [T] where ID > 2")));
  EXPECT_TRUE(db.connection->HasRows(QStringLiteral("select top 1 * from T order by ID")));
  // Values come through SqlEscape: neither an apostrophe nor a NUL (the engine stops reading at
  // one) can end the literal early. Found by fuzzing the WHERE rules.
  EXPECT_FALSE(db.connection->HasRows("select * from [T] where NAME = '" +
                                      SqlEscape(QStringLiteral("b' or '1'='1")) + "'"));
  EXPECT_TRUE(db.connection->HasRows("select * from [T] where NAME = '" +
                                     SqlEscape(QStringLiteral("b") + QChar(u'\0')) +
                                     "' and ID = 2"));
  const DbError error =
      ErrorOf([&] { db.connection->HasRows(QStringLiteral("select * from [NONE]")); });
  EXPECT_TRUE(error.Description().contains(QStringLiteral("NONE")));
  EXPECT_EQ(error.Statement(), QStringLiteral("select * from [NONE]"));
}

TEST(Connection, ACursorStreamsTheRowsAndKeepsTheLastOneAfterTheEnd) {
  ScratchDb db(
      QStringLiteral("create table T (ID integer, NAME text);"
                     "insert into T values (3, 'c'), (1, 'a'), (2, null);"));
  // The count wraps the query whole (sorting nothing, but where TOP picks the rows by the order).
  const QString query = QStringLiteral("select NAME, ID from [T] order by ID");
  EXPECT_EQ(db.connection->CountRows(query), 3);
  EXPECT_EQ(db.connection->CountRows(QStringLiteral("select top 2 * from T order by ID")), 2);
  Cursor rows = db.connection->OpenCursor(query);
  EXPECT_EQ(rows.FieldNames(), QStringList({"NAME", "ID"}));
  EXPECT_EQ(ErrorOf([&] { rows.Field("ID"); }).Description(), messages::kNoCurrentRecord);
  QStringList seen;
  while (rows.Next())
    seen << rows.Text("name") + rows.Field(1).Text() + (rows.Field("T.NAME").IsNull() ? "∅" : "");
  EXPECT_EQ(seen, QStringList({"a1", "2∅", "c3"}));
  EXPECT_EQ(rows.Position(), 3);
  EXPECT_EQ(rows.Number("ID"), 3) << "the last row stays current";
  EXPECT_FALSE(rows.Next());
  EXPECT_TRUE(ErrorOf([&] { rows.Field("MEMBX"); }).Description().contains("MEMBX"));

  Cursor none = db.connection->OpenCursor(QStringLiteral("select * from T where ID > 9"));
  EXPECT_FALSE(none.Next());
  EXPECT_FALSE(none.HasRow());
  EXPECT_EQ(ErrorOf([&] {
              db.connection->OpenCursor(QStringLiteral("select * from [NONE]"));
            }).Statement(),
            QStringLiteral("select * from [NONE]"));
}

// An export reads a dozen fields of a wide view by name: the cursor decodes only those, learning
// them as they are read, and a field read for the first time on a later row still has its value.
TEST(Connection, ACursorCanReadOnlyTheFieldsItIsAskedFor) {
  ScratchDb db(
      QStringLiteral("create table T (ID integer, NAME text, NOTE text);"
                     "insert into T values (1, 'a', 'x'), (2, 'b', 'y'), (3, 'c', 'z');"));
  Cursor rows = db.connection->OpenCursor(QStringLiteral("select * from T order by ID"));
  ASSERT_TRUE(rows.Next());
  rows.WantWhatIsRead();
  EXPECT_EQ(rows.Text("ID"), "1");
  ASSERT_TRUE(rows.Next());
  EXPECT_TRUE(rows.Row()[1].IsNull()) << "NAME was not read: not decoded";
  EXPECT_EQ(rows.Text("NAME"), "b") << "read for the first time: from the current row";
  ASSERT_TRUE(rows.Next());
  EXPECT_EQ(rows.Text("ID") + rows.Text("NAME"), "3c");
  EXPECT_FALSE(rows.Next());
  EXPECT_EQ(rows.Text("NAME"), "c") << "the last row stays current";
  EXPECT_TRUE(ErrorOf([&] { rows.Field("NOTE"); }).Description().contains("NOTE"));

  // Rows read whole (a snapshot) cannot leave fields out: every field stays readable.
  auto snapshot = std::make_shared<Recordset>(
      db.connection->OpenRecordset(QStringLiteral("select * from T order by ID")));
  Cursor whole = Cursor::Over(snapshot);
  ASSERT_TRUE(whole.Next());
  whole.WantWhatIsRead();
  ASSERT_TRUE(whole.Next());
  EXPECT_EQ(whole.Text("NOTE"), "y");
}

TEST(Connection, CommandsBindAndRunManyTimes) {
  ScratchDb db(QStringLiteral("create table T (ID integer, NAME text, AMT real, PIC blob);"));
  {
    Transaction transaction(*db.connection);
    Command insert = db.connection->Prepare(QStringLiteral("insert into [T] values (?, ?, ?, ?)"));
    for (int i = 0; i < 100; ++i) {
      insert.Bind(1, Value(i))
          .Bind(2, i % 10 == 0   ? Value()
                   : i % 10 == 5 ? Value(QString())  // empty text stays empty, not NULL
                                 : Value(QStringLiteral("名%1").arg(i)))
          .Bind(3, Value(i / 4.0))
          .Bind(4, Value(QByteArray(1, char(i))));
      insert.Execute();
    }
    transaction.Commit();
  }
  Command lookup =
      db.connection->Prepare(QStringLiteral("select top 1 NAME, AMT from T where ID = ?"));
  for (int i : {3, 10, 15, 99}) {
    Recordset rs = lookup.Bind(1, Value(i)).Query();
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field(QStringLiteral("NAME")).IsNull(), i == 10);
    EXPECT_EQ(rs.Field(QStringLiteral("NAME")).IsText() && rs.Text("NAME").isEmpty(), i == 15);
    EXPECT_EQ(rs.Number("AMT"), i / 4.0);
  }
  EXPECT_EQ(db.connection->OpenRecordset(QStringLiteral("select count(*) as N from T")).Number("N"),
            100);
  EXPECT_THROW(lookup.Bind(5, Value(1)), DbError);
}

TEST(Connection, FailedCommandCanRunAgain) {
  ScratchDb db(QStringLiteral("create table T (ID integer primary key);"));
  Command insert = db.connection->Prepare(QStringLiteral("insert into T values (?)"));
  insert.Bind(1, Value(1)).Execute();
  const DbError duplicate = ErrorOf([&] { insert.Execute(); });
  EXPECT_TRUE(duplicate.Description().contains(QStringLiteral("UNIQUE")));
  EXPECT_EQ(duplicate.Statement(), QStringLiteral("insert into T values (?)"));
  insert.Bind(1, Value(2)).Execute();
  EXPECT_EQ(db.connection->OpenRecordset(QStringLiteral("select * from T")).RecordCount(), 2);
}

TEST(Connection, TransactionRollsBackUnlessCommitted) {
  ScratchDb db(QStringLiteral("create table T (ID integer primary key);"));
  try {
    Transaction transaction(*db.connection);
    db.connection->Execute(QStringLiteral("insert into T values (1)"));
    db.connection->Execute(QStringLiteral("insert into T values (1)"));  // constraint failure
    transaction.Commit();
  } catch (const DbError& e) {
    EXPECT_TRUE(e.Description().contains(QStringLiteral("UNIQUE"))) << e.what();
  }
  EXPECT_EQ(db.connection->OpenRecordset(QStringLiteral("select * from T")).RecordCount(), 0);
}

TEST(Connection, WaitsForAnotherWorkstationsLock) {
  ScratchDb db(QStringLiteral("create table T (ID integer);"));
  auto other = Connection::OpenFile(db.path);
  other->ExecuteScript(QStringLiteral("BEGIN EXCLUSIVE; insert into T values (1);"));
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other->Commit();
  });
  // Without a busy timeout this fails at once with "database is locked".
  EXPECT_NO_THROW(db.connection->Execute(QStringLiteral("insert into T values (2)")));
  release.join();
  EXPECT_EQ(db.connection->OpenRecordset(QStringLiteral("select * from T")).RecordCount(), 2);
}

// A second program holding the database's exclusive lock (as a writer in the middle of its
// transaction does) for as long as it lives.
struct HeldLock {
  explicit HeldLock(const QString& path) : writer(Connection::OpenFile(path)) {
    writer->ExecuteScript(QStringLiteral("BEGIN EXCLUSIVE; insert into T values (9);"));
  }
  std::unique_ptr<Connection> writer;
};

bool SaysLocked(const DbError& error, const QString& path) {
  return error.Description().contains(QStringLiteral("鎖定")) &&
         error.Description().contains(QFileInfo(path).fileName()) &&
         !error.Description().contains(QStringLiteral("不是"));
}

TEST(Connection, ALockHeldLongerThanTheTimeoutIsReportedAsLocked) {
  const ScopedBusyTimeout shortWait(50);
  ScratchDb db(QStringLiteral("create table T (ID integer);"));
  auto reader = Connection::OpenFile(db.path);
  Command insert = reader->Prepare(QStringLiteral("insert into T values (?)"));
  Command query = reader->Prepare(QStringLiteral("select * from T where ID = ?"));
  db.connection.reset();
  HeldLock lock(db.path);

  // Opening: the header read waits and then names the lock, not a damaged file.
  const auto started = std::chrono::steady_clock::now();
  const DbError onOpen = ErrorOf([&] { Connection::Open(ConnectionTo(db.path)); });
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(40));
  EXPECT_TRUE(SaysLocked(onOpen, db.path)) << onOpen.what();
  EXPECT_TRUE(onOpen.Description().contains(db.path)) << onOpen.what();
  EXPECT_TRUE(SaysLocked(ErrorOf([&] { Connection::OpenFile(db.path); }), db.path));

  // Statements of a connection opened before the lock was taken.
  const QString select = QStringLiteral("select * from T");
  const DbError onQuery = ErrorOf([&] { reader->OpenRecordset(select); });
  EXPECT_TRUE(SaysLocked(onQuery, db.path)) << onQuery.what();
  EXPECT_EQ(onQuery.Statement(), select);
  EXPECT_TRUE(SaysLocked(ErrorOf([&] { reader->HasRows(select); }), db.path));
  EXPECT_TRUE(SaysLocked(ErrorOf([&] { reader->Execute("delete from T"); }), db.path));
  EXPECT_TRUE(SaysLocked(ErrorOf([&] { insert.Bind(1, Value(1)).Execute(); }), db.path));
  EXPECT_TRUE(SaysLocked(ErrorOf([&] { query.Bind(1, Value(1)).Query(); }), db.path));

  // Once the other program is done, the same connection and commands work again.
  lock.writer->Commit();
  EXPECT_NO_THROW(insert.Bind(1, Value(2)).Execute());
  EXPECT_EQ(reader->OpenRecordset(select).RecordCount(), 2);
}

TEST(Connection, OpeningWaitsForALockReleasedWithinTheTimeout) {
  ScratchDb db(QStringLiteral("create table T (ID integer);"));
  db.connection.reset();
  HeldLock lock(db.path);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    lock.writer->Commit();
  });
  // The wait starts at the header read of the open itself.
  std::unique_ptr<Connection> opened;
  EXPECT_NO_THROW(opened = Connection::OpenFile(db.path));
  release.join();
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->OpenRecordset(QStringLiteral("select * from T")).RecordCount(), 1);
}

}  // namespace
}  // namespace tarvel::db
