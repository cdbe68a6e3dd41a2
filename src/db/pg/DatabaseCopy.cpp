#include "db/pg/DatabaseCopy.h"

#include "db/Connection.h"
#include "db/SqlText.h"
#include "db/pg/PgBackend.h"
#include "db/pg/PgSchema.h"
#include "db/sql/Catalog.h"
#include "db/sqlite/SqliteBackend.h"

namespace tarvel::db {
namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kProgressEvery = 10000;

QString Bracketed(const QString& name) {
  return u'[' + name + u']';
}

void CopyRows(Connection& source, Connection& target, const PgSchema::Table& table,
              const std::function<void(const QString&)>& progress) {
  QStringList columns, marks;
  for (const PgSchema::Table::Column& column : table.columns) {
    columns << Bracketed(column.name);
    marks << u"?"_s;
  }
  Command insert = target.Prepare(u"insert into "_s + Bracketed(table.name) + u" ("_s +
                                  columns.join(u',') + u") values ("_s + marks.join(u',') + u')');
  const QString select = u"select "_s + columns.join(u", "_s) + u" from "_s + Bracketed(table.name);
  const qint64 expected = source.CountRows(select);
  Cursor rows = source.OpenCursor(select);
  qint64 copied = 0;
  while (rows.Next()) {
    for (int c = 0; c < rows.FieldCount(); ++c)
      insert.Bind(c + 1, rows.Field(c));
    insert.Execute();
    if (++copied % kProgressEvery == 0)
      progress(u"  %1: %2 / %3"_s.arg(table.name).arg(copied).arg(expected));
  }
  const qint64 arrived = target.CountRows(u"select * from "_s + Bracketed(table.name));
  if (copied != expected || arrived != expected)
    throw Error(u"%1: %2 rows in the source, %3 read, %4 on the server"_s.arg(table.name)
                    .arg(expected)
                    .arg(copied)
                    .arg(arrived));
  progress(u"  %1: %2 rows"_s.arg(table.name).arg(copied));
}

// A view to make on the server: its name and its Access SQL.
struct ViewText {
  QString name;
  QString accessSql;
  bool accessWildcards = false;
};

// The source's views in the order they were made (each after those it reads): a SQLite file's
// own; a Jet file's stored queries that are views or crosstabs.
std::vector<ViewText> ViewsOf(Connection& source, QStringList& refused) {
  std::vector<ViewText> views;
  const Recordset made = source.ReadNative(
      u"select name, sql from sqlite_schema where type = 'view' order by rowid"_s);
  if (!source.Can(Capability::StoredQueries)) {
    for (qint64 v = 0; v < made.RecordCount(); ++v)
      views.push_back(
          {made.Row(v)[0].AsText(), PgSchema::ViewBody(made.Row(v)[1].AsText()), false});
    return views;
  }
  QStringList order;
  for (qint64 v = 0; v < made.RecordCount(); ++v)
    order << made.Row(v)[0].AsText().toLower();
  std::vector<std::pair<qsizetype, ViewText>> queries;
  for (const StoredQueryReport& q : source.StoredQueries()) {
    QString body = q.accessSql.trimmed();
    while (body.endsWith(u';'))
      body.chop(1);
    if (q.offer == StoredQueryReport::Offer::View ||
        (q.offer == StoredQueryReport::Offer::InPlace && q.kind == u"Crosstab"_s)) {
      const qsizetype at = order.indexOf(q.name.toLower());
      queries.push_back({at < 0 ? order.size() : at, {q.name, body, true}});
    } else if (q.offer == StoredQueryReport::Offer::InPlace) {
      refused << q.name + u": 有參數的查詢，伺服器上的檢視表不能有參數"_s;
    } else {
      refused << q.name + u": "_s + q.reason;
    }
  }
  std::stable_sort(queries.begin(), queries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [at, view] : queries)
    views.push_back(std::move(view));
  return views;
}

}  // namespace

CopyReport CopyDatabase(Connection& source, Connection& target, bool replace,
                        const std::function<void(const QString&)>& progress) {
  if (!dynamic_cast<PgBackend*>(&BackendOf(target)))
    throw Error(u"the target must be a PostgreSQL server"_s);
  CopyReport report;
  const auto* sqlite = dynamic_cast<SqliteBackend*>(&BackendOf(source));
  if (!sqlite) throw Error(u"the source must be a SQLite or Jet database file"_s);
  const std::vector<PgSchema::Table> tables = PgSchema::TablesOf(sqlite->Handle());
  const std::vector<ViewText> views = ViewsOf(source, report.refused);

  Transaction transaction(target);
  target.ExecuteScript(PgSchema::ServerObjects());
  QStringList existing;
  for (const ViewText& view : views)
    existing << view.name;
  for (const PgSchema::Table& table : tables)
    existing << table.name;
  for (const QString& name : existing) {
    const QString quoted = PgSchema::Name(name);
    const Recordset kind = target.ReadNative(
        u"select relkind from pg_class where oid = to_regclass('%1')"_s.arg(SqlEscape(quoted)));
    if (kind.EOF_()) continue;
    if (!replace)
      throw Error(u"%1 already exists on the server; add --force to replace it"_s.arg(name));
    const QString what = kind.Text(u"relkind"_s) == u"v"_s   ? u"VIEW"_s
                         : kind.Text(u"relkind"_s) == u"m"_s ? u"MATERIALIZED VIEW"_s
                                                             : u"TABLE"_s;
    target.ExecuteScript(u"DROP %1 IF EXISTS %2 CASCADE"_s.arg(what, quoted));
  }
  progress(u"copy-db: %1 tables from %2 to %3"_s.arg(tables.size())
               .arg(source.FilePath(), target.FilePath()));
  for (const PgSchema::Table& table : tables) {
    target.ExecuteScript(PgSchema::CreateTable(table));
    CopyRows(source, target, table, progress);
    ++report.tables;
  }
  // Views after the tables, each after the views it reads. A view the server cannot take is
  // reported and left out.
  for (const ViewText& view : views) {
    try {
      const QString create =
          PgSchema::CreateView(view.name, view.accessSql, source.Catalog(), view.accessWildcards);
      target.ExecuteScript(u"SAVEPOINT view_copy"_s);
      try {
        target.ExecuteScript(create);
      } catch (const Error&) {
        target.ExecuteScript(u"ROLLBACK TO SAVEPOINT view_copy"_s);
        throw;
      }
      target.ExecuteScript(u"RELEASE SAVEPOINT view_copy"_s);
      progress(u"  view "_s + view.name);
      ++report.views;
    } catch (const Error& e) {
      report.refused << view.name + u": "_s + e.Description();
      progress(u"  view "_s + view.name + u" not copied: "_s + e.Description());
    }
  }
  transaction.Commit();
  return report;
}

}  // namespace tarvel::db
