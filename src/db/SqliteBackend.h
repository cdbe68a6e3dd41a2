// Inside the database layer: the SQLite engine under a Connection, for a SQLite file
// (SqliteBackend) and for a Jet file read live through virtual tables of an in-memory database
// (JetBackend: read-only, its stored queries offered, a statement that meets a page in flux run
// again).
#pragma once

#include <functional>
#include <memory>

#include "db/Backend.h"
#include "db/Connection.h"
#include "db/EngineCatalog.h"
#include "db/SqliteSupport.h"

namespace tarvel::db {

namespace jet {
struct Source;
}

class SqliteBackend : public Backend {
 public:
  /// Opens the SQLite file `path`; `create` allows a new one. Throws DbError, in words for the
  /// user, when it cannot be opened, is not a database or stays locked past the busy timeout.
  /// `readOnly`: the file opened read-only, and only reads and the program's functions allowed.
  static std::unique_ptr<SqliteBackend> OpenFile(const QString& path, bool create,
                                                 bool readOnly = false);
  ~SqliteBackend() override;

  sql::Engine Engine() const override { return sql::Engine::Sqlite; }
  sql::Catalog& Catalog() override { return catalog_; }
  const QString& Name() const override { return path_; }

  void RunNative(const QString& statement) override;
  void RunScript(const QString& script) override;
  Recordset ReadNative(const QString& query) override;
  void Execute(const sql::Translation& t, const Values& values, const QString& accessSql) override;
  Recordset Read(const sql::Translation& t, const Values& values,
                 const QString& accessSql) override;
  Cursor OpenCursor(const sql::Translation& t, const Values& values,
                    const QString& accessSql) override;
  bool HasRows(const sql::Translation& t, const Values& values, const QString& accessSql) override;
  std::unique_ptr<PreparedStatement> Prepare(const sql::Translation& t,
                                             const QString& accessSql) override;
  UpdatableRows OpenForUpdate(const sql::Translation& t, const QString& accessSql) override;

  void Begin() override;
  void Commit() override;
  void RollbackQuietly() noexcept override;
  bool BeginReadSnapshot() override;
  void EndReadSnapshot() noexcept override;
  void Interrupt() noexcept override { sqlite3_interrupt(db_); }

  /// The engine's handle, for the tools of the layer (PgSchema::TablesOf, benchmarks).
  sqlite3* Handle() const { return db_; }

 protected:
  SqliteBackend(sqlite3* db, QString path);
  /// The translated text prepared, its named parameters bound. A Jet file refuses what writes.
  virtual detail::StatementPtr PrepareStatement(const sql::Translation& t, const Values& values,
                                                const QString& accessSql);
  /// Runs `read`, a statement from its start to its end: once here, again on a Jet file while it
  /// meets a page in flux.
  virtual void Guarded(const QString& accessSql, const std::function<void()>& read);
  /// Whether the rows of a cursor are read whole first (a Jet file's: a read can be retried, a
  /// half-delivered stream could not).
  virtual bool CursorReadsWhole() const { return false; }

  sqlite3* db_;
  QString path_;
  SqliteCatalog catalog_;
};

class JetBackend final : public SqliteBackend {
 public:
  /// Opens the Jet file `path` (Jet 3 or 4) read-only: its tables as virtual tables of an
  /// in-memory database, its stored queries offered (JetModule.h). Throws DbError.
  static std::unique_ptr<JetBackend> OpenFile(const QString& path);
  bool IsReadOnly() const override { return true; }
  const std::vector<StoredQueryReport>& StoredQueries() const override { return storedQueries_; }
  void RunNative(const QString& statement) override;
  void RunScript(const QString& script) override;
  UpdatableRows OpenForUpdate(const sql::Translation& t, const QString& accessSql) override;
  void Begin() override;
  bool BeginReadSnapshot() override { return false; }
  std::unique_ptr<PreparedStatement> Prepare(const sql::Translation& t,
                                             const QString& accessSql) override;
  /// "資料庫 … 是 Jet 檔案，本程式只讀取它…": why a write was refused.
  QString ReadOnlyDescription() const;

 private:
  JetBackend(sqlite3* db, QString path, std::shared_ptr<jet::Source> source);
  detail::StatementPtr PrepareStatement(const sql::Translation& t, const Values& values,
                                        const QString& accessSql) override;
  void Guarded(const QString& accessSql, const std::function<void()>& read) override;
  bool CursorReadsWhole() const override { return true; }
  std::shared_ptr<jet::Source> source_;
  std::vector<StoredQueryReport> storedQueries_;
};

}  // namespace tarvel::db
