#include "db/Cursor.h"

#include "db/DbError.h"
#include "db/Recordset.h"

namespace tarvel::db {
namespace {

// Walks rows read before; the snapshot is shared with whoever handed it over.
class SnapshotRows final : public RowSource {
 public:
  explicit SnapshotRows(std::shared_ptr<const Recordset> rows) : rows_(std::move(rows)) {}
  bool Fetch(std::vector<Value>& row) override {
    if (next_ >= rows_->RecordCount()) return false;
    const auto values = rows_->Row(next_++);
    std::copy(values.begin(), values.end(), row.begin());
    return true;
  }
  qint64 KnownCount() const override { return rows_->RecordCount(); }

 private:
  std::shared_ptr<const Recordset> rows_;
  qint64 next_ = 0;
};

}  // namespace

Cursor Cursor::Over(std::shared_ptr<const Recordset> rows, QStringList qualifiedNames) {
  QStringList names = rows->FieldNames();
  return Cursor(std::move(names), std::move(qualifiedNames),
                std::make_unique<SnapshotRows>(std::move(rows)));
}

Cursor::Cursor(QStringList names, QStringList qualifiedNames, std::unique_ptr<RowSource> source)
    : names_(std::move(names)),
      lookup_(names_, qualifiedNames),
      source_(std::move(source)),
      row_(static_cast<size_t>(names_.size())),
      next_(static_cast<size_t>(names_.size())) {}

Cursor::Cursor(Cursor&&) noexcept = default;
Cursor& Cursor::operator=(Cursor&&) noexcept = default;
Cursor::~Cursor() = default;

bool Cursor::Next() {
  if (done_) return false;
  // Fetched aside, so the last row stays readable when there is no next one.
  if (!source_->Fetch(next_)) {
    done_ = true;
    source_.reset();
    return false;
  }
  row_.swap(next_);
  ++position_;
  rowWhole_ = !learning_;
  return true;
}

void Cursor::WantWhatIsRead() {
  if (learning_ || !source_) return;
  // Only a source that can read the current row's field again can leave fields out.
  if (HasRow() && FieldCount() > 0) {
    Value again;
    if (!source_->Reread(0, again)) return;
  }
  learning_ = true;
  read_.assign(row_.size(), false);
  source_->Want(read_);
}

void Cursor::LearnField(int index) const {
  const auto at = static_cast<size_t>(index);
  read_[at] = true;
  if (source_) source_->Want(read_);
  if (rowWhole_) return;
  if (!source_ || !source_->Reread(index, row_[at]))
    throw DbError(
        QStringLiteral("最後一筆資料之後不能再讀取沒有讀過的欄位「%1」").arg(names_.value(index)));
}

qint64 Cursor::KnownCount() const {
  return source_ ? source_->KnownCount() : -1;
}

void Cursor::Want(const std::vector<bool>& fields) {
  if (source_) source_->Want(fields);
}

bool Cursor::Reread(int index) {
  if (!source_ || !HasRow() || index < 0 || index >= FieldCount()) return false;
  return source_->Reread(index, row_[static_cast<size_t>(index)]);
}

const Value& Cursor::Field(const QString& name) const {
  const int index = FieldIndex(name);
  if (index < 0) throw DbError(messages::kItemNotFound + u'（' + name + u'）');
  return Field(index);
}

const Value& Cursor::Field(int index) const {
  if (index < 0 || index >= FieldCount()) {
    throw DbError(messages::kItemNotFound + u'（' + QString::number(index) + u'）');
  }
  if (!HasRow()) throw DbError(messages::kNoCurrentRecord);
  if (learning_ && !read_[static_cast<size_t>(index)]) LearnField(index);
  return row_[static_cast<size_t>(index)];
}

}  // namespace tarvel::db
