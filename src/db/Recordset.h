// A client-side, static, read-only snapshot of a query's rows, read whole when it is opened.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "db/Value.h"

namespace tarvel::db {

class Recordset {
public:
  Recordset() = default;
  Recordset(QStringList fieldNames, std::vector<std::vector<Value>> rows);

  /// Exact number of rows (64-bit).
  qint64 RecordCount() const { return static_cast<qint64>(rows_.size()); }
  /// Number of fields (columns).
  int FieldCount() const { return static_cast<int>(names_.size()); }
  /// The plain column names, in select order ("PO", not "歷史工單明細2.PO").
  const QStringList& FieldNames() const { return names_; }

  /// Before the first row (after MovePrevious from the first row, or empty).
  bool BOF() const { return current_ < 0 || rows_.empty(); }
  /// After the last row (after MoveNext from the last row, or empty).
  bool EOF_() const { return current_ >= RecordCount() || rows_.empty(); }

  void MoveFirst() { current_ = 0; }
  void MoveLast() { current_ = RecordCount() - 1; }
  void MoveNext();
  void MovePrevious();
  /// Index of the current row, 0-based.
  qint64 Position() const { return current_; }

  /// Index of the field called `name` (case-insensitive, as Jet), or -1.
  int FieldIndex(const QString& name) const;
  /// The current row's value of field `name`; throws DbError when there is no such field or no
  /// current row.
  const Value& Field(const QString& name) const;
  const Value& Field(int index) const;
  /// Reading conventions: trimmed text (NULL gives ""), and Val of that text.
  QString Text(const QString& name) const { return Field(name).Text(); }
  double Number(const QString& name) const { return Field(name).Number(); }

  /// All rows as a fields-by-rows table: GetRows()[field][row].
  std::vector<std::vector<Value>> GetRows() const;

  /// Direct access to row r (0-based), for engines that walk the snapshot themselves.
  const std::vector<Value>& Row(qint64 r) const { return rows_[static_cast<size_t>(r)]; }

private:
  const Value& CurrentField(int index) const;

  QStringList names_;
  std::vector<std::vector<Value>> rows_;
  qint64 current_ = 0;
};

}  // namespace tarvel::db
