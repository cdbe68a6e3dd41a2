// tarvel-cli context: runs the start-up preparation for a given command line and program folder
// and prints the resulting application context as JSON, for support staff checking a workstation.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <optional>
#include <vector>

#include "cli/Command.h"
#include "db/ServerUri.h"
#include "platform/Clock.h"
#include "platform/SystemServices.h"
#include "platform/UserInterface.h"
#include "startup/DatabaseLocation.h"
#include "startup/LaunchArguments.h"
#include "startup/Startup.h"

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

/// The machine, with the answers the support user chose instead of its own.
class ChosenSystem final : public LinuxSystemServices {
 public:
  QString ComputerName() const override {
    return host ? *host : LinuxSystemServices::ComputerName();
  }
  QString UserName() const override { return user ? *user : LinuxSystemServices::UserName(); }
  QString ProgramFolder() const override { return programFolder; }
  QString EnvironmentVariable(const QString& name) const override {
    if (profile && name.compare(QLatin1String("userprofile"), Qt::CaseInsensitive) == 0)
      return *profile;
    return LinuxSystemServices::EnvironmentVariable(name);
  }

  QString programFolder;
  std::optional<QString> host;
  std::optional<QString> user;
  std::optional<QString> profile;
};

struct Message {
  QString text;
  int style;
  QString title;
};

/// Keeps what the start-up would have shown, to print it with the context.
class CollectingUi final : public UserInterface {
 public:
  CollectingUi() : previous_(&Ui()) { SetUi(this); }
  ~CollectingUi() override { SetUi(previous_); }
  CollectingUi(const CollectingUi&) = delete;
  CollectingUi& operator=(const CollectingUi&) = delete;
  void ShowMessage(const QString& text, int style, const QString& title) override {
    messages.push_back({text, style, title});
  }
  void SetBusy(bool) override {}

  std::vector<Message> messages;

 private:
  UserInterface* previous_;
};

QString Json(const QJsonValue& value) {
  const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString Json(const QString& text) {
  return Json(QJsonValue(text));
}

template <size_t N>
QString Json(const std::array<QString, N>& texts) {
  QStringList items;
  for (const QString& text : texts)
    items << Json(text);
  return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString OutcomeName(StartOutcome outcome) {
  switch (outcome) {
    case StartOutcome::kRunning:
      return QStringLiteral("running");
    case StartOutcome::kSecondInstance:
      return QStringLiteral("secondInstance");
    case StartOutcome::kMissingToken:
      return QStringLiteral("missingToken");
    case StartOutcome::kContextFailed:
      return QStringLiteral("contextFailed");
  }
  return {};
}

}  // namespace

int RunContextCommand(const QStringList& args, CommandIo io) {
  ChosenSystem system;
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
  AppContext context;
  const QString commandLine = CommandLineText(commandWords);
  StartupResult result;
  std::vector<Message> messages;
  bool windowShown = false;
  {
    ScopedSystemServices installed(system);
    CollectingUi ui;
    result = Main(context, commandLine, [&](AppContext&) { windowShown = true; });
    messages = ui.messages;
  }
  const bool launcherAlive = system.IsLauncherAlive(context.LauncherWindow);

  const auto line = [&](const char* key, const QString& json, bool last = false) {
    io.out << "  \"" << key << "\": " << json << (last ? "\n" : ",\n");
  };
  io.out << "{\n";
  // Passwords are never printed: a server's URI's, and the Jet file's of the connection string.
  line("ConnectionString", Json(ConnectionStringForDisplay(context.ConnectionString)));
  line("MachineUserName", Json(context.MachineUserName));
  line("AdminName", Json(context.AdminName));
  line("UserName", Json(context.UserName));
  line("EmployeeId", Json(context.EmployeeId));
  line("ExcelExtension", Json(context.ExcelExtension));
  line("DocumentExtension", Json(context.DocumentExtension));
  line("LauncherWindow", Json(QJsonValue(context.LauncherWindow)));
  line("MainWindowHandle", Json(QJsonValue(context.MainWindowHandle)));
  line("Groups", Json(context.Groups));
  line("ExtensionNumber", Json(context.ExtensionNumber));
  line("CompanyName", Json(context.CompanyName));
  line("ProfitRateBase", Json(context.ProfitRateBase));
  line("WorkOrderRights", Json(context.WorkOrderRights));
  line("ExcelFolder", Json(context.ExcelFolder));
  line("TempFolder", Json(context.TempFolder));
  line("Site", Json(context.Site));
  line("DatabaseFolder", Json(db::RedactUri(context.DatabaseFolder)));
  line("DatabasePassword",
       Json(context.DatabasePassword.isEmpty() ? QString() : QStringLiteral("***")));
  line("LookupColours", Json(context.LookupColours));
  QStringList shown;
  for (const Message& m : messages)
    shown << QStringLiteral("{\"text\": %1, \"style\": %2, \"title\": %3}")
                 .arg(Json(m.text))
                 .arg(m.style)
                 .arg(Json(m.title));
  line("messages", shown.isEmpty() ? QStringLiteral("[]")
                                   : "[\n    " + shown.join(QStringLiteral(",\n    ")) + "\n  ]");
  line("outcome", Json(OutcomeName(result.outcome)));
  line("secondInstance", result.outcome == StartOutcome::kSecondInstance ? "true" : "false");
  line("missingToken", result.outcome == StartOutcome::kMissingToken ? "true" : "false");
  line("mainWindowShown", windowShown ? "true" : "false");
  // The main window ends the program on its first activation when the menu is gone.
  line("launcherAlive", launcherAlive ? "true" : "false", true);
  io.out << "}\n";
  if (result.outcome == StartOutcome::kContextFailed) {
    // The loader's message is the last one shown: the start went no further.
    io.err << "tarvel-cli context: ";
    if (!messages.empty()) io.err << messages.back().title << ": " << messages.back().text;
    io.err << "\n";
    return 1;
  }
  return 0;
}

}  // namespace tarvel::cli
