// A scripted report request: its arguments (options and a JSON file with the program's names),
// then the context and window defaults the desktop program would have, completed from them.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "cli/Command.h"
#include "overview/criteria/WorkOrderCriteria.h"
#include "startup/AppContext.h"

namespace tarvel::cli {

/// What the arguments of `sql` and `report` say, nothing looked up yet.
struct ReportArguments {
  int choice = 0;              ///< --choice N (or sopt選擇報表 in the JSON file)
  QString databasePath;        ///< --db PATH; empty: the program's, through KORV.DSN
  std::optional<QDate> today;  ///< --today: the command fixes the clock to it
  QString pdfPath;             ///< --pdf FILE
  QString textPath;            ///< --text FILE
  QString workbookPath;        ///< --xlsx FILE (the excel command)
  // The user and context values a request may set over what the database says.
  std::optional<QString> admin, user, employee, rights, profitBase;
  std::optional<UserGroups> groups;
  /// The window edits of the request, applied in order over the window's defaults (the JSON
  /// file's first, the options' after them).
  std::vector<std::function<void(OverviewFormState&)>> edits;
};

/// A request ready to run: the context as the program loads it and the window's state.
struct ReportRequest {
  AppContext context;
  OverviewFormState form;
};

/// Usage text of the criteria options, for the commands that take them.
QString CriteriaUsage();

/// Reads `args`: --choice N, the criteria options, --criteria FILE.json, the user, --db PATH,
/// --today YYYY-MM-DD, --pdf/--text. Returns nullopt after writing the reason to io.err.
std::optional<ReportArguments> ParseReportArguments(const QStringList& args, CommandIo io);

/// Loads the context from the database as the program would (the database beside the executable
/// unless the arguments name one), applies the user overrides, takes the main window's defaults
/// and applies the request's edits over them. Returns nullopt after the loader's message.
std::optional<ReportRequest> PrepareReportRequest(const ReportArguments& arguments, CommandIo io);

/// Parses `args`, fixes the clock when they say so, prepares the request and runs `body` on it.
/// Returns 2 for unusable arguments, 1 when the request cannot be prepared, else body's code.
int RunWithRequest(const QStringList& args, CommandIo io,
                   const std::function<int(const ReportArguments&, ReportRequest&)>& body);

}  // namespace tarvel::cli
