// tarvel-cli jet-info: what the program would see in a Jet file, checked before a site points its
// KORV.DSN at it: tables with row counts, stored queries with their text and how they are offered,
// and the tables, sources and columns the program reads that the file lacks.
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include "cli/Command.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/sql/Catalog.h"
#include "demo/DemoDatabase.h"

namespace tarvel::cli {
namespace {

// The names the program reads, with their columns: every table and source of the demo schema,
// which mirrors the suite's, except the base tables the demo builds its sources from (the suite
// has stored queries or tables of those names instead).
QList<QPair<QString, QStringList>> NeededNames() {
  const QString schema = demo::DemoSchemaText();
  const qsizetype baseFrom = schema.indexOf(QStringLiteral("(base tables of the report sources)"));
  const qsizetype baseTo = schema.indexOf(QStringLiteral("Report sources (the suite's stored"));
  QSet<QString> baseOnly;
  if (baseFrom >= 0 && baseTo > baseFrom) {
    static const QRegularExpression table(QStringLiteral("CREATE TABLE \\[([^\\]]+)\\]"));
    for (const auto& m : table.globalMatch(schema.mid(baseFrom, baseTo - baseFrom)))
      baseOnly.insert(m.captured(1));
  }
  auto demo = db::Connection::OpenFile(QStringLiteral(":memory:"), true);
  demo->ExecuteScript(schema);
  db::Recordset objects = demo->OpenRecordset(
      "select name from sqlite_schema where type in ('table', 'view') order by type, rowid");
  QList<QPair<QString, QStringList>> needed;
  for (; !objects.EOF_(); objects.MoveNext()) {
    const QString name = objects.Text("name");
    // [SYSUSER1] is only written, and never on a Jet file.
    if (baseOnly.contains(name) || name.startsWith(QLatin1String("sqlite_")) ||
        name == QLatin1String("SYSUSER1")) {
      continue;
    }
    QStringList names;
    if (const db::sql::Relation* relation = demo->Catalog().Find(name))
      for (const db::sql::ColumnShape& c : relation->columns)
        names << c.name;
    needed.append({name, names});
  }
  return needed;
}

}  // namespace

int RunJetInfoCommand(const QStringList& args, CommandIo io) {
  if (args.size() != 1 || args[0] == QLatin1String("--help")) {
    (args.contains(QLatin1String("--help")) ? io.out : io.err)
        << "usage: tarvel-cli jet-info FILE\n"
           "  lists the Jet file's tables (rows), stored queries (their SQL as Access shows it "
           "and\n"
           "  whether they became views) and what the program reads that the file lacks\n";
    return args.contains(QLatin1String("--help")) ? 0 : 2;
  }
  const QString path = QFileInfo(args[0]).absoluteFilePath();
  try {
    auto connection = db::Connection::OpenFile(path);
    if (!connection->IsReadOnly()) {
      io.err << path << ": not a Jet file (a SQLite database)\n";
      return 1;
    }
    io.out << "file: " << path << "\n\ntables:\n";
    db::Recordset tables = connection->OpenRecordset(
        "select name from sqlite_schema where type = 'table' order by rowid");
    QHash<QString, QStringList> present;  // folded name -> folded columns
    for (; !tables.EOF_(); tables.MoveNext()) {
      const QString name = tables.Text("name");
      QString count;
      try {
        count = QString::number(
            connection->OpenRecordset(QStringLiteral("select count(*) from [%1]").arg(name))
                .Field(0)
                .AsInteger());
      } catch (const db::DbError& error) {
        count = QStringLiteral("unreadable: ") + error.Description();
      }
      io.out << "  " << name << "  " << count << " rows\n";
    }
    const auto remember = [&](const QString& name) {
      QStringList columns;
      if (const db::sql::Relation* relation = connection->Catalog().Find(name))
        for (const db::sql::ColumnShape& c : relation->columns)
          columns << c.name.toCaseFolded();
      present.insert(name.toCaseFolded(), columns);
    };
    for (tables.MoveFirst(); !tables.EOF_(); tables.MoveNext())
      remember(tables.Text("name"));
    for (const db::StoredQueryReport& q : connection->StoredQueries())
      if (q.offer == db::StoredQueryReport::Offer::View) remember(q.name);

    io.out << "\nstored queries:\n";
    if (connection->StoredQueries().empty()) io.out << "  (none)\n";
    for (const db::StoredQueryReport& q : connection->StoredQueries()) {
      QString how;
      switch (q.offer) {
        case db::StoredQueryReport::Offer::View:
          how = QStringLiteral("offered as a view");
          break;
        case db::StoredQueryReport::Offer::InPlace:
          how =
              q.kind == QLatin1String("Crosstab")
                  ? QStringLiteral("offered where it is read, its columns the pivot's values then")
                  : QStringLiteral(
                        "a parameter query: run with the values given "
                        "(tarvel-cli query --param NAME=VALUE)");
          break;
        case db::StoredQueryReport::Offer::No:
          how = QStringLiteral("not offered: ") + q.reason;
          break;
      }
      io.out << "  " << q.name << " (" << q.kind << "): " << how << "\n";
      for (const QString& line : q.accessSql.split(u'\n'))
        io.out << "    " << line << "\n";
    }

    io.out << "\nmissing for the program:\n";
    int missing = 0;
    for (const auto& [name, columns] : NeededNames()) {
      const auto found = present.constFind(name.toCaseFolded());
      if (found == present.constEnd()) {
        io.out << "  " << name << " (whole table or query)\n";
        ++missing;
        continue;
      }
      QStringList lacking;
      for (const QString& column : columns) {
        if (!found->contains(column.toCaseFolded())) lacking << column;
      }
      if (!lacking.isEmpty()) {
        io.out << "  " << name << ": " << lacking.join(QStringLiteral(", ")) << "\n";
        ++missing;
      }
    }
    if (missing == 0) io.out << "  nothing\n";
    return 0;
  } catch (const Error& error) {
    io.err << error.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
