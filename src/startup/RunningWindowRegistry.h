// The running-window registry [SYSUSER1]: one row per computer/user and program while its window is
// open.
#pragma once

#include <QString>

namespace tarvel {

/// Writes the row of `id` and `func` with LPID = `windowHandle` (a row left behind by a crash is
/// reused, so there is never more than one). Nothing is written when the launcher (the suite's
/// menu named by `launcherWindow`) no longer runs. Failures are shown with the title
/// "記錄已開啟程式錯誤" (style 16); the caller goes on.
void RegisterRunningWindow(const QString& connectionString, const QString& id,
                           double launcherWindow, double windowHandle, const QString& func);

/// Deletes the row of `id` and `func`, or every row of `id` when `allPrograms`. Failures are
/// shown with the title "刪除已開啟程式錯誤" (style 16).
void UnregisterRunningWindow(const QString& connectionString, const QString& id,
                             const QString& func, bool allPrograms);

}  // namespace tarvel
