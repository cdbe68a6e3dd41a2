// The program's entry: prepare the context, refuse a second copy or a bare start, show the main
// window.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "platform/InstanceLock.h"
#include "startup/AppContext.h"

namespace tarvel {

/// The application title: the main window's caption and the FUNC of the running-window registry.
inline constexpr char kApplicationTitle[] = "Tarvel";

/// Creates and shows the main window modeless (the desktop program) or notes that it would (tools
/// and tests). Receives the prepared context, which must outlive the window.
using MainWindowLauncher = std::function<void(AppContext&)>;

enum class StartOutcome {
  kRunning,         ///< the main window was shown; the program lives in its events
  kSecondInstance,  ///< another copy runs: ended silently
  kMissingToken,    ///< no launch token: "引數錯誤" was shown
  kContextFailed,   ///< the context could not be loaded: its message was shown, nothing more
};

struct StartupResult {
  StartOutcome outcome = StartOutcome::kRunning;
  /// The single-instance lock; keep it for as long as the program runs (null when refused).
  std::unique_ptr<InstanceLock> instanceLock;
};

/// The start-up preparation, in this order: LocateDatabase, CreateMarkerFile,
/// BuildConnectionString, LoadAppContext, the default ExcelFolder (the user's documents folder,
/// standing in for "C:\"), the lookup colours. Every step runs even when an earlier one reported
/// a failure. Returns what LoadAppContext returned: false when the context is incomplete.
bool InitializeProgram(AppContext& context, const QString& commandLine);

/// The preparation for a database named by its local path instead of the DSN file (tools, and
/// a program told which database to use): MachineUserName as LocateDatabase sets it,
/// DatabasePassword and ConnectionString (ComposeConnectionString of `databasePath`),
/// LoadAppContext, then the default ExcelFolder and the lookup colours as InitializeProgram.
/// Returns what LoadAppContext returned (its failure has been shown).
bool LoadContextForDatabase(AppContext& context, const QString& databasePath,
                            const QString& commandLine);

/// The entry: InitializeProgram; when the context could not be loaded the start ends after its
/// message. Then a second copy ends silently (a lock file that is not the user's own is named in
/// a message, style 48, and the start goes on) and a command line without the launch token ends
/// after "引數錯誤" / "錯誤" (style 16); otherwise `showMainWindow` runs.
StartupResult Main(AppContext& context, const QString& commandLine,
                   const MainWindowLauncher& showMainWindow);

/// The seven lookup grid colours as decimal colour numbers (red + 256 * green + 65536 * blue).
void SetLookupColours(AppContext& context);

}  // namespace tarvel
