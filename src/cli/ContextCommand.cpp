// tarvel-cli context: runs the start-up preparation for a given command line and program folder
// and prints the resulting application context as JSON, for support staff checking a workstation.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <optional>

#include "cli/Command.h"
#include "platform/Clock.h"
#include "startup/LaunchArguments.h"
#include "startup/StartupProbe.h"

namespace tarvel::cli {
namespace {
const char kUsage[] =
    "usage: tarvel-cli context --program-folder DIR [--user NAME] [--host NAME]\n"
    "                          [--userprofile DIR] [--today YYYY-MM-DD] -- 'COMMAND LINE'\n"
    "  Runs the start-up preparation (DSN file in DIR, marker file, connection string, context\n"
    "  loading) as the program would with COMMAND LINE and prints the context as JSON.\n"
    "  --user/--host stand in for the login and host name, --userprofile for the user's home\n"
    "  (default: $HOME, whose hidden Temp folder receives the marker file as at a real start;\n"
    "  an empty value: none, so the marker file goes to DIR).\n"
    "  When the context cannot be loaded the start stops after its message: the JSON shows how\n"
    "  far it came, the message also goes to standard error and the exit status is 1.\n";

}  // namespace

int RunContextCommand(const QStringList& args, CommandIo io) {
  ProbeSetup system;
  QString folder;
  QStringList commandWords;
  std::optional<QDate> today;
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    std::optional<QString> v;
    if (arg == QLatin1String("--")) {
      commandWords = args.mid(i + 1);
      break;
    } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      io.out << kUsage;
      return 0;
    } else if (arg == QLatin1String("--program-folder") && (v = value())) {
      folder = *v;
    } else if (arg == QLatin1String("--user") && (v = value())) {
      system.user = *v;
    } else if (arg == QLatin1String("--host") && (v = value())) {
      system.host = *v;
    } else if (arg == QLatin1String("--userprofile") && (v = value())) {
      system.profile = *v;
    } else if (arg == QLatin1String("--today") && (v = value())) {
      const QDate day = QDate::fromString(*v, Qt::ISODate);
      if (!day.isValid()) {
        io.err << "tarvel-cli context: not a date: " << *v << "\n";
        return 2;
      }
      today = day;
    } else {
      io.err << "tarvel-cli context: unexpected argument " << arg << "\n" << kUsage;
      return 2;
    }
  }
  if (folder.isEmpty()) {
    io.err << "tarvel-cli context: --program-folder is required\n" << kUsage;
    return 2;
  }
  if (!QFileInfo(folder).isDir()) {
    io.err << "tarvel-cli context: no such folder: " << folder << "\n";
    return 2;
  }
  system.programFolder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());

  // The command fixes the clock for its own run only.
  std::optional<ScopedToday> clock;
  if (today) clock.emplace(*today);
  const ProbeResult probe = ProbeStartup(system, CommandLineText(commandWords));
  io.out << probe.json;
  if (probe.contextFailed) {
    io.err << "tarvel-cli context: " << probe.failure << "\n";
    return 1;
  }
  return 0;
}

}  // namespace tarvel::cli
