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
  IndexNames({});
}

Recordset::Recordset(QStringList fieldNames, std::vector<Value> cells, QStringList qualifiedNames)
    : names_(std::move(fieldNames)), cells_(std::move(cells)) {
  rowCount_ = names_.isEmpty() ? 0 : static_cast<qint64>(cells_.size()) / FieldCount();
  IndexNames(qualifiedNames);
}

void Recordset::IndexNames(const QStringList& qualifiedNames) {
  index_.reserve(names_.size() * 2);
  // The first field of a name wins, as Jet's collection lookup does.
  for (int i = FieldCount() - 1; i >= 0; --i) {
    exact_.insert(names_[i], i);
    index_.insert(names_[i].toCaseFolded(), i);
  }
  for (int i = static_cast<int>(qualifiedNames.size()) - 1; i >= 0; --i) {
    if (!qualifiedNames[i].isEmpty()) index_.insert(qualifiedNames[i].toCaseFolded(), i);
  }
}

void Recordset::MoveNext() {
  if (EOF_()) throw DbError(messages::kNoCurrentRecord);
  ++current_;
}

void Recordset::MovePrevious() {
  if (BOF()) throw DbError(messages::kNoCurrentRecord);
  --current_;
}

int Recordset::FieldIndex(const QString& name) const {
  if (const auto exact = exact_.constFind(name); exact != exact_.constEnd()) return *exact;
  const auto it = index_.constFind(name.toCaseFolded());
  if (it != index_.constEnd()) return *it;
  // "[PO]" and "歷史工單明細2.[PO]" name the same field as their plain forms.
  if (name.contains(QLatin1Char('['))) {
    QString plain = name;
    plain.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return index_.value(plain.toCaseFolded(), -1);
  }
  return -1;
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
