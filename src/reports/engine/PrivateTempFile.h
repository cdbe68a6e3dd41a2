// The nameless temporary files of long runs (pages past the memory budget, a text report's
// spool): made in a folder of the user's own, gone with the last descriptor, so a crash leaves
// nothing behind to clean.
#pragma once

#include <QString>
#include <cstddef>
#include <string>

namespace tarvel {

/// Opens a new nameless file (O_TMPFILE, or made and unlinked at once where the file system lacks
/// it) for reading and writing in `folder`, which is made (mode 0700) when missing. Returns the
/// descriptor, the caller's to close. Throws tarvel::Error when `folder` is not the user's own
/// folder (another user's, a link) or the file cannot be made.
int OpenPrivateTempFile(const QString& folder);

/// Writes all `size` bytes of `data` at `offset` of `fd`. Throws tarvel::Error naming the system's
/// reason (a full disk) with `what` ("報表的暫存頁檔") as the file's description.
void WriteAllAt(int fd, const char* data, std::size_t size, qint64 offset, const QString& what);

/// Reads exactly `size` bytes at `offset` of `fd` into `out` (resized). Throws tarvel::Error when
/// fewer are there or the read fails.
void ReadAllAt(int fd, std::size_t size, qint64 offset, std::string& out, const QString& what);

}  // namespace tarvel
