// Gives a parsed statement its meaning before any engine's text is written: what each name stands
// for (a column of which source, an output column by its alias, or a parameter), the type of
// every expression, the output columns of every select ("*" spelt out where the sources' columns
// are known), which tables a DISTINCTROW keys on, and the columns of each crosstab. Stored queries
// that are no views (parameter queries, crosstabs without an IN list) are put in place of their
// names.
//
// Name resolution as Access does it: a name is a column of a source of its own select, else an
// alias of that select's output ("SELECT x*2 AS y … WHERE y > 1"), else a column or alias of an
// enclosing select, else a parameter: "[Beginning Date]", "[Forms]![Orders]![OrderID]", and
// "Table2.col1" where the select has no source Table2. Where a source's columns are unknown (no
// catalog, or a table the catalog lacks) the name is left as written for the engine to judge.
#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

#include "db/sql/Catalog.h"
#include "db/sql/Syntax.h"

namespace tarvel::db::sql {

/// Reads the pivot values of a crosstab query (bound, without an IN list), in column order.
using PivotReader = std::function<std::vector<Datum>(const Query& crosstab)>;

/// The name of a crosstab column for a pivot value: a number's plain text, a date's general form,
/// the text itself, "<>" for NULL.
QString PivotColumnName(const Datum& value);

/// Binds `statement` in place. `catalog` may be null (nothing is known of the database; names
/// stay as written). `given` types the parameters the statement does not declare, by name in
/// lower case. Throws SqlError for a call of a function Access does not have or with the wrong
/// number of arguments, a stored query that reads itself, or a crosstab whose pivot values cannot
/// be read.
void Bind(Statement& statement, Catalog* catalog, const PivotReader& pivots,
          const QHash<QString, SqlType>& given = {});

}  // namespace tarvel::db::sql
