// Inside the database layer: one libpq connection to a PostgreSQL server as Connection uses it:
// native statements in, snapshots out, failures as DbError in the program's words, and no
// password of the URI in any message.
#pragma once

#include <libpq-fe.h>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "db/Recordset.h"
#include "db/Value.h"

namespace tarvel::db::pg {

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

/// A statement sent without waiting for its result (Session::Send): before the session runs
/// anything else, it has its owner collect that result.
class PendingResult {
 public:
  virtual ~PendingResult() = default;
  /// Takes the result (Session::Receive) and keeps it, or the failure, for later. Never throws.
  virtual void Collect() noexcept = 0;
};

class Session {
 public:
  /// Connects to the server `uri` names (IsServerUri). Every session asks for UTF-8, standard
  /// strings (a backslash in a literal is a backslash), ISO dates and a lock wait of
  /// Connection::BusyTimeoutMs(). Throws DbError naming the server without its password.
  /// `readOnly`: the session's every transaction is READ ONLY (the server refuses any write).
  explicit Session(const QString& uri, bool readOnly = false);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  /// The URI without its password, for messages.
  const QString& Name() const { return name_; }

  /// Runs one native statement with `parameters` as $1, $2 … Throws DbError with `jetSql`.
  ResultPtr Run(const QString& sql, const std::vector<Value>& parameters, const QString& jetSql);
  /// Runs native statements separated by ";" (untranslated). Throws DbError.
  void RunScript(const QString& script);
  /// Runs `sql`, ignoring any failure: for destructors.
  void RunQuietly(const char* sql) noexcept;

  /// Prepares `sql` on the server under a new name, which it returns. Throws DbError.
  QByteArray Prepare(const QString& sql, const QString& jetSql);
  /// A name for a server object of this session ("tarvel_cursor_3").
  QByteArray NewName(const char* prefix) { return prefix + QByteArray::number(++names_); }
  /// Whether a transaction is open (also one that failed and waits for its rollback).
  bool InTransaction() const { return PQtransactionStatus(conn_) != PQTRANS_IDLE; }
  /// Closes the cursor `name` and, when `ownTransaction`, ends the transaction it was opened in:
  /// commits it, or rolls it back when a statement in it failed. Never throws.
  void EndCursor(const QByteArray& name, bool ownTransaction) noexcept;
  ResultPtr RunPrepared(const QByteArray& name, const std::vector<Value>& parameters,
                        const QString& jetSql);
  void Deallocate(const QByteArray& name) noexcept;

  /// Sends `sql` (no parameters) and returns at once, so the server works on it and its rows
  /// travel while the caller decodes the ones it has; `owner` collects the result before the
  /// session runs anything else. Throws DbError when it cannot be sent.
  void Send(const QString& sql, PendingResult* owner, const QString& jetSql);
  /// Waits for the result of the statement sent. Throws DbError as Run does.
  ResultPtr Receive(const QString& jetSql);
  /// Whether `owner`'s statement is still out.
  bool Pending(const PendingResult* owner) const { return pending_ == owner; }
  /// Takes in what has arrived of the statement sent, without waiting: the socket's buffer is
  /// emptied, so the server goes on sending while the client is busy.
  void TakeIn() noexcept;
  /// Asks the server to stop the statement running now; may be called from another thread while
  /// this one waits for the statement. Never throws.
  void Cancel() noexcept;

  /// The rows of `result` from column `firstColumn` on. A column name found in `spellings`
  /// (keyed by its lower-case form) takes that spelling.
  static Recordset Snapshot(const PGresult* result, const QHash<QString, QString>& spellings,
                            int firstColumn = 0);
  /// A cell by its column's type: whole numbers as Integer, float4/float8 as Real, numeric as
  /// Integer when it has no decimals and fits, else Real; boolean as -1/0 (Jet's Yes/No);
  /// bytea as Blob; NULL; anything else (text, varchar, citext, dates…) as its text.
  static Value CellValue(const PGresult* result, int row, int column);

  /// The description of a failed statement: the server's own words, LockedDescription when a
  /// lock was waited for too long, the lost connection in the program's words.
  QString FailureDescription(const PGresult* result) const;

 private:
  [[noreturn]] void Fail(const PGresult* result, const QString& statement) const;
  /// Has the owner of a statement sent collect its result, so the connection is free.
  void Settle() noexcept;
  ResultPtr Check(PGresult* result, const QString& statement) const;
  QString Scrub(QString text) const;

  PGconn* conn_ = nullptr;
  /// Made at connect, so another thread can cancel through it (libpq's rule for PQcancel).
  PGcancel* cancel_ = nullptr;
  QString name_;
  QStringList secrets_;
  int names_ = 0;
  PendingResult* pending_ = nullptr;
};

}  // namespace tarvel::db::pg
