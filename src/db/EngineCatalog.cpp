#include "db/EngineCatalog.h"

#include <sqlite3.h>

#include "db/DbError.h"
#include "db/PgSession.h"
#include "db/SqliteSupport.h"
#include "db/sql/AccessValues.h"
#include "db/sql/Generator.h"

namespace tarvel::db {
namespace {

QString Key(const QString& name) {
  return name.toLower();
}

sql::Datum DatumOf(const Value& v) {
  sql::Datum d;
  switch (v.GetKind()) {
    case Value::Kind::Integer:
      d.kind = sql::Datum::Kind::Number;
      d.number = static_cast<double>(v.AsInteger());
      break;
    case Value::Kind::Real:
      d.kind = sql::Datum::Kind::Number;
      d.number = v.AsReal();
      break;
    case Value::Kind::Text:
    case Value::Kind::Blob:
      d.text = v.ToText();
      d.kind = sql::IsStoredDate(d.text) ? sql::Datum::Kind::Date : sql::Datum::Kind::Text;
      break;
    case Value::Kind::Null:
      break;
  }
  return d;
}

}  // namespace

const sql::Relation* SqliteCatalog::Find(const QString& name) {
  const QString key = Key(name);
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
  const QString key = Key(relation.name);
  added_.insert(key, std::move(relation));
}

void SqliteCatalog::Clear() {
  read_.clear();
}

const sql::Relation* PgCatalog::Find(const QString& name) {
  const QString key = Key(name);
  auto it = read_.find(key);
  if (it == read_.end()) {
    std::optional<sql::Relation> relation;
    // Every name of the program's server databases is stored folded to lower case.
    const pg::ResultPtr kind = session_.Run(
        QStringLiteral("SELECT c.relname, c.relkind FROM pg_class c WHERE c.oid = "
                       "to_regclass(quote_ident($1)) AND c.relkind IN ('r', 'v', 'm', 'p', 'f')"),
        {Value(sql::FoldName(name))}, name);
    if (PQntuples(kind.get()) > 0) {
      sql::Relation r;
      r.name = QString::fromUtf8(PQgetvalue(kind.get(), 0, 0));
      const char relkind = PQgetvalue(kind.get(), 0, 1)[0];
      r.hasRowIdentity = relkind == 'r' || relkind == 'p';
      const pg::ResultPtr columns = session_.Run(
          QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), "
                         "col_description(a.attrelid, a.attnum) FROM pg_attribute a WHERE "
                         "a.attrelid = to_regclass(quote_ident($1)) AND a.attnum > 0 AND NOT "
                         "a.attisdropped ORDER BY a.attnum"),
          {Value(sql::FoldName(name))}, name);
      for (int row = 0; row < PQntuples(columns.get()); ++row) {
        // A column's comment holds its name as Access spells it, where that is not the folded
        // name the server keeps.
        const QString stored = QString::fromUtf8(PQgetvalue(columns.get(), row, 0));
        const QString spelt = QString::fromUtf8(PQgetvalue(columns.get(), row, 2));
        const bool spelling = !spelt.isEmpty() && sql::FoldName(spelt) == stored;
        r.columns.push_back(
            {spelling ? spelt : stored,
             sql::TypeFromPgDeclaration(QString::fromUtf8(PQgetvalue(columns.get(), row, 1)))});
      }
      relation = std::move(r);
    }
    it = read_.insert(key, std::move(relation));
  }
  return it->has_value() ? &**it : nullptr;
}

std::vector<sql::Datum> PgCatalog::PivotValues(const sql::Query& crosstab) {
  const QString engineSql = sql::PgGenerator().PivotValuesSql(crosstab);
  const pg::ResultPtr result = session_.Run(engineSql, {}, engineSql);
  std::vector<sql::Datum> values;
  for (int row = 0; row < PQntuples(result.get()); ++row)
    values.push_back(DatumOf(pg::Session::CellValue(result.get(), row, 0)));
  return values;
}

}  // namespace tarvel::db
