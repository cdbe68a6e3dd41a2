// The table of Access SQL and the rows Access gives (tests/data/access-sql.txt), over a small
// order database whose columns carry Jet's types: the same cases run on SQLite (tests/db/sql) and
// on the PostgreSQL server (tests/pg), so each construct is checked once per engine against one
// expectation.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

#include "db/Backend.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/pg/PgSchema.h"
#include "support/TempDir.h"

namespace tarvel::test {

struct AccessSqlCase {
  QString sql;
  /// The header line, then one line per row; fields separated by tabs, NULL written NULL. Or, for
  /// a statement Access refuses, "error: " and its message.
  QString rows;
  /// Parameter values, "name=value" each.
  QStringList parameters;
};

/// The file's database and cases.
struct AccessSqlTable {
  QStringList tables;  ///< "NAME: COLUMN TYPE, …"
  QStringList rows;    ///< "NAME: VALUES"
  std::vector<AccessSqlCase> cases;
};

inline AccessSqlTable ReadAccessSqlTable() {
  QFile file(SourceDir() + QStringLiteral("/tests/data/access-sql.txt"));
  file.open(QIODevice::ReadOnly);
  AccessSqlTable table;
  AccessSqlCase* reading = nullptr;  // the case whose rows are being read
  for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
    if (reading) {
      if (line.isEmpty()) {
        reading = nullptr;
        continue;
      }
      reading->rows += (reading->rows.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    } else if (line.startsWith(QLatin1String("table "))) {
      table.tables << line.mid(6);
    } else if (line.startsWith(QLatin1String("row "))) {
      table.rows << line.mid(4);
    } else if (line.startsWith(QLatin1String("query: "))) {
      table.cases.push_back({line.mid(7), {}, {}});
    } else if (line.startsWith(QLatin1String("param: "))) {
      table.cases.back().parameters << line.mid(7);
    } else if (line == QLatin1String("rows:")) {
      reading = &table.cases.back();
    } else if (line.startsWith(QLatin1String("error: "))) {
      table.cases.back().rows = line;
    }
  }
  return table;
}

/// Makes the tables on `connection`: a SQLite file (texts in Jet's General order) or a server (as
/// PgSchema makes a Jet file's tables there).
inline void MakeAccessSqlTables(db::Connection& connection, const AccessSqlTable& data) {
  for (const QString& spec : data.tables) {
    const qsizetype colon = spec.indexOf(QLatin1String(": "));
    db::PgSchema::Table table{spec.left(colon), {}};
    QStringList sqlite;
    for (const QString& column : spec.mid(colon + 2).split(QLatin1String(", "))) {
      const QStringList nameType = column.split(u' ');
      table.columns.push_back({nameType[0], nameType[1], 0, QStringLiteral("JETGENERAL")});
      sqlite << QStringLiteral("[") + nameType[0] + QStringLiteral("] ") + nameType[1] +
                    (nameType[1] == QLatin1String("TEXT") ? QStringLiteral(" COLLATE JETGENERAL")
                                                          : QString());
    }
    if (db::BackendOf(connection).Engine() == db::sql::Engine::Postgres)
      connection.ExecuteScript(db::PgSchema::CreateTable(table));
    else
      connection.ExecuteScript(QStringLiteral("CREATE TABLE [") + table.name +
                               QStringLiteral("] (") + sqlite.join(QStringLiteral(", ")) + u')');
  }
  for (const QString& row : data.rows) {
    const qsizetype colon = row.indexOf(QLatin1String(": "));
    connection.Execute(QStringLiteral("INSERT INTO [") + row.left(colon) +
                       QStringLiteral("] VALUES (") + row.mid(colon + 2) + u')');
  }
}

/// The rows of `c` on `connection` as the table writes them, or the error that refused it.
inline QString AccessSqlRows(db::Connection& connection, const AccessSqlCase& c) {
  db::QueryOptions options;
  options.accessWildcards = true;
  for (const QString& text : c.parameters) {
    const qsizetype equals = text.indexOf(u'=');
    options.parameters.insert(db::ParameterKey(text.left(equals)), db::Value(text.mid(equals + 1)));
  }
  db::Recordset rs;
  try {
    rs = connection.OpenRecordset(c.sql, options);
  } catch (const db::DbError& e) {
    return QStringLiteral("error: ") + e.Description();
  }
  QStringList lines{rs.FieldNames().join(u'\t')};
  for (qint64 r = 0; r < rs.RecordCount(); ++r) {
    QStringList fields;
    for (const db::Value& v : rs.Row(r))
      fields << (v.IsNull() ? QStringLiteral("NULL") : v.ToText());
    lines << fields.join(u'\t');
  }
  return lines.join(u'\n');
}

}  // namespace tarvel::test
