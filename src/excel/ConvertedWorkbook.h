// Reading back what a converted workbook holds, so an export never reports success for a file
// the converter cut short (an .xls sheet ends at row 65,536; a converter may stop half-way).
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "excel/WorkbookConversion.h"
#include "excel/workbook/Worksheet.h"

namespace tarvel::excel {

/// The rows of an .xls sheet: BIFF8's limit.
inline constexpr int kXlsMaxRows = 65536;

/// What each sheet of the workbook file at `path` holds of values, sheet by sheet in order:
/// an .xls file (BIFF8 in a compound document) or an .ods file (its content.xml). Cells with a
/// format only do not count. Throws Error, naming the file, when it cannot be read as such.
/// `stopped` (may be empty) is asked as the reading goes on (a million lines take seconds):
/// true gives it up with ConversionInterrupted.
std::vector<SheetValues> ReadSheetValues(const QString& path, WorkbookFormat format,
                                         const std::function<bool()>& stopped = {});

}  // namespace tarvel::excel
