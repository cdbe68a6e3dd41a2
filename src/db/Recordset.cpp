#include "db/Recordset.h"

#include "db/DbError.h"

namespace tarvel::db {

Recordset::Recordset(QStringList fieldNames, const std::vector<std::vector<Value>>& rows)
    : names_(std::move(fieldNames)), rowCount_(static_cast<qint64>(rows.size())) {
  cells_.reserve(rows.size() * static_cast<size_t>(names_.size()));
  for (const auto& row : rows) {
    for (int f = 0; f < FieldCount(); ++f) {
      cells_.push_back(f < static_cast<int>(row.size()) ? row[static_cast<size_t>(f)] : Value());
    }
  }
  lookup_ = FieldLookup(names_);
}

Recordset::Recordset(QStringList fieldNames, std::vector<Value> cells, QStringList qualifiedNames)
    : names_(std::move(fieldNames)), cells_(std::move(cells)) {
  rowCount_ = names_.isEmpty() ? 0 : static_cast<qint64>(cells_.size()) / FieldCount();
  lookup_ = FieldLookup(names_, qualifiedNames);
}

void Recordset::MoveNext() {
  if (EOF_()) throw DbError(messages::kNoCurrentRecord);
  ++current_;
}

void Recordset::MovePrevious() {
  if (BOF()) throw DbError(messages::kNoCurrentRecord);
  --current_;
}

const Value& Recordset::Field(const QString& name) const {
  const int index = FieldIndex(name);
  if (index < 0) throw DbError(messages::kItemNotFound + u'（' + name + u'）');
  return CurrentField(index);
}

const Value& Recordset::Field(int index) const {
  if (index < 0 || index >= FieldCount()) {
    throw DbError(messages::kItemNotFound + u'（' + QString::number(index) + u'）');
  }
  return CurrentField(index);
}

const Value& Recordset::CurrentField(int index) const {
  if (BOF() || EOF_()) throw DbError(messages::kNoCurrentRecord);
  return cells_[static_cast<size_t>(current_ * FieldCount() + index)];
}

std::vector<std::vector<Value>> Recordset::GetRows() const {
  std::vector<std::vector<Value>> table(static_cast<size_t>(FieldCount()));
  for (int f = 0; f < FieldCount(); ++f) {
    auto& column = table[static_cast<size_t>(f)];
    column.reserve(static_cast<size_t>(rowCount_));
    for (qint64 r = 0; r < rowCount_; ++r) {
      column.push_back(cells_[static_cast<size_t>(r * FieldCount() + f)]);
    }
  }
  return table;
}

void Recordset::AppendRow(std::vector<Value> row) {
  row.resize(static_cast<size_t>(FieldCount()));
  for (auto& value : row)
    cells_.push_back(std::move(value));
  ++rowCount_;
}

}  // namespace tarvel::db
