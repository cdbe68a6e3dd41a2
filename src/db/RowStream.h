// A query's rows read forward from one state of the database: the connection, the read snapshot
// and the cursor of one output, held together for as long as the output reads.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "db/Cursor.h"

namespace tarvel::db {

class Connection;
class ReadSnapshot;
class Recordset;

/// Opened once per output. The check before the output asks HasRows (which reads no further than
/// the first row); the output then reads on with Next from that same row, so the rows it prints are
/// the rows the check saw, however long it takes and whatever other workstations write meanwhile.
/// Owns a connection of its own: a SQLite file stays in one read transaction, a server in one
/// REPEATABLE READ READ ONLY transaction, and a Jet file is read whole at once under its own
/// retry rule (it offers no snapshot). A default-made stream has no rows.
class RowStream {
 public:
  RowStream();
  /// Opens `statement` (Access SQL) on the database `connectionString` names. Throws DbError.
  static RowStream Open(const QString& connectionString, const QString& statement);
  /// Rows already in memory (tests, tools); the snapshot is shared, not copied.
  static RowStream Over(std::shared_ptr<const Recordset> rows);
  RowStream(RowStream&&) noexcept;
  RowStream& operator=(RowStream&&) noexcept;
  ~RowStream();

  /// Whether the query has a row still to be read: reads it ahead when none is; the next Next()
  /// makes it current. Throws DbError.
  bool HasRows();
  /// Moves to the next row (the first on the first call); false after the last, when the last row
  /// stays current. Throws DbError.
  bool Next();
  /// The field names, the current row and its values.
  const Cursor& Rows() const { return *cursor_; }
  int FieldCount() const { return cursor_ ? cursor_->FieldCount() : 0; }
  int FieldIndex(const QString& name) const { return cursor_ ? cursor_->FieldIndex(name) : -1; }

  /// Reads only the fields flagged (Cursor::Want), and field `index` of the current row again
  /// (Cursor::Reread).
  void Want(const std::vector<bool>& fields) { cursor_->Want(fields); }
  bool Reread(int index) { return cursor_->Reread(index); }

  /// The rows not yet read, from the next one Next() would give, as a snapshot (for callers that
  /// need them all at once). Throws DbError.
  Recordset ReadRest();

 private:
  // Declared in the order of their making: the cursor ends before the snapshot, the snapshot
  // before the connection.
  std::unique_ptr<Connection> connection_;
  std::unique_ptr<ReadSnapshot> snapshot_;
  std::optional<Cursor> cursor_;
  bool readAhead_ = false;  ///< the cursor's current row has not been handed out by Next yet
  bool ended_ = false;
};

}  // namespace tarvel::db
