#include "db/RowStream.h"

#include "db/Connection.h"
#include "db/Recordset.h"

namespace tarvel::db {

RowStream::RowStream() : cursor_(Cursor::Over(std::make_shared<const Recordset>())) {}

RowStream RowStream::Open(const QString& connectionString, const QString& statement) {
  RowStream stream;
  stream.connection_ = Connection::Open(connectionString);
  stream.snapshot_ = std::make_unique<ReadSnapshot>(*stream.connection_);
  stream.cursor_ = stream.connection_->OpenCursor(statement);
  return stream;
}

RowStream RowStream::Over(std::shared_ptr<const Recordset> rows) {
  RowStream stream;
  stream.cursor_ = Cursor::Over(std::move(rows));
  return stream;
}

RowStream::RowStream(RowStream&&) noexcept = default;
RowStream::~RowStream() = default;

RowStream& RowStream::operator=(RowStream&& other) noexcept {
  if (this == &other) return *this;
  // What this stream held ends in its own order before the other's moves in.
  cursor_.reset();
  snapshot_.reset();
  connection_.reset();
  connection_ = std::move(other.connection_);
  snapshot_ = std::move(other.snapshot_);
  cursor_ = std::move(other.cursor_);
  readAhead_ = other.readAhead_;
  ended_ = other.ended_;
  return *this;
}

bool RowStream::HasRows() {
  if (readAhead_) return true;
  if (ended_) return false;
  if (!cursor_->Next()) {
    ended_ = true;
    return false;
  }
  readAhead_ = true;
  return true;
}

bool RowStream::Next() {
  if (readAhead_) {
    readAhead_ = false;
    return true;
  }
  if (ended_) return false;
  if (!cursor_->Next()) {
    ended_ = true;
    return false;
  }
  return true;
}

Recordset RowStream::ReadRest() {
  std::vector<Value> cells;
  while (Next()) {
    const auto row = cursor_->Row();
    cells.insert(cells.end(), row.begin(), row.end());
  }
  return Recordset(cursor_->FieldNames(), std::move(cells));
}

}  // namespace tarvel::db
