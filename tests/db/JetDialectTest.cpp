#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "db/DbError.h"
#include "db/JetDialect.h"

namespace tarvel::db {
namespace {

using test::ScratchDb;

TEST(JetDialect, TopBecomesLimitAtTheEndOfItsSelect) {
  const struct {
    const char* jet;
    const char* sqlite;
  } cases[] = {
      {"select top 1 * from [SYSUSER1] where ID = 'a' and FUNC = 'b' ",
       "select  * from [SYSUSER1] where ID = 'a' and FUNC = 'b'  LIMIT 1 "},
      {"SELECT TOP 5 PO FROM T ORDER BY PO DESC", "SELECT  PO FROM T ORDER BY PO DESC LIMIT 5 "},
      {"select distinct top 2 A from T;", "select distinct  A from T LIMIT 2 ;"},
      // Subqueries end at their closing parenthesis, and nest.
      {"select * from T where PO in (select top 3 PO from U order by PO) and X=1",
       "select * from T where PO in (select  PO from U order by PO LIMIT 3 ) and X=1"},
      {"select top 1 * from (select top 2 A from (select A from T) order by A)",
       "select  * from (select  A from (select A from T) order by A LIMIT 2 ) LIMIT 1 "},
      // Nothing inside literals or bracketed names is touched.
      {"select 'select top 1 x' as [top 2], [a/b] from T where N = 'a/b'",
       "select 'select top 1 x' as [top 2], [a/b] from T where N = 'a/b'"},
      {"select top 1 ')' from T where A = 'it''s (' ",
       "select  ')' from T where A = 'it''s (' "
       " LIMIT 1 "},
      {"select [top] from T", "select [top] from T"},
      {"select top10 from T", "select top10 from T"},
      // A member of a compound keeps its own limit.
      {"select top 1 A from T union select B from U",
       "select * from (select  A from T  LIMIT 1 ) union select B from U"},
      {"select A from T union all select top 2 B from U",
       "select A from T union all select * from (select  B from U LIMIT 2 ) "},
      // A comment at the end would swallow a limit put after it: the limit goes before it.
      {"select top 1 * from CUST -- first", "select  * from CUST LIMIT 1  -- first"},
      {"select top 2 * from CUST /* a */ -- b\n", "select  * from CUST LIMIT 2  /* a */ -- b\n"},
      {"select * from T where A in (select top 1 A from U -- u\n)",
       "select * from T where A in (select  A from U LIMIT 1  -- u\n)"},
      {"select top 1 A from T -- t\nunion select B from U",
       "select * from (select  A from T LIMIT 1 )  -- t\nunion select B from U"},
      // Comment marks inside literals are text.
      {"select top 1 * from T where A = '--' ", "select  * from T where A = '--'  LIMIT 1 "},
      // Jet divides as floating point.
      {"select (A+B-C)/C*100 from T", "select (A+B-C)*1.0/C*100 from T"},
      // Two slashes must not become the start of a comment ("…/*1.0/…").
      {"select top 4 * from T where 1//2", "select  * from T where 1*1.0/ *1.0/2 LIMIT 4 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JetDialect::Translate(QString::fromUtf8(c.jet)), QString::fromUtf8(c.sqlite))
        << c.jet;
  }
  EXPECT_THROW(JetDialect::Translate(QStringLiteral("select top 10 percent * from T")), DbError);
  // A comment that never ends would hide whatever is put after it.
  for (const char* jet :
       {"select top 2 * from CUST/*", "select top 2 * from CUST /* x", "select * from T /*/"}) {
    EXPECT_THROW(JetDialect::Translate(QString::fromUtf8(jet)), DbError) << jet;
  }
}

TEST(JetDialect, TranslatedTopRunsOnTheEngine) {
  ScratchDb db(
      QStringLiteral("create table T (PO text, N integer);"
                     "insert into T values ('A', 3), ('B', 1), ('C', 2), ('D', 5);"));
  auto& c = *db.connection;
  EXPECT_EQ(c.OpenRecordset(QStringLiteral("select top 2 * from T order by N desc")).RecordCount(),
            2);
  Recordset rs = c.OpenRecordset(QStringLiteral(
      "select * from T where PO in (select top 2 PO from T order by N) order by PO"));
  EXPECT_EQ(rs.GetRows()[0], (std::vector<Value>{Value("B"), Value("C")}));
  rs = c.OpenRecordset(
      QStringLiteral("select top 1 PO from T where N > 2 union select PO from T where N = 1"));
  EXPECT_EQ(rs.RecordCount(), 2);
}

// Whatever comment ends the statement, the engine returns no more rows than top asks for.
TEST(JetDialect, TopHoldsWhenTheStatementEndsInAComment) {
  ScratchDb db(
      QStringLiteral("create table CUST (ID text); insert into CUST values ('a'), ('b'), ('c');"));
  const struct {
    const char* jet;
    qint64 rows;
  } cases[] = {
      {"select top 1 * from CUST -- first", 1},
      {"select top 1 * from CUST -- first\n", 1},
      {"select top 2 * from CUST /* closed */", 2},
      {"select top 1 * from CUST order by ID desc --", 1},
      {"select * from CUST where ID in (select top 1 ID from CUST order by ID -- x\n)", 1},
      {"select top 1 ID from CUST -- x\n union all select ID from CUST", 4},
      {"select ID from CUST union all select top 1 ID from CUST --", 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(db.connection->OpenRecordset(QString::fromUtf8(c.jet)).RecordCount(), c.rows)
        << c.jet;
  }
  EXPECT_THROW(db.connection->OpenRecordset(QStringLiteral("select top 2 * from CUST/*")), DbError);
  EXPECT_THROW(db.connection->OpenRecordset(QStringLiteral("select top 2 * from CUST where 1//2")),
               DbError);
}

TEST(JetDialect, BracketedNamesIncludingChineseAndQualified) {
  ScratchDb db(QStringLiteral(
      "create table [工單生產報表] (PO text, [NO] text, [DESC] text, [稅前金額] real);"
      "insert into [工單生產報表] values ('P1', '2', '紙盒', 100), ('P1', '1', '貼紙', 50);"));
  Recordset rs = db.connection->OpenRecordset(
      QStringLiteral("select [工單生產報表].[DESC], 工單生產報表.[稅前金額] from [工單生產報表] "
                     "where [DESC] like '%紙%' order by PO, [NO] "));
  ASSERT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Text("desc"), QStringLiteral("貼紙"));
  EXPECT_EQ(rs.Number("稅前金額"), 50);
}

TEST(JetDialect, IifIsLazyAndTreatsNullAsFalse) {
  ScratchDb db(
      QStringLiteral("create table T (C integer); insert into T values (NULL), (0), (4);"));
  Recordset rs = db.connection->OpenRecordset(QStringLiteral(
      "select iif(C is null, 'n', iif(C=0, 0, 100/C)) as R, iif(C, 'true', 'false') as B, "
      "iif(1, 1, abs(-9223372036854775807 - 1)) as L from T order by C"));
  // abs(min int) raises "integer overflow" if the branch not taken were evaluated.
  const auto rows = rs.GetRows();
  EXPECT_EQ(rows[0], (std::vector<Value>{Value("n"), Value(qint64{0}), Value(25.0)}));
  EXPECT_EQ(rows[1], (std::vector<Value>{Value("false"), Value("false"), Value("true")}));
  EXPECT_EQ(rows[2][0], Value(qint64{1}));
}

TEST(JetDialect, FormatGivesNumbersWhereJetWouldCompareThem) {
  ScratchDb db(
      QStringLiteral("create table T (X);"
                     "insert into T values (12.5), (-0.004), (1234.5), (7), ('0900512'), "
                     "('abc'), (NULL);"));
  Recordset rs = db.connection->OpenRecordset(QStringLiteral(
      "select format(X,'0.00') as F, format(X,'#,##0.00') as G, format(X,'###/##/##') as D, "
      "format(X,'0000') as Z from T"));
  const auto rows = rs.GetRows();
  EXPECT_EQ(rows[0], (std::vector<Value>{Value(12.5), Value(0.0), Value(1234.5), Value(7.0),
                                         Value(900512.0), Value("abc"), Value()}));
  EXPECT_EQ(rows[1][2], Value("1,234.50"));  // grouped: a text, as Jet shows it
  EXPECT_EQ(rows[1][0], Value(12.5));
  EXPECT_EQ(rows[2][4], Value("90/05/12"));
  EXPECT_EQ(rows[3][3], Value("0007"));        // leading zeros: a code, stays text
  EXPECT_EQ(rows[3][2], Value(qint64{1235}));  // "1235": a plain whole number
}

// The unreviewed-margin test of the overview on real rows: margin on cost and on sales.
TEST(JetDialect, MarginTestSelectsZeroAndNegativeMargins) {
  ScratchDb db(QStringLiteral(
      "create table [歷史工單明細] (PO text, YN text, AMT numeric, 稅前金額 numeric, "
      "OTAMT numeric, COST numeric);"
      "insert into [歷史工單明細] values"
      "  ('LOSS',  '', 100, 100, 0, 120),"       // -16.67 %
      "  ('ZERO',  NULL, 100, 100, 0, 100),"     // 0 %
      "  ('TINY',  '', 100, 100000, 0, 99999),"  // 0.001 % rounds to 0.00
      "  ('GAIN',  '', 150, 150, 0, 100),"       // 50 %: whole numbers must not divide to 0
      "  ('GAIN2', '', 100, 100, 1, 100),"       // 1 %
      "  ('NOCOST','', 100, 100, 0, 0),"         // zero divisor counts as margin 0
      "  ('NOAMT', '', 0, 0, 0, 0),"
      "  ('DONE',  'Y', 100, 100, 0, 120);"));  // reviewed: never listed
  const QString onCost = QStringLiteral(
      "select PO from [歷史工單明細] where (YN = '' or YN is NULL) and (AMT = 0 or "
      "  (iif(COST=0,0,format((稅前金額+OTAMT-COST)/COST*100,'0.00'))<=0)) order by PO");
  const QString onSales = QStringLiteral(
      "select PO from [歷史工單明細] where (YN = '' or YN is NULL) and (AMT = 0 or "
      "  (iif(稅前金額+OTAMT=0,0,format((稅前金額+OTAMT-COST)/(稅前金額+OTAMT)*100,'0.00'))<=0)) "
      "order by PO");
  auto pos = [&](const QString& sql) {
    QStringList list;
    const auto rows = db.connection->OpenRecordset(sql).GetRows();
    for (const Value& v : rows[0])
      list << v.Text();
    return list.join(u' ').toStdString();
  };
  EXPECT_EQ(pos(onCost), "LOSS NOAMT NOCOST TINY ZERO");
  EXPECT_EQ(pos(onSales), "LOSS NOAMT TINY ZERO");  // no cost: 100 % on sales
}

TEST(JetDialect, TextComparisonAndLike) {
  ScratchDb db(QStringLiteral(
      "create table CUST (ID text collate nocase, SNAME text collate nocase);"
      "insert into CUST values ('abc01', '台北紙業'), ('ABD02', '高雄印刷'), ('x', ''), "
      "  ('y', NULL);"));
  auto count = [&](const char* where) {
    return db.connection
        ->OpenRecordset(QStringLiteral("select * from [CUST] where ") + QString::fromUtf8(where))
        .RecordCount();
  };
  EXPECT_EQ(count("ID = 'ABC01'"), 1);
  EXPECT_EQ(count("ID between 'ABC' and 'abd99'"), 2);
  EXPECT_EQ(count("ID like '%Bc%'"), 1);
  EXPECT_EQ(count("SNAME like '%紙%'"), 1);
  EXPECT_EQ(count("SNAME like '%台北%' or SNAME like '%印刷'"), 2);
  EXPECT_EQ(count("SNAME like '%%'"), 3);  // empty keyword: every non-NULL value
  EXPECT_EQ(count("(SNAME = '' or SNAME is null)"), 2);
  EXPECT_EQ(count("SNAME <> ''"), 2);
}

}  // namespace
}  // namespace tarvel::db
