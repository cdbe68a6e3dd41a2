// tarvel-cli copy-db: copies a SQLite or Jet database into a PostgreSQL database, table by table.
#include <QElapsedTimer>

#include "cli/Command.h"
#include "db/Connection.h"
#include "db/pg/DatabaseCopy.h"
#include "db/pg/ServerUri.h"
#include "platform/Error.h"

namespace tarvel::cli {
namespace {

using namespace Qt::StringLiterals;

void PrintCopyUsage(QTextStream& err) {
  err << "usage: tarvel-cli copy-db FROM TO [--force]\n"
         "  copies the database file FROM (SQLite, or a Jet file read through libmdb) into the\n"
         "  PostgreSQL database TO (postgresql://user@host/database), table by table, in one\n"
         "  transaction: every table with its rows, then the views (a Jet file's stored select,\n"
         "  union and crosstab queries too, translated for the server; parameter queries are\n"
         "  reported, not copied). Text columns keep Jet's sort order (the collation jet_general,\n"
         "  or jet_stroke for Traditional Chinese stroke order: compared without regard to case,\n"
         "  as Jet does), Access's number types their own (Integer smallint, Long integer, Single\n"
         "  real, Double double precision, Currency numeric(19,4)), dates timestamp, Yes/No the\n"
         "  domain yesno, bytes bytea; column names keep Access's spelling. Row counts are "
         "checked\n"
         "  table by table. Tables and views of the same names on the server are replaced only\n"
         "  with --force.\n";
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
    const auto source = db::Connection::OpenFile(places[0], false, db::Connection::Access::Read);
    const auto target = db::Connection::OpenFile(places[1]);
    const db::CopyReport report = db::CopyDatabase(
        *source, *target, force, [&](const QString& line) { io.err << line << "\n"
                                                                   << Qt::flush; });
    io.out << "Copied " << report.tables << " tables and " << report.views << " views to "
           << target->FilePath() << " in " << QString::number(timer.elapsed() / 1000.0, 'f', 1)
           << " s\n";
    for (const QString& refused : report.refused)
      io.out << "  not copied: " << refused << "\n";
    return 0;
  } catch (const Error& e) {
    io.err << "tarvel-cli copy-db: " << e.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
