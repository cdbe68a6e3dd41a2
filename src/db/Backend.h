// Inside the database layer: what an engine does for a Connection. A Connection parses and
// translates the program's Access SQL once (sql::Translate, for the engine its backend names) and
// hands the backend the engine's text with the values of its placeholders; the backend runs it.
// Three implementations, each in a folder of its own: SqliteBackend (sqlite/: a SQLite file),
// JetBackend (jet/: a Jet file, read live and read-only through SQLite's virtual tables),
// PgBackend (pg/: a PostgreSQL server). Adding an engine is one implementation of this interface
// declaring its capabilities, its generator (db/sql/Generator.h), and its line in Engines.cpp,
// the one place that names the engines.
#pragma once

#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "db/Capability.h"
#include "db/Connection.h"
#include "db/Cursor.h"
#include "db/Recordset.h"
#include "db/Value.h"
#include "db/sql/Translate.h"

namespace tarvel::db {

struct StoredQueryReport;

/// A statement prepared once and run many times, its parameters bound by position from 1.
class PreparedStatement {
 public:
  virtual ~PreparedStatement() = default;
  virtual void Bind(int index, const Value& value) = 0;
  /// Runs it without rows; the bindings stay. Throws DbError.
  virtual void Execute() = 0;
  /// Runs it as a query; the bindings stay. Throws DbError.
  virtual Recordset Query() = 0;
};

/// Writes an updatable result's new and changed rows to its table, finding a changed row again
/// by what identifies it (rowid, primary key, or every value read) and only while the fields it
/// changes still hold what was read (optimistic locking).
class RowWriter {
 public:
  using Changes = std::vector<std::pair<int, Value>>;  // field index, new value
  virtual ~RowWriter() = default;
  /// Inserts a row of `changes` (the other fields take their defaults); returns the row as stored,
  /// one value per field.
  virtual std::vector<Value> Insert(const Changes& changes, int fields) = 0;
  /// Writes `changes` to row `row` of `snapshot`; returns the row as stored. Throws DbError when
  /// the row is gone or changed meanwhile.
  virtual std::vector<Value> Update(const Recordset& snapshot, qint64 row,
                                    const Changes& changes) = 0;
};

/// An updatable result as a backend opens it.
struct UpdatableRows {
  QString table;
  Recordset snapshot;
  std::unique_ptr<RowWriter> writer;
};

class Backend {
 public:
  using Values = std::vector<Value>;
  virtual ~Backend() = default;

  /// The generator the Connection translates with.
  virtual sql::Engine Engine() const = 0;
  /// What the translation knows of the database.
  virtual sql::Catalog& Catalog() = 0;
  /// The file's path, or the server's URI without its password.
  virtual const QString& Name() const = 0;
  /// What this engine, opened as it is, can do.
  virtual Capabilities Can() const = 0;
  /// A Jet file's stored queries and how they are offered (none elsewhere).
  virtual const std::vector<StoredQueryReport>& StoredQueries() const;

  /// One statement in the engine's own words (CREATE, DROP, PRAGMA …), as it stands.
  virtual void RunNative(const QString& statement) = 0;
  /// Several such statements separated by ";".
  virtual void RunScript(const QString& script) = 0;
  /// The tables, indexes and views of a schema written in SQLite's words, made in the engine's
  /// own (as it stands by default); in the caller's transaction where one is open.
  virtual void CreateSchema(const QString& sqliteSchema) { RunScript(sqliteSchema); }
  /// A query in the engine's own words (the program's questions about the engine's catalog,
  /// never a text a user typed): its rows.
  virtual Recordset ReadNative(const QString& query) = 0;

  // A translated statement with the values of its placeholders (NULL for the text's own "?"
  // markers); `accessSql` is the program's text, for messages.
  virtual void Execute(const sql::Translation& t, const Values& values,
                       const QString& accessSql) = 0;
  virtual Recordset Read(const sql::Translation& t, const Values& values,
                         const QString& accessSql) = 0;
  virtual Cursor OpenCursor(const sql::Translation& t, const Values& values,
                            const QString& accessSql) = 0;
  virtual bool HasRows(const sql::Translation& t, const Values& values,
                       const QString& accessSql) = 0;
  virtual std::unique_ptr<PreparedStatement> Prepare(const sql::Translation& t,
                                                     const QString& accessSql) = 0;
  virtual UpdatableRows OpenForUpdate(const sql::Translation& t, const QString& accessSql) = 0;

  virtual void Begin() = 0;
  virtual void Commit() = 0;
  /// Ends an open transaction without its changes; never throws (destructors call it).
  virtual void RollbackQuietly() noexcept = 0;
  /// Begins one state of the database for a series of reads; asked only of an engine that can
  /// (Capability::ReadSnapshot). Throws DbError.
  virtual void BeginReadSnapshot() = 0;
  /// Ends it; never throws.
  virtual void EndReadSnapshot() noexcept = 0;
  /// Called from another thread: asks the statement running now to stop soon, so it fails with a
  /// DbError. No effect when none runs. Never throws.
  virtual void Interrupt() noexcept {}
};

/// The engine for `place` (a local path, or a PostgreSQL URI) opened; see Connection::OpenFile.
std::unique_ptr<Backend> OpenBackend(const QString& place, bool create, Connection::Access access);

}  // namespace tarvel::db
