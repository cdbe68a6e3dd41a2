#include "db/sql/Translate.h"

#include <memory>

#include "db/sql/Binder.h"
#include "db/sql/Generator.h"
#include "db/sql/SqlError.h"

namespace tarvel::db::sql {
namespace {

std::unique_ptr<Generator> GeneratorFor(Engine engine) {
  if (engine == Engine::Postgres) return std::make_unique<PgGenerator>();
  return std::make_unique<SqliteGenerator>();
}

}  // namespace

Translation Translate(const QString& accessSql, Engine engine, Catalog* catalog,
                      const TranslateOptions& options) {
  try {
    Statement statement = Parse(accessSql, {options.wildcards});
    if (options.queryOnly && statement.kind != Statement::Kind::Query)
      throw SqlError(QStringLiteral("只能執行查詢（SELECT、UNION 或 TRANSFORM），不能改變資料。"));
    const PivotReader pivots = [&](const Query& crosstab) -> std::vector<Datum> {
      if (!catalog) throw SqlError(QStringLiteral("沒有資料庫可以讀取交叉資料表查詢的欄位值。"));
      return catalog->PivotValues(crosstab);
    };
    Bind(statement, catalog, pivots, options.parameterTypes);
    const std::unique_ptr<Generator> generator = GeneratorFor(engine);
    if (catalog) generator->SetOrder(catalog->Order());
    Generated generated = generator->Generate(statement);
    Translation t;
    t.sql = std::move(generated.sql);
    t.kind = statement.kind;
    t.placeholders = std::move(generated.placeholders);
    t.declared = statement.parameters;
    if (statement.query) t.columns = statement.query->columns;
    t.spellings = std::move(generated.spellings);
    return t;
  } catch (const QueryTooComplex& e) {
    if (!e.Statement().isEmpty()) throw;
    throw QueryTooComplex(e.Description(), accessSql);
  } catch (const SqlError& e) {
    if (!e.Statement().isEmpty()) throw;
    throw SqlError(e.Description(), accessSql);
  }
}

}  // namespace tarvel::db::sql
