// Rows as text for people and tools: TSV, CSV or JSON lines, each value in one plain form (NULL
// empty, numbers in their shortest decimal form, dates YYYY-MM-DD HH:MM:SS, Yes/No -1 and 0).
#pragma once

#include <QTextStream>

#include "db/Cursor.h"

namespace tarvel::db {

/// TSV writes a tab, line break, carriage return or backslash inside a value as \t, \n, \r,
/// \\; CSV quotes as RFC 4180 does; JSON writes each line as an array.
enum class RowFormat { Tsv, Csv, Json };

/// Writes the header line of `rows` (its field names), then one line per row until the end.
/// Throws DbError when the engine fails on the way.
void WriteRows(Cursor& rows, RowFormat format, QTextStream& out);

}  // namespace tarvel::db
