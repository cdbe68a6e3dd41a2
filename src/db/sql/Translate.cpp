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

namespace {

void LeaveOrderOut(Query& query);

void LeaveOrderOut(Source& source) {
  if (source.kind == Source::Kind::Derived && source.query) LeaveOrderOut(*source.query);
  if (source.left) LeaveOrderOut(*source.left);
  if (source.right) LeaveOrderOut(*source.right);
}

// Neither the number of rows nor whether there are any depends on their order: only TOP, which
// takes the first rows in the order of its select (or, without ORDER BY, of what it reads).
void LeaveOrderOut(Query& query) {
  if (query.crosstab) return;
  query.orderBy.clear();
  for (const auto& member : query.members) {
    if (member->top) continue;
    member->orderBy.clear();
    for (const auto& source : member->from)
      LeaveOrderOut(*source);
  }
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
    if (options.unordered && statement.kind == Statement::Kind::Query && statement.query)
      LeaveOrderOut(*statement.query);
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
