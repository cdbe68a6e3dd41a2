// The older and the open workbook formats: the export writes .xlsx, and LibreOffice's headless
// converter (Debian's libreoffice-calc-nogui) turns the finished file into .xls or .ods.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "excel/workbook/Worksheet.h"
#include "platform/Error.h"

namespace tarvel::excel {

enum class WorkbookFormat { Xlsx, Xls, Ods };

/// The format a target's extension asks for: ".xls" and ".ods" (in any case) their own, anything
/// else (".xlsx", none, an unknown one) the .xlsx workbook the export writes.
WorkbookFormat FormatOfPath(const QString& path);

/// The conversion stopped: a signal is ending the program (TerminationRequested), or the watch
/// asked it to.
class ConversionInterrupted : public Error {
 public:
  using Error::Error;
};

/// What a conversion is doing.
enum class ConversionStep {
  Converting,  ///< LibreOffice writes the converted file
  Checking,    ///< the converted file is read back and compared with the workbook
};

/// Hears the step under way, as it begins and about every 100 ms while LibreOffice converts;
/// false stops the conversion.
using ConversionWatch = std::function<bool(ConversionStep step)>;

/// Writes `target` in `format` from the finished .xlsx file `xlsxPath`, through LibreOffice
/// (soffice) run headless with a profile of its own, so a LibreOffice the user has open neither
/// receives the job nor blocks it. The converted file is made in a work folder beside the target
/// (WorkFolder, with the converter's profile and temporary files) and renamed over the target
/// only when complete and when its sheets hold the values `expected` says the workbook's do
/// (ReadSheetValues): a converter that drops rows fails the conversion. The .xlsx file is left
/// for the caller.
///
/// The converter runs in a process group of its own, which dies with the program: at a signal
/// (TerminationCleanup), and, should the program be killed outright, through a watchdog in the
/// group that waits for the program's end; when `watch` stops it the group is ended at once.
/// Waits at most `timeoutMs`. Throws ConversionInterrupted when a signal ends the program
/// meanwhile or `watch` stops it, tarvel::Error with a description when LibreOffice is missing,
/// fails, times out or drops rows; an existing target is then unchanged and the work folder gone.
void ConvertWorkbook(const QString& xlsxPath, WorkbookFormat format, const QString& target,
                     const std::vector<SheetValues>& expected, const ConversionWatch& watch = {},
                     int timeoutMs = 600000);

}  // namespace tarvel::excel
