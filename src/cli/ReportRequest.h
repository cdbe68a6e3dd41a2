// The criteria and user of a scripted report request, from options and a JSON file, completed
// with the context and the window defaults the desktop program would have.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/Command.h"
#include "overview/criteria/WorkOrderCriteria.h"
#include "startup/AppContext.h"

namespace tarvel::cli {

struct ReportRequest {
  AppContext context;
  OverviewFormState form;
  QString pdfPath;   ///< --pdf FILE
  QString textPath;  ///< --text FILE
};

/// Usage text of the criteria options, for the commands that take them.
QString CriteriaUsage();

/// Reads `args`: --choice N, the criteria options, --criteria FILE.json, the user, --db PATH,
/// --today YYYY-MM-DD, --pdf/--text. Loads the context from the database as the program would
/// (the database beside the executable unless --db names one), fills what the request leaves open
/// with the main window's defaults (current month, first to last customer and salesperson), and
/// applies the request over them. Returns nullopt after writing the reason to io.err.
std::optional<ReportRequest> ParseReportRequest(const QStringList& args, CommandIo io);

}  // namespace tarvel::cli
