// Inside the database layer: the SQLite engine under a Connection, for a SQLite file, and beneath
// a Jet file read live through virtual tables of an in-memory database (jet/JetBackend.h).
#pragma once

#include <functional>
#include <memory>

#include "db/Backend.h"
#include "db/Connection.h"
#include "db/sqlite/SqliteCatalog.h"
#include "db/sqlite/SqliteSupport.h"

namespace tarvel::db {

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
  Capabilities Can() const override;

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
  void BeginReadSnapshot() override;
  void EndReadSnapshot() noexcept override;
  void Interrupt() noexcept override { sqlite3_interrupt(db_); }

  /// The engine's handle, for the tools of the layer (PgSchema::TablesOf, benchmarks).
  sqlite3* Handle() const { return db_; }

 protected:
  SqliteBackend(sqlite3* db, QString path, bool readOnly);
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
  bool readOnly_;
  SqliteCatalog catalog_;
};

}  // namespace tarvel::db
