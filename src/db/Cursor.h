// A forward-only, read-only walk over a query's rows that holds only the current row, so a query
// of a million rows reads in the memory of one (an export streams its rows through one).
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <span>
#include <vector>

#include "db/FieldLookup.h"
#include "db/Value.h"

namespace tarvel::db {

class Recordset;

/// Where a cursor's rows come from: one engine statement being stepped, or a snapshot walked.
class RowSource {
 public:
  virtual ~RowSource() = default;
  /// Fills `row` (FieldCount values) with the next row; false when there is none. Throws
  /// DbError.
  virtual bool Fetch(std::vector<Value>& row) = 0;
  /// The fields to read from the next row on (one flag per field); the others are left NULL, and
  /// their values are never decoded. By default every field is read.
  virtual void Want(const std::vector<bool>& /*fields*/) {}
  /// Reads field `field` of the row fetched last into `value` again, where the source still holds
  /// that row (a field wanted only now); false where it does not.
  virtual bool Reread(int /*field*/, Value& /*value*/) { return false; }
  /// The number of rows, where the source knows it without reading them (rows read before); -1
  /// otherwise.
  virtual qint64 KnownCount() const { return -1; }
};

/// Opened by Connection::OpenCursor; the connection must outlive it. While a cursor on an SQLite
/// file is open, the file stays in one read transaction: every row comes from the same state of
/// the database, and writers elsewhere wait for it as they would for any long read.
class Cursor {
 public:
  /// `names`: the plain column names in select order; `qualifiedNames` as for FieldLookup.
  Cursor(QStringList names, QStringList qualifiedNames, std::unique_ptr<RowSource> source);
  /// A walk over rows already read (shared, not copied): rows given in memory, or a Jet file's
  /// rows read whole. `qualifiedNames` as for FieldLookup.
  static Cursor Over(std::shared_ptr<const Recordset> rows, QStringList qualifiedNames = {});
  Cursor(Cursor&&) noexcept;
  Cursor& operator=(Cursor&&) noexcept;
  ~Cursor();

  /// Moves to the next row (the first, on the first call); false when there is none. After the
  /// end the last row stays current, so what follows the last record (a totals line, say) can
  /// still read it. Throws DbError when the engine fails.
  bool Next();
  /// Whether a row is current: Next has returned true at least once.
  bool HasRow() const { return position_ > 0; }
  /// Rows read so far (the current row's number, 1-based; 0 before the first Next).
  qint64 Position() const { return position_; }

  int FieldCount() const { return static_cast<int>(names_.size()); }
  const QStringList& FieldNames() const { return names_; }
  /// Index of the field called `name`, or -1 (Recordset::FieldIndex's rules).
  int FieldIndex(const QString& name) const { return lookup_.Find(name); }
  /// The current row's value of field `name`; throws DbError as Recordset::Field does (no such
  /// field; no current row).
  const Value& Field(const QString& name) const;
  const Value& Field(int index) const;
  /// Reads only the fields flagged in `fields` (one flag per field) from the next row on; the
  /// others read as NULL. A report reads the columns its controls show, not every one of a wide
  /// view.
  void Want(const std::vector<bool>& fields);
  /// From the next row on, reads only the fields read since (through Field, Text or Number) and
  /// leaves the others undecoded: a field read for the first time is read then from the current
  /// row (Reread) and from every row after. For a caller that reads a dozen fields of a wide view
  /// by name, as an export routine does, without saying which beforehand. A source that cannot
  /// read a row's field again (rows read whole) goes on reading every field. A field read for
  /// the first time after the last row, which the source no longer holds, throws DbError. Row()
  /// shows the fields not read as NULL.
  void WantWhatIsRead();
  /// The number of rows, where it is known without reading them (rows read before, as a Jet
  /// file's are); -1 otherwise.
  qint64 KnownCount() const;
  /// Reads field `index` of the current row again after it was not wanted, when the source still
  /// holds that row (false after the last row, or where the source cannot). Throws DbError.
  bool Reread(int index);
  /// The current row, FieldCount values (empty before the first Next).
  std::span<const Value> Row() const {
    return HasRow() ? std::span<const Value>(row_) : std::span<const Value>();
  }
  /// Reading conventions: trimmed text (NULL gives ""), and Val of that text.
  QString Text(const QString& name) const { return Field(name).Text(); }
  double Number(const QString& name) const { return Field(name).Number(); }

 private:
  void LearnField(int index) const;

  QStringList names_;
  FieldLookup lookup_;
  std::unique_ptr<RowSource> source_;
  mutable std::vector<Value> row_;  // a field read for the first time is read into it then
  std::vector<Value> next_;
  qint64 position_ = 0;
  bool done_ = false;
  // WantWhatIsRead: the fields read so far, and whether the current row holds every field. A
  // read of a const cursor widens what the next rows read, hence mutable.
  bool learning_ = false;
  mutable std::vector<bool> read_;
  mutable bool rowWhole_ = true;
};

}  // namespace tarvel::db
