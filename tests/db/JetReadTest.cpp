// Reading real Jet 3 and Jet 4 files: rows, types, Unicode, moved and deleted rows, passwords.
#include <gtest/gtest.h>

#include "JetCraft.h"
#include "JetTestSupport.h"
#include "db/Connection.h"
#include "support/TempDir.h"

namespace tarvel::db {
namespace {

using test::ErrorText;
using test::OpenJet;

// Every row of a query as "a|b|c" texts, NULL shown as <null>.
QStringList Rows(Connection& connection, const QString& sql) {
  Recordset rows = connection.OpenRecordset(sql);
  QStringList out;
  for (; !rows.EOF_(); rows.MoveNext()) {
    QStringList cells;
    for (int f = 0; f < rows.FieldCount(); ++f) {
      const Value& v = rows.Field(f);
      cells << (v.IsNull() ? QStringLiteral("<null>") : v.ToText());
    }
    out << cells.join(u'|');
  }
  return out;
}

TEST(JetRead, EveryBasicTypeOfJet4AndJet3) {
  for (const char* file : {"testV2003.mdb", "testV1997.mdb"}) {
    SCOPED_TRACE(file);
    auto connection = OpenJet(QString::fromLatin1(file));
    EXPECT_FALSE(connection->Can(Capability::Write));
    EXPECT_TRUE(connection->Can(Capability::StoredQueries));
    Recordset rows =
        connection->OpenRecordset(QStringLiteral("select * from Table1 order by C desc"));
    ASSERT_EQ(rows.RecordCount(), 2);
    EXPECT_EQ(rows.FieldNames(), QStringList({"A", "B", "C", "D", "E", "F", "G", "H", "I"}));
    EXPECT_EQ(rows.Field("A"), Value("abcdefg"));
    EXPECT_EQ(rows.Field("B"), Value("hijklmnop"));
    EXPECT_EQ(rows.Field("C"), Value(2));
    EXPECT_EQ(rows.Field("D"), Value(222));
    EXPECT_EQ(rows.Field("E"), Value(333333333));
    EXPECT_EQ(rows.Field("F"), Value(444.555));
    EXPECT_EQ(rows.Field("G"), Value("1974-09-21 00:00:00"));
    EXPECT_EQ(rows.Field("H"), Value(3.5));
    EXPECT_EQ(rows.Field("I"), Value(-1));  // Jet's True
    rows.MoveNext();
    EXPECT_EQ(rows.Field("A"), Value("a"));
    EXPECT_EQ(rows.Field("G"), Value("1981-12-12 00:00:00"));
    EXPECT_EQ(rows.Field("H"), Value(0.0));
    EXPECT_EQ(rows.Field("I"), Value(0));
    // Dates are dates to Access's functions.
    EXPECT_EQ(Rows(*connection, "select Format(G, 'yyyy/mm') from Table1 where C = 2"),
              QStringList({"1974/09"}));
  }
}

TEST(JetRead, UnicodeCompressedAndPlainTextIncludingCjk) {
  auto connection = OpenJet(QStringLiteral("testUnicodeCompV2003.mdb"));
  QStringList rows =
      Rows(*connection, "select ID, [Unicode] from [Table] where ID < 8 order by ID");
  // Compared as the same characters (Greek tonos in either of its code points); row 6 also
  // holds control characters that the list of facts leaves out.
  for (QString& row : rows) {
    row = row.normalized(QString::NormalizationForm_C);
    row.removeIf([](QChar c) { return c.unicode() < 0x20; });
  }
  const QStringList expected = {
      "1|only ascii chars", "2|ääkkösiä",      "3|Мир",   "4|ϰαὶ τότ' ἐγὼ Κύϰλωπα",
      "5|漢字仮名交じり文", "6|3L952_AB(¥!!V", "7|ümlaut"};
  for (int i = 0; i < expected.size() && i < rows.size(); ++i)
    EXPECT_EQ(rows[i], expected[i].normalized(QString::NormalizationForm_C));
  EXPECT_EQ(rows.size(), expected.size());
  // Row 8: every character from U+0001 to ÿ, in order (a tab and line breaks among them).
  const Value eight =
      connection->OpenRecordset("select [Unicode] from [Table] where ID = 8").Field(0);
  QString all;
  for (char16_t c = 1; c <= 0xff; ++c)
    all += QChar(c);
  EXPECT_EQ(eight, Value(all));
  // Found through CJK equality and LIKE.
  EXPECT_EQ(Rows(*connection, "select ID from [Table] where [Unicode] = '漢字仮名交じり文'"),
            QStringList({"5"}));
  EXPECT_EQ(Rows(*connection, "select ID from [Table] where [Unicode] like '%仮名%'"),
            QStringList({"5"}));
}

TEST(JetRead, DeletedRowsAbsentMovedRowsPresentInTableOrder) {
  auto deleted = OpenJet(QStringLiteral("delTestV2003.mdb"));
  EXPECT_EQ(Rows(*deleted, "select a, b from [Table]"), QStringList({"z|y", "v|u"}));

  auto moved = OpenJet(QStringLiteral("overflowTestV2003.mdb"));
  // Rows 3 and 5 grew and moved to other pages: read through their pointers, in place.
  EXPECT_EQ(Rows(*moved,
                 "select Nz(data1, ''), Nz(data3, ''), Nz(data9, '') "
                 "from Table1"),
            QStringList({"row1col1||", "row2col1|row2col3|", "|row3col3|row3col9",
                         "row4col1|row4col2|", "|row5col2|", "|row6col2|", "row7col1||"}));
  EXPECT_EQ(moved->OpenRecordset("select count(*) from Table1").Field(0), Value(7));
  EXPECT_EQ(Rows(*moved, "select data1, data4 from Table1 where data3 = 'row5col2'"),
            QStringList({"<null>|<null>"}));
}

// Access leaves the rows it squeezed out of a page in the row table, flagged deleted, with an
// offset that is the page's end (0xD000 in Jet 4, 0xC800 in Jet 3) or anything else: the flag
// alone decides, in both layouts, before the offset is looked at.
TEST(JetRead, DeletedRowsAreSkippedWhateverTheirOffsetSays) {
  tarvel::test::TempDir dir;
  for (const char* fixture : {"testV2003.mdb", "testV1997.mdb"}) {
    SCOPED_TRACE(fixture);
    const QByteArray original = test::ReadFixture(QString::fromLatin1(fixture));
    const QStringList rows = Rows(*OpenJet(QString::fromLatin1(fixture)), "select * from Table1");
    const int page = test::RowsOf(original, QStringLiteral("Table1")).front().page;
    const quint16 squeezed = static_cast<quint16>(0xc000 | test::PageSizeOf(original));
    for (const quint16 entry : {squeezed, quint16{0xdfff}, quint16{0x8000}, quint16{0xffff}}) {
      SCOPED_TRACE(entry);
      const QString path =
          dir.Write("KORV.mdb", test::WithLeadingSlots(original, page, 116, entry));
      EXPECT_EQ(Rows(*Connection::Open(test::JetConnectionString(path)), "select * from Table1"),
                rows);
    }
  }
}

// A row that moved again leaves a pointer at its second place too (flagged both deleted, as a
// moved row's new place is, and moved): the scan follows it on.
TEST(JetRead, ARowMovedTwiceIsFollowedToItsLastPlace) {
  tarvel::test::TempDir dir;
  QByteArray bytes = test::ReadFixture(QStringLiteral("overflowTestV2003.mdb"));
  const std::vector<test::RowPlace> rows = test::RowsOf(bytes, QStringLiteral("Table1"));
  ASSERT_EQ(rows.size(), 7u);
  // Rows 3 and 5 moved to pages of their own; row 3's new place now points on to row 5's.
  const test::RowPlace third = rows[2];
  const test::RowPlace fifth = rows[4];
  ASSERT_NE(third.page, fifth.page);
  const int at = third.page * test::PageSizeOf(bytes) + third.start;
  bytes[at] = static_cast<char>(fifth.index);
  qToLittleEndian<quint16>(static_cast<quint16>(fifth.page), bytes.data() + at + 1);
  bytes[at + 3] = static_cast<char>(fifth.page >> 16);
  test::SetSlotEntry(bytes, third.page, third.index, static_cast<quint16>(0xc000 | third.start));
  auto connection = Connection::Open(test::JetConnectionString(dir.Write("KORV.mdb", bytes)));
  const QStringList read = Rows(*connection, "select data3 from Table1");
  EXPECT_EQ(read, QStringList({"<null>", "row2col3", "row5col2", "row4col2", "row5col2", "row6col2",
                               "<null>"}));
}

TEST(JetRead, DecimalMemoAndPasswordProtectedFile) {
  auto numeric = OpenJet(QStringLiteral("fixedNumericTestV2003.mdb"));
  EXPECT_EQ(Rows(*numeric, "select * from test"), QStringList({"some data|1|0|0|4|-1|1"}));
  EXPECT_EQ(numeric->OpenRecordset("select col6 from test").Field(0), Value(-1));

  auto locked = OpenJet(QStringLiteral("V2003_with-password.mdb"));
  const QStringList rows = Rows(*locked, "select ID, Data from Table1 order by ID");
  ASSERT_GE(rows.size(), 3);
  EXPECT_EQ(rows.mid(0, 3), QStringList({"1|One", "2|Two", "3|Three"}));
}

TEST(JetRead, TextComparesWithoutRegardToCaseAndNullStaysNull) {
  auto connection = OpenJet(QStringLiteral("testV2003.mdb"));
  EXPECT_EQ(Rows(*connection, "select C from Table1 where A = 'ABCDEFG'"), QStringList({"2"}));
  EXPECT_EQ(Rows(*connection, "select C from Table1 where A between 'AB' and 'ABD'"),
            QStringList({"2"}));
  EXPECT_EQ(Rows(*connection, "select C from Table1 where A in ('A', 'x') "), QStringList({"0"}));
  auto moved = OpenJet(QStringLiteral("overflowTestV2003.mdb"));
  EXPECT_EQ(moved->OpenRecordset("select count(*) from Table1 where data1 is null").Field(0),
            Value(3));
  EXPECT_EQ(moved->OpenRecordset("select count(*) from Table1 where data1 = ''").Field(0),
            Value(0));
}

TEST(JetRead, JoinAcrossTwoTablesAndViewsThroughSqlite) {
  auto connection = OpenJet(QStringLiteral("testV2003.mdb"));
  // A join of a table with itself: two scans of one file side by side.
  EXPECT_EQ(Rows(*connection,
                 "select x.A, y.A from Table1 x inner join Table1 y on x.C < y.C or x.C = y.C "
                 "order by x.C, y.C"),
            QStringList({"a|a", "a|abcdefg", "abcdefg|abcdefg"}));
  auto unicode = OpenJet(QStringLiteral("testUnicodeCompV2003.mdb"));
  EXPECT_EQ(Rows(*unicode,
                 "select count(*) from [Table] t left join [Table] u on u.ID = t.ID + 1 "
                 "where u.ID is null"),
            QStringList({"1"}));
}

TEST(JetRead, EveryWriteIsRefusedAndTheFileStaysAsItWas) {
  const QByteArray before = test::ReadFixture(QStringLiteral("testV2003.mdb"));
  auto connection = OpenJet(QStringLiteral("testV2003.mdb"));
  const QString refusal = ErrorText([&] { connection->Execute("delete from Table1 where C = 2"); });
  EXPECT_TRUE(refusal.contains(QStringLiteral("只讀取"))) << refusal.toStdString();
  EXPECT_EQ(ErrorText([&] { connection->Execute("insert into Table1 (A) values ('x')"); }),
            refusal);
  EXPECT_EQ(ErrorText([&] { connection->Execute("update Table1 set A = 'x'"); }), refusal);
  EXPECT_EQ(ErrorText([&] { connection->OpenForUpdate("select top 1 * from Table1"); }), refusal);
  EXPECT_EQ(ErrorText([&] { connection->ExecuteScript("create table t (a)"); }), refusal);
  EXPECT_EQ(ErrorText([&] { connection->BeginTransaction(); }), refusal);
  EXPECT_EQ(ErrorText([&] { connection->Prepare("delete from Table1"); }), refusal);
  // Reading still works afterwards, and the file is byte for byte the same.
  EXPECT_EQ(connection->OpenRecordset("select count(*) from Table1").Field(0), Value(2));
  EXPECT_EQ(test::ReadFixture(QStringLiteral("testV2003.mdb")), before);
}

TEST(JetRead, PreparedCommandsAndHasRowsReadLive) {
  auto connection = OpenJet(QStringLiteral("testV1997.mdb"));
  Command command = connection->Prepare("select A from Table1 where C = ?");
  EXPECT_EQ(command.Bind(1, Value(2)).Query().Field("A"), Value("abcdefg"));
  EXPECT_EQ(command.Bind(1, Value(0)).Query().Field("A"), Value("a"));
  EXPECT_TRUE(connection->HasRows("select * from Table1 where B = 'B'"));
  EXPECT_FALSE(connection->HasRows("select * from Table1 where B = 'zz'"));
  EXPECT_EQ(connection->OpenRecordset("select top 1 A from Table1 order by A desc").Field(0),
            Value("abcdefg"));
  const QString all = QStringLiteral("select A from Table1 order by A");
  Cursor rows = connection->OpenCursor(all);
  qint64 read = 0;
  while (rows.Next())
    ++read;
  EXPECT_EQ(read, connection->CountRows(all));
  EXPECT_EQ(rows.Text("A"), QStringLiteral("abcdefg"));
}

}  // namespace
}  // namespace tarvel::db
