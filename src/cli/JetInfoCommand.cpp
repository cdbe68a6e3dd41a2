// tarvel-cli jet-info: what the program would see in a Jet file, checked before a site points its
// KORV.DSN at it: its format and recorded sort order, tables with row counts, stored queries with
// their text and how they are offered, and the tables, sources and columns the program reads that
// the file lacks.
#include <QFileInfo>

#include "cli/Command.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/jet/JetFile.h"
#include "demo/ProgramNeeds.h"

namespace tarvel::cli {

int RunJetInfoCommand(const QStringList& args, CommandIo io) {
  if (args.size() != 1 || args[0] == QLatin1String("--help")) {
    (args.contains(QLatin1String("--help")) ? io.out : io.err)
        << "usage: tarvel-cli jet-info FILE\n"
           "  lists the Jet file's tables (rows), stored queries (their SQL as Access shows it "
           "and\n"
           "  whether they became views) and what the program reads that the file lacks, after "
           "its\n"
           "  format and the sort order it records\n";
    return args.contains(QLatin1String("--help")) ? 0 : 2;
  }
  const QString path = QFileInfo(args[0]).absoluteFilePath();
  try {
    // The header first: a file refused for its sort order still shows which order it records.
    std::shared_ptr<db::jet::File> header;
    try {
      header = db::jet::File::Open(path);
    } catch (const db::DbError&) {
      // not a Jet file, or not readable: the connection says which
    }
    if (header) {
      const db::jet::SortOrder& order = header->SortOrder();
      io.out << "file: " << path << "\nformat: " << header->FormatName()
             << "\nsort order: " << order.Name()
             << (order.kind == db::jet::SortOrder::Kind::Unknown
                     ? QStringLiteral(", not known to the program")
                     : QStringLiteral(" (%1)").arg(order.code))
             << "\n";
    }
    auto connection = db::Connection::OpenFile(path);
    if (!connection->Can(db::Capability::StoredQueries)) {
      io.err << path << ": not a Jet file (a SQLite database)\n";
      return 1;
    }
    io.out << "\ntables:\n";
    db::Recordset tables = connection->OpenRecordset(
        "select name from sqlite_schema where type = 'table' order by rowid");
    for (; !tables.EOF_(); tables.MoveNext()) {
      const QString name = tables.Text("name");
      QString count;
      try {
        count = QString::number(
                    connection->OpenRecordset(QStringLiteral("select count(*) from [%1]").arg(name))
                        .Field(0)
                        .AsInteger()) +
                QStringLiteral(" rows");
      } catch (const db::DbError& error) {
        count = QStringLiteral("unreadable: ") + error.Description();
      }
      io.out << "  " << name << "  " << count << "\n";
    }
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
    const QStringList missing = demo::MissingForProgram(*connection);
    for (const QString& line : missing)
      io.out << "  " << line << "\n";
    if (missing.isEmpty()) io.out << "  nothing\n";
    return 0;
  } catch (const Error& error) {
    io.err << error.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
