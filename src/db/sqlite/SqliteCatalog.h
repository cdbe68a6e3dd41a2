// Inside the database layer: what a SQLite connection holds, as the Access SQL translation asks for
// it (sql::Catalog): tables and views with their columns' types, read from the engine once and
// kept until the connection changes its schema; and, for a Jet file, its stored queries.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "db/sql/Catalog.h"

struct sqlite3;

namespace tarvel::db {

/// The tables and views of a SQLite connection (a file, or a Jet file's in-memory database), with
/// relations of its own laid over them: a Jet file's stored queries that became views (their
/// columns' types as the translation found them) or are put in place where they are read.
class SqliteCatalog final : public sql::Catalog {
 public:
  explicit SqliteCatalog(sqlite3* db) : db_(db) {}
  const sql::Relation* Find(const QString& name) override;
  std::vector<sql::Datum> PivotValues(const sql::Query& crosstab) override;
  /// Lays `relation` over what the engine says of that name.
  void Add(sql::Relation relation);
  /// Forgets what was read from the engine (after a change of its schema).
  void Clear();
  sql::SortOrder Order() const override { return order_; }
  /// The order the database's texts sort in (a Jet file's recorded one).
  void SetOrder(sql::SortOrder order) { order_ = order; }

 private:
  std::optional<sql::Relation> Read(const QString& name) const;
  sqlite3* db_;
  sql::SortOrder order_ = sql::SortOrder::General;
  QHash<QString, sql::Relation> added_;
  QHash<QString, std::optional<sql::Relation>> read_;
};

}  // namespace tarvel::db
