// Parses one Access SQL statement into its syntax tree (Syntax.h), as Access reads it: operators
// in Access's order of precedence (^, unary -, * /, \, Mod, + -, &, comparisons, Not, And, Or, Xor,
// Eqv, Imp), names in [brackets] with any characters, 'text' and "text" literals, #date# literals
// (month first, or year first: #12/31/1999#, #1999-12-31 10:00:00#), True/False/Yes/No/On/Off.
//
// Statements: PARAMETERS …; SELECT [ALL | DISTINCT | DISTINCTROW] [TOP n [PERCENT]] … FROM (nested,
// parenthesised INNER/LEFT/RIGHT joins, table aliases, derived tables, also Access's own
// "[SELECT …]. AS x") WHERE … GROUP BY … HAVING … ORDER BY …; UNION [ALL] with a final ORDER BY
// and "TABLE name" members; TRANSFORM … SELECT … PIVOT … [IN (…)]; WITH OWNERACCESS OPTION;
// INSERT INTO … VALUES / SELECT; UPDATE … SET … WHERE; DELETE [t.*] FROM … WHERE. One statement per
// text: anything after it but ";" is refused, so a value spliced into a text cannot smuggle in a
// second command.
#pragma once

#include <QString>

#include "db/sql/SqlError.h"
#include "db/sql/Syntax.h"

namespace tarvel::db::sql {

/// How deep a statement's expressions and queries may nest.
inline constexpr int kMaxNesting = 200;

struct ParseOptions {
  Wildcards wildcards = Wildcards::Ansi;
};

/// The tree of `sql`. Throws SqlError, naming the place, for a text that is no Access SQL
/// statement, QueryTooComplex for one nested deeper than kMaxNesting.
Statement Parse(const QString& sql, const ParseOptions& options = {});

/// The date of a #date# literal's inside as "YYYY-MM-DD HH:MM:SS", or empty when it is no date:
/// m/d/yyyy (Access reads the month first), yyyy-m-d, yyyy/m/d, each with an optional time
/// h:mm[:ss] [AM|PM]; a time alone is on 1899-12-30, Access's day zero.
QString DateLiteralValue(const QString& inside);

}  // namespace tarvel::db::sql
