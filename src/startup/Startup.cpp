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

}  // namespace

void SetLookupColours(AppContext& context) {
  constexpr long kColours[7] = {
      Rgb(0, 192, 192),  Rgb(253, 254, 239), Rgb(0, 0, 217),   Rgb(255, 255, 255),
      Rgb(62, 139, 255), Rgb(255, 255, 255), Rgb(255, 74, 74),
  };
  for (size_t i = 0; i < context.LookupColours.size(); ++i)
    context.LookupColours[i] = QString::number(kColours[i]);
}

void InitializeProgram(AppContext& context, const QString& commandLine) {
  LocateDatabase(context);
  CreateMarkerFile(context);
  BuildConnectionString(context);
  LoadAppContext(context, commandLine);
  // "C:\" names no folder here; the user's documents folder is where a workbook is expected.
  if (context.ExcelFolder.isEmpty()) context.ExcelFolder = System().DocumentsFolder();
  SetLookupColours(context);
}

StartupResult Main(AppContext& context, const QString& commandLine,
                   const MainWindowLauncher& showMainWindow) {
  InitializeProgram(context, commandLine);

  StartupResult result;
  result.instanceLock = System().LockSingleInstance(QLatin1String(kApplicationTitle));
  if (!result.instanceLock) {
    result.outcome = StartOutcome::kSecondInstance;
    return result;
  }
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
