// Inside the database layer: the scanner and rewriter of Jet SQL texts that the SQLite dialect
// (JetDialect.h) and the PostgreSQL dialect (PgDialect.h) share; each header lists what it
// translates.
#pragma once

#include <QHash>
#include <QString>

namespace tarvel::db::detail {

enum class Engine { Sqlite, Postgres };

struct Rewritten {
  QString sql;
  /// The number of "?" parameters (PostgreSQL: numbered $1, $2 … in the text).
  int parameters = 0;
  /// Every name the text spells, keyed by its lower-case form (PostgreSQL only): result columns
  /// come back folded ("rate") and get the spelling of the text back ("RATE").
  QHash<QString, QString> spellings;
};

/// The text `jetSql` for `engine`. Throws DbError for constructs that cannot be served.
Rewritten Rewrite(const QString& jetSql, Engine engine);

/// `name` as PostgreSQL stores a name written without quotes: ASCII letters in lower case,
/// everything else (Chinese characters included) as it is.
QString FoldName(QStringView name);

}  // namespace tarvel::db::detail
