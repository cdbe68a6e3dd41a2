#include "db/pg/PgSchema.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <algorithm>

#include "db/DbError.h"
#include "db/sql/Generator.h"
#include "db/sql/Translate.h"
#include "db/sqlite/SqliteAccessFunctions.h"
#include "db/sqlite/SqliteCatalog.h"
#include "db/sqlite/SqliteSupport.h"

namespace tarvel::db::PgSchema {
namespace {

QString ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return text ? QString::fromUtf8(text) : QString();
}

}  // namespace

QString ColumnType(const QString& declared, const QString& collation) {
  const QString type = declared.trimmed().toUpper();
  if (type.startsWith(u"DATETIME") || type.startsWith(u"TIMESTAMP"))
    return QStringLiteral("timestamp");
  if (type.startsWith(u"YESNO") || type == u"BOOLEAN" || type == u"BIT")
    return QStringLiteral("yesno");
  if (type.startsWith(u"CURRENCY") || type.startsWith(u"MONEY"))
    return QStringLiteral("numeric(19,4)");
  if (type == u"BYTE" || type == u"SHORT" || type == u"SMALLINT") return QStringLiteral("smallint");
  if (type == u"LONG" || type == u"LONG INTEGER" || type == u"COUNTER")
    return QStringLiteral("integer");
  if (type.contains(u"INT")) return QStringLiteral("bigint");
  if (type.contains(u"CHAR") || type.contains(u"CLOB") || type.contains(u"TEXT") ||
      type.isEmpty()) {
    // Texts keep the order the file's collation names; a text compared with case stays so.
    const QString c = collation.toUpper();
    if (c == u"BINARY") return QStringLiteral("text COLLATE \"C\"");
    const sql::SortOrder order = c.startsWith(u"JETSTROKE")
                                     ? sql::SortOrder::TraditionalChineseStroke
                                     : sql::SortOrder::General;
    return QStringLiteral("text COLLATE \"%1\"").arg(QLatin1String(sql::PgCollation(order)));
  }
  if (type.contains(u"BLOB")) return QStringLiteral("bytea");
  if (type == u"SINGLE" || type == u"FLOAT4") return QStringLiteral("real");
  if (type.contains(u"REAL") || type.contains(u"FLOA") || type.contains(u"DOUB"))
    return QStringLiteral("double precision");
  return QStringLiteral("numeric");
}

QString ServerObjects() {
  QStringList objects;
  for (const sql::SortOrder order :
       {sql::SortOrder::General, sql::SortOrder::TraditionalChineseStroke}) {
    objects << QStringLiteral(
                   "CREATE COLLATION IF NOT EXISTS \"%1\" (provider = icu, locale = '%2', "
                   "deterministic = false);")
                   .arg(QLatin1String(sql::PgCollation(order)),
                        QLatin1String(sql::IcuLocale(order)));
  }
  objects << QStringLiteral(
      "DO $$ BEGIN CREATE DOMAIN yesno AS smallint; EXCEPTION WHEN duplicate_object THEN NULL; "
      "END $$;");
  return objects.join(u'\n');
}

QString Spellings(const QString& relation, const QStringList& columns) {
  QStringList comments;
  for (const QString& column : columns) {
    if (sql::FoldName(column) == column) continue;
    comments << QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3;")
                    .arg(Name(relation), Name(column), sql::Generator::TextLiteral(column));
  }
  return comments.join(u'\n');
}

QString Name(const QString& name) {
  QString folded = sql::FoldName(name);
  folded.replace(u'"', QStringLiteral("\"\""));
  return u'"' + folded + u'"';
}

std::vector<Table> TablesOf(sqlite3* db) {
  std::vector<Table> tables;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db,
                         "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE "
                         "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                         -1, &raw, nullptr) != SQLITE_OK)
    detail::ThrowEngineError(db, QStringLiteral("sqlite_schema"));
  detail::StatementPtr names(raw);
  while (sqlite3_step(raw) == SQLITE_ROW)
    tables.push_back({ColumnText(raw, 0), {}});
  for (Table& table : tables) {
    QString quoted = table.name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    const QByteArray info =
        (QStringLiteral("PRAGMA table_info(\"") + quoted + QStringLiteral("\")")).toUtf8();
    if (sqlite3_prepare_v2(db, info.constData(), -1, &raw, nullptr) != SQLITE_OK)
      detail::ThrowEngineError(db, table.name);
    detail::StatementPtr columns(raw);
    while (sqlite3_step(raw) == SQLITE_ROW) {
      Table::Column column{ColumnText(raw, 1), ColumnText(raw, 2), sqlite3_column_int(raw, 5)};
      const char* collation = nullptr;
      if (sqlite3_table_column_metadata(db, nullptr, table.name.toUtf8().constData(),
                                        column.name.toUtf8().constData(), nullptr, &collation,
                                        nullptr, nullptr, nullptr) == SQLITE_OK &&
          collation) {
        column.collation = QString::fromUtf8(collation);
      }
      table.columns.push_back(std::move(column));
    }
  }
  return tables;
}

QString CreateTable(const Table& table) {
  QStringList definitions;
  std::vector<std::pair<int, QString>> key;
  for (const Table::Column& c : table.columns) {
    definitions << Name(c.name) + u' ' + ColumnType(c.declared, c.collation);
    if (c.key > 0) key.emplace_back(c.key, Name(c.name));
  }
  std::sort(key.begin(), key.end());
  if (!key.empty()) {
    QStringList keyColumns;
    for (const auto& [order, column] : key)
      keyColumns << column;
    definitions << QStringLiteral("PRIMARY KEY (") + keyColumns.join(QStringLiteral(", ")) + u')';
  }
  QStringList columns;
  for (const Table::Column& c : table.columns)
    columns << c.name;
  QString text = QStringLiteral("CREATE TABLE ") + Name(table.name) + QStringLiteral(" (\n  ") +
                 definitions.join(QStringLiteral(",\n  ")) + QStringLiteral("\n)");
  const QString spellings = Spellings(table.name, columns);
  return spellings.isEmpty() ? text : text + QStringLiteral(";\n") + spellings.chopped(1);
}

QString CreateView(const QString& name, const QString& accessSql, sql::Catalog& catalog,
                   bool accessWildcards) {
  const sql::Translation t =
      sql::Translate(accessSql, sql::Engine::Postgres, &catalog,
                     {accessWildcards ? sql::Wildcards::Access : sql::Wildcards::Ansi, true});
  if (!t.placeholders.isEmpty()) {
    throw DbError(QStringLiteral("查詢有參數（%1），伺服器上的檢視表不能有參數。")
                      .arg(t.placeholders.join(QStringLiteral("、"))),
                  accessSql);
  }
  QStringList columns;
  for (const sql::ColumnShape& c : t.columns)
    columns << c.name;
  const QString view = QStringLiteral("CREATE VIEW ") + Name(name) + QStringLiteral(" AS ") + t.sql;
  const QString spellings = Spellings(name, columns);
  return spellings.isEmpty() ? view : view + QStringLiteral(";\n") + spellings.chopped(1);
}

QString ViewBody(const QString& createView) {
  static const QRegularExpression head(
      QStringLiteral("^\\s*create\\s+(?:temp\\w*\\s+)?view\\s+(?:if\\s+not\\s+exists\\s+)?"
                     "(?:\\[[^\\]]*\\]|\"(?:[^\"]|\"\")*\"|`[^`]*`|[^\\s(]+)\\s+as\\s+"),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = head.match(createView);
  return m.hasMatch() ? createView.mid(m.capturedEnd()) : QString();
}

Schema SchemaFromSqlite(const QString& sqliteScript) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, &sqlite3_close);
  RegisterAccessFunctions(raw);  // the schema's collations and views name them
  char* message = nullptr;
  if (sqlite3_exec(raw, sqliteScript.toUtf8().constData(), nullptr, nullptr, &message) !=
      SQLITE_OK) {
    const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(raw));
    sqlite3_free(message);
    throw DbError(text);
  }
  Schema schema;
  QStringList create{ServerObjects()};
  for (const Table& table : TablesOf(raw)) {
    schema.tables << table.name;
    create << CreateTable(table) + u';';
  }
  SqliteCatalog catalog(raw);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(raw, "SELECT name, sql FROM sqlite_schema WHERE type = 'view' ORDER BY rowid",
                     -1, &stmt, nullptr);
  detail::StatementPtr views(stmt);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const QString name = ColumnText(stmt, 0);
    schema.views << name;
    create << CreateView(name, ViewBody(ColumnText(stmt, 1)), catalog, false) + u';';
  }
  schema.create = create.join(u'\n') + u'\n';
  QStringList drops;
  for (auto it = schema.views.crbegin(); it != schema.views.crend(); ++it)
    drops << QStringLiteral("DROP VIEW IF EXISTS %1 CASCADE;").arg(Name(*it));
  for (const QString& table : schema.tables)
    drops << QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE;").arg(Name(table));
  schema.drop = drops.join(u'\n') + u'\n';
  return schema;
}

}  // namespace tarvel::db::PgSchema
