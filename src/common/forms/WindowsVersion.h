// The operating-system version figure of the Windows program.
#pragma once

#include <QString>

namespace tarvel {

/// The version figure from the system's version text and caption (its product name). From a
/// version text "a.b.c": a + b × 0.1 ("6.1.7601" gives 6.1, "10.0.19045" 10). Then the caption,
/// in lower case, overrides it, rule after rule so that the last that matches wins: containing
/// "server" gives 0, containing "windows 10" gives 10, containing "windows 11" gives 11. A version
/// text without two dot-separated parts (empty, "10") or with a part beyond the number range is
/// an error and gives 0, whatever the caption says. Each part is read as the runtime's Val does.
double WindowsVersionOf(const QString& version, const QString& caption);

/// WindowsVersionOf the running system's kernel version and pretty product name. The Windows
/// program used the figure only to shift undocked toolbars on newer Windows; on Linux the figure
/// is the kernel's major.minor and nothing in this program depends on it.
double GetWindowsVersion();

}  // namespace tarvel
