// Access SQL in, an engine's SQL out: parse once into a tree, bind it against what the database
// holds, and write it with the engine's generator. The one way every statement of the program,
// every stored query of a Jet file and every query a user types reaches an engine.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "db/sql/Catalog.h"
#include "db/sql/Parser.h"
#include "db/sql/SqlType.h"
#include "db/sql/Syntax.h"

namespace tarvel::db::sql {

enum class Engine { Sqlite, Postgres };

struct TranslateOptions {
  Wildcards wildcards = Wildcards::Ansi;
  /// Refuse anything but a query (SELECT, UNION, TRANSFORM): for texts a user types.
  bool queryOnly = false;
  /// Only whether the query has rows, or how many, is asked: its ORDER BY is left out (and that
  /// of the derived tables it reads), except where TOP picks the rows by it. Sorting every row
  /// before the first is handed over costs as much as reading them all.
  bool unordered = false;
  /// The types of the values given for parameters the statement does not declare, by name in
  /// lower case (a number given is a Double, a date a Date, …).
  QHash<QString, SqlType> parameterTypes;
};

struct Translation {
  QString sql;
  Statement::Kind kind = Statement::Kind::Query;
  /// One entry per placeholder slot (from slot 1): empty for a "?" of the text, else the name of
  /// the parameter whose value goes there.
  QStringList placeholders;
  /// PARAMETERS … of the statement and of the stored queries it reads.
  std::vector<DeclaredParameter> declared;
  /// A query's output columns, as Access names them, with their types where known.
  std::vector<ColumnShape> columns;
  /// PostgreSQL: every name the text spells, keyed by its folded form.
  QHash<QString, QString> spellings;
};

/// Translates the Access SQL `accessSql` for `engine`. `catalog` may be null. Throws SqlError, with
/// `accessSql` as its statement, for a text that is no Access SQL statement or asks for what the
/// engine cannot serve.
Translation Translate(const QString& accessSql, Engine engine, Catalog* catalog,
                      const TranslateOptions& options = {});

}  // namespace tarvel::db::sql
