// tarvel-cli: the headless tool for support staff and scripting users.
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/Command.h"
#include "platform/HeapTuning.h"
#include "platform/OwnFile.h"
#include "platform/Termination.h"
#include "startup/LaunchArguments.h"

namespace {

struct Entry {
  const char* name;
  tarvel::cli::CommandFunction run;
  const char* summary;
};

constexpr Entry kCommands[] = {
    {"demo-db", tarvel::cli::RunDemoDbCommand,
     "DIR|--server URI [--orders N] [--seed S] [--today YYYY-MM-DD] [--company NAME] [--force]  "
     "write a demo database"},
    {"context", tarvel::cli::RunContextCommand,
     "--program-folder DIR [--today D] -- 'COMMAND LINE'  show the start-up context as JSON"},
    {"sql", tarvel::cli::RunSqlCommand,
     "--choice N [criteria]  print the statement of a report choice"},
    {"report", tarvel::cli::RunReportCommand,
     "--choice N [criteria] [--pdf FILE] [--text FILE]  render a report"},
    {"excel", tarvel::cli::RunExcelCommand,
     "--choice N [criteria] --xlsx FILE  export a report choice to a workbook"},
    {"rework", tarvel::cli::RunReworkCommand,
     "sql|report|excel --choice N [criteria] [--pdf FILE] [--text FILE] [--xlsx FILE]  the "
     "rework, proof, plate and die reports"},
    {"jet-info", tarvel::cli::RunJetInfoCommand,
     "FILE  list a Jet file's tables, stored queries and what the program misses in it"},
    {"query", tarvel::cli::RunQueryCommand,
     "--db DB [--format tsv|csv|json] [--param NAME=VALUE ...] 'SQL'  run one Access SQL query"},
    {"copy-db", tarvel::cli::RunCopyDbCommand,
     "FROM TO [--force]  copy a SQLite or Jet database into a PostgreSQL database"},
};

void PrintUsage(QTextStream& err) {
  err << "usage: tarvel-cli COMMAND [ARGS]\n       tarvel-cli --version\n\ncommands:\n";
  for (const Entry& e : kCommands)
    err << "  " << e.name << " " << e.summary << "\n";
}

/// Runs the command `args` name, under the application object made for it.
int RunCommand(QStringList args) {
  QTextStream out(stdout);
  QTextStream err(stderr);
  if (args.isEmpty() || args.first() == QLatin1String("--help") ||
      args.first() == QLatin1String("-h")) {
    PrintUsage(err);
    return args.isEmpty() ? 2 : 0;
  }
  const QString name = args.takeFirst();
  for (const Entry& e : kCommands) {
    if (name == QLatin1String(e.name)) {
      const int code = e.run(args, {out, err});
      out.flush();
      err.flush();
      return code;
    }
  }
  err << "tarvel-cli: unknown command " << name << "\n";
  PrintUsage(err);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Before any application object: it answers without a display or a database.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tarvel-cli %s\n", TARVEL_VERSION);
    return 0;
  }
  // A run ended by a signal leaves no work folder and no converter behind; the handlers come
  // before anything that may start threads.
  tarvel::InstallTerminationHandlers(tarvel::TerminationStyle::kExitAtOnce);
  tarvel::KeepFreedHeapForReuse();
  // The arguments are the tool's own: given to Qt, "-platform xcb" or "-reverse" among them would
  // be taken as Qt's options. Qt gets the program's name only.
  const QStringList args = tarvel::ArgumentsAfterProgram(argc, argv);
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  // Only drawn pages (PDF) need fonts and a paint device. Text, workbooks and queries run under a
  // plain application object and spare the start the platform's and the fonts' set-up.
  if (!args.contains(QLatin1String("--pdf"))) {
    QCoreApplication app(qtArgc, qtArgv);
    return RunCommand(args);
  }
  // Drawing needs a GUI application (offscreen when there is no display).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt wants a private runtime folder; sessions without a desktop (cron, ssh) have none. One
  // under /tmp is anyone's to plant first (a link to another folder), so only a folder of the
  // user's own found there is used.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(getuid());
    ::mkdir(QFile::encodeName(runtime).constData(), 0700);
    if (tarvel::IsPrivateFolder(runtime)) {
      ::chmod(QFile::encodeName(runtime).constData(), 0700);  // as Qt wants it
      qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
  }
  QGuiApplication app(qtArgc, qtArgv);
  return RunCommand(args);
}
