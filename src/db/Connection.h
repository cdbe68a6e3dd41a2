// A connection to the suite's database, opened from the OLE DB connection string the program
// composes, with the Jet SQL dialect translated for the engine underneath.
//
// One operation = one connection: open it, use it, let the unique_ptr close it on every path.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tarvel::db {

/// The keys of an OLE DB connection string that matter to us.
struct ConnectionString {
  QString provider;    ///< "Provider=…"
  QString dataSource;  ///< "Data Source=…", as written (Windows form allowed)
  QString password;    ///< "Jet OLEDB:Database Password=…": accepted, unused by the engine

  /// Parses "key=value;key=value…" (keys case-insensitive, blanks around keys ignored).
  static ConnectionString Parse(const QString& text);
};

class UpdatableRecordset;
class Command;

class Connection {
public:
  /// Opens the database that `connectionString` names. Throws DbError when the data source does
  /// not exist (it is never created), is a Jet file (not readable yet), or is not a database.
  static std::unique_ptr<Connection> Open(const QString& connectionString);
  /// Opens a database file by its local path (for tools and tests). `create` allows a new file.
  static std::unique_ptr<Connection> OpenFile(const QString& path, bool create = false);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  /// Runs a Jet SQL command that returns no rows. Throws DbError.
  void Execute(const QString& jetSql);
  /// Opens a client-side static read-only snapshot on a Jet SQL query. Throws DbError.
  Recordset OpenRecordset(const QString& jetSql);
  /// Opens an updatable single-table result (dynamic cursor, optimistic locking). Throws DbError.
  UpdatableRecordset OpenForUpdate(const QString& jetSql);
  /// Prepares a Jet SQL text with ? parameters, for statements run many times. Throws DbError.
  Command Prepare(const QString& jetSql);

  void BeginTransaction();
  void Commit();
  void Rollback();

  /// Local path of the open database file.
  const QString& FilePath() const { return path_; }
  sqlite3* Handle() const { return db_; }

private:
  Connection(sqlite3* db, QString path);
  sqlite3* db_ = nullptr;
  QString path_;
};

/// A prepared statement bound to its connection (which must outlive it).
class Command {
public:
  Command(Command&&) noexcept;
  Command& operator=(Command&&) noexcept;
  ~Command();
  /// Binds parameter `index` (1-based).
  Command& Bind(int index, const Value& value);
  /// Runs the statement without rows and resets it for the next bindings.
  void Execute();
  /// Runs the statement as a query and resets it for the next bindings.
  Recordset Query();

private:
  friend class Connection;
  Command(sqlite3_stmt* stmt, QString sql);
  sqlite3_stmt* stmt_ = nullptr;
  QString sql_;
};

/// Result of OpenForUpdate: the rows of one table that can be changed in place (the running-window
/// registry's "select top 1 … / add a row / set fields / update" sequence).
class UpdatableRecordset {
public:
  qint64 RecordCount() const { return snapshot_.RecordCount(); }
  bool EOF_() const { return snapshot_.EOF_(); }
  const Value& Field(const QString& name) const;
  /// Starts a new row; the following SetField calls fill it and Update inserts it.
  void AddNew();
  /// Sets a field of the current (or new) row; written by Update.
  void SetField(const QString& name, const Value& value);
  /// Writes the changes. An existing row is found again by its original values (optimistic
  /// locking): if another user changed or deleted it meanwhile, throws DbError.
  void Update();

private:
  friend class Connection;
  UpdatableRecordset(Connection& connection, QString table, Recordset snapshot);
  Connection* connection_;
  QString table_;
  Recordset snapshot_;
  bool adding_ = false;
  std::vector<std::pair<QString, Value>> pending_;
};

}  // namespace tarvel::db
