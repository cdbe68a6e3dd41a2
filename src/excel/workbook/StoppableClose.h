// Closing a libxlsxwriter workbook, which deflates every sheet into the package in one call that
// cannot be interrupted (seconds at a hundred thousand lines), in a way that can be stopped.
#pragma once

#include <xlsxwriter.h>

#include <functional>
#include <optional>

namespace tarvel::excel {

/// Writes `book`'s package as workbook_close does, in a child process of its own while
/// `stopped` is asked every 20 ms: true kills the child (the package, half-written, is left to
/// the caller to remove). The book is freed in any case. Returns workbook_close's result, or
/// nullopt when stopped. Where no child can be made the book is closed here, without stops.
std::optional<lxw_error> CloseWorkbook(lxw_workbook* book, const std::function<bool()>& stopped);

}  // namespace tarvel::excel
