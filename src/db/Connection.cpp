#include "db/Connection.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>

#include "db/EngineCatalog.h"
#include "db/JetFile.h"
#include "db/JetModule.h"
#include "db/PgSession.h"
#include "db/ServerUri.h"
#include "db/SqliteAccessFunctions.h"
#include "db/SqliteSupport.h"
#include "db/sql/AccessValues.h"
#include "db/sql/Lexer.h"
#include "db/sql/Translate.h"
#include "platform/Conversions.h"
#include "platform/Paths.h"

namespace tarvel::db {
namespace {

using detail::PrepareSingle;
using detail::ThrowEngineError;

std::atomic<int> busyTimeoutMs{Connection::kBusyTimeoutMs};

// Statements in an engine's own words, passed as they stand: changes of the schema and the like,
// which tools and tests send and the program's texts never are.
bool IsNative(const QString& text) {
  static const QRegularExpression first(
      QStringLiteral("^\\s*(create|drop|alter|lock|pragma|begin|commit|rollback|savepoint|"
                     "release|vacuum|analyze|reindex|attach|detach|set|reset)\\b"),
      QRegularExpression::CaseInsensitiveOption);
  return first.match(text).hasMatch();
}

// A parameter's value as its declaration types it; an undeclared one given as text is read as a
// number or a date where it is one.
Value ParameterValue(const Value& given, sql::SqlType declared) {
  if (given.IsNull()) return given;
  const QString text = given.ToText().trimmed();
  const auto asDate = [&]() -> std::optional<Value> {
    QString inside = text;
    if (inside.startsWith(u'#') && inside.endsWith(u'#') && inside.size() > 1)
      inside = inside.mid(1, inside.size() - 2);
    if (const auto ole = sql::ParseDateText(inside)) return Value(sql::StoredFromOle(*ole));
    return std::nullopt;
  };
  const auto asNumber = [&](bool real) {
    const double number = NumericValue(text);
    const bool whole = number == static_cast<double>(static_cast<qint64>(number));
    return whole && !real && !text.contains(u'.') ? Value(static_cast<qint64>(number))
                                                  : Value(number);
  };
  switch (declared) {
    case sql::SqlType::Date:
      if (!given.IsText()) return given;
      if (const auto date = asDate()) return *date;
      throw DbError(QStringLiteral("參數值「%1」不是日期。").arg(text));
    case sql::SqlType::Boolean:
    case sql::SqlType::Integer:
    case sql::SqlType::Real:
    case sql::SqlType::Currency:
      if (!given.IsText()) return given;
      if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return Value(-1);
      if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return Value(0);
      if (!IsNumeric(text)) throw DbError(QStringLiteral("參數值「%1」不是數字。").arg(text));
      return asNumber(declared != sql::SqlType::Integer && declared != sql::SqlType::Boolean);
    case sql::SqlType::Text:
      return given.IsText() ? given : Value(given.ToText());
    default:
      if (!given.IsText()) return given;
      if (IsNumeric(text)) return asNumber(false);
      if (const auto date = asDate()) return *date;
      return given;
  }
}

enum class FileKind { Missing, Sqlite, Jet, Other };

FileKind Recognise(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return FileKind::Missing;
  if (!info.isFile()) return FileKind::Other;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return FileKind::Other;
  const QByteArray head = file.read(32);
  if (head.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return FileKind::Sqlite;
  const QByteArray jetTag = head.mid(4, 16);
  if (jetTag == QByteArrayLiteral("Standard Jet DB\0") ||
      jetTag == QByteArrayLiteral("Standard ACE DB\0")) {
    return FileKind::Jet;
  }
  return FileKind::Other;
}

}  // namespace

QString ParameterKey(const QString& typed) {
  try {
    QStringList parts;
    QString separators;
    QString word;
    for (const sql::Token& t : sql::Tokenize(typed)) {
      if (t.kind == sql::TokenKind::End) break;
      if (t.IsSymbol(u".") || t.IsSymbol(u"!")) {
        parts << word;
        word.clear();
        separators += t.text;
      } else {
        if (!word.isEmpty()) word += u' ';
        word += t.text;
      }
    }
    parts << word;
    return sql::BindingName(parts, separators).toLower();
  } catch (const DbError&) {
    return typed.trimmed().toLower();
  }
}

ConnectionString ConnectionString::Parse(const QString& text) {
  ConnectionString result;
  const qsizetype size = text.size();
  qsizetype pos = 0;
  while (pos < size) {
    const qsizetype equals = text.indexOf(u'=', pos);
    const qsizetype semicolon = text.indexOf(u';', pos);
    if (equals < 0) break;
    if (semicolon >= 0 && semicolon < equals) {  // a part without "=" says nothing
      pos = semicolon + 1;
      continue;
    }
    const QString key = text.mid(pos, equals - pos).trimmed().toLower();
    pos = equals + 1;
    while (pos < size && text[pos].isSpace())
      ++pos;
    QString value;
    if (pos < size && (text[pos] == u'"' || text[pos] == u'\'')) {
      // Quoted: up to the matching quote, a doubled quote standing for one. Whatever stands
      // between the closing quote and the next ";" is not part of the value.
      const QChar quote = text[pos++];
      while (pos < size) {
        if (text[pos] == quote) {
          if (pos + 1 < size && text[pos + 1] == quote) {
            value += quote;
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        value += text[pos++];
      }
      const qsizetype next = text.indexOf(u';', pos);
      pos = next < 0 ? size : next + 1;
    } else {
      const qsizetype next = text.indexOf(u';', pos);
      const qsizetype stop = next < 0 ? size : next;
      value = text.mid(pos, stop - pos).trimmed();
      pos = stop + 1;
    }
    if (key == QLatin1String("provider")) {
      result.provider = value;
    } else if (key == QLatin1String("data source")) {
      result.dataSource = value;
    } else if (key == QLatin1String("jet oledb:database password") ||
               key == QLatin1String("password")) {
      result.password = value;
    }
  }
  return result;
}

int Connection::BusyTimeoutMs() {
  return busyTimeoutMs.load();
}

ScopedBusyTimeout::ScopedBusyTimeout(int milliseconds)
    : previous_(busyTimeoutMs.exchange(milliseconds)) {}

ScopedBusyTimeout::~ScopedBusyTimeout() {
  busyTimeoutMs.store(previous_);
}

Connection::Connection(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

Connection::~Connection() {
  // close_v2 waits for Commands still alive instead of failing; the handle goes with the last.
  sqlite3_close_v2(db_);
}

std::unique_ptr<Connection> Connection::Open(const QString& connectionString) {
  const ConnectionString keys = ConnectionString::Parse(connectionString);
  if (keys.dataSource.trimmed().isEmpty()) {
    throw DbError(QStringLiteral("連接字串沒有指定資料來源（Data Source）。"));
  }
  if (IsServerUri(keys.dataSource)) return OpenServer(keys.dataSource);
  const auto path = ResolveExistingPath(keys.dataSource);
  if (!path) {
    // A mistyped URI is shown without its password too.
    throw DbError(QStringLiteral("找不到資料庫檔案：") +
                  LocalPathSyntax(RedactUri(keys.dataSource)));
  }
  return OpenFile(*path);
}

std::unique_ptr<Connection> Connection::OpenServer(const QString& uri) {
  auto session = std::make_shared<pg::Session>(uri);
  std::unique_ptr<Connection> connection(new Connection(nullptr, session->Name()));
  connection->pg_ = std::move(session);
  connection->pgCatalog_ = std::make_unique<PgCatalog>(*connection->pg_);
  return connection;
}

std::unique_ptr<Connection> Connection::OpenFile(const QString& path, bool create) {
  if (IsServerUri(path)) return OpenServer(path);
  const FileKind kind = Recognise(path);
  const bool fresh = create && (kind == FileKind::Missing || QFileInfo(path).size() == 0);
  if (!fresh) {
    switch (kind) {
      case FileKind::Missing:
        throw DbError(QStringLiteral("找不到資料庫檔案：") + path);
      case FileKind::Jet:
        return OpenJet(path);
      case FileKind::Other:
        throw DbError(QStringLiteral("檔案不是可辨識的資料庫：") + path);
      case FileKind::Sqlite:
        break;
    }
  }
  sqlite3* raw = nullptr;
  // Without SQLITE_OPEN_CREATE a file that vanished since the check is an error, not a new
  // empty database; without SQLITE_OPEN_URI a ':' in a folder name is just a character.
  // A connection belongs to one operation on one thread at a time, so the engine's own
  // per-call locking (a mutex round trip for every column read) buys nothing.
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
  std::unique_ptr<Connection> connection(new Connection(raw, path));
  if (rc != SQLITE_OK) {
    const QString reason = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString();
    throw DbError(QStringLiteral("無法開啟資料庫檔案：") + path + QStringLiteral("（") + reason +
                  QStringLiteral("）"));
  }
  // Before the first read: the header read below already waits for another program's lock.
  sqlite3_busy_timeout(raw, BusyTimeoutMs());
  RegisterAccessFunctions(raw);
  connection->sqliteCatalog_ = std::make_unique<SqliteCatalog>(raw);
  // Reads the header now, so a damaged file fails here and not in the first query.
  if (sqlite3_exec(raw, "PRAGMA schema_version", nullptr, nullptr, nullptr) != SQLITE_OK) {
    if ((sqlite3_extended_errcode(raw) & 0xff) == SQLITE_BUSY)
      throw DbError(detail::LockedDescription(path));
    throw DbError(QStringLiteral("檔案不是可辨識的資料庫：") + path + QStringLiteral("（") +
                  QString::fromUtf8(sqlite3_errmsg(raw)) + QStringLiteral("）"));
  }
  return connection;
}

std::unique_ptr<Connection> Connection::OpenJet(const QString& path) {
  const StderrCapture libmdbWarnings("libmdb");
  auto source = std::make_shared<jet::Source>();
  source->file = jet::File::Open(path);
  // A page in flux met while the tables are set up: start again on a fresh database.
  return jet::RetryTorn(source.get(), QString(), kJetReadAttempts, [&] {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<Connection> connection(new Connection(raw, path));
    if (rc != SQLITE_OK) throw DbError(QStringLiteral("無法建立記憶體資料庫。"));
    RegisterAccessFunctions(raw);
    connection->jet_ = source;
    connection->sqliteCatalog_ = std::make_unique<SqliteCatalog>(raw);
    for (const jet::QueryOutcome& o : jet::Attach(raw, source, *connection->sqliteCatalog_)) {
      connection->storedQueries_.push_back(
          {o.query.name, jet::KindName(o.query.kind), o.query.accessSql, o.offer, o.reason});
    }
    // The engine refuses writes too, should a text get past RefuseWrite.
    sqlite3_exec(raw, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    return connection;
  });
}

QString Connection::ReadOnlyDescription() const {
  return QStringLiteral("資料庫 %1 是 Jet (Access) 檔案，本程式只讀取它，不寫入。").arg(path_);
}

void Connection::RefuseWrite(const QString& statement) const {
  if (jet_) throw DbError(ReadOnlyDescription(), statement);
}

template <typename F>
auto Connection::Reading(const QString& jetSql, F&& read) {
  return jet::RetryTorn(jet_.get(), jetSql, kJetReadAttempts, std::forward<F>(read));
}

sql::Catalog& Connection::Catalog() {
  if (pgCatalog_) return *pgCatalog_;
  return *sqliteCatalog_;
}

void Connection::SchemaChanged() {
  if (sqliteCatalog_) sqliteCatalog_->Clear();
  if (pgCatalog_) pgCatalog_->Clear();
}

// A text translated for this connection's engine, with the values of its named parameters.
struct Connection::Prepared {
  sql::Translation translation;
  /// One per placeholder slot; NULL for the text's own "?" markers, bound later.
  std::vector<Value> values;
  detail::StatementPtr stmt;  // SQLite
};

Connection::Prepared Connection::PrepareQuery(const QString& accessSql,
                                              const QueryOptions& options) {
  Prepared p;
  p.translation = sql::Translate(
      accessSql, pg_ ? sql::Engine::Postgres : sql::Engine::Sqlite, &Catalog(),
      {options.accessWildcards ? sql::Wildcards::Access : sql::Wildcards::Ansi, options.queryOnly});
  for (const QString& name : p.translation.placeholders) {
    if (name.isEmpty()) {
      p.values.emplace_back();
      continue;
    }
    const auto given = options.parameters.constFind(name.toLower());
    if (given == options.parameters.cend())
      throw DbError(
          QStringLiteral("查詢需要參數「%1」的值（資料來源沒有這個名稱的欄位）。").arg(name),
          accessSql);
    sql::SqlType declared = sql::SqlType::Unknown;
    for (const sql::DeclaredParameter& d : p.translation.declared)
      if (d.name.compare(name, Qt::CaseInsensitive) == 0) declared = d.type;
    try {
      p.values.push_back(ParameterValue(*given, declared));
    } catch (const DbError& e) {
      throw DbError(QStringLiteral("參數「%1」：").arg(name) + e.Description(), accessSql);
    }
  }
  if (pg_) return p;
  // On a Jet file only queries run: anything else is refused in the program's words before the
  // engine gives its own ("table … may not be modified").
  if (jet_ && p.translation.kind != sql::Statement::Kind::Query)
    throw DbError(ReadOnlyDescription(), accessSql);
  p.stmt = PrepareSingle(db_, p.translation.sql, accessSql);
  if (jet_ && !sqlite3_stmt_readonly(p.stmt.get())) throw DbError(ReadOnlyDescription(), accessSql);
  for (size_t slot = 0; slot < p.values.size(); ++slot) {
    if (!p.translation.placeholders[static_cast<qsizetype>(slot)].isEmpty())
      detail::BindValue(p.stmt.get(), static_cast<int>(slot) + 1, p.values[slot], accessSql);
  }
  return p;
}

void Connection::Execute(const QString& jetSql) {
  if (IsNative(jetSql)) {
    if (pg_) {
      pg_->Run(jetSql, {}, jetSql);
    } else {
      RefuseWrite(jetSql);
      auto stmt = PrepareSingle(db_, jetSql, jetSql);
      int rc;
      while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
      }
      if (rc != SQLITE_DONE) ThrowEngineError(db_, jetSql);
    }
    SchemaChanged();
    return;
  }
  Prepared p = PrepareQuery(jetSql, {});
  if (pg_) {
    pg_->Run(p.translation.sql, p.values, jetSql);
    return;
  }
  Reading(jetSql, [&] {
    sqlite3_reset(p.stmt.get());
    int rc;
    while ((rc = sqlite3_step(p.stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) ThrowEngineError(db_, jetSql);
    return 0;
  });
}

void Connection::ExecuteScript(const QString& nativeScript) {
  SchemaChanged();
  if (pg_) {
    pg_->RunScript(nativeScript);
    return;
  }
  RefuseWrite(nativeScript);
  if (sqlite3_exec(db_, nativeScript.toUtf8().constData(), nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    ThrowEngineError(db_, nativeScript);
  }
}

Recordset Connection::OpenRecordset(const QString& jetSql) {
  return OpenRecordset(jetSql, QueryOptions{});
}

Recordset Connection::OpenRecordset(const QString& accessSql, const QueryOptions& options) {
  Prepared p = PrepareQuery(accessSql, options);
  if (pg_) {
    return pg::Session::Snapshot(pg_->Run(p.translation.sql, p.values, accessSql).get(),
                                 p.translation.spellings);
  }
  return Reading(accessSql, [&] {
    sqlite3_reset(p.stmt.get());
    return detail::ReadAll(db_, p.stmt.get(), accessSql);
  });
}

namespace {

// Steps an engine statement; the statement is finalised with the source.
class StatementRows final : public RowSource {
 public:
  StatementRows(sqlite3* db, detail::StatementPtr stmt, QString jetSql)
      : db_(db), stmt_(std::move(stmt)), jetSql_(std::move(jetSql)) {}
  bool Fetch(std::vector<Value>& row) override {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_DONE) return false;
    if (rc != SQLITE_ROW) detail::ThrowEngineError(db_, jetSql_);
    for (size_t c = 0; c < row.size(); ++c)
      row[c] = detail::ColumnValue(stmt_.get(), static_cast<int>(c));
    return true;
  }

 private:
  sqlite3* db_;
  detail::StatementPtr stmt_;
  QString jetSql_;
};

// Walks a snapshot read whole.
class SnapshotRows final : public RowSource {
 public:
  explicit SnapshotRows(Recordset rows) : rows_(std::move(rows)) {}
  bool Fetch(std::vector<Value>& row) override {
    if (next_ >= rows_.RecordCount()) return false;
    const auto values = rows_.Row(next_++);
    std::copy(values.begin(), values.end(), row.begin());
    return true;
  }

 private:
  Recordset rows_;
  qint64 next_ = 0;
};

// Fetches a server-side cursor's rows in batches. The cursor lives in a transaction: the caller's,
// or one of its own that it ends when it is done (rows are only read, so it commits).
class ServerRows final : public RowSource {
 public:
  static constexpr int kBatch = 1000;
  ServerRows(std::shared_ptr<pg::Session> session, QByteArray name, bool ownTransaction,
             pg::ResultPtr first, QString jetSql)
      : session_(std::move(session)),
        name_(std::move(name)),
        own_(ownTransaction),
        batch_(std::move(first)),
        jetSql_(std::move(jetSql)) {}
  ~ServerRows() override { session_->EndCursor(name_, own_); }
  bool Fetch(std::vector<Value>& row) override {
    if (next_ >= PQntuples(batch_.get())) {
      if (PQntuples(batch_.get()) < kBatch) return false;
      batch_ = session_->Run(FetchText(name_), {}, jetSql_);
      next_ = 0;
      if (PQntuples(batch_.get()) == 0) return false;
    }
    for (size_t c = 0; c < row.size(); ++c)
      row[c] = pg::Session::CellValue(batch_.get(), next_, static_cast<int>(c));
    ++next_;
    return true;
  }
  static QString FetchText(const QByteArray& name) {
    return QStringLiteral("FETCH FORWARD %1 FROM ").arg(kBatch) + QString::fromLatin1(name);
  }

 private:
  std::shared_ptr<pg::Session> session_;
  QByteArray name_;
  bool own_;
  pg::ResultPtr batch_;
  QString jetSql_;
  int next_ = 0;
};

}  // namespace

Cursor Connection::OpenCursor(const QString& jetSql) {
  return OpenCursor(jetSql, QueryOptions{});
}

Cursor Connection::OpenCursor(const QString& accessSql, const QueryOptions& options) {
  Prepared p = PrepareQuery(accessSql, options);
  if (pg_) {
    const bool own = !pg_->InTransaction();
    if (own) pg_->RunScript(QStringLiteral("BEGIN"));
    const QByteArray name = pg_->NewName("tarvel_cursor_");
    pg::ResultPtr first;
    try {
      // The line break ends a "--" comment the text may end in.
      pg_->Run(QStringLiteral("DECLARE ") + QString::fromLatin1(name) +
                   QStringLiteral(" NO SCROLL CURSOR FOR ") + p.translation.sql + u'\n',
               p.values, accessSql);
      first = pg_->Run(ServerRows::FetchText(name), {}, accessSql);
    } catch (const DbError&) {
      if (own) pg_->RunQuietly("ROLLBACK");
      throw;
    }
    const QStringList names =
        pg::Session::Snapshot(first.get(), p.translation.spellings).FieldNames();
    return Cursor(names, {},
                  std::make_unique<ServerRows>(pg_, name, own, std::move(first), accessSql));
  }
  QStringList names;
  QStringList qualified;
  detail::ReadColumnNames(p.stmt.get(), 0, names, qualified);
  if (jet_) {
    Recordset rows = Reading(accessSql, [&] {
      sqlite3_reset(p.stmt.get());
      return detail::ReadAll(db_, p.stmt.get(), accessSql);
    });
    return Cursor(std::move(names), std::move(qualified),
                  std::make_unique<SnapshotRows>(std::move(rows)));
  }
  return Cursor(std::move(names), std::move(qualified),
                std::make_unique<StatementRows>(db_, std::move(p.stmt), accessSql));
}

qint64 Connection::CountRows(const QString& jetSql) {
  const Recordset count = OpenRecordset(QStringLiteral("select count(*) as n from (") + jetSql +
                                        QStringLiteral("\n) as counted"));
  return count.RecordCount() > 0 ? count.Field(0).AsInteger() : 0;
}

bool Connection::HasRows(const QString& jetSql) {
  Prepared p = PrepareQuery(jetSql, {});
  if (pg_) {
    // The server plans for one row and sends one; the line breaks end a "--" comment.
    const QString probe = QStringLiteral("SELECT 1 FROM (\n") + p.translation.sql +
                          QStringLiteral("\n) AS tarvel_rows LIMIT 1");
    return PQntuples(pg_->Run(probe, p.values, jetSql).get()) > 0;
  }
  return Reading(jetSql, [&] {
    sqlite3_reset(p.stmt.get());
    const int rc = sqlite3_step(p.stmt.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) ThrowEngineError(db_, jetSql);
    return rc == SQLITE_ROW;
  });
}

Command Connection::Prepare(const QString& jetSql) {
  Prepared p = PrepareQuery(jetSql, {});
  if (pg_) {
    QByteArray name = pg_->Prepare(p.translation.sql, jetSql);
    return Command(pg_, std::move(name), static_cast<int>(p.translation.placeholders.size()),
                   std::move(p.translation.spellings), jetSql);
  }
  return Command(p.stmt.release(), jetSql, jet_);
}

UpdatableRecordset Connection::OpenForUpdate(const QString& jetSql) {
  if (pg_) return OpenServerForUpdate(jetSql);
  RefuseWrite(jetSql);
  const QString sql = PrepareQuery(jetSql, {}).translation.sql;
  // The rowid rides along as an extra first column, so Update can find the row again. Views,
  // tables without rowid and joins refuse it; they are then searched by their values.
  static const QRegularExpression leadingSelect(QStringLiteral("^\\s*select\\s+(?!distinct\\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
  std::vector<qint64> rowids;
  detail::StatementPtr stmt;
  bool withRowid = false;
  if (const auto match = leadingSelect.match(sql); match.hasMatch()) {
    QString withId = sql;
    withId.insert(match.capturedEnd(), QStringLiteral("_rowid_, "));
    try {
      stmt = PrepareSingle(db_, withId, jetSql);
      withRowid = true;
    } catch (const DbError&) {
    }
  }
  if (!stmt) stmt = PrepareSingle(db_, sql, jetSql);

  QString table;
  QStringList columns;
  const int count = sqlite3_column_count(stmt.get());
  for (int c = withRowid ? 1 : 0; c < count; ++c) {
    const char* name = sqlite3_column_table_name(stmt.get(), c);
    const char* origin = sqlite3_column_origin_name(stmt.get(), c);
    const QString columnTable = name ? QString::fromUtf8(name) : QString();
    if (columnTable.isEmpty() || !origin || (!table.isEmpty() && columnTable != table)) {
      throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), jetSql);
    }
    table = columnTable;
    columns.push_back(QString::fromUtf8(origin));
  }
  if (table.isEmpty()) throw DbError(QStringLiteral("只有單一資料表的欄位可以更新。"), jetSql);
  Recordset snapshot = detail::ReadAll(db_, stmt.get(), jetSql, withRowid ? &rowids : nullptr);
  UpdatableRecordset result(*this, table, jetSql, std::move(snapshot), std::move(rowids));
  result.columns_ = columns;
  result.hasRowid_ = withRowid;
  return result;
}

void Connection::BeginTransaction() {
  RefuseWrite(QStringLiteral("BEGIN"));
  ExecuteScript(QStringLiteral("BEGIN"));
}
void Connection::Commit() {
  ExecuteScript(QStringLiteral("COMMIT"));
}
void Connection::Rollback() {
  ExecuteScript(QStringLiteral("ROLLBACK"));
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
  connection_.BeginTransaction();
}

Transaction::~Transaction() {
  if (open_) {
    // A destructor must not throw; a failed rollback leaves the engine to roll back at close.
    if (connection_.pg_)
      connection_.pg_->RunQuietly("ROLLBACK");
    else
      sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  connection_.Commit();
  open_ = false;
}

Command::Command(sqlite3_stmt* stmt, QString sql, std::shared_ptr<jet::Source> jet)
    : stmt_(stmt), sql_(std::move(sql)), jet_(std::move(jet)) {}

ReadSnapshot::ReadSnapshot(Connection& connection) : connection_(connection) {
  if (connection.IsReadOnly()) return;
  if (connection.pg_) {
    connection.pg_->RunScript(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
  } else {
    connection.ExecuteScript(QStringLiteral("BEGIN DEFERRED"));
    try {
      // Reading the schema takes the read lock now, not at the first query.
      connection.ExecuteScript(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    } catch (const DbError&) {
      sqlite3_exec(connection.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }
  open_ = true;
}

ReadSnapshot::~ReadSnapshot() {
  if (!open_) return;
  // Nothing was written: ending the transaction cannot lose anything, and must not throw.
  if (connection_.pg_)
    connection_.pg_->RunQuietly("COMMIT");
  else
    sqlite3_exec(connection_.Handle(), "COMMIT", nullptr, nullptr, nullptr);
}

Command::Command(std::shared_ptr<pg::Session> session, QByteArray name, int placeholders,
                 QHash<QString, QString> spellings, QString sql)
    : sql_(std::move(sql)),
      pg_(std::move(session)),
      name_(std::move(name)),
      bindings_(static_cast<size_t>(placeholders)),
      spellings_(std::move(spellings)) {}

Command::Command(Command&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)),
      sql_(std::move(other.sql_)),
      jet_(std::move(other.jet_)),
      pg_(std::move(other.pg_)),
      name_(std::move(other.name_)),
      bindings_(std::move(other.bindings_)),
      spellings_(std::move(other.spellings_)) {}

Command& Command::operator=(Command&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    if (pg_) pg_->Deallocate(name_);
    stmt_ = std::exchange(other.stmt_, nullptr);
    sql_ = std::move(other.sql_);
    jet_ = std::move(other.jet_);
    pg_ = std::move(other.pg_);
    name_ = std::move(other.name_);
    bindings_ = std::move(other.bindings_);
    spellings_ = std::move(other.spellings_);
  }
  return *this;
}

Command::~Command() {
  sqlite3_finalize(stmt_);
  if (pg_) pg_->Deallocate(name_);
}

Command& Command::Bind(int index, const Value& value) {
  if (pg_) {
    if (index < 1 || index > static_cast<int>(bindings_.size())) {
      throw DbError(QStringLiteral("參數編號 %1 超出範圍（此陳述式有 %2 個參數）。")
                        .arg(index)
                        .arg(bindings_.size()),
                    sql_);
    }
    bindings_[static_cast<size_t>(index - 1)] = value;
    return *this;
  }
  detail::BindValue(stmt_, index, value, sql_);
  return *this;
}

void Command::Execute() {
  if (pg_) {
    pg_->RunPrepared(name_, bindings_, sql_);
    return;
  }
  int rc;
  while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) {
    const QString description = detail::EngineErrorDescription(sqlite3_db_handle(stmt_));
    sqlite3_reset(stmt_);
    throw DbError(description, sql_);
  }
  sqlite3_reset(stmt_);
}

Recordset Command::Query() {
  if (pg_) return pg::Session::Snapshot(pg_->RunPrepared(name_, bindings_, sql_).get(), spellings_);
  // Reset on every path, so the command can run again after a failure.
  struct Reset {
    sqlite3_stmt* stmt;
    ~Reset() { sqlite3_reset(stmt); }
  } reset{stmt_};
  return jet::RetryTorn(jet_.get(), sql_, Connection::kJetReadAttempts, [&] {
    sqlite3_reset(stmt_);
    return detail::ReadAll(sqlite3_db_handle(stmt_), stmt_, sql_);
  });
}

}  // namespace tarvel::db
