#include "db/sqlite/SqliteCatalog.h"

#include <sqlite3.h>

#include "db/sql/Generator.h"
#include "db/sqlite/SqliteSupport.h"

namespace tarvel::db {

const sql::Relation* SqliteCatalog::Find(const QString& name) {
  const QString key = name.toLower();
  if (const auto added = added_.constFind(key); added != added_.cend()) return &added.value();
  auto it = read_.find(key);
  if (it == read_.end()) it = read_.insert(key, Read(name));
  return it->has_value() ? &**it : nullptr;
}

std::optional<sql::Relation> SqliteCatalog::Read(const QString& name) const {
  // The schema's own spelling of the name (names compare without regard to case).
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT name, type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE AND "
                         "type IN ('table', 'view')",
                         -1, &raw, nullptr) != SQLITE_OK)
    return std::nullopt;
  detail::StatementPtr lookup(raw);
  const QByteArray utf8 = name.toUtf8();
  sqlite3_bind_text(raw, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
  if (sqlite3_step(raw) != SQLITE_ROW) return std::nullopt;
  sql::Relation relation;
  relation.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)));
  const bool table =
      qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(raw, 1)), "table") == 0;

  QString quoted = relation.name;
  quoted.replace(u'"', QStringLiteral("\"\""));
  const QByteArray info =
      (QStringLiteral("PRAGMA table_info(\"") + quoted + QStringLiteral("\")")).toUtf8();
  if (sqlite3_prepare_v2(db_, info.constData(), -1, &raw, nullptr) != SQLITE_OK)
    return std::nullopt;
  detail::StatementPtr columns(raw);
  while (sqlite3_step(raw) == SQLITE_ROW) {
    const auto text = [&](int c) {
      const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(raw, c));
      return t ? QString::fromUtf8(t) : QString();
    };
    relation.columns.push_back({text(1), sql::TypeFromSqliteDeclaration(text(2))});
  }
  if (table) {
    // Views and tables WITHOUT ROWID have no rowid; a plain table and a Jet table have one.
    const QByteArray probe =
        (QStringLiteral("SELECT rowid FROM \"") + quoted + QStringLiteral("\" LIMIT 0")).toUtf8();
    if (sqlite3_prepare_v2(db_, probe.constData(), -1, &raw, nullptr) == SQLITE_OK) {
      relation.hasRowIdentity = true;
      sqlite3_finalize(raw);
    }
  }
  return relation;
}

std::vector<sql::Datum> SqliteCatalog::PivotValues(const sql::Query& crosstab) {
  const QString engineSql = sql::SqliteGenerator().PivotValuesSql(crosstab);
  auto stmt = detail::PrepareSingle(db_, engineSql, engineSql);
  std::vector<sql::Datum> values;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
    values.push_back(DatumOf(detail::ColumnValue(stmt.get(), 0)));
  if (rc != SQLITE_DONE) detail::ThrowEngineError(db_, engineSql);
  return values;
}

void SqliteCatalog::Add(sql::Relation relation) {
  const QString key = relation.name.toLower();
  added_.insert(key, std::move(relation));
}

void SqliteCatalog::Clear() {
  read_.clear();
}

}  // namespace tarvel::db
