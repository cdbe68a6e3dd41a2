#include "db/jet/JetBackend.h"

#include "db/jet/JetFile.h"
#include "db/jet/JetModule.h"
#include "db/sqlite/SqliteAccessFunctions.h"
#include "platform/StderrCapture.h"

namespace tarvel::db {

JetBackend::JetBackend(sqlite3* db, QString path, std::shared_ptr<jet::Source> source)
    : SqliteBackend(db, std::move(path), true), source_(std::move(source)) {}

std::unique_ptr<JetBackend> JetBackend::OpenFile(const QString& path) {
  const StderrCapture libmdbWarnings("libmdb");
  auto source = std::make_shared<jet::Source>();
  source->file = jet::File::Open(path);
  // A page in flux met while the tables are set up: start again on a fresh database.
  return jet::RetryTorn(source.get(), QString(), Connection::kJetReadAttempts, [&] {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<JetBackend> backend(new JetBackend(raw, path, source));
    if (rc != SQLITE_OK) throw DbError(QStringLiteral("無法建立記憶體資料庫。"));
    RegisterAccessFunctions(raw);
    for (const jet::QueryOutcome& o : jet::Attach(raw, source, backend->catalog_)) {
      backend->storedQueries_.push_back(
          {o.query.name, jet::KindName(o.query.kind), o.query.accessSql, o.offer, o.reason});
    }
    // The engine refuses writes too, should a text get past the checks.
    sqlite3_exec(raw, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    HardenConnection(raw, true);
    return backend;
  });
}

QString JetBackend::ReadOnlyDescription() const {
  return QStringLiteral("資料庫 %1 是 Jet (Access) 檔案，本程式只讀取它，不寫入。").arg(path_);
}

void JetBackend::RunNative(const QString& statement) {
  throw DbError(ReadOnlyDescription(), statement);
}

void JetBackend::RunScript(const QString& script) {
  throw DbError(ReadOnlyDescription(), script);
}

UpdatableRows JetBackend::OpenForUpdate(const sql::Translation&, const QString& accessSql) {
  throw DbError(ReadOnlyDescription(), accessSql);
}

void JetBackend::Begin() {
  throw DbError(ReadOnlyDescription(), QStringLiteral("BEGIN"));
}

// On a Jet file only queries run: anything else is refused in the program's words before the
// engine gives its own ("table … may not be modified").
detail::StatementPtr JetBackend::PrepareStatement(const sql::Translation& t, const Values& values,
                                                  const QString& accessSql) {
  if (t.kind != sql::Statement::Kind::Query) throw DbError(ReadOnlyDescription(), accessSql);
  auto stmt = SqliteBackend::PrepareStatement(t, values, accessSql);
  if (!sqlite3_stmt_readonly(stmt.get())) throw DbError(ReadOnlyDescription(), accessSql);
  return stmt;
}

void JetBackend::Guarded(const QString& accessSql, const std::function<void()>& read) {
  jet::RetryTorn(source_.get(), accessSql, Connection::kJetReadAttempts, [&] {
    read();
    return 0;
  });
}

}  // namespace tarvel::db
