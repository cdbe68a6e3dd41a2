// tarvel-cli demo-db: writes a demo KORV.mdb and prints what it holds and how to sign in.
#include <QElapsedTimer>

#include "cli/Command.h"
#include "db/pg/ServerUri.h"
#include "demo/DemoDatabase.h"
#include "platform/Error.h"
#include "platform/SystemServices.h"

namespace tarvel::cli {

namespace {

using namespace Qt::StringLiterals;

void PrintDemoUsage(QTextStream& err) {
  err << "usage: tarvel-cli demo-db DIR|--server URI [--orders N] [--seed S]"
         " [--today YYYY-MM-DD] [--company NAME] [--force]\n"
         "  writes DIR/KORV.mdb, or the same demo into the PostgreSQL database of\n"
         "  URI (postgresql://user@host/database); defaults: --orders 2000, --seed 1,\n"
         "  --today = today,\n"
         "  --company "
      << demo::kDefaultDemoCompany
      << " (a name starting with 翠峰 shows report 表5)\n"
         "  an existing KORV.mdb (or the demo's tables on the server) is replaced only with"
         " --force\n";
}

/// Splits "--name=value" and "--name value"; returns false when the value is missing.
bool TakeValue(const QStringList& args, qsizetype& i, const QString& inlineValue, bool hasInline,
               QString& value) {
  if (hasInline) {
    value = inlineValue;
    return true;
  }
  if (i + 1 >= args.size()) return false;
  value = args[++i];
  return true;
}

}  // namespace

int RunDemoDbCommand(const QStringList& args, CommandIo io) {
  demo::DemoOptions options;
  QString dir;
  QString server;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == u"--help"_s || arg == u"-h"_s) {
      PrintDemoUsage(io.out);
      return 0;
    }
    if (!arg.startsWith(u"--"_s)) {
      if (!dir.isEmpty()) {
        io.err << "tarvel-cli demo-db: more than one folder given (" << dir << ", " << arg << ")\n";
        PrintDemoUsage(io.err);
        return 2;
      }
      dir = arg;
      continue;
    }
    const qsizetype equals = arg.indexOf(u'=');
    const QString name = equals < 0 ? arg : arg.left(equals);
    const QString inlineValue = equals < 0 ? QString() : arg.mid(equals + 1);
    if (name == u"--force"_s && equals < 0) {
      options.force = true;
      continue;
    }
    QString value;
    const bool known = name == u"--orders"_s || name == u"--seed"_s || name == u"--today"_s ||
                       name == u"--company"_s || name == u"--server"_s;
    if (!known) {
      io.err << "tarvel-cli demo-db: unknown option " << arg << "\n";
      PrintDemoUsage(io.err);
      return 2;
    }
    if (!TakeValue(args, i, inlineValue, equals >= 0, value)) {
      io.err << "tarvel-cli demo-db: " << name << " needs a value\n";
      return 2;
    }
    bool ok = true;
    if (name == u"--orders"_s) {
      options.orders = value.toLongLong(&ok);
      ok = ok && options.orders >= 1;
    } else if (name == u"--seed"_s) {
      options.seed = value.toULongLong(&ok);
    } else if (name == u"--server"_s) {
      server = value.trimmed();
      ok = db::IsServerUri(server);
    } else if (name == u"--today"_s) {
      options.today = QDate::fromString(value, Qt::ISODate);
      ok = options.today.isValid();
    } else {
      options.company = value.trimmed();
      ok = !options.company.isEmpty();
    }
    if (!ok) {
      io.err << "tarvel-cli demo-db: bad value for " << name << ": " << db::RedactUri(value)
             << "\n";
      return 2;
    }
  }
  if (dir.isEmpty() == server.isEmpty()) {
    PrintDemoUsage(io.err);
    return 2;
  }

  // A [SYSLOAD] row for this computer and user, so the program run here finds an Excel folder.
  const QString computer = System().ComputerName();
  const QString user = System().UserName();
  if (!computer.isEmpty() && !user.isEmpty()) {
    options.computerName = computer;
    options.machineUserName = computer + u'\\' + user;
    options.excelFolder = System().DocumentsFolder();
  }

  try {
    QElapsedTimer timer;
    timer.start();
    const demo::DemoSummary summary = server.isEmpty()
                                          ? demo::GenerateDemoDatabase(dir, options)
                                          : demo::GenerateDemoOnServer(server, options);
    io.out << demo::DescribeDemoSummary(summary);
    io.out << "Written in " << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
    return 0;
  } catch (const Error& e) {
    io.err << "tarvel-cli demo-db: " << e.Description() << "\n";
    return 1;
  }
}

}  // namespace tarvel::cli
