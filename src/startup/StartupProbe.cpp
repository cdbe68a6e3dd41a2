#include "startup/StartupProbe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QTextStream>
#include <vector>

#include "db/pg/ServerUri.h"
#include "platform/SystemServices.h"
#include "platform/UserInterface.h"
#include "startup/DatabaseLocation.h"
#include "startup/Startup.h"

namespace tarvel {
namespace {

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

ProbeResult ProbeStartup(const ProbeSetup& setup, const QString& commandLine) {
  ChosenSystem system;
  system.programFolder = setup.programFolder;
  system.host = setup.host;
  system.user = setup.user;
  system.profile = setup.profile;
  QString json;
  QTextStream out(&json);
  AppContext context;
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
    out << "  \"" << key << "\": " << json << (last ? "\n" : ",\n");
  };
  out << "{\n";
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
  out << "}\n";
  out.flush();
  ProbeResult probe{json, result.outcome == StartOutcome::kContextFailed, {}};
  // The loader's message is the last one shown: the start went no further.
  if (probe.contextFailed && !messages.empty())
    probe.failure = messages.back().title + QStringLiteral(": ") + messages.back().text;
  return probe;
}

}  // namespace tarvel
