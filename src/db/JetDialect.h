// The one place that knows how the program's Jet SQL differs from the SQLite engine underneath.
//
// Every statement the program sends goes through Translate before SQLite sees it, and every
// connection gets the functions of InstallFunctions. Constructs and how they are served:
//
// - "select top N …": removed and replaced by "LIMIT N" at the end of that select (after its ORDER
//   BY, before the ")" that closes a subquery, and before a comment that ends it, as "-- …" runs
//   to the end of its line and would hide it). A select with TOP that is one member of a UNION is
//   wrapped, "select * from (select … LIMIT N)", so the limit stays with that member. Jet returns
//   the rows tied with the last one as well; SQLite returns exactly N. "TOP N PERCENT" is refused
//   with a DbError. String literals, [bracketed names] and "quoted names" are never looked into.
// - Comments ("-- …", "/* … */"; Jet has none, but a text may carry them) are left to SQLite. A
//   "/*" without its "*/" is refused with a DbError.
// - [bracketed names], also with Chinese characters and as table.[column]: SQLite accepts them as
//   they are; nothing is translated.
// - Division "/": Jet always divides as floating point, SQLite divides whole numbers as whole
//   numbers (150 / 100 = 1). Each "/" operator becomes "*1.0/", which gives Jet's result with the
//   same precedence (* and / bind alike, left to right).
// - iif(c, a, b): SQLite's built-in iif, which is CASE WHEN c THEN a ELSE b END: only the chosen
//   branch is evaluated, and a NULL condition chooses b, as in Jet.
// - format(x, pattern): an application function that replaces SQLite's own format() for two
//   arguments. It formats a number (or a numeric text) with tarvel::FormatNumber; a non-numeric
//   text is returned unchanged; NULL gives NULL. Jet's Format returns text that Jet converts back
//   to a number where it meets one ("format(…,'0.00')<=0"); SQLite never converts a function result
//   and ranks every text above every number, so such a test would select nothing. Therefore the
//   result is a number whenever the formatted text is a plain decimal number (optional minus,
//   digits without a superfluous leading zero, optional decimals: "-12.50", "0.00", "7"), and text
//   otherwise ("1,234.00", "0012", "90/05/12"). The one cost: selected as a column, "12.50" reads
//   back as 12.5.
// - Comparison of texts: Jet compares texts case-insensitively; SQLite only when the column says
//   so. Our schema declares every text column COLLATE NOCASE. A database not made by us needs the
//   same (text columns declared COLLATE NOCASE, or views over its tables whose text columns carry
//   COLLATE NOCASE) or "where ID = 'abc'" will not find 'ABC'. NOCASE folds ASCII letters only,
//   which is all that the suite's codes use.
// - LIKE with "%" and "_": SQLite's LIKE uses the same wildcards (ADO speaks ANSI-92), is ASCII
//   case-insensitive and matches Chinese text character by character; "like '%%'" matches every
//   non-NULL value and NULL drops out, as in Jet.
// - "is null", "between", "<>", "in (select … group by …)": the same in both.
// - Not used by the program and not translated: "&" concatenation (bitwise AND in SQLite), "\" and
//   "mod", #date# literals, "double-quoted" strings (SQLite reads them as names first), Jet
//   functions other than iif and format.
#pragma once

#include <QString>

struct sqlite3;

namespace tarvel::db::JetDialect {

/// The SQLite text for the Jet text `jetSql`. Throws DbError for constructs that cannot be served.
QString Translate(const QString& jetSql);

/// Registers the application functions (format) on a freshly opened connection.
void InstallFunctions(sqlite3* db);

}  // namespace tarvel::db::JetDialect
