#include <set>

#include "db/Connection.h"
#include "db/PgSession.h"
#include "db/SqliteSupport.h"
#include "db/sql/Translate.h"

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
  const bool server = connection_->IsServer();
  if (adding_) {
    server ? InsertOnServer() : Insert();
  } else if (!pending_.empty()) {
    if (snapshot_.BOF() || snapshot_.EOF_()) throw DbError(messages::kNoCurrentRecord, statement_);
    server ? UpdateOnServer() : UpdateExisting();
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

// --- PostgreSQL ------------------------------------------------------------------------------

UpdatableRecordset Connection::OpenServerForUpdate(const QString& jetSql) {
  const sql::Translation sql = sql::Translate(jetSql, sql::Engine::Postgres, &Catalog());
  const pg::ResultPtr rows = pg_->Run(sql.sql, {}, jetSql);
  // Every field must be a column of one and the same table (the server names its origin).
  const int count = PQnfields(rows.get());
  Oid table = InvalidOid;
  std::vector<int> attributes;
  for (int c = 0; c < count; ++c) {
    const Oid origin = PQftable(rows.get(), c);
    const int attribute = PQftablecol(rows.get(), c);
    if (origin == InvalidOid || attribute <= 0 || (table != InvalidOid && origin != table))
      throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), jetSql);
    table = origin;
    attributes.push_back(attribute);
  }
  if (table == InvalidOid) throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), jetSql);

  const Value oid(static_cast<qint64>(table));
  const pg::ResultPtr name = pg_->Run(
      QStringLiteral("SELECT format('%I.%I', n.nspname, c.relname), c.relname FROM pg_class c "
                     "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = $1"),
      {oid}, jetSql);
  const pg::ResultPtr columns =
      pg_->Run(QStringLiteral(
                   "SELECT a.attnum, a.attname, a.attnum = ANY (COALESCE((SELECT i.indkey::int2[] "
                   "FROM pg_index i WHERE i.indrelid = a.attrelid AND i.indisprimary), '{}')) "
                   "FROM pg_attribute a WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT "
                   "a.attisdropped"),
               {oid}, jetSql);
  if (PQntuples(name.get()) != 1)
    throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), jetSql);
  QHash<int, QString> columnNames;
  std::set<int> key;
  for (int r = 0; r < PQntuples(columns.get()); ++r) {
    const int attribute = QByteArray(PQgetvalue(columns.get(), r, 0)).toInt();
    columnNames.insert(attribute, QString::fromUtf8(PQgetvalue(columns.get(), r, 1)));
    if (PQgetvalue(columns.get(), r, 2)[0] == 't') key.insert(attribute);
  }

  UpdatableRecordset result(*this, QString::fromUtf8(PQgetvalue(name.get(), 0, 1)), jetSql,
                            pg::Session::Snapshot(rows.get(), sql.spellings), {});
  result.tableSql_ = QString::fromUtf8(PQgetvalue(name.get(), 0, 0));
  std::set<int> keyFound;
  for (int c = 0; c < count; ++c) {
    const int attribute = attributes[static_cast<size_t>(c)];
    result.columns_.push_back(columnNames.value(attribute));
    if (key.count(attribute) && keyFound.insert(attribute).second) result.keyFields_.push_back(c);
  }
  if (key.empty() || keyFound.size() != key.size()) result.keyFields_.clear();
  return result;
}

namespace {

// "a, b, c": the columns a statement returns, in the order of the fields.
QString ColumnList(const QStringList& columns) {
  QStringList quoted;
  for (const QString& column : columns)
    quoted << Quoted(column);
  return quoted.join(QStringLiteral(", "));
}

}  // namespace

void UpdatableRecordset::InsertOnServer() {
  QString sql = QStringLiteral("INSERT INTO ") + tableSql_;
  std::vector<Value> parameters;
  if (pending_.empty()) {
    sql += QStringLiteral(" DEFAULT VALUES");
  } else {
    QStringList names, marks;
    for (const auto& [field, value] : pending_) {
      names << Quoted(columns_[field]);
      parameters.push_back(value);
      marks << u'$' + QString::number(parameters.size());
    }
    sql += QStringLiteral(" (") + names.join(u',') + QStringLiteral(") VALUES (") +
           marks.join(u',') + u')';
  }
  // The stored row comes back whole: defaults and the column types applied.
  sql += QStringLiteral(" RETURNING ") + ColumnList(columns_);
  const pg::ResultPtr stored = connection_->pg_->Run(sql, parameters, statement_);
  std::vector<Value> row(static_cast<size_t>(snapshot_.FieldCount()));
  for (int field = 0; field < snapshot_.FieldCount(); ++field)
    row[static_cast<size_t>(field)] = pg::Session::CellValue(stored.get(), 0, field);
  snapshot_.AppendRow(std::move(row));
  snapshot_.MoveLast();
}

void UpdatableRecordset::UpdateOnServer() {
  const qint64 row = snapshot_.Position();
  QStringList assignments, criteria;
  std::vector<Value> parameters;
  const auto parameter = [&](const Value& value) {
    parameters.push_back(value);
    return u'$' + QString::number(parameters.size());
  };
  for (const auto& [field, value] : pending_)
    assignments << Quoted(columns_[field]) + QStringLiteral(" = ") + parameter(value);
  QString where;
  if (!keyFields_.empty()) {
    // The key finds the row; the fields we change must still hold what we read.
    for (int field : keyFields_)
      criteria << Quoted(columns_[field]) + QStringLiteral(" = ") +
                      parameter(snapshot_.Cell(row, field));
    for (const auto& [field, value] : pending_) {
      criteria << Quoted(columns_[field]) + QStringLiteral(" IS NOT DISTINCT FROM ") +
                      parameter(snapshot_.Cell(row, field));
    }
    where = criteria.join(QStringLiteral(" AND "));
  } else {
    // Without a key every value read must still be there; of rows alike, one is changed.
    for (int field = 0; field < snapshot_.FieldCount(); ++field) {
      criteria << Quoted(columns_[field]) + QStringLiteral(" IS NOT DISTINCT FROM ") +
                      parameter(snapshot_.Cell(row, field));
    }
    where = QStringLiteral("ctid = (SELECT ctid FROM ") + tableSql_ + QStringLiteral(" WHERE ") +
            criteria.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT 1 FOR UPDATE)");
  }
  const QString sql = QStringLiteral("UPDATE ") + tableSql_ + QStringLiteral(" SET ") +
                      assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + where +
                      QStringLiteral(" RETURNING ") + ColumnList(columns_);
  const pg::ResultPtr stored = connection_->pg_->Run(sql, parameters, statement_);
  if (PQntuples(stored.get()) == 0) throw DbError(kConflict, statement_);
  for (int field = 0; field < snapshot_.FieldCount(); ++field)
    snapshot_.Cell(row, field) = pg::Session::CellValue(stored.get(), 0, field);
}

}  // namespace tarvel::db
