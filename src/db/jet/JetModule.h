// A Jet file as SQLite sees it: each table a virtual table whose every scan reads the table
// through libmdb at that moment, each stored select query a view over them.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/jet/JetQueries.h"
#include "db/sql/JetOrder.h"
#include "platform/StderrCapture.h"

struct sqlite3;

namespace tarvel::db {
class SqliteCatalog;
}

namespace tarvel::db::jet {

class File;

/// What a connection's virtual tables share.
struct Source {
  std::shared_ptr<File> file;
  /// Set by a scan that met a page in flux; the statement that failed may be run again.
  bool torn = false;
  /// Counts the statements run: a table read whole for the lookups of one statement (the inner
  /// side of a join) serves that statement only, so no statement sees rows older than itself.
  quint64 statement = 0;
};

/// A stored query and what became of it.
struct QueryOutcome {
  StoredQuery query;
  StoredQueryReport::Offer offer = StoredQueryReport::Offer::No;
  QString reason;  ///< why not offered, when not
};

/// The collation of the file's recorded sort order: JETGENERAL for General, JETSTROKE for
/// Traditional Chinese stroke order. Throws DbError, naming the order's code and the file, for an
/// order the program does not know.
const char* CollationOf(const File& file);
/// The order of the file's texts for the translation (General for one the program does not know,
/// which CollationOf refuses).
sql::SortOrder OrderOf(const File& file);

/// Makes every user table of `source->file` a virtual table of `db` (same name; text columns
/// declared with the collation of the file's sort order, CollationOf; Date/Time declared
/// DATETIME, Yes/No YESNO, Currency CURRENCY, so the translation knows them), then offers the
/// stored queries (OfferViews). Throws DbError when the file's sort order is not known or a
/// table's definition cannot be read.
std::vector<QueryOutcome> Attach(sqlite3* db, const std::shared_ptr<Source>& source,
                                 SqliteCatalog& catalog);

/// Offers the stored select, union and crosstab queries of `outcomes`, each after the queries it
/// reads (whatever their order in the list): as a view of `db` of the same name, translated from
/// Access SQL; or, for a query with parameters (declared, or names that are no column) and a
/// crosstab without PIVOT … IN (…), put in place where a statement reads it (`catalog` learns
/// both). Action queries are listed and never run. Fills in the reason for each query that is not
/// offered. `tables` are the names queries may not take.
void OfferViews(sqlite3* db, SqliteCatalog& catalog, std::vector<QueryOutcome>& outcomes,
                const QStringList& tables);

/// Runs `read` (a statement from its start to its end) and, while it fails on a page in flux,
/// again, `attempts` times in all, waiting 20, 40, 60… ms in between: a writer on another
/// workstation finishes its page in far less. Then fails with the last description and the
/// number of tries. Without a source (SQLite) it runs `read` once.
template <typename F>
auto RetryTorn(Source* source, const QString& statement, int attempts, F&& read) {
  // libmdb reports what it finds damaged on standard error, again at every read.
  std::optional<StderrCapture> libmdbWarnings;
  if (source) libmdbWarnings.emplace("libmdb");
  for (int attempt = 1;; ++attempt) {
    if (source) {
      source->torn = false;
      ++source->statement;
    }
    try {
      return read();
    } catch (const DbError& error) {
      if (!source || !source->torn) throw;
      if (attempt >= attempts) {
        throw DbError(error.Description() + QStringLiteral("（讀了 %1 次仍不一致）").arg(attempts),
                      statement);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
  }
}

}  // namespace tarvel::db::jet
