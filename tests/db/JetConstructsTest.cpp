// Every construct of the program's statements gives the same rows over a Jet-backed table as over
// the same rows in SQLite, and stored queries over stored queries become views in order.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "DbTestSupport.h"
#include "JetTestSupport.h"
#include "db/Connection.h"
#include "db/jet/JetModule.h"
#include "db/sqlite/SqliteAccessFunctions.h"
#include "db/sqlite/SqliteCatalog.h"

namespace tarvel::db {
namespace {

// The rows of testV2003's Table1 (one column of each type) copied into a SQLite table declared
// the way the program's own schema declares its columns.
std::unique_ptr<test::ScratchDb> SameRowsInSqlite(Connection& jet) {
  auto db = std::make_unique<test::ScratchDb>(QStringLiteral(
      "create table Table1 (A text collate nocase, B text collate nocase, C integer, D integer, "
      "E integer, F real, G text, H real, I integer)"));
  Recordset rows = jet.OpenRecordset(QStringLiteral("select * from Table1"));
  Command insert = db->connection->Prepare("insert into Table1 values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  for (; !rows.EOF_(); rows.MoveNext()) {
    for (int f = 0; f < rows.FieldCount(); ++f)
      insert.Bind(f + 1, rows.Field(f));
    insert.Execute();
  }
  return db;
}

TEST(JetConstructs, EveryConstructGivesTheSameRowsOverJetAndSqlite) {
  auto jet = test::OpenJet(QStringLiteral("testV2003.mdb"));
  auto sqlite = SameRowsInSqlite(*jet);
  const char* statements[] = {
      "select * from Table1 order by A desc",
      "select * from Table1 order by H, A",
      "select A from Table1 where A like 'ABC%'",
      "select A from Table1 where A like '_' or B like '%JK%'",
      "select A from Table1 where A like '%%'",
      "select C from Table1 where B = 'HIJKLMNOP'",
      "select C from Table1 where A <> 'ABCDEFG'",
      "select A from Table1 where A between 'A' and 'AB'",
      "select A from Table1 where B between 'h' and 'HZ'",
      "select iif(I, 'yes', 'no'), iif(C > 1, A, B) from Table1 order by C",
      "select A from Table1 where format(H, '0.00') <= 0",
      "select A, format(F, '0.00') from Table1 where format(F, '0.00') > 400",
      "select format(E, '#,##0') from Table1 order by E",
      "select A from Table1 where C in (select C from Table1 group by C having count(*) = 1) "
      "order by A",
      "select C, count(*), sum(H), max(G) from Table1 group by C order by C",
      "select x.A, y.B from Table1 x left join Table1 y on x.C = y.C + 2 order by x.A",
      "select top 1 * from Table1 order by E desc",
      "select A from Table1 where I = -1",
      "select A from Table1 where G >= '1980-01-01' and G is not null",
      "select A, H * 2, F / 2 from Table1 order by A",
      "select A from Table1 where B is null",
      "select A from Table1 union select B from Table1 order by 1",
      // Joins whose inner side is looked up by the join's column: text in another case, a whole
      // number met by a real one, a text met by a number, and NULL, which meets nothing.
      "select x.C, y.C from Table1 x join Table1 y on y.A = UCase(x.A) order by x.C",
      "select x.C, y.B from Table1 x join Table1 y on y.C = x.C * 1.0 order by x.C",
      "select x.C, y.C from Table1 x join Table1 y on y.C = x.A order by x.C",
      "select x.C, y.C from Table1 x left join Table1 y on y.B = null order by x.C",
      "select x.C, (select count(*) from Table1 y where y.B = x.B) from Table1 x order by x.C",
  };
  for (const char* sql : statements) {
    SCOPED_TRACE(sql);
    const Recordset fromJet = jet->OpenRecordset(QString::fromUtf8(sql));
    const Recordset fromSqlite = sqlite->connection->OpenRecordset(QString::fromUtf8(sql));
    EXPECT_EQ(fromJet.FieldNames(), fromSqlite.FieldNames());
    EXPECT_EQ(fromJet.GetRows(), fromSqlite.GetRows());
    EXPECT_GT(fromJet.RecordCount() + fromJet.FieldCount(), 0);
  }
}

// Stored queries listed before the queries they read: each becomes a view all the same, and a
// query over a broken one is reported with the engine's reason.
TEST(JetConstructs, ViewsOverViewsAreOfferedInDependencyOrder) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  RegisterAccessFunctions(db);  // the views compare texts in Jet's order
  sqlite3_exec(db,
               "create table T (a text collate nocase, n integer);"
               "insert into T values ('x', 1), ('y', 2), ('z', 3)",
               nullptr, nullptr, nullptr);
  const auto query = [](const char* name, const char* sql) {
    jet::QueryOutcome o;
    o.query.name = QString::fromUtf8(name);
    o.query.kind = jet::StoredQuery::Kind::Select;
    o.query.accessSql = QString::fromUtf8(sql);
    return o;
  };
  std::vector<jet::QueryOutcome> outcomes = {
      query("Top", "SELECT Middle.a FROM Middle WHERE Middle.a <> \"Y\";"),
      query("Middle", "SELECT Base.* FROM Base WHERE Base.n > 1;"),
      query("Base", "SELECT T.a, T.n FROM T;"),
      query("Broken", "SELECT Nope(T.a) FROM T;"),
      query("OverBroken", "SELECT * FROM Broken;"),
  };
  SqliteCatalog catalog(db);
  jet::OfferViews(db, catalog, outcomes, {QStringLiteral("T")});
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(outcomes[static_cast<size_t>(i)].offer, StoredQueryReport::Offer::View) << i;
  EXPECT_EQ(outcomes[3].offer, StoredQueryReport::Offer::No);
  EXPECT_TRUE(outcomes[3].reason.contains(QStringLiteral("Nope")))
      << outcomes[3].reason.toStdString();
  EXPECT_EQ(outcomes[4].offer, StoredQueryReport::Offer::No);
  EXPECT_TRUE(outcomes[4].reason.contains(QStringLiteral("Broken")));
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "select group_concat(a) from Top", -1, &stmt, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "z");
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

}  // namespace
}  // namespace tarvel::db
