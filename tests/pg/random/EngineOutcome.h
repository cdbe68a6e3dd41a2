// One statement on both engines, judged: each engine's rows as the program prints them (tarvel-cli
// query's JSON lines, where NULL, an empty text, a number and a numeric text all differ) or its
// error, and whether the two agree. Rows are compared in order only as far as ORDER BY fixes it;
// the rest as multisets.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "db/Connection.h"

namespace tarvel::test {

/// What one engine made of a statement.
struct Outcome {
  bool failed = false;
  QString error;  ///< the engine's or the translation's message, when it failed
  QString header;
  /// One per row: its fields as printed (JSON values: null, 12.5, "text").
  std::vector<QStringList> rows;
  /// The message names a construct this engine does not serve ("PostgreSQL 資料庫上不支援 …").
  bool Refused() const;
};

/// Runs `sql` on `connection` as `tarvel-cli query` does: Access's wildcards, queries only,
/// parameter values given as texts by name. Never throws.
Outcome RunStatement(db::Connection& connection, const QString& sql,
                     const QList<QPair<QString, QString>>& parameters = {});

/// How the two engines' outcomes compare.
struct Verdict {
  enum class Kind {
    Same,        ///< the same rows
    BothFailed,  ///< both refused the statement (whatever their words)
    Refused,     ///< one engine refused it naming the construct; the other ran it
    Different,   ///< different rows, or one engine failed without naming a construct
  };
  Kind kind = Kind::Same;
  /// For Different: what differs ("rows", "order", "column names", "SQLite fails", "the server
  /// fails"), so a statement cut down is known to show the same kind of fault.
  QString what;
};

/// `orderColumns`: the output columns ORDER BY sorts on (empty: no order is promised). Rows that
/// tie on them (texts compared without regard to case) may come in either order.
Verdict Judge(const Outcome& sqlite, const Outcome& server, const std::vector<int>& orderColumns);

/// Both outcomes side by side for a report: the error or the rows (the first `maxRows` of them).
QString DescribeOutcomes(const Outcome& sqlite, const Outcome& server, int maxRows = 8);

/// While it lives, a crash of the process (a signal from an engine's fault, or an abort) writes
/// `statement` to standard error before the process ends as it would have.
class StatementOnCrash {
 public:
  explicit StatementOnCrash(const QString& statement);
  ~StatementOnCrash();
  StatementOnCrash(const StatementOnCrash&) = delete;
  StatementOnCrash& operator=(const StatementOnCrash&) = delete;
};

}  // namespace tarvel::test
