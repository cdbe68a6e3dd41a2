// A layout run straight into a file: PDF or text, in the memory of a few pages whatever its size.
#pragma once

#include <QString>
#include <optional>

#include "reports/engine/Report.h"

class QIODevice;

namespace tarvel {

/// Runs `report` into a PDF file at `path`: each page is drawn as soon as it is laid out (a
/// layout that prints the page count is kept in a PageStore first and drawn after). The file is
/// renamed into place when complete; on any failure no file is left and an older one stays.
/// `paper`: as for Report::Run. Returns the number of pages. Throws tarvel::Error / db::DbError,
/// and what the layout's handlers throw.
int WriteReportPdf(Report& report, const QString& path,
                   std::optional<PaperTwips> paper = std::nullopt);

/// Runs `report` into a PageStore and writes its text (TextDump.h) to `device`, or to the file
/// `path` (renamed into place when complete). Returns the number of pages. Throws as
/// WriteReportPdf.
int WriteReportText(Report& report, QIODevice& device,
                    std::optional<PaperTwips> paper = std::nullopt);
int WriteReportText(Report& report, const QString& path,
                    std::optional<PaperTwips> paper = std::nullopt);

}  // namespace tarvel
