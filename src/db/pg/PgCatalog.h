// Inside the database layer: what a PostgreSQL database holds, as the Access SQL translation asks
// for it (sql::Catalog): tables and views with their columns' types (under the names Access
// spells), read once and kept until the connection changes its schema.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "db/sql/Catalog.h"

namespace tarvel::db {

namespace pg {
class Session;
}

/// The tables and views of a PostgreSQL database on the session's search path.
class PgCatalog final : public sql::Catalog {
 public:
  explicit PgCatalog(pg::Session& session) : session_(session) {}
  const sql::Relation* Find(const QString& name) override;
  std::vector<sql::Datum> PivotValues(const sql::Query& crosstab) override;
  void Clear() { read_.clear(); }

 private:
  pg::Session& session_;
  QHash<QString, std::optional<sql::Relation>> read_;
};

}  // namespace tarvel::db
