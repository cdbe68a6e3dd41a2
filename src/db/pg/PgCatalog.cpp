#include "db/pg/PgCatalog.h"

#include "db/pg/PgSession.h"
#include "db/sql/Generator.h"

namespace tarvel::db {

const sql::Relation* PgCatalog::Find(const QString& name) {
  const QString key = name.toLower();
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
