// The "hidden" attribute of a file or folder, in the form Linux file managers understand.
//
// GNOME Files, Dolphin, Thunar and Caja hide the names listed one per line in a ".hidden" file in
// the parent folder (and every name starting with a dot). That list is used as the stand-in for
// the desktop's hidden attribute: the program's temporary folder keeps its name and still does
// not show up in the user's folder views.
#pragma once

#include <QString>

namespace tarvel {

/// Whether `path` (a local path, with or without a trailing "/") is hidden: its name starts with
/// a dot or is listed in the parent's ".hidden" (a plain file; a link there is not read).
bool IsHidden(const QString& path);

/// Hides `path` by adding its name to the parent's ".hidden" (created when missing). Returns false
/// when the list cannot be written. A link at ".hidden" is never followed: it is replaced by a
/// list of the program's (OpenOwnFile), and what it led to keeps its bytes. The other attributes
/// of the desktop have no stand-in here.
bool SetHidden(const QString& path);

}  // namespace tarvel
