// Inside the database layer only: statement ownership, binding and reading rows of SQLite.
#pragma once

#include <sqlite3.h>

#include <QString>
#include <memory>
#include <vector>

#include "db/Recordset.h"
#include "db/Value.h"

namespace tarvel::db::detail {

struct StatementDeleter {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

/// The words for a database that another program holds locked beyond the busy timeout: names
/// the file and asks the user to try again later.
QString LockedDescription(const QString& path);

/// The description of the last failure on `db`: LockedDescription of its file when another
/// connection held the lock for longer than the busy timeout, else the engine's own words.
QString EngineErrorDescription(sqlite3* db);

/// Throws DbError with EngineErrorDescription(db).
[[noreturn]] void ThrowEngineError(sqlite3* db, const QString& statement);

/// Prepares the single statement in `sql`. Text after it other than blanks and ";" is refused,
/// so a value spliced into the text cannot smuggle in a second command. Throws DbError with
/// `jetSql` as the statement.
StatementPtr PrepareSingle(sqlite3* db, const QString& sql, const QString& jetSql);

/// Binds `value` to parameter `index` (1-based). Throws DbError.
void BindValue(sqlite3_stmt* stmt, int index, const Value& value, const QString& jetSql);

/// The value of column `column` of the current row.
Value ColumnValue(sqlite3_stmt* stmt, int column);

/// The plain names of the columns of `stmt` from column `first` on, and their "table.column"
/// names (empty where a column comes from no table).
void ReadColumnNames(sqlite3_stmt* stmt, int first, QStringList& names, QStringList& qualified);

/// Steps `stmt` to its end and returns its rows. When `rowids` is given, column 0 holds each
/// row's rowid: it goes there and not into the snapshot. Throws DbError.
Recordset ReadAll(sqlite3* db, sqlite3_stmt* stmt, const QString& jetSql,
                  std::vector<qint64>* rowids = nullptr);

}  // namespace tarvel::db::detail
