// A client-side, static, read-only snapshot of a query's rows, read whole when it is opened.
#pragma once

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

#include "db/FieldLookup.h"
#include "db/Value.h"

namespace tarvel::db {

class UpdatableRecordset;

class Recordset {
 public:
  Recordset() = default;
  /// A snapshot of `rows` (each as long as `fieldNames`).
  Recordset(QStringList fieldNames, const std::vector<std::vector<Value>>& rows);
  /// A snapshot of row-major `cells` (rows x fieldNames.size()). `qualifiedNames`, when given,
  /// names each field with its table as well ("歷史工單明細2.PO"), so a field that two joined
  /// tables share can still be told apart.
  Recordset(QStringList fieldNames, std::vector<Value> cells, QStringList qualifiedNames = {});

  /// Exact number of rows (64-bit).
  qint64 RecordCount() const { return rowCount_; }
  /// Number of fields (columns).
  int FieldCount() const { return static_cast<int>(names_.size()); }
  /// The plain column names, in select order ("PO", not "歷史工單明細2.PO").
  const QStringList& FieldNames() const { return names_; }

  /// Before the first row (after MovePrevious from the first row), or an empty set.
  bool BOF() const { return current_ < 0 || rowCount_ == 0; }
  /// After the last row (after MoveNext from the last row), or an empty set.
  bool EOF_() const { return current_ >= rowCount_ || rowCount_ == 0; }

  void MoveFirst() { current_ = 0; }
  void MoveLast() { current_ = rowCount_ - 1; }
  /// Moves to the next row; throws DbError when already after the last row (as ADO does).
  void MoveNext();
  /// Moves to the previous row; throws DbError when already before the first row.
  void MovePrevious();
  /// Index of the current row, 0-based.
  qint64 Position() const { return current_; }

  /// Index of the field called `name`, or -1. Case-insensitive, as Jet. A plain name finds the
  /// first field of that name; "table.name" finds the field of that table.
  int FieldIndex(const QString& name) const { return lookup_.Find(name); }
  /// The current row's value of field `name`. Throws DbError "在對應所需名稱或序數的集合中，找不到
  /// 項目。" with the name when there is no such field, and the ADO "no current record" error when
  /// the set is at BOF or EOF.
  const Value& Field(const QString& name) const;
  const Value& Field(int index) const;
  /// Reading conventions: trimmed text (NULL gives ""), and Val of that text.
  QString Text(const QString& name) const { return Field(name).Text(); }
  double Number(const QString& name) const { return Field(name).Number(); }

  /// All rows as a fields-by-rows table: GetRows()[field][row], whatever the current row; it does
  /// not move. An empty set gives FieldCount() empty vectors.
  std::vector<std::vector<Value>> GetRows() const;

  /// Row r (0-based), for engines that walk the snapshot themselves.
  std::span<const Value> Row(qint64 r) const {
    return {cells_.data() + r * FieldCount(), static_cast<size_t>(FieldCount())};
  }

 private:
  friend class UpdatableRecordset;
  const Value& CurrentField(int index) const;
  Value& Cell(qint64 row, int field) {
    return cells_[static_cast<size_t>(row * FieldCount() + field)];
  }
  void AppendRow(std::vector<Value> row);

  QStringList names_;
  FieldLookup lookup_;
  std::vector<Value> cells_;  // row-major: one allocation for the whole snapshot
  qint64 rowCount_ = 0;
  qint64 current_ = 0;
};

/// The texts of the errors the access layer raises itself (the engine's own errors carry the
/// engine's description).
namespace messages {
inline const QString kItemNotFound = QStringLiteral("在對應所需名稱或序數的集合中，找不到項目。");
inline const QString kNoCurrentRecord = QStringLiteral(
    "BOF 或 EOF 中有一個是「真」，或者目前的資料錄已被刪除，所要求的操作需要一個目前的資料錄。");
}  // namespace messages

}  // namespace tarvel::db
