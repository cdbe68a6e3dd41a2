// tarvel-cli query: one Access SQL query on any database the program reads (a SQLite file, a Jet
// file, a server), read-only, its rows written as TSV, CSV or JSON: how a site checks its stored
// queries before switching, as mdb-sql or the sqlite3 shell would be used.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "cli/Command.h"
#include "db/Connection.h"
#include "db/RowText.h"
#include "db/sql/Parser.h"
#include "platform/Error.h"
#include "platform/Termination.h"

namespace tarvel::cli {
namespace {

using namespace Qt::StringLiterals;

void PrintQueryUsage(QTextStream& out) {
  out << "usage: tarvel-cli query --db DB [--format tsv|csv|json] [--param NAME=VALUE ...]\n"
         "                        [--engine-sql] 'SQL'\n"
         "  runs one Access SQL query (SELECT, UNION, TRANSFORM; Access's wildcards * ? # [a-z]\n"
         "  in Like) on DB: a SQLite file, a Jet file or a postgresql:// URI, read-only. A stored\n"
         "  query is read by its name: 'SELECT * FROM [Sales by Year]'. --param gives a\n"
         "  parameter's value by its name ('Beginning Date=1997-01-01',\n"
         "  'Forms!Orders!OrderID=10248'); dates as yyyy-mm-dd or m/d/yyyy.\n"
         "  Output: a header line, then one line per row. NULL is an empty field, numbers in\n"
         "  their shortest decimal form, dates YYYY-MM-DD HH:MM:SS, Yes/No -1 and 0. In tsv a\n"
         "  tab, line break, carriage return or backslash inside a value is written \\t, \\n, "
         "\\r,\n"
         "  \\\\; csv quotes as RFC 4180 does; json writes each line as an array.\n"
         "  --engine-sql prints the query as the database's engine runs it, instead of its rows.\n"
         "  --timeout SECONDS (default 60, 0 for none) cancels a query that runs longer, on the\n"
         "  server too; so does Ctrl+C. Refused: anything but a query (nothing is ever written:\n"
         "  the database is opened for reading only), a function Access does not have (no\n"
         "  engine's own function is reachable), a statement nested deeper than Access takes\n"
         "  (exit status 2).\n";
}

// Asks the connection to stop its statement once `seconds` have passed (never with 0), until
// the query is done.
class Watchdog {
 public:
  Watchdog(db::Connection& connection, int seconds) : connection_(connection) {
    if (seconds <= 0) return;
    thread_ = std::thread([this, seconds] {
      std::unique_lock lock(mutex_);
      if (!done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return finished_; })) {
        expired_ = true;
        connection_.Interrupt();
      }
    });
  }
  ~Watchdog() {
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  bool Expired() const { return expired_; }

 private:
  db::Connection& connection_;
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::atomic<bool> expired_{false};
  std::thread thread_;
};

// At Ctrl+C (or SIGTERM, SIGHUP) the statement is cancelled before the program ends, so a server
// does not go on with it; called inside the signal handler.
void CancelAtSignal(void* connection) noexcept {
  static constexpr char kWords[] = "tarvel-cli query: 已中斷，查詢已取消。\n";
  static_cast<db::Connection*>(connection)->Interrupt();
  [[maybe_unused]] const ssize_t written = ::write(2, kWords, sizeof kWords - 1);
}

}  // namespace

int RunQueryCommand(const QStringList& args, CommandIo io) {
  QString database, sql;
  db::RowFormat format = db::RowFormat::Tsv;
  db::QueryOptions options;
  options.accessWildcards = true;
  options.queryOnly = true;
  bool engineSql = false;
  int timeout = 60;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) {
        io.err << a << " needs a value\n";
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == u"--help"_s || a == u"-h"_s) {
      PrintQueryUsage(io.out);
      return 0;
    }
    if (a == u"--db"_s) {
      const auto v = value();
      if (!v) return 2;
      database = *v;
    } else if (a == u"--format"_s) {
      const auto v = value();
      if (!v) return 2;
      if (*v == u"tsv"_s) {
        format = db::RowFormat::Tsv;
      } else if (*v == u"csv"_s) {
        format = db::RowFormat::Csv;
      } else if (*v == u"json"_s) {
        format = db::RowFormat::Json;
      } else {
        io.err << "--format takes tsv, csv or json\n";
        return 2;
      }
    } else if (a == u"--param"_s) {
      const auto v = value();
      if (!v) return 2;
      const qsizetype equals = v->indexOf(u'=');
      if (equals <= 0) {
        io.err << "--param takes NAME=VALUE\n";
        return 2;
      }
      options.parameters.insert(db::ParameterKey(v->left(equals)), db::Value(v->mid(equals + 1)));
    } else if (a == u"--engine-sql"_s) {
      engineSql = true;
    } else if (a == u"--timeout"_s) {
      const auto v = value();
      if (!v) return 2;
      bool ok = false;
      timeout = v->toInt(&ok);
      if (!ok || timeout < 0) {
        io.err << "--timeout takes a whole number of seconds (0 for none)\n";
        return 2;
      }
    } else if (a.startsWith(u"--"_s)) {
      io.err << "unknown option " << a << "\n";
      PrintQueryUsage(io.err);
      return 2;
    } else if (sql.isEmpty()) {
      sql = a;
    } else {
      io.err << "one query only (quote it as one argument)\n";
      return 2;
    }
  }
  if (database.isEmpty() || sql.trimmed().isEmpty()) {
    PrintQueryUsage(io.err);
    return 2;
  }
  try {
    // A connection for reading cannot write, whatever the statement calls.
    auto connection = db::Connection::OpenFile(database, false, db::Connection::Access::Read);
    if (engineSql) {
      io.out << connection->EngineSql(sql, options) << "\n";
      return 0;
    }
    const TerminationCleanup cancel = TerminationCleanup::Call(&CancelAtSignal, connection.get());
    Watchdog watchdog(*connection, timeout);
    try {
      db::ReadSnapshot snapshot(*connection);
      db::Cursor rows = connection->OpenCursor(sql, options);
      db::WriteRows(rows, format, io.out);
    } catch (const Error&) {
      if (!watchdog.Expired()) throw;
      io.err << "tarvel-cli query: 查詢超過 " << timeout
             << " 秒的時限，已取消（--timeout 可延長）。\n";
      return 1;
    }
    return 0;
  } catch (const db::QueryTooComplex& e) {
    io.err << "tarvel-cli query: " << e.Description() << "\n";
    return 2;
  } catch (const Error& e) {
    io.err << "tarvel-cli query: " << e.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
