// Turns the Windows-style paths the suite stores (DSN files, connection strings) into local paths.
//
// The suite's configuration names files the Windows way, often upper-cased ("D:\DATA\KORV.MDB",
// "\\SRV\ERP\KORV.MDB"), while Linux file names are case-sensitive. These functions find the file
// that such a path means:
//
// - Backslashes become slashes.
// - Each component is taken as written when it exists; otherwise it is matched case-insensitively
//   (Unicode case folding) among the entries of its parent folder. When several entries fold to the
//   same name, the first in code-point order wins, so the choice is stable.
// - A relative path is relative to the current folder. "." and ".." are resolved lexically.
// - A drive letter ("D:\DATA\KORV.MDB") has no meaning on Linux: it is dropped and the rest is
// taken
//   from the root ("/DATA/KORV.MDB", which then matches /data/korv.mdb).
// - A UNC path ("\\SRV\ERP\KORV.MDB") is taken from the root as well: "/SRV/ERP/KORV.MDB". It
// exists
//   only when the share is mounted at that place (for instance /srv/erp); the server name is part
//   of the local path, not a host to contact.
#pragma once

#include <QString>
#include <optional>

namespace tarvel {

/// The local path of the existing file or folder that `windowsOrUnixPath` names, or nullopt when
/// no entry matches (also for an empty path).
std::optional<QString> ResolveExistingPath(const QString& windowsOrUnixPath);

/// The local path under which to create the file that `windowsOrUnixPath` names: its folder is
/// resolved like ResolveExistingPath, its final name is kept as written (upper/lower case as
/// given). When the file already exists under a name of different case, that file is returned, so
/// the program rewrites it instead of creating a twin. When the folder does not resolve, the
/// slash-converted path is returned unchanged and creating the file fails in the usual way.
QString ResolveForCreate(const QString& windowsOrUnixPath);

/// The path with backslashes turned into slashes and the drive-letter / UNC prefix mapped to the
/// root as described above, not yet matched against the file system.
QString LocalPathSyntax(const QString& windowsOrUnixPath);

}  // namespace tarvel
