// The older and the open workbook formats: the export writes .xlsx, and LibreOffice's headless
// converter (Debian's libreoffice-calc-nogui) turns the finished file into .xls or .ods.
#pragma once

#include <QString>

namespace tarvel::excel {

enum class WorkbookFormat { Xlsx, Xls, Ods };

/// The format a target's extension asks for: ".xls" and ".ods" (in any case) their own, anything
/// else (".xlsx", none, an unknown one) the .xlsx workbook the export writes.
WorkbookFormat FormatOfPath(const QString& path);

/// Writes `target` in `format` from the finished .xlsx file `xlsxPath`, through LibreOffice
/// (soffice) run headless with a profile of its own, so a LibreOffice the user has open neither
/// receives the job nor blocks it. The converted file is made in a temporary folder beside the
/// target and renamed over it only when complete; the .xlsx file is left for the caller. Waits
/// at most `timeoutMs`. Throws tarvel::Error with a description when LibreOffice is missing,
/// fails, or times out; an existing target is then unchanged.
void ConvertWorkbook(const QString& xlsxPath, WorkbookFormat format, const QString& target,
                     int timeoutMs = 120000);

}  // namespace tarvel::excel
