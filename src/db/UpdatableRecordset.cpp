#include "db/Backend.h"
#include "db/Connection.h"

namespace tarvel::db {

UpdatableRecordset::UpdatableRecordset(UpdatableRows rows, QString statement)
    : table_(std::move(rows.table)),
      statement_(std::move(statement)),
      snapshot_(std::move(rows.snapshot)),
      writer_(std::move(rows.writer)) {}

UpdatableRecordset::UpdatableRecordset(UpdatableRecordset&&) noexcept = default;
UpdatableRecordset& UpdatableRecordset::operator=(UpdatableRecordset&&) noexcept = default;
UpdatableRecordset::~UpdatableRecordset() = default;

void UpdatableRecordset::AddNew() {
  adding_ = true;
  pending_.clear();
}

void UpdatableRecordset::SetField(const QString& name, const Value& value) {
  const int index = snapshot_.FieldIndex(name);
  if (index < 0) throw DbError(messages::kItemNotFound + u'（' + name + u'）', statement_);
  if (!adding_ && (snapshot_.BOF() || snapshot_.EOF_())) {
    throw DbError(messages::kNoCurrentRecord, statement_);
  }
  for (auto& [field, pendingValue] : pending_) {
    if (field == index) {
      pendingValue = value;
      return;
    }
  }
  pending_.emplace_back(index, value);
}

void UpdatableRecordset::Update() {
  if (adding_) {
    snapshot_.AppendRow(writer_->Insert(pending_, snapshot_.FieldCount()));
    snapshot_.MoveLast();
  } else if (!pending_.empty()) {
    if (snapshot_.BOF() || snapshot_.EOF_()) throw DbError(messages::kNoCurrentRecord, statement_);
    const qint64 row = snapshot_.Position();
    const std::vector<Value> stored = writer_->Update(snapshot_, row, pending_);
    for (int field = 0; field < snapshot_.FieldCount(); ++field)
      snapshot_.Cell(row, field) = stored[static_cast<size_t>(field)];
  }
  adding_ = false;
  pending_.clear();
}

}  // namespace tarvel::db
