#include "db/pg/PgBackend.h"

#include <QHash>
#include <optional>
#include <set>

#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/pg/PgSchema.h"
#include "db/pg/PgSession.h"

namespace tarvel::db {
namespace {

// "a, b, c": the columns a statement returns, in the order of the fields.
QString ColumnList(const QStringList& columns) {
  QStringList quoted;
  for (const QString& column : columns)
    quoted << QuotedName(column);
  return quoted.join(QStringLiteral(", "));
}

// Fetches a server-side cursor's rows in batches, the next batch asked for as soon as one
// arrives: the server finds and sends it while this side decodes the one before. The cursor lives
// in a transaction: the caller's, or one of its own that it ends when it is done (rows are only
// read, so it commits).
class ServerRows final : public RowSource, public pg::PendingResult {
 public:
  /// The first batch is small, so the first rows come at once; the later ones are larger, so
  /// fewer round trips are made.
  static constexpr int kFirstBatch = 1000;
  static constexpr int kBatch = 5000;
  ServerRows(std::shared_ptr<pg::Session> session, QByteArray name, bool ownTransaction,
             pg::ResultPtr first, QString accessSql)
      : session_(std::move(session)),
        name_(std::move(name)),
        own_(ownTransaction),
        batch_(std::move(first)),
        accessSql_(std::move(accessSql)) {
    // A failure to ask shows at the first row that needs the answer (the destructor must run).
    try {
      AskForMore(kBatch);
    } catch (const DbError& error) {
      failure_ = error;
    }
  }
  ~ServerRows() override { session_->EndCursor(name_, own_); }

  bool Fetch(std::vector<Value>& row) override {
    if (next_ >= PQntuples(batch_.get())) {
      if (!asked_) return false;
      batch_ = NextBatch();
      next_ = 0;
      AskForMore(kBatch);
      if (PQntuples(batch_.get()) == 0) return false;
    }
    for (size_t c = 0; c < row.size(); ++c) {
      if (wanted_.empty() || wanted_[c])
        row[c] = pg::Session::CellValue(batch_.get(), next_, static_cast<int>(c));
      else if (!row[c].IsNull())
        row[c] = Value();
    }
    // Now and then the rows on their way are taken in, so the server never waits for room.
    if ((++next_ & 63) == 0) session_->TakeIn();
    return true;
  }

  void Want(const std::vector<bool>& fields) override { wanted_ = fields; }
  bool Reread(int field, Value& value) override {
    if (next_ == 0) return false;
    value = pg::Session::CellValue(batch_.get(), next_ - 1, field);
    return true;
  }

  void Collect() noexcept override {
    try {
      collected_ = session_->Receive(accessSql_);
    } catch (const DbError& error) {
      failure_ = error;
    }
  }

  static QString FetchText(const QByteArray& name, int rows) {
    return QStringLiteral("FETCH FORWARD %1 FROM ").arg(rows) + QString::fromLatin1(name);
  }

 private:
  // A full batch may have more behind it: the next is asked for at once.
  void AskForMore(int wanted) {
    asked_ = PQntuples(batch_.get()) == asking_;
    if (!asked_) return;
    asking_ = wanted;
    session_->Send(FetchText(name_, wanted), this, accessSql_);
  }
  pg::ResultPtr NextBatch() {
    if (session_->Pending(this)) return session_->Receive(accessSql_);
    // Collected meanwhile, because the session ran something else.
    if (failure_) throw *failure_;
    return std::move(collected_);
  }

  std::shared_ptr<pg::Session> session_;
  QByteArray name_;
  bool own_;
  pg::ResultPtr batch_;
  QString accessSql_;
  int next_ = 0;
  int asking_ = kFirstBatch;  ///< rows the batch asked for last
  bool asked_ = false;        ///< a next batch is out or collected
  pg::ResultPtr collected_;
  std::optional<DbError> failure_;
  std::vector<bool> wanted_;  // empty: every field
};

class ServerPrepared final : public PreparedStatement {
 public:
  ServerPrepared(std::shared_ptr<pg::Session> session, QByteArray name, int placeholders,
                 QHash<QString, QString> spellings, QString sql)
      : session_(std::move(session)),
        name_(std::move(name)),
        bindings_(static_cast<size_t>(placeholders)),
        spellings_(std::move(spellings)),
        sql_(std::move(sql)) {}
  ~ServerPrepared() override { session_->Deallocate(name_); }
  void Bind(int index, const Value& value) override {
    if (index < 1 || index > static_cast<int>(bindings_.size())) {
      throw DbError(QStringLiteral("參數編號 %1 超出範圍（此陳述式有 %2 個參數）。")
                        .arg(index)
                        .arg(bindings_.size()),
                    sql_);
    }
    bindings_[static_cast<size_t>(index - 1)] = value;
  }
  void Execute() override { session_->RunPrepared(name_, bindings_, sql_); }
  Recordset Query() override {
    return pg::Session::Snapshot(session_->RunPrepared(name_, bindings_, sql_).get(), spellings_);
  }

 private:
  std::shared_ptr<pg::Session> session_;
  QByteArray name_;
  std::vector<Value> bindings_;
  QHash<QString, QString> spellings_;
  QString sql_;
};

// Writes to the one table of an updatable result on the server. PostgreSQL has no rowid: the
// table's primary key finds a row again when the result holds all of it, else every value read
// (one row of those alike); ctid is no identity (it changes with every update, so another user's
// change to some other field would look like a conflict). The stored row comes back whole.
class ServerRowWriter final : public RowWriter {
 public:
  ServerRowWriter(std::shared_ptr<pg::Session> session, QString tableSql, QStringList columns,
                  std::vector<int> keyFields, QString statement)
      : session_(std::move(session)),
        tableSql_(std::move(tableSql)),
        columns_(std::move(columns)),
        keyFields_(std::move(keyFields)),
        statement_(std::move(statement)) {}

  std::vector<Value> Insert(const Changes& changes, int fields) override {
    QString sql = QStringLiteral("INSERT INTO ") + tableSql_;
    std::vector<Value> parameters;
    if (changes.empty()) {
      sql += QStringLiteral(" DEFAULT VALUES");
    } else {
      QStringList names, marks;
      for (const auto& [field, value] : changes) {
        names << QuotedName(columns_[field]);
        parameters.push_back(value);
        marks << u'$' + QString::number(parameters.size());
      }
      sql += QStringLiteral(" (") + names.join(u',') + QStringLiteral(") VALUES (") +
             marks.join(u',') + u')';
    }
    // The stored row comes back whole: defaults and the column types applied.
    sql += QStringLiteral(" RETURNING ") + ColumnList(columns_);
    return Stored(session_->Run(sql, parameters, statement_).get(), fields);
  }

  std::vector<Value> Update(const Recordset& snapshot, qint64 row,
                            const Changes& changes) override {
    QStringList assignments, criteria;
    std::vector<Value> parameters;
    const auto parameter = [&](const Value& value) {
      parameters.push_back(value);
      return u'$' + QString::number(parameters.size());
    };
    for (const auto& [field, value] : changes)
      assignments << QuotedName(columns_[field]) + QStringLiteral(" = ") + parameter(value);
    QString where;
    if (!keyFields_.empty()) {
      // The key finds the row; the fields we change must still hold what we read.
      for (int field : keyFields_)
        criteria << QuotedName(columns_[field]) + QStringLiteral(" = ") +
                        parameter(snapshot.Row(row)[static_cast<size_t>(field)]);
      for (const auto& [field, value] : changes) {
        criteria << QuotedName(columns_[field]) + QStringLiteral(" IS NOT DISTINCT FROM ") +
                        parameter(snapshot.Row(row)[static_cast<size_t>(field)]);
      }
      where = criteria.join(QStringLiteral(" AND "));
    } else {
      // Without a key every value read must still be there; of rows alike, one is changed.
      for (int field = 0; field < snapshot.FieldCount(); ++field) {
        criteria << QuotedName(columns_[field]) + QStringLiteral(" IS NOT DISTINCT FROM ") +
                        parameter(snapshot.Row(row)[static_cast<size_t>(field)]);
      }
      where = QStringLiteral("ctid = (SELECT ctid FROM ") + tableSql_ + QStringLiteral(" WHERE ") +
              criteria.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT 1 FOR UPDATE)");
    }
    const QString sql = QStringLiteral("UPDATE ") + tableSql_ + QStringLiteral(" SET ") +
                        assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + where +
                        QStringLiteral(" RETURNING ") + ColumnList(columns_);
    const pg::ResultPtr stored = session_->Run(sql, parameters, statement_);
    if (PQntuples(stored.get()) == 0) throw RowChanged(statement_);
    return Stored(stored.get(), snapshot.FieldCount());
  }

 private:
  static std::vector<Value> Stored(const PGresult* result, int fields) {
    std::vector<Value> row(static_cast<size_t>(fields));
    for (int field = 0; field < fields; ++field)
      row[static_cast<size_t>(field)] = pg::Session::CellValue(result, 0, field);
    return row;
  }

  std::shared_ptr<pg::Session> session_;
  QString tableSql_;
  QStringList columns_;
  std::vector<int> keyFields_;
  QString statement_;
};

}  // namespace

PgBackend::PgBackend(const QString& uri, bool readOnly)
    : session_(std::make_shared<pg::Session>(uri, readOnly)),
      catalog_(*session_),
      readOnly_(readOnly) {}

void PgBackend::CreateSchema(const QString& sqliteSchema) {
  const PgSchema::Schema schema = PgSchema::SchemaFromSqlite(sqliteSchema);
  RunScript(schema.drop);
  RunScript(schema.create);
}

PgBackend::~PgBackend() = default;

const QString& PgBackend::Name() const {
  return session_->Name();
}

void PgBackend::RunNative(const QString& statement) {
  session_->Run(statement, {}, statement);
  catalog_.Clear();
}

Recordset PgBackend::ReadNative(const QString& query) {
  return pg::Session::Snapshot(session_->Run(query, {}, query).get(), {});
}

void PgBackend::RunScript(const QString& script) {
  catalog_.Clear();
  session_->RunScript(script);
}

void PgBackend::Execute(const sql::Translation& t, const Values& values, const QString& accessSql) {
  session_->Run(t.sql, values, accessSql);
}

Recordset PgBackend::Read(const sql::Translation& t, const Values& values,
                          const QString& accessSql) {
  return pg::Session::Snapshot(session_->Run(t.sql, values, accessSql).get(), t.spellings);
}

Cursor PgBackend::OpenCursor(const sql::Translation& t, const Values& values,
                             const QString& accessSql) {
  const bool own = !session_->InTransaction();
  if (own) session_->RunScript(QStringLiteral("BEGIN"));
  const QByteArray name = session_->NewName("tarvel_cursor_");
  pg::ResultPtr first;
  try {
    // The line break ends a "--" comment the text may end in.
    session_->Run(QStringLiteral("DECLARE ") + QString::fromLatin1(name) +
                      QStringLiteral(" NO SCROLL CURSOR FOR ") + t.sql + u'\n',
                  values, accessSql);
    first = session_->Run(ServerRows::FetchText(name, ServerRows::kFirstBatch), {}, accessSql);
  } catch (const DbError&) {
    if (own) session_->RunQuietly("ROLLBACK");
    throw;
  }
  const QStringList names = pg::Session::Snapshot(first.get(), t.spellings).FieldNames();
  return Cursor(names, {},
                std::make_unique<ServerRows>(session_, name, own, std::move(first), accessSql));
}

bool PgBackend::HasRows(const sql::Translation& t, const Values& values, const QString& accessSql) {
  // The server plans for one row and sends one; the line breaks end a "--" comment.
  const QString probe =
      QStringLiteral("SELECT 1 FROM (\n") + t.sql + QStringLiteral("\n) AS tarvel_rows LIMIT 1");
  return PQntuples(session_->Run(probe, values, accessSql).get()) > 0;
}

std::unique_ptr<PreparedStatement> PgBackend::Prepare(const sql::Translation& t,
                                                      const QString& accessSql) {
  QByteArray name = session_->Prepare(t.sql, accessSql);
  return std::make_unique<ServerPrepared>(
      session_, std::move(name), static_cast<int>(t.placeholders.size()), t.spellings, accessSql);
}

UpdatableRows PgBackend::OpenForUpdate(const sql::Translation& t, const QString& accessSql) {
  const pg::ResultPtr rows = session_->Run(t.sql, {}, accessSql);
  // Every field must be a column of one and the same table (the server names its origin).
  const int count = PQnfields(rows.get());
  Oid table = InvalidOid;
  std::vector<int> attributes;
  for (int c = 0; c < count; ++c) {
    const Oid origin = PQftable(rows.get(), c);
    const int attribute = PQftablecol(rows.get(), c);
    if (origin == InvalidOid || attribute <= 0 || (table != InvalidOid && origin != table))
      throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), accessSql);
    table = origin;
    attributes.push_back(attribute);
  }
  if (table == InvalidOid)
    throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), accessSql);

  const Value oid(static_cast<qint64>(table));
  const pg::ResultPtr name = session_->Run(
      QStringLiteral("SELECT format('%I.%I', n.nspname, c.relname), c.relname FROM pg_class c "
                     "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = $1"),
      {oid}, accessSql);
  const pg::ResultPtr columns = session_->Run(
      QStringLiteral(
          "SELECT a.attnum, a.attname, a.attnum = ANY (COALESCE((SELECT i.indkey::int2[] "
          "FROM pg_index i WHERE i.indrelid = a.attrelid AND i.indisprimary), '{}')) "
          "FROM pg_attribute a WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT "
          "a.attisdropped"),
      {oid}, accessSql);
  if (PQntuples(name.get()) != 1)
    throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), accessSql);
  QHash<int, QString> columnNames;
  std::set<int> key;
  for (int r = 0; r < PQntuples(columns.get()); ++r) {
    const int attribute = QByteArray(PQgetvalue(columns.get(), r, 0)).toInt();
    columnNames.insert(attribute, QString::fromUtf8(PQgetvalue(columns.get(), r, 1)));
    if (PQgetvalue(columns.get(), r, 2)[0] == 't') key.insert(attribute);
  }
  QStringList fieldColumns;
  std::vector<int> keyFields;
  std::set<int> keyFound;
  for (int c = 0; c < count; ++c) {
    const int attribute = attributes[static_cast<size_t>(c)];
    fieldColumns << columnNames.value(attribute);
    if (key.count(attribute) && keyFound.insert(attribute).second) keyFields.push_back(c);
  }
  if (key.empty() || keyFound.size() != key.size()) keyFields.clear();
  return {
      QString::fromUtf8(PQgetvalue(name.get(), 0, 1)),
      pg::Session::Snapshot(rows.get(), t.spellings),
      std::make_unique<ServerRowWriter>(session_, QString::fromUtf8(PQgetvalue(name.get(), 0, 0)),
                                        fieldColumns, std::move(keyFields), accessSql)};
}

void PgBackend::Begin() {
  session_->RunScript(QStringLiteral("BEGIN"));
}

void PgBackend::Commit() {
  session_->RunScript(QStringLiteral("COMMIT"));
}

void PgBackend::RollbackQuietly() noexcept {
  session_->RunQuietly("ROLLBACK");
}

void PgBackend::BeginReadSnapshot() {
  session_->RunScript(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
}

void PgBackend::Interrupt() noexcept {
  session_->Cancel();
}

void PgBackend::EndReadSnapshot() noexcept {
  session_->RunQuietly("COMMIT");
}

}  // namespace tarvel::db
