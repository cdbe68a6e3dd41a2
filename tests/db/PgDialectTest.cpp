// The PostgreSQL dialect as text (the server-side behaviour is tested on a server in tests/pg).
#include <gtest/gtest.h>

#include "db/DbError.h"
#include "db/PgDialect.h"

namespace tarvel::db {
namespace {

TEST(PgDialect, TranslatesEachConstructOfTheProgramsTexts) {
  const struct {
    const char* jet;
    const char* pg;
  } cases[] = {
      // Bracketed names become quoted names folded as the server folds plain ones.
      {"select [DESC], CODE from [歷史工單明細] where [GROUP1] = 'A'",
       "select \"desc\", CODE from \"歷史工單明細\" where \"group1\" = 'A'"},
      {"select 歷史工單明細2.[DESC] from [啟用發送EAMIL]",
       "select 歷史工單明細2.\"desc\" from \"啟用發送eamil\""},
      {"select `a\"b` from \"Mixed\"", "select \"a\"\"b\" from \"Mixed\""},
      // Top, also of a union member, whose wrapper needs a name.
      {"select top 1 * from [SYSUSER1] where ID = 'a' ",
       "select  * from \"sysuser1\" where ID = 'a'  LIMIT 1 "},
      {"select top 1 A from T union select B from U",
       "select * from (select  A from T  LIMIT 1 ) AS tarvel_top1 union select B from U"},
      // A subquery in FROM gets a name unless it has one.
      {"select count(*) from (select * from T order by PO)",
       "select count(*) from (select * from T order by PO NULLS FIRST) AS tarvel_sub1"},
      {"select * from (select A from T) x where x.A = 1",
       "select * from (select A from T) x where x.A = 1"},
      {"select * from (select A from T) where A in (select A from U)",
       "select * from (select A from T) AS tarvel_sub1 where A in (select A from U)"},
      // Division: floating point, NULL for a zero divisor, Jet's precedence kept.
      {"select (A+B-C)/C*100 from T", "select (A+B-C)*1.0::float8/NULLIF(C, 0)*100 from T"},
      {"select A/-T.[B], A/f(x, y)/2 from T",
       "select A*1.0::float8/NULLIF(-T.\"b\", 0), A*1.0::float8/NULLIF(f(x, y), "
       "0)*1.0::float8/NULLIF(2, 0) from T"},
      // iif and format as the margin test of the overviews writes them.
      {"select PO from T where (iif(COST=0,0,format((稅前金額+OTAMT-COST)/COST*100,'0.00'))<=0)",
       "select PO from T where ((CASE WHEN COST=0 THEN 0 ELSE "
       "round(((稅前金額+OTAMT-COST)*1.0::float8/"
       "NULLIF(COST, 0)*100)::numeric, 2)::float8 END)<=0)"},
      {"select format(X, '#,##0') from T", "select round((X)::numeric, 0)::float8 from T"},
      // LIKE without an escape character; NULL placed as Jet places it.
      {"select * from CUST where ID like '%a\\b%' or SNAME Like ? order by ID desc, [NO]",
       "select * from CUST where ID like '%a\\b%' ESCAPE '' or SNAME Like $1 ESCAPE '' order by "
       "ID desc NULLS LAST, \"no\" NULLS FIRST"},
      {"select A from T order by A nulls last limit 3",
       "select A from T order by A nulls last limit 3"},
      {"select * from T where PO = ? and PID = ?;", "select * from T where PO = $1 and PID = $2"},
      // Literals and comments are never looked into.
      {"select '[a]/2 ?' as x from T -- [b] / ?", "select '[a]/2 ?' as x from T -- [b] / ?"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PgDialect::Translate(QString::fromUtf8(c.jet)), QString::fromUtf8(c.pg)) << c.jet;

  for (const char* refused : {
           "select * from T; drop table T",  // a second statement
           "select * from T where A = ''; delete from T --'",
           "select iif(A=1, 2) from T",              // iif needs three arguments
           "select format(X, 'yyyy/mm/dd') from T",  // only numeric patterns
           "select format(X, P) from T",             // and only constant ones
           "select top 5 percent * from T",
       }) {
    EXPECT_THROW(PgDialect::Translate(QString::fromUtf8(refused)), DbError) << refused;
  }
}

TEST(PgDialect, SchemaFromSqliteKeepsNamesAndMakesTextsCaseInsensitive) {
  const PgDialect::Schema schema = PgDialect::SchemaFromSqlite(QStringLiteral(
      "-- a comment; with a semicolon\n"
      "PRAGMA page_size = 8192;\n"
      "CREATE TABLE [工單主檔] (\n  PO TEXT COLLATE NOCASE,\n  [NO] TEXT,\n  QTY REAL,\n"
      "  不送貨 INTEGER,\n  PRIMARY KEY (PO)\n) WITHOUT ROWID;\n"
      "CREATE VIEW [歷史工單明細] AS SELECT w.PO, w.[NO] FROM [工單主檔] w;\n"));
  EXPECT_EQ(
      schema.create,
      "CREATE EXTENSION IF NOT EXISTS citext;\n"
      "CREATE TABLE \"工單主檔\" (\n  PO citext COLLATE \"C\",\n  \"no\" text COLLATE \"C\",\n"
      "  QTY double precision,\n  不送貨 bigint,\n  PRIMARY KEY (PO)\n);\n"
      "CREATE VIEW \"歷史工單明細\" AS SELECT w.PO, w.\"no\" FROM \"工單主檔\" w;\n");
  EXPECT_EQ(schema.tables, QStringList{"工單主檔"});
  EXPECT_EQ(schema.views, QStringList{"歷史工單明細"});
  EXPECT_EQ(schema.drop,
            "DROP VIEW IF EXISTS \"歷史工單明細\" CASCADE;\nDROP TABLE IF EXISTS \"工單主檔\" "
            "CASCADE;\n");
}

}  // namespace
}  // namespace tarvel::db
