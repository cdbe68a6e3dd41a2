// Access SQL as Access runs it, on SQLite: the table of statements and rows, the Jet file's own
// constructs (dates, Yes/No, Jet's General sort order) and tarvel-cli query.
#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "JetTestSupport.h"
#include "db/DbError.h"
#include "db/sql/AccessValues.h"
#include "db/sql/JetOrder.h"
#include "db/sql/Translate.h"
#include "support/AccessSqlCases.h"
#include "support/Cli.h"

namespace tarvel::db {
namespace {

TEST(AccessSql, EveryCaseGivesTheRowsAccessGives) {
  test::ScratchDb db(QString{});
  const tarvel::test::AccessSqlTable table = tarvel::test::ReadAccessSqlTable();
  ASSERT_GT(table.cases.size(), 50u);
  tarvel::test::MakeAccessSqlTables(*db.connection, table);
  for (const tarvel::test::AccessSqlCase& c : table.cases) {
    SCOPED_TRACE(c.sql.toStdString());
    try {
      EXPECT_EQ(tarvel::test::AccessSqlRows(*db.connection, c), c.rows);
    } catch (const DbError& e) {
      ADD_FAILURE() << e.Description().toStdString();
    }
  }
}

// The program's own texts use ADO's wildcards; a stored query's % and _ are the characters.
TEST(AccessSql, LikeReadsTheWildcardsOfItsText) {
  test::ScratchDb db(
      QStringLiteral("create table T (A text collate nocase);"
                     "insert into T values ('50%'), ('5x'), ('a_b'), ('ab');"));
  const auto count = [&](const char* sql, bool access) {
    QueryOptions options;
    options.accessWildcards = access;
    return db.connection->OpenRecordset(QString::fromUtf8(sql), options).RecordCount();
  };
  EXPECT_EQ(count("select * from T where A like '5%'", false), 2);
  EXPECT_EQ(count("select * from T where A like '5%'", true), 0);
  EXPECT_EQ(count("select * from T where A like '5*'", true), 2);
  EXPECT_EQ(count("select * from T where A like '50[%]'", true), 1);
  EXPECT_EQ(count("select * from T where A like 'a_b'", true), 1);
  EXPECT_EQ(count("select * from T where A like 'a_b'", false), 1);
  EXPECT_EQ(count("select * from T where A like 'a?b'", true), 1);
}

// A count and a test for rows sort nothing (sorting every row before the first costs as much as
// reading them all), except where TOP picks the rows by their order: they count what a read gets.
TEST(AccessSql, CountsAndTestsForRowsLeaveTheOrderOutUnlessTopPicksByIt) {
  test::ScratchDb db(
      QStringLiteral("create table T (A integer); insert into T values (3), (1), (2), (2);"));
  const struct {
    const char* sql;
    bool sorts;
  } cases[] = {
      {"select A from T order by A", false},
      {"select * from (select A from T order by A desc) as D order by A", false},
      {"select A from T union select A from T order by 1", false},
      {"select top 2 A from T order by A desc", true},
      {"select * from (select top 1 A from T order by A) as D order by A", true},
      {"select A from T where A > 5 order by A", false},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf8(c.sql);
    SCOPED_TRACE(c.sql);
    const QString translated =
        sql::Translate(text, sql::Engine::Sqlite, &db.connection->Catalog(), {.unordered = true})
            .sql;
    EXPECT_EQ(translated.contains(QStringLiteral("ORDER BY"), Qt::CaseInsensitive), c.sorts)
        << translated.toStdString();
    const qint64 read = db.connection->OpenRecordset(text).RecordCount();
    EXPECT_EQ(db.connection->CountRows(text), read);
    EXPECT_EQ(db.connection->HasRows(text), read > 0);
  }
}

TEST(AccessSql, AStatementWithoutTheValuesOfItsParametersIsRefusedNamingThem) {
  test::ScratchDb db(QStringLiteral("create table T (A text);"));
  const QString text = test::ErrorText([&] {
    db.connection->OpenRecordset(QStringLiteral("select * from T where A = [Which one]"));
  });
  EXPECT_TRUE(text.contains(QStringLiteral("Which one"))) << text.toStdString();
  // A value given with brackets or without finds its parameter.
  QueryOptions options;
  options.parameters.insert(ParameterKey(QStringLiteral("[which ONE]")), Value("x"));
  EXPECT_NO_THROW(db.connection->OpenRecordset(
      QStringLiteral("select * from T where A = [Which one]"), options));
}

// A Jet file's columns keep Jet's types: Date/Time compares and calculates as a date, texts sort
// in Jet's General sort order (case, accents and hyphens second), equality stays NOCASE's.
TEST(AccessSql, JetColumnsAreDatesAndTextsInJetsOrder) {
  auto jet = test::OpenJet(QStringLiteral("testV2003.mdb"));
  QueryOptions options;
  options.accessWildcards = true;
  const Recordset dates = jet->OpenRecordset(
      QStringLiteral("SELECT G, G + 1 AS Next, Year(G) AS Y, G - #1/1/1900# AS Days FROM Table1 "
                     "WHERE G > #1/1/1900# ORDER BY G"),
      options);
  ASSERT_GT(dates.RecordCount(), 0);
  const QString first = dates.Field(QStringLiteral("G")).ToText();
  EXPECT_EQ(first.size(), 19) << first.toStdString();
  EXPECT_EQ(dates.Field(QStringLiteral("Y")).AsInteger(), first.left(4).toInt());
  EXPECT_GT(dates.Field(QStringLiteral("Days")).Number(), 0);
  EXPECT_GT(dates.Field(QStringLiteral("Next")).ToText(), first);

  // Texts of a Jet table sort in Jet's order: the fixture's names, as General sorts them.
  Recordset names = jet->OpenRecordset(QStringLiteral("SELECT A FROM Table1 ORDER BY A"));
  QStringList texts;
  for (names.MoveFirst(); !names.EOF_(); names.MoveNext())
    texts << names.Text(QStringLiteral("A"));
  QStringList expected = texts;
  std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
    return sql::CompareJetTotal(sql::SortOrder::General, a, b) < 0;
  });
  EXPECT_EQ(texts, expected);
}

TEST(AccessSql, QueryCommandWritesRowsAsTsvCsvAndJson) {
  test::ScratchDb db(
      QStringLiteral("create table T (N integer, R real, S text, D datetime, B yesno);"
                     "insert into T values (1, 0.5, 'a\tb\nc', '1997-01-02 00:00:00', -1), "
                     "(2, NULL, 'x,\"y\"', NULL, 0);"));
  using tarvel::test::RunCli;
  const auto tsv = RunCli(cli::RunQueryCommand, {"--db", db.path, "SELECT * FROM T ORDER BY N"});
  EXPECT_EQ(tsv.code, 0) << tsv.err.toStdString();
  EXPECT_EQ(tsv.out, QStringLiteral("N\tR\tS\tD\tB\n1\t0.5\ta\\tb\\nc\t1997-01-02 00:00:00\t-1\n"
                                    "2\t\tx,\"y\"\t\t0\n"));
  const auto csv = RunCli(cli::RunQueryCommand,
                          {"--db", db.path, "--format", "csv", "SELECT N, S FROM T WHERE N = 2"});
  EXPECT_EQ(csv.out, QStringLiteral("N,S\n2,\"x,\"\"y\"\"\"\n"));
  const auto json =
      RunCli(cli::RunQueryCommand, {"--db", db.path, "--format", "json", "SELECT N, R, S FROM T"});
  EXPECT_EQ(
      json.out,
      QStringLiteral("[\"N\",\"R\",\"S\"]\n[1,0.5,\"a\\tb\\nc\"]\n[2,null,\"x,\\\"y\\\"\"]\n"));
  // Parameters by name; only queries; a wrong statement says why on the error stream.
  const auto param = RunCli(cli::RunQueryCommand, {"--db", db.path, "--param", "Which=2",
                                                   "SELECT S FROM T WHERE N = [Which]"});
  EXPECT_EQ(param.out, QStringLiteral("S\nx,\"y\"\n"));
  const auto write = RunCli(cli::RunQueryCommand, {"--db", db.path, "DELETE FROM T"});
  EXPECT_EQ(write.code, 1);
  EXPECT_FALSE(write.err.isEmpty());
  EXPECT_EQ(RunCli(cli::RunQueryCommand, {"--db", db.path, "SELECT N FROM T"}).out.count(u'\n'), 3);
  EXPECT_EQ(RunCli(cli::RunQueryCommand, {"SELECT 1"}).code, 2);
}

}  // namespace
}  // namespace tarvel::db
