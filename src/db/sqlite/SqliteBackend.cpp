#include "db/sqlite/SqliteBackend.h"

#include <QRegularExpression>

#include "db/SqlText.h"
#include "db/sqlite/SqliteAccessFunctions.h"

namespace tarvel::db {
namespace {

using detail::PrepareSingle;
using detail::ThrowEngineError;

void StepToEnd(sqlite3* db, sqlite3_stmt* stmt, const QString& statement) {
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) ThrowEngineError(db, statement);
}

// Steps an engine statement; the statement is finalised with the source.
class StatementRows final : public RowSource {
 public:
  StatementRows(sqlite3* db, detail::StatementPtr stmt, QString accessSql)
      : db_(db), stmt_(std::move(stmt)), accessSql_(std::move(accessSql)) {}
  bool Fetch(std::vector<Value>& row) override {
    onRow_ = false;
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_DONE) return false;
    if (rc != SQLITE_ROW) ThrowEngineError(db_, accessSql_);
    onRow_ = true;
    for (size_t c = 0; c < row.size(); ++c) {
      if (wanted_.empty() || wanted_[c])
        row[c] = detail::ColumnValue(stmt_.get(), static_cast<int>(c));
      else if (!row[c].IsNull())
        row[c] = Value();
    }
    return true;
  }
  void Want(const std::vector<bool>& fields) override { wanted_ = fields; }
  bool Reread(int field, Value& value) override {
    if (!onRow_) return false;
    value = detail::ColumnValue(stmt_.get(), field);
    return true;
  }

 private:
  sqlite3* db_;
  detail::StatementPtr stmt_;
  QString accessSql_;
  std::vector<bool> wanted_;  // empty: every field
  bool onRow_ = false;        // the statement stands on the row fetched last
};

class SqlitePrepared final : public PreparedStatement {
 public:
  using Guard = std::function<void(const QString&, const std::function<void()>&)>;
  SqlitePrepared(detail::StatementPtr stmt, QString sql, Guard guard)
      : stmt_(std::move(stmt)), sql_(std::move(sql)), guard_(std::move(guard)) {}
  void Bind(int index, const Value& value) override {
    detail::BindValue(stmt_.get(), index, value, sql_);
  }
  void Execute() override {
    // Reset on every path, so the statement can run again after a failure.
    const Reset reset{stmt_.get()};
    StepToEnd(sqlite3_db_handle(stmt_.get()), stmt_.get(), sql_);
  }
  Recordset Query() override {
    const Reset reset{stmt_.get()};
    Recordset rows;
    guard_(sql_, [&] {
      sqlite3_reset(stmt_.get());
      rows = detail::ReadAll(sqlite3_db_handle(stmt_.get()), stmt_.get(), sql_);
    });
    return rows;
  }

 private:
  struct Reset {
    sqlite3_stmt* stmt;
    ~Reset() { sqlite3_reset(stmt); }
  };
  detail::StatementPtr stmt_;
  QString sql_;
  Guard guard_;
};

// Writes to the one table of an updatable result, finding a changed row again by its rowid (and
// the fields it changes still holding what was read), or, without rowid, by every value read.
class SqliteRowWriter final : public RowWriter {
 public:
  SqliteRowWriter(sqlite3* db, QString table, QStringList columns, std::vector<qint64> rowids,
                  bool hasRowid, QString statement)
      : db_(db),
        table_(std::move(table)),
        columns_(std::move(columns)),
        rowids_(std::move(rowids)),
        hasRowid_(hasRowid),
        statement_(std::move(statement)) {}

  std::vector<Value> Insert(const Changes& changes, int fields) override {
    QString sql = QStringLiteral("INSERT INTO ") + QuotedName(table_);
    if (changes.empty()) {
      sql += QStringLiteral(" DEFAULT VALUES");
    } else {
      QStringList names, marks;
      for (const auto& [field, value] : changes) {
        names << QuotedName(columns_[field]);
        marks << QStringLiteral("?");
      }
      sql += QStringLiteral(" (") + names.join(u',') + QStringLiteral(") VALUES (") +
             marks.join(u',') + u')';
    }
    auto stmt = PrepareSingle(db_, sql, statement_);
    int parameter = 1;
    for (const auto& [field, value] : changes)
      detail::BindValue(stmt.get(), parameter++, value, statement_);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE) ThrowEngineError(db_, statement_);
    std::vector<Value> row(static_cast<size_t>(fields));
    for (const auto& [field, value] : changes)
      row[static_cast<size_t>(field)] = value;
    if (hasRowid_) {
      rowids_.push_back(sqlite3_last_insert_rowid(db_));
      Reread(rowids_.back(), row);
    }
    return row;
  }

  std::vector<Value> Update(const Recordset& snapshot, qint64 row,
                            const Changes& changes) override {
    QStringList assignments, criteria;
    std::vector<Value> parameters;
    for (const auto& [field, value] : changes) {
      assignments << QuotedName(columns_[field]) + QStringLiteral(" = ?");
      parameters.push_back(value);
    }
    if (hasRowid_) {
      criteria << QStringLiteral("_rowid_ = ?");
      parameters.emplace_back(rowids_[static_cast<size_t>(row)]);
      // Optimistic check: the fields we change must still hold what we read.
      for (const auto& [field, value] : changes) {
        criteria << QuotedName(columns_[field]) + QStringLiteral(" IS ?");
        parameters.push_back(snapshot.Row(row)[static_cast<size_t>(field)]);
      }
    } else {
      for (int field = 0; field < snapshot.FieldCount(); ++field) {
        criteria << QuotedName(columns_[field]) + QStringLiteral(" IS ?");
        parameters.push_back(snapshot.Row(row)[static_cast<size_t>(field)]);
      }
    }
    const QString sql = QStringLiteral("UPDATE ") + QuotedName(table_) + QStringLiteral(" SET ") +
                        assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                        criteria.join(QStringLiteral(" AND "));
    auto stmt = PrepareSingle(db_, sql, statement_);
    for (size_t i = 0; i < parameters.size(); ++i)
      detail::BindValue(stmt.get(), static_cast<int>(i + 1), parameters[i], statement_);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE) ThrowEngineError(db_, statement_);
    if (sqlite3_changes(db_) == 0) throw RowChanged(statement_);
    const auto read = snapshot.Row(row);
    std::vector<Value> stored(read.begin(), read.end());
    for (const auto& [field, value] : changes)
      stored[static_cast<size_t>(field)] = value;
    if (hasRowid_) Reread(rowids_[static_cast<size_t>(row)], stored);
    return stored;
  }

 private:
  // The stored row may differ from what was written (defaults, type affinity): read it back.
  void Reread(qint64 rowid, std::vector<Value>& row) {
    QStringList names;
    for (const QString& column : columns_)
      names << QuotedName(column);
    const QString sql = QStringLiteral("SELECT ") + names.join(u',') + QStringLiteral(" FROM ") +
                        QuotedName(table_) + QStringLiteral(" WHERE _rowid_ = ?");
    auto stmt = PrepareSingle(db_, sql, statement_);
    detail::BindValue(stmt.get(), 1, Value(rowid), statement_);
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_ROW) {
      for (size_t field = 0; field < row.size(); ++field)
        row[field] = detail::ColumnValue(stmt.get(), static_cast<int>(field));
    } else if (rc != SQLITE_DONE) {
      ThrowEngineError(db_, statement_);
    }
  }

  sqlite3* db_;
  QString table_;
  QStringList columns_;  // the table's column behind each field
  std::vector<qint64> rowids_;
  bool hasRowid_;
  QString statement_;
};

}  // namespace

SqliteBackend::SqliteBackend(sqlite3* db, QString path, bool readOnly)
    : db_(db), path_(std::move(path)), readOnly_(readOnly), catalog_(db) {}

Capabilities SqliteBackend::Can() const {
  return readOnly_ ? Capability::ReadSnapshot : Capability::Write | Capability::ReadSnapshot;
}

SqliteBackend::~SqliteBackend() {
  // close_v2 waits for statements still alive instead of failing; the handle goes with the last.
  sqlite3_close_v2(db_);
}

std::unique_ptr<SqliteBackend> SqliteBackend::OpenFile(const QString& path, bool create,
                                                       bool readOnly) {
  sqlite3* raw = nullptr;
  // Without SQLITE_OPEN_CREATE a file that vanished since the check is an error, not a new
  // empty database; without SQLITE_OPEN_URI a ':' in a folder name is just a character.
  // A connection belongs to one operation on one thread at a time, so the engine's own
  // per-call locking (a mutex round trip for every column read) buys nothing.
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                    SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  // Nor do the engine's memory statistics, which the program never reads: they take one lock
  // for every allocation of every connection, so an export and the count of its rows beside it
  // would take turns at it. Settable only before the engine's first use (the first open).
  static const bool withoutStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  Q_UNUSED(withoutStatistics);
  const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
  std::unique_ptr<SqliteBackend> backend(new SqliteBackend(raw, path, readOnly));
  if (rc != SQLITE_OK) {
    const QString reason = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString();
    throw DbError(QStringLiteral("無法開啟資料庫檔案：") + path + QStringLiteral("（") + reason +
                  QStringLiteral("）"));
  }
  // Before the first read: the header read below already waits for another program's lock.
  sqlite3_busy_timeout(raw, Connection::BusyTimeoutMs());
  RegisterAccessFunctions(raw);
  HardenConnection(raw, readOnly);
  // Reads the header now, so a damaged file fails here and not in the first query.
  if (sqlite3_exec(raw, "PRAGMA schema_version", nullptr, nullptr, nullptr) != SQLITE_OK) {
    if ((sqlite3_extended_errcode(raw) & 0xff) == SQLITE_BUSY)
      throw DbError(detail::LockedDescription(path));
    throw DbError(QStringLiteral("檔案不是可辨識的資料庫：") + path + QStringLiteral("（") +
                  QString::fromUtf8(sqlite3_errmsg(raw)) + QStringLiteral("）"));
  }
  return backend;
}

void SqliteBackend::RunNative(const QString& statement) {
  auto stmt = PrepareSingle(db_, statement, statement);
  StepToEnd(db_, stmt.get(), statement);
  catalog_.Clear();
}

Recordset SqliteBackend::ReadNative(const QString& query) {
  auto stmt = PrepareSingle(db_, query, query);
  return detail::ReadAll(db_, stmt.get(), query);
}

void SqliteBackend::RunScript(const QString& script) {
  catalog_.Clear();
  if (sqlite3_exec(db_, script.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
    ThrowEngineError(db_, script);
}

detail::StatementPtr SqliteBackend::PrepareStatement(const sql::Translation& t,
                                                     const Values& values,
                                                     const QString& accessSql) {
  auto stmt = PrepareSingle(db_, t.sql, accessSql);
  for (size_t slot = 0; slot < values.size(); ++slot) {
    if (!t.placeholders[static_cast<qsizetype>(slot)].isEmpty())
      detail::BindValue(stmt.get(), static_cast<int>(slot) + 1, values[slot], accessSql);
  }
  return stmt;
}

void SqliteBackend::Guarded(const QString&, const std::function<void()>& read) {
  read();
}

void SqliteBackend::Execute(const sql::Translation& t, const Values& values,
                            const QString& accessSql) {
  auto stmt = PrepareStatement(t, values, accessSql);
  Guarded(accessSql, [&] {
    sqlite3_reset(stmt.get());
    StepToEnd(db_, stmt.get(), accessSql);
  });
}

Recordset SqliteBackend::Read(const sql::Translation& t, const Values& values,
                              const QString& accessSql) {
  auto stmt = PrepareStatement(t, values, accessSql);
  Recordset rows;
  Guarded(accessSql, [&] {
    sqlite3_reset(stmt.get());
    rows = detail::ReadAll(db_, stmt.get(), accessSql);
  });
  return rows;
}

Cursor SqliteBackend::OpenCursor(const sql::Translation& t, const Values& values,
                                 const QString& accessSql) {
  auto stmt = PrepareStatement(t, values, accessSql);
  QStringList names, qualified;
  detail::ReadColumnNames(stmt.get(), 0, names, qualified);
  if (CursorReadsWhole()) {
    Recordset rows;
    Guarded(accessSql, [&] {
      sqlite3_reset(stmt.get());
      rows = detail::ReadAll(db_, stmt.get(), accessSql);
    });
    return Cursor::Over(std::make_shared<const Recordset>(std::move(rows)), std::move(qualified));
  }
  return Cursor(std::move(names), std::move(qualified),
                std::make_unique<StatementRows>(db_, std::move(stmt), accessSql));
}

bool SqliteBackend::HasRows(const sql::Translation& t, const Values& values,
                            const QString& accessSql) {
  auto stmt = PrepareStatement(t, values, accessSql);
  bool found = false;
  Guarded(accessSql, [&] {
    sqlite3_reset(stmt.get());
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) ThrowEngineError(db_, accessSql);
    found = rc == SQLITE_ROW;
  });
  return found;
}

std::unique_ptr<PreparedStatement> SqliteBackend::Prepare(const sql::Translation& t,
                                                          const QString& accessSql) {
  return std::make_unique<SqlitePrepared>(
      PrepareStatement(t, {}, accessSql), accessSql,
      [this](const QString& sql, const std::function<void()>& read) { Guarded(sql, read); });
}

UpdatableRows SqliteBackend::OpenForUpdate(const sql::Translation& t, const QString& accessSql) {
  // The rowid rides along as an extra first column, so an update can find the row again. Views,
  // tables without rowid and joins refuse it; they are then searched by their values.
  static const QRegularExpression leadingSelect(QStringLiteral("^\\s*select\\s+(?!distinct\\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
  std::vector<qint64> rowids;
  detail::StatementPtr stmt;
  bool withRowid = false;
  if (const auto match = leadingSelect.match(t.sql); match.hasMatch()) {
    QString withId = t.sql;
    withId.insert(match.capturedEnd(), QStringLiteral("_rowid_, "));
    try {
      stmt = PrepareSingle(db_, withId, accessSql);
      withRowid = true;
    } catch (const DbError&) {
    }
  }
  if (!stmt) stmt = PrepareSingle(db_, t.sql, accessSql);

  QString table;
  QStringList columns;
  const int count = sqlite3_column_count(stmt.get());
  for (int c = withRowid ? 1 : 0; c < count; ++c) {
    const char* name = sqlite3_column_table_name(stmt.get(), c);
    const char* origin = sqlite3_column_origin_name(stmt.get(), c);
    const QString columnTable = name ? QString::fromUtf8(name) : QString();
    if (columnTable.isEmpty() || !origin || (!table.isEmpty() && columnTable != table))
      throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), accessSql);
    table = columnTable;
    columns << QString::fromUtf8(origin);
  }
  if (table.isEmpty()) throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), accessSql);
  Recordset snapshot = detail::ReadAll(db_, stmt.get(), accessSql, withRowid ? &rowids : nullptr);
  return {table, std::move(snapshot),
          std::make_unique<SqliteRowWriter>(db_, table, columns, std::move(rowids), withRowid,
                                            accessSql)};
}

void SqliteBackend::Begin() {
  RunScript(QStringLiteral("BEGIN"));
}

void SqliteBackend::Commit() {
  RunScript(QStringLiteral("COMMIT"));
}

void SqliteBackend::RollbackQuietly() noexcept {
  // A failed rollback leaves the engine to roll back at close.
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteBackend::BeginReadSnapshot() {
  RunScript(QStringLiteral("BEGIN DEFERRED"));
  // Reading the schema takes the read lock now, not at the first query.
  if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    const QString description = detail::EngineErrorDescription(db_);
    RollbackQuietly();
    throw DbError(description);
  }
}

void SqliteBackend::EndReadSnapshot() noexcept {
  // Nothing was written: ending the transaction cannot lose anything.
  sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace tarvel::db
