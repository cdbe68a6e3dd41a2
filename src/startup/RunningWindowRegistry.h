// The running-window registry [SYSUSER1]: one row per computer/user and program while its window is
// open.
#pragma once

#include <QString>

namespace tarvel {

/// The status bar's words when the registry was skipped on a read-only database.
inline const QString kReadOnlyDatabaseStatus =
    QStringLiteral("資料庫是 Jet (Access) 檔案：本程式在此只讀取，不寫入（已開啟程式不記錄）。");

/// What RegisterRunningWindow did.
enum class RegistryOutcome {
  Done,      ///< the row was written, or the launcher no longer runs, or a failure was shown
  ReadOnly,  ///< the database is one this program only reads (a Jet file): nothing was written
};

/// Writes the row of `id` and `func` with LPID = `windowHandle` (a row left behind by a crash is
/// reused, so there is never more than one). Nothing is written when the launcher (the suite's
/// menu named by `launcherWindow`) no longer runs, nor to a database the program only reads
/// (then the result says so, for the caller to tell the user once). Failures are shown with the
/// title "記錄已開啟程式錯誤" (style 16); the caller goes on.
RegistryOutcome RegisterRunningWindow(const QString& connectionString, const QString& id,
                                      double launcherWindow, double windowHandle,
                                      const QString& func);

/// Deletes the row of `id` and `func`, or every row of `id` when `allPrograms`; nothing on a
/// database the program only reads. Failures are shown with the title "刪除已開啟程式錯誤"
/// (style 16).
void UnregisterRunningWindow(const QString& connectionString, const QString& id,
                             const QString& func, bool allPrograms);

}  // namespace tarvel
