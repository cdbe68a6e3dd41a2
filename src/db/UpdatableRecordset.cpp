#include "db/Connection.h"
#include "db/SqliteSupport.h"

namespace tarvel::db {
namespace {

QString Quoted(const QString& name) {
  QString quoted = name;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

const QString kConflict =
    QStringLiteral("找不到要更新的資料列。某些值可能在上次讀取之後已經變更。");

}  // namespace

UpdatableRecordset::UpdatableRecordset(Connection& connection, QString table, QString statement,
                                       Recordset snapshot, std::vector<qint64> rowids)
    : connection_(&connection),
      table_(std::move(table)),
      statement_(std::move(statement)),
      snapshot_(std::move(snapshot)),
      rowids_(std::move(rowids)) {}

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
    Insert();
  } else if (!pending_.empty()) {
    if (snapshot_.BOF() || snapshot_.EOF_()) throw DbError(messages::kNoCurrentRecord, statement_);
    UpdateExisting();
  }
  adding_ = false;
  pending_.clear();
}

void UpdatableRecordset::Insert() {
  sqlite3* db = connection_->Handle();
  QString sql = QStringLiteral("INSERT INTO ") + Quoted(table_);
  if (pending_.empty()) {
    sql += QStringLiteral(" DEFAULT VALUES");
  } else {
    QStringList names, marks;
    for (const auto& [field, value] : pending_) {
      names.push_back(Quoted(columns_[field]));
      marks.push_back(QStringLiteral("?"));
    }
    sql += QStringLiteral(" (") + names.join(u',') + QStringLiteral(") VALUES (") +
           marks.join(u',') + u')';
  }
  auto stmt = detail::PrepareSingle(db, sql, statement_);
  int parameter = 1;
  for (const auto& [field, value] : pending_) {
    detail::BindValue(stmt.get(), parameter++, value, statement_);
  }
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) detail::ThrowEngineError(db, statement_);

  std::vector<Value> row(static_cast<size_t>(snapshot_.FieldCount()));
  for (const auto& [field, value] : pending_)
    row[static_cast<size_t>(field)] = value;
  snapshot_.AppendRow(std::move(row));
  snapshot_.MoveLast();
  if (hasRowid_) {
    rowids_.push_back(sqlite3_last_insert_rowid(db));
    Reread(snapshot_.Position(), rowids_.back());
  }
}

void UpdatableRecordset::UpdateExisting() {
  sqlite3* db = connection_->Handle();
  const qint64 row = snapshot_.Position();
  QStringList assignments, criteria;
  std::vector<Value> parameters;
  for (const auto& [field, value] : pending_) {
    assignments.push_back(Quoted(columns_[field]) + QStringLiteral(" = ?"));
    parameters.push_back(value);
  }
  if (hasRowid_) {
    criteria.push_back(QStringLiteral("_rowid_ = ?"));
    parameters.emplace_back(rowids_[static_cast<size_t>(row)]);
    // Optimistic check: the fields we change must still hold what we read.
    for (const auto& [field, value] : pending_) {
      criteria.push_back(Quoted(columns_[field]) + QStringLiteral(" IS ?"));
      parameters.push_back(snapshot_.Cell(row, field));
    }
  } else {
    for (int field = 0; field < snapshot_.FieldCount(); ++field) {
      criteria.push_back(Quoted(columns_[field]) + QStringLiteral(" IS ?"));
      parameters.push_back(snapshot_.Cell(row, field));
    }
  }
  const QString sql = QStringLiteral("UPDATE ") + Quoted(table_) + QStringLiteral(" SET ") +
                      assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                      criteria.join(QStringLiteral(" AND "));
  auto stmt = detail::PrepareSingle(db, sql, statement_);
  for (size_t i = 0; i < parameters.size(); ++i) {
    detail::BindValue(stmt.get(), static_cast<int>(i + 1), parameters[i], statement_);
  }
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) detail::ThrowEngineError(db, statement_);
  if (sqlite3_changes(db) == 0) throw DbError(kConflict, statement_);

  for (const auto& [field, value] : pending_)
    snapshot_.Cell(row, field) = value;
  if (hasRowid_) Reread(row, rowids_[static_cast<size_t>(row)]);
}

// The stored row may differ from what we wrote (defaults, type affinity): read it back.
void UpdatableRecordset::Reread(qint64 row, qint64 rowid) {
  QStringList names;
  for (const QString& column : columns_)
    names.push_back(Quoted(column));
  const QString sql = QStringLiteral("SELECT ") + names.join(u',') + QStringLiteral(" FROM ") +
                      Quoted(table_) + QStringLiteral(" WHERE _rowid_ = ?");
  sqlite3* db = connection_->Handle();
  auto stmt = detail::PrepareSingle(db, sql, statement_);
  detail::BindValue(stmt.get(), 1, Value(rowid), statement_);
  const int rc = sqlite3_step(stmt.get());
  if (rc == SQLITE_ROW) {
    for (int field = 0; field < snapshot_.FieldCount(); ++field) {
      snapshot_.Cell(row, field) = detail::ColumnValue(stmt.get(), field);
    }
  } else if (rc != SQLITE_DONE) {
    detail::ThrowEngineError(db, statement_);
  }
}

}  // namespace tarvel::db
