// tarvel-cli copy-db: copies a SQLite or Jet database into a PostgreSQL database, table by table.
#include <QElapsedTimer>
#include <algorithm>

#include "cli/Command.h"
#include "db/Connection.h"
#include "db/PgDialect.h"
#include "db/ServerUri.h"
#include "db/SqlText.h"
#include "platform/Error.h"

namespace tarvel::cli {
namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kProgressEvery = 10000;

void PrintCopyUsage(QTextStream& err) {
  err << "usage: tarvel-cli copy-db FROM TO [--force]\n"
         "  copies the database file FROM (SQLite, or a Jet file read through libmdb) into the\n"
         "  PostgreSQL database TO (postgresql://user@host/database), table by table, in one\n"
         "  transaction: every table with its rows, then the views (a Jet file's stored queries\n"
         "  that became views too). Text columns become citext COLLATE \"C\" (compared without\n"
         "  regard to case, as Jet does), whole numbers bigint, other numbers double precision or\n"
         "  numeric, bytes bytea. Row counts are checked table by table. Tables and views of the\n"
         "  same names on the server are replaced only with --force.\n";
}

QString Bracketed(const QString& name) {
  return u'[' + name + u']';
}

// The server's type for a column SQLite declares `declared` (its type affinity rules).
QString ServerType(const QString& declared) {
  const QString type = declared.toUpper();
  if (type.contains(u"INT"_s)) return u"bigint"_s;
  if (type.contains(u"CHAR"_s) || type.contains(u"CLOB"_s) || type.contains(u"TEXT"_s) ||
      type.isEmpty())
    return u"citext COLLATE \"C\""_s;
  if (type.contains(u"BLOB"_s)) return u"bytea"_s;
  if (type.contains(u"REAL"_s) || type.contains(u"FLOA"_s) || type.contains(u"DOUB"_s))
    return u"double precision"_s;
  return u"numeric"_s;
}

struct SourceTable {
  QString name;
  QStringList columns;
  QString create;  // Jet SQL with brackets, translated for the server
};

std::vector<SourceTable> ReadTables(db::Connection& source) {
  std::vector<SourceTable> tables;
  const db::Recordset names = source.OpenRecordset(
      u"select name from sqlite_schema where type = 'table' and name not like 'sqlite\\_%' "
      u"escape '\\' order by rowid"_s);
  const auto columnsOfNames = names.GetRows();
  for (const auto& name : columnsOfNames.at(0)) {
    SourceTable table{name.AsText(), {}, {}};
    const db::Recordset info = source.OpenRecordset(
        u"select name, type, pk from pragma_table_info('%1') order by cid"_s.arg(
            db::SqlEscape(table.name)));
    QStringList definitions;
    std::vector<std::pair<qint64, QString>> key;
    const auto rows = info.GetRows();
    for (size_t i = 0; i < rows.at(0).size(); ++i) {
      const QString column = rows[0][i].AsText();
      table.columns << column;
      definitions << Bracketed(column) + u' ' + ServerType(rows[1][i].ToText());
      if (rows[2][i].AsInteger() > 0) key.emplace_back(rows[2][i].AsInteger(), Bracketed(column));
    }
    std::sort(key.begin(), key.end());
    if (!key.empty()) {
      QStringList keyColumns;
      for (const auto& [order, column] : key)
        keyColumns << column;
      definitions << u"PRIMARY KEY ("_s + keyColumns.join(u", "_s) + u')';
    }
    table.create = u"CREATE TABLE "_s + Bracketed(table.name) + u" (\n  "_s +
                   definitions.join(u",\n  "_s) + u"\n)"_s;
    tables.push_back(std::move(table));
  }
  return tables;
}

void CopyRows(db::Connection& source, db::Connection& target, const SourceTable& table,
              QTextStream& progress) {
  QStringList columns, marks;
  for (const QString& column : table.columns) {
    columns << Bracketed(column);
    marks << u"?"_s;
  }
  db::Command insert =
      target.Prepare(u"insert into "_s + Bracketed(table.name) + u" ("_s + columns.join(u',') +
                     u") values ("_s + marks.join(u',') + u')');
  const QString select = u"select "_s + columns.join(u", "_s) + u" from "_s + Bracketed(table.name);
  const qint64 expected = source.CountRows(select);
  db::Cursor rows = source.OpenCursor(select);
  qint64 copied = 0;
  while (rows.Next()) {
    for (int c = 0; c < rows.FieldCount(); ++c)
      insert.Bind(c + 1, rows.Field(c));
    insert.Execute();
    if (++copied % kProgressEvery == 0)
      progress << "  " << table.name << ": " << copied << " / " << expected << "\n" << Qt::flush;
  }
  const qint64 arrived = target.CountRows(u"select * from "_s + Bracketed(table.name));
  if (copied != expected || arrived != expected)
    throw Error(u"%1: %2 rows in the source, %3 read, %4 on the server"_s.arg(table.name)
                    .arg(expected)
                    .arg(copied)
                    .arg(arrived));
  progress << "  " << table.name << ": " << copied << " rows\n" << Qt::flush;
}

}  // namespace

int RunCopyDbCommand(const QStringList& args, CommandIo io) {
  QStringList places;
  bool force = false;
  for (const QString& arg : args) {
    if (arg == u"--help"_s || arg == u"-h"_s) {
      PrintCopyUsage(io.out);
      return 0;
    }
    if (arg == u"--force"_s) {
      force = true;
    } else if (arg.startsWith(u"--"_s)) {
      io.err << "tarvel-cli copy-db: unknown option " << arg << "\n";
      PrintCopyUsage(io.err);
      return 2;
    } else {
      places << arg;
    }
  }
  if (places.size() != 2 || db::IsServerUri(places[0]) || !db::IsServerUri(places[1])) {
    PrintCopyUsage(io.err);
    return 2;
  }
  try {
    QElapsedTimer timer;
    timer.start();
    const auto source = db::Connection::OpenFile(places[0]);
    const auto target = db::Connection::OpenFile(places[1]);
    const std::vector<SourceTable> tables = ReadTables(*source);
    const db::Recordset views = source->OpenRecordset(
        u"select name, sql from sqlite_schema where type = 'view' order by rowid"_s);

    db::Transaction transaction(*target);
    target->ExecuteScript(u"CREATE EXTENSION IF NOT EXISTS citext"_s);
    QStringList existing;
    for (qint64 v = 0; v < views.RecordCount(); ++v)
      existing << views.Row(v)[0].AsText();
    for (const SourceTable& table : tables)
      existing << table.name;
    for (const QString& name : existing) {
      const QString quoted = db::PgDialect::Translate(Bracketed(name));
      const db::Recordset kind =
          target->OpenRecordset(u"select relkind from pg_class where oid = to_regclass('%1')"_s.arg(
              db::SqlEscape(quoted)));
      if (kind.EOF_()) continue;
      if (!force)
        throw Error(u"%1 already exists on the server; add --force to replace it"_s.arg(name));
      const QString what = kind.Text(u"relkind"_s) == u"v"_s   ? u"VIEW"_s
                           : kind.Text(u"relkind"_s) == u"m"_s ? u"MATERIALIZED VIEW"_s
                                                               : u"TABLE"_s;
      target->ExecuteScript(u"DROP %1 IF EXISTS %2 CASCADE"_s.arg(what, quoted));
    }
    io.err << "copy-db: " << tables.size() << " tables from " << places[0] << " to "
           << target->FilePath() << "\n";
    for (const SourceTable& table : tables) {
      target->ExecuteScript(db::PgDialect::Translate(table.create));
      CopyRows(*source, *target, table, io.err);
    }
    // Views after the tables, each after the views it reads (SQLite keeps them in that order). A
    // view the server cannot take is reported and left out.
    int refused = 0;
    for (qint64 v = 0; v < views.RecordCount(); ++v) {
      const QString name = views.Row(v)[0].AsText();
      try {
        target->ExecuteScript(u"SAVEPOINT view_copy"_s);
        target->ExecuteScript(db::PgDialect::Translate(views.Row(v)[1].AsText()));
        target->ExecuteScript(u"RELEASE SAVEPOINT view_copy"_s);
        io.err << "  view " << name << "\n";
      } catch (const Error& e) {
        target->ExecuteScript(u"ROLLBACK TO SAVEPOINT view_copy"_s);
        io.err << "  view " << name << " not copied: " << e.Description() << "\n";
        ++refused;
      }
    }
    transaction.Commit();
    io.out << "Copied " << tables.size() << " tables and " << views.RecordCount() - refused
           << " views to " << target->FilePath() << " in "
           << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
    return 0;
  } catch (const Error& e) {
    io.err << "tarvel-cli copy-db: " << e.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
