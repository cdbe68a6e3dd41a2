// The one place that knows how the program's Jet SQL differs from PostgreSQL, as JetDialect.h is
// for SQLite. Every statement the program sends to a PostgreSQL server goes through Translate.
//
// Names. PostgreSQL folds a name written without quotes to lower case (ASCII letters only;
// Chinese characters stay as they are) and keeps a quoted one exactly. The rule for a server
// database of the program: every table, view and column name is stored folded to lower case
// ("company", "歷史工單明細", "crm權限", "啟用發送eamil"), as "CREATE TABLE COMPANY (…)" without
// quotes would store it. Then:
// - a plain name in a text (CUST.ID, 稅前金額) is left to the server's own folding;
// - a [bracketed] or `backquoted` name (reserved words such as [DESC], [GROUP], [ADD], [NO] are
//   written so) becomes a quoted name folded the same way: [DESC] → "desc", [SYSUSER1] →
//   "sysuser1", [工單主檔] → "工單主檔";
// - a "double-quoted" name is passed as it is, exactly as written.
// Result columns come back folded; each gets the spelling the text gave it back ("RATE"), and the
// others stay lower case. Recordset's field lookup ignores case either way.
//
// Texts compare without regard to case, as in Jet: text columns are citext (PostgreSQL's
// case-insensitive text, shipped with it) with the collation "C", so "=", "<>", "<", BETWEEN,
// LIKE, ORDER BY and GROUP BY fold ASCII letters only and order by bytes, as SQLite's NOCASE does
// (PgSchemaFromSqlite makes such columns). Plain text columns compare with case, as on SQLite.
//
// Constructs and how they are served:
// - "select top N …": LIMIT N at the end of that select, exactly as for SQLite (JetDialect.h); the
//   wrapper of a UNION member gets a name, which PostgreSQL wants for every subquery in FROM.
// - "from (select …)" without a name gets one ("AS tarvel_sub1").
// - Division "/": Jet divides as floating point and SQLite gives NULL for a zero divisor;
//   PostgreSQL divides whole numbers as whole numbers and fails on zero. "a / b" becomes
//   "a *1.0::float8/NULLIF(b, 0)", b being the operand right of the slash (a sign, then a
//   parenthesis, a call, a name or a literal), so the precedence stays Jet's.
// - iif(c, a, b): "(CASE WHEN c THEN a ELSE b END)": only the chosen branch is evaluated and a
//   NULL condition chooses b, as in Jet. The condition must be a comparison (Jet also takes a
//   number there; PostgreSQL does not).
// - format(x, 'pattern') with a numeric pattern (digits 0 and #, grouping commas, a point):
//   "round((x)::numeric, places)::float8", the number Jet's text turns back into where it meets a
//   number: "iif(COST=0,0,format((…)/COST*100,'0.00'))<=0" compares as on SQLite. Any other
//   pattern, or a pattern that is not a string constant, is refused with a DbError.
// - LIKE with a string constant or a "?" pattern: " ESCAPE ''" follows it: Jet's LIKE has no
//   escape character, PostgreSQL's would take the backslash. "%" and "_" are the same.
// - ORDER BY: each key says NULLS FIRST (NULLS LAST after DESC): Jet and SQLite sort NULL before
//   every value, PostgreSQL after.
// - "?" parameters: numbered $1, $2 … in order.
// - One statement per text: text after a ";" other than blanks and ";" is refused with a DbError,
//   so a value spliced into a text cannot smuggle in a second command; trailing ";" are dropped.
// - "is null", "between", "<>", "in (select … group by …)", count(*), sum(): the same.
// - LIKE on a number column (Jet and SQLite compare its text) is refused by PostgreSQL; the
//   program's texts use LIKE on text columns only.
// - Not translated, as on SQLite: "&" (bitwise AND in both engines), "\" and "mod", #date#
//   literals, Jet functions other than iif and format.
//
// No server-side function is needed: everything above is translated into the statement itself,
// so any PostgreSQL database whose names follow the rule works, read by a role that may only
// read. The one server object is the citext extension, which the schema step creates
// (PgSchemaFromSqlite).
#pragma once

#include <QString>
#include <QStringList>

namespace tarvel::db::PgDialect {

/// The PostgreSQL text for the Jet text `jetSql`. Throws DbError for constructs that cannot be
/// served.
QString Translate(const QString& jetSql);

/// A PostgreSQL schema made from a SQLite schema script.
struct Schema {
  QString create;      ///< the script that creates it (the citext extension first)
  QStringList tables;  ///< the tables it creates, as written in the SQLite script
  QStringList views;   ///< the views it creates, in creation order
  QString drop;        ///< the script that drops those views and tables when they exist
};

/// The PostgreSQL form of a SQLite schema script written like demo/schema.sql: statements ending
/// in ";" at a line end, "--" comments on lines of their own. PRAGMA statements are dropped;
/// in CREATE TABLE, TEXT COLLATE NOCASE becomes citext COLLATE "C", TEXT text COLLATE "C", REAL
/// double precision, INTEGER bigint, BLOB bytea, WITHOUT ROWID goes; names follow the rule above
/// (CREATE TABLE and CREATE VIEW statements go through Translate).
Schema SchemaFromSqlite(const QString& sqliteScript);

}  // namespace tarvel::db::PgDialect
