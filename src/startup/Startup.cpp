#include "startup/Startup.h"

#include "platform/SystemServices.h"
#include "platform/UserInterface.h"
#include "startup/AppContextLoader.h"
#include "startup/DatabaseLocation.h"
#include "startup/LaunchArguments.h"

namespace tarvel {
namespace {

constexpr long Rgb(long red, long green, long blue) {
  return red + 256 * green + 65536 * blue;
}

// The steps after the loading: the defaults the database did not give.
void FinishContext(AppContext& context) {
  // "C:\" names no folder here; the user's documents folder is where a workbook is expected.
  if (context.ExcelFolder.isEmpty()) context.ExcelFolder = System().DocumentsFolder();
  SetLookupColours(context);
}

}  // namespace

void SetLookupColours(AppContext& context) {
  constexpr long kColours[7] = {
      Rgb(0, 192, 192),  Rgb(253, 254, 239), Rgb(0, 0, 217),   Rgb(255, 255, 255),
      Rgb(62, 139, 255), Rgb(255, 255, 255), Rgb(255, 74, 74),
  };
  for (size_t i = 0; i < context.LookupColours.size(); ++i)
    context.LookupColours[i] = QString::number(kColours[i]);
}

bool InitializeProgram(AppContext& context, const QString& commandLine) {
  LocateDatabase(context);
  CreateMarkerFile(context);
  BuildConnectionString(context);
  const bool loaded = LoadAppContext(context, commandLine);
  FinishContext(context);
  return loaded;
}

bool LoadContextForDatabase(AppContext& context, const QString& databasePath,
                            const QString& commandLine) {
  context.MachineUserName = GetComputerNameText() + QLatin1Char('\\') + GetWindowsUserName();
  context.DatabasePassword = QLatin1String(kDatabasePassword);
  context.ConnectionString = ComposeConnectionString(databasePath);
  const bool loaded = LoadAppContext(context, commandLine);
  FinishContext(context);
  return loaded;
}

StartupResult Main(AppContext& context, const QString& commandLine,
                   const MainWindowLauncher& showMainWindow) {
  StartupResult result;
  if (!InitializeProgram(context, commandLine)) {
    // Without the user's rights and groups every window would show or hide the wrong things.
    result.outcome = StartOutcome::kContextFailed;
    return result;
  }

  result.instanceLock = System().LockSingleInstance(QLatin1String(kApplicationTitle));
  if (!result.instanceLock) {
    result.outcome = StartOutcome::kSecondInstance;
    return result;
  }
  // A lock file planted by someone else tells nothing: the program starts, but says so.
  if (!result.instanceLock->Problem().isEmpty())
    ShowMessage(result.instanceLock->Problem(), kExclamation, QStringLiteral("訊息"));
  if (!HasLaunchToken(commandLine)) {
    ShowMessage(QStringLiteral("引數錯誤"), kCritical, QStringLiteral("錯誤"));
    result.outcome = StartOutcome::kMissingToken;
    result.instanceLock.reset();
    return result;
  }
  if (showMainWindow) showMainWindow(context);
  result.outcome = StartOutcome::kRunning;
  return result;
}

}  // namespace tarvel
