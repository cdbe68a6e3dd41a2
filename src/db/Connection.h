// A connection to the suite's database, opened from the OLE DB connection string the program
// composes. The program's texts are Access SQL; each is parsed once and written in the dialect of
// the engine underneath (db/sql/Translate.h). Three backends sit under this one class:
// - a SQLite file (the embedded default);
// - a Jet file, read through an in-memory SQLite database whose tables read the file live
//   (JetModule.h), with its stored queries as views; such a connection only reads;
// - a PostgreSQL server, when the data source is a postgresql:// or postgres:// URI (ServerUri.h),
//   reached through libpq (PgSession.h).
// The program's own texts use ADO's wildcards in Like (% and _); a query a user types or a Jet
// file stores uses Access's (*, ?, #, [a-z]): QueryOptions says which.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

#include "db/Capability.h"
#include "db/Cursor.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/Value.h"

namespace tarvel::db {

namespace sql {
class Catalog;
}
class Backend;
class PreparedStatement;
class RowWriter;
struct UpdatableRows;

/// The keys of an OLE DB connection string that matter to us.
struct ConnectionString {
  QString provider;    ///< "Provider=…"
  QString dataSource;  ///< "Data Source=…", as written (Windows form allowed)
  QString password;    ///< "Jet OLEDB:Database Password=…": accepted, unused by the engine

  /// Parses "key=value;key=value…" the OLE DB way: keys case-insensitive, blanks around keys
  /// and values ignored, unknown keys ignored. A value starting with a double or a single quote
  /// runs to the matching quote, the quote doubled inside standing for itself, so it may hold
  /// ";", quotes and blanks at either end: Data Source="\\SRV\A;B\KORV.mdb". A value without
  /// quotes runs to the next ";" and keeps any quote inside it as it is.
  static ConnectionString Parse(const QString& text);
};

class UpdatableRecordset;
class Command;

/// A stored query of a Jet file and how the connection offers it.
struct StoredQueryReport {
  enum class Offer {
    No,       ///< not offered: `reason` says why
    View,     ///< a view of its name
    InPlace,  ///< read where it is named, its text put in place: a parameter query (run with
              ///< values given) or a crosstab whose columns are its pivot's values of the moment
  };
  QString name;
  QString kind;       ///< "Select", "Union", "Crosstab", …
  QString accessSql;  ///< the text Access shows (or, when it could not be rebuilt, why)
  Offer offer = Offer::No;
  QString reason;  ///< why it is not offered
  bool Offered() const { return offer != Offer::No; }
};

/// Values of a query's parameters by name ("Beginning Date", "Forms!Orders!OrderID": the parts
/// without brackets, compared without regard to case; ParameterKey gives the key).
using ParameterValues = QHash<QString, Value>;

/// The key of ParameterValues for a parameter's name as a user types it ("[Forms]![F]![C]",
/// "Forms!F!C", "Beginning Date").
QString ParameterKey(const QString& typed);

struct QueryOptions {
  /// Like reads Access's wildcards (*, ?, #, [a-z]) instead of ADO's (%, _).
  bool accessWildcards = false;
  /// The values of named parameters.
  ParameterValues parameters;
  /// Refuse anything but a query (a text a user types to look at data).
  bool queryOnly = false;
  /// Only the rows' number or existence is asked: no ORDER BY (sql::TranslateOptions).
  bool unordered = false;
};

class Connection {
 public:
  /// How long every connection waits for another workstation's lock, when it opens and in each
  /// statement, before it gives up with detail::LockedDescription. Jet retries its page locks
  /// for a similar while.
  static constexpr int kBusyTimeoutMs = 5000;
  /// The wait connections opened now receive: kBusyTimeoutMs unless a ScopedBusyTimeout lives.
  static int BusyTimeoutMs();

  /// How many times a statement on a Jet file runs when it keeps meeting a page in flux (another
  /// workstation writing it) before it fails.
  static constexpr int kJetReadAttempts = 4;

  /// What a connection may do. One for reading is read-only by construction: a SQLite file opened
  /// read-only, with an authorizer that lets through reads and the program's own functions only,
  /// a server session whose every transaction is READ ONLY.
  enum class Access { Read, Write };

  /// Opens the database that `connectionString` names. A Data Source that is a PostgreSQL URI
  /// (IsServerUri) connects to that server with the URI's own user and password (or libpq's
  /// PGPASSWORD and ~/.pgpass); the connection string's password keys are the Jet file's and are
  /// not sent. Any other Data Source is a file, resolved like ResolveExistingPath
  /// (platform/Paths.h). Throws DbError, in words for the user, when the connection string names
  /// no data source, the file does not exist (it is never created), is not a database (or a Jet
  /// file too damaged or short to read), stays locked by another program for longer than the
  /// busy timeout, or the server cannot be reached; no message shows the URI's password. A Jet
  /// 3/4 file opens read-only; its password is not needed to read it. Only the running-window
  /// registry asks for Access::Write.
  static std::unique_ptr<Connection> Open(const QString& connectionString,
                                          Access access = Access::Read);
  /// Opens a database file by its local path (for tools and tests), or the server of a
  /// PostgreSQL URI. `create` allows a new file; an existing file must be a SQLite database or a
  /// Jet file (read-only whatever `access` says).
  static std::unique_ptr<Connection> OpenFile(const QString& path, bool create = false,
                                              Access access = Access::Write);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  /// Runs a Jet SQL command that returns no rows (several commands separated by ";" allowed).
  /// Throws DbError.
  void Execute(const QString& jetSql);
  /// Runs a script of the engine's native statements (a schema file: SQLite's, or PostgreSQL's on
  /// a server), untranslated. For tools and the demo generator; the program's own texts go
  /// through Execute. Throws DbError.
  void ExecuteScript(const QString& nativeScript);
  /// A query in the engine's own words, for the program's questions about the engine's catalog
  /// (never a text a user typed: that is Access SQL, and goes through OpenRecordset). Throws
  /// DbError.
  Recordset ReadNative(const QString& query);
  /// Opens a client-side static read-only snapshot on a Jet SQL query. Throws DbError.
  Recordset OpenRecordset(const QString& jetSql);
  /// The same with Access's wildcards or parameter values. A parameter without a value is refused
  /// with a DbError naming it.
  Recordset OpenRecordset(const QString& accessSql, const QueryOptions& options);
  /// Opens a forward-only cursor on a Jet SQL query: rows are read as the cursor moves, one at a
  /// time, however many the query has. On a Jet file the rows are read whole first (its pages can
  /// be caught mid-write and the read retried; a half-delivered stream could not be), so only
  /// SQLite databases and servers stream. On a server the rows come through a server-side cursor
  /// a thousand at a time, in the caller's transaction or in one of the cursor's own that ends
  /// with it; fields are found by their plain names only ("NAME", not "T.NAME"). The connection
  /// must outlive the cursor. Throws DbError.
  Cursor OpenCursor(const QString& jetSql);
  Cursor OpenCursor(const QString& accessSql, const QueryOptions& options);
  /// The number of rows a Jet SQL query yields, counted by the engine without handing them over
  /// ("select count(*) from (query)") and without sorting them. Throws DbError.
  qint64 CountRows(const QString& jetSql);
  /// Whether a Jet SQL query yields at least one row. Reads no further than the first row, in no
  /// particular order (an ORDER BY would sort every row first), so a check before a report costs
  /// nothing however many rows the report will have. Throws DbError.
  bool HasRows(const QString& jetSql);
  /// Called from another thread while this one runs a statement: asks it to stop soon, so it
  /// fails with a DbError (Backend::Interrupt). Never throws.
  void Interrupt() noexcept;
  /// Opens an updatable single-table result (dynamic cursor, optimistic locking). Throws DbError.
  UpdatableRecordset OpenForUpdate(const QString& jetSql);
  /// Prepares a Jet SQL text with ? parameters, for statements run many times. Throws DbError.
  Command Prepare(const QString& jetSql);

  void BeginTransaction();
  void Commit();
  void Rollback();

  /// Local path of the open database file; for a server, its URI without the password.
  const QString& FilePath() const;
  /// What the translation knows of this database's tables, views and stored queries.
  sql::Catalog& Catalog();
  /// Whether the engine, opened as it is, can do `capability`. Without Capability::Write every
  /// write (Execute of a changing command, OpenForUpdate, scripts, transactions) throws DbError
  /// saying why.
  bool Can(Capability capability) const;
  /// The stored queries of a Jet file (empty elsewhere), in catalog order.
  const std::vector<StoredQueryReport>& StoredQueries() const;
  /// Makes the tables, indexes and views of a schema written in SQLite's words in the engine's
  /// own (a server's replace its tables of the same names); in the open transaction, if any, so
  /// they appear with it. Throws DbError.
  void CreateSchema(const QString& sqliteSchema);

 private:
  friend class Transaction;
  friend class ReadSnapshot;
  friend Backend& BackendOf(Connection& connection);
  explicit Connection(std::unique_ptr<Backend> backend);

 public:
  /// The engine's own text of an Access SQL query, as it would run (for tools that show it).
  /// Throws DbError.
  QString EngineSql(const QString& accessSql, const QueryOptions& options);

 private:
  struct Prepared;
  Prepared PrepareQuery(const QString& accessSql, const QueryOptions& options);
  std::unique_ptr<Backend> backend_;
};

/// The engine under a connection: for the tools of the database layer (and its benchmarks and
/// fuzzers) that need what only one engine has.
Backend& BackendOf(Connection& connection);

/// For tests: connections opened while it lives wait `milliseconds` for another connection's
/// lock instead of Connection::kBusyTimeoutMs, so a test of a held lock need not wait seconds.
class ScopedBusyTimeout {
 public:
  explicit ScopedBusyTimeout(int milliseconds);
  ~ScopedBusyTimeout();
  ScopedBusyTimeout(const ScopedBusyTimeout&) = delete;
  ScopedBusyTimeout& operator=(const ScopedBusyTimeout&) = delete;

 private:
  int previous_;
};

/// Rolls back on destruction unless Commit() was called: an insert batch that fails half-way
/// leaves nothing behind.
class Transaction {
 public:
  explicit Transaction(Connection& connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Connection& connection_;
  bool open_ = true;
};

/// One state of the database for a series of reads on one connection: an existence check and the
/// query after it see the same rows, whatever other workstations write meanwhile. On a server a
/// read-only transaction at REPEATABLE READ (the first statement takes the snapshot, and writing
/// fails while it lives); on SQLite a deferred transaction whose read lock is taken at once
/// (writers elsewhere wait for it, as for any long read); a Jet file is read live and offers no
/// snapshot: there it does nothing. It ends when it goes out of scope. Throws DbError when the
/// transaction cannot begin (one is open already).
class ReadSnapshot {
 public:
  explicit ReadSnapshot(Connection& connection);
  ~ReadSnapshot();
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  Connection& connection_;
  bool open_ = false;
};

/// A prepared statement bound to its connection (which must outlive it).
class Command {
 public:
  Command(Command&&) noexcept;
  Command& operator=(Command&&) noexcept;
  ~Command();
  /// Binds parameter `index` (1-based). Bindings stay until they are bound again.
  Command& Bind(int index, const Value& value);
  /// Runs the statement without rows and resets it for the next bindings. Throws DbError.
  void Execute();
  /// Runs the statement as a query and resets it for the next bindings. Throws DbError.
  Recordset Query();
  /// The Access SQL text the statement was prepared from.
  const QString& Sql() const { return sql_; }

 private:
  friend class Connection;
  Command(std::unique_ptr<PreparedStatement> statement, QString sql);
  std::unique_ptr<PreparedStatement> statement_;
  QString sql_;
};

/// Result of OpenForUpdate: the rows of one table that can be changed in place (the running-window
/// registry's "select top 1 … / add a row / set fields / update" sequence).
///
/// Optimistic locking: Update finds an existing row again by its rowid, and only if the changed
/// fields still hold the values read when the set was opened; when another user changed or
/// deleted the row meanwhile it throws DbError. A table without rowid is searched by all the
/// originally read values instead.
///
/// On PostgreSQL, which has no rowid, the table's primary key plays its part when the result
/// holds every key column; otherwise the row is searched by all the originally read values (one
/// such row, when several are alike). The row's ctid is never its identity: it changes with every
/// update, so another user's change to some other field would look like a conflict.
class UpdatableRecordset {
 public:
  UpdatableRecordset(UpdatableRecordset&&) noexcept;
  UpdatableRecordset& operator=(UpdatableRecordset&&) noexcept;
  ~UpdatableRecordset();
  qint64 RecordCount() const { return snapshot_.RecordCount(); }
  bool EOF_() const { return snapshot_.EOF_(); }
  bool BOF() const { return snapshot_.BOF(); }
  void MoveFirst() { snapshot_.MoveFirst(); }
  void MoveNext() { snapshot_.MoveNext(); }
  const Value& Field(const QString& name) const { return snapshot_.Field(name); }
  /// The table that Update writes to.
  const QString& Table() const { return table_; }
  /// Starts a new row; the following SetField calls fill it and Update inserts it.
  void AddNew();
  /// Sets a field of the current (or new) row; written by Update. Throws DbError for a field the
  /// result does not have, or when there is no current row and no new one.
  void SetField(const QString& name, const Value& value);
  /// Writes the changes; the new or changed row becomes the current row with its stored values.
  void Update();

 private:
  friend class Connection;
  UpdatableRecordset(UpdatableRows rows, QString statement);

  QString table_;
  QString statement_;
  Recordset snapshot_;
  std::unique_ptr<RowWriter> writer_;
  bool adding_ = false;
  std::vector<std::pair<int, Value>> pending_;  // field index, new value
};

}  // namespace tarvel::db
