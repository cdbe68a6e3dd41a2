// tarvel-cli query: one Access SQL query on any database the program reads (a SQLite file, a Jet
// file, a server), read-only, its rows written as TSV, CSV or JSON: how a site checks its stored
// queries before switching, as mdb-sql or the sqlite3 shell would be used.
#include "cli/Command.h"
#include "db/Connection.h"
#include "db/RowText.h"
#include "platform/Error.h"

namespace tarvel::cli {
namespace {

using namespace Qt::StringLiterals;

void PrintQueryUsage(QTextStream& out) {
  out << "usage: tarvel-cli query --db DB [--format tsv|csv|json] [--param NAME=VALUE ...] 'SQL'\n"
         "  runs one Access SQL query (SELECT, UNION, TRANSFORM; Access's wildcards * ? # [a-z]\n"
         "  in Like) on DB: a SQLite file, a Jet file or a postgresql:// URI, read-only. A stored\n"
         "  query is read by its name: 'SELECT * FROM [Sales by Year]'. --param gives a\n"
         "  parameter's value by its name ('Beginning Date=1997-01-01',\n"
         "  'Forms!Orders!OrderID=10248'); dates as yyyy-mm-dd or m/d/yyyy.\n"
         "  Output: a header line, then one line per row. NULL is an empty field, numbers in\n"
         "  their shortest decimal form, dates YYYY-MM-DD HH:MM:SS, Yes/No -1 and 0. In tsv a\n"
         "  tab, line break, carriage return or backslash inside a value is written \\t, \\n, "
         "\\r,\n"
         "  \\\\; csv quotes as RFC 4180 does; json writes each line as an array.\n";
}

}  // namespace

int RunQueryCommand(const QStringList& args, CommandIo io) {
  QString database, sql;
  db::RowFormat format = db::RowFormat::Tsv;
  db::QueryOptions options;
  options.accessWildcards = true;
  options.queryOnly = true;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) {
        io.err << a << " needs a value\n";
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == u"--help"_s || a == u"-h"_s) {
      PrintQueryUsage(io.out);
      return 0;
    }
    if (a == u"--db"_s) {
      const auto v = value();
      if (!v) return 2;
      database = *v;
    } else if (a == u"--format"_s) {
      const auto v = value();
      if (!v) return 2;
      if (*v == u"tsv"_s) {
        format = db::RowFormat::Tsv;
      } else if (*v == u"csv"_s) {
        format = db::RowFormat::Csv;
      } else if (*v == u"json"_s) {
        format = db::RowFormat::Json;
      } else {
        io.err << "--format takes tsv, csv or json\n";
        return 2;
      }
    } else if (a == u"--param"_s) {
      const auto v = value();
      if (!v) return 2;
      const qsizetype equals = v->indexOf(u'=');
      if (equals <= 0) {
        io.err << "--param takes NAME=VALUE\n";
        return 2;
      }
      options.parameters.insert(db::ParameterKey(v->left(equals)), db::Value(v->mid(equals + 1)));
    } else if (a.startsWith(u"--"_s)) {
      io.err << "unknown option " << a << "\n";
      PrintQueryUsage(io.err);
      return 2;
    } else if (sql.isEmpty()) {
      sql = a;
    } else {
      io.err << "one query only (quote it as one argument)\n";
      return 2;
    }
  }
  if (database.isEmpty() || sql.trimmed().isEmpty()) {
    PrintQueryUsage(io.err);
    return 2;
  }
  try {
    auto connection = db::Connection::OpenFile(database);
    // Nothing a query might call writes: the engine is told so too.
    if (!connection->IsServer() && !connection->IsReadOnly())
      connection->Execute(u"PRAGMA query_only = ON"_s);
    db::ReadSnapshot snapshot(*connection);
    db::Cursor rows = connection->OpenCursor(sql, options);
    db::WriteRows(rows, format, io.out);
    return 0;
  } catch (const Error& e) {
    io.err << "tarvel-cli query: " << e.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
