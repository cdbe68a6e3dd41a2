// A scripted request of either window: its arguments (the output files, the database, the clock,
// and the window's criteria by option or criteria file), then the context and the window's state
// the desktop program would have, completed from them.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "cli/Command.h"
#include "criteria/NamedCriteria.h"

namespace tarvel::cli {

/// A request ready to run.
template <class Form>
struct ScriptRequest {
  int choice = 0;              ///< --choice N (or sopt選擇報表 in the criteria file)
  QString databasePath;        ///< --db PATH; empty: the program's, through KORV.DSN
  std::optional<QDate> today;  ///< --today: the clock is fixed to it while the request runs
  QString pdfPath;             ///< --pdf FILE
  QString textPath;            ///< --text FILE
  QString workbookPath;        ///< --xlsx FILE
  AppContext context;          ///< as the program loads it for the request's user
  Form form;                   ///< the window's defaults with the request's criteria over them
};

/// The options of a main-window request, for the usage texts.
QString OverviewRequestUsage();
/// The options of a rework-window request.
QString ReworkRequestUsage();

/// Parses `args`, fixes the clock when they say so, loads the context, takes the window's
/// defaults with the criteria over them and runs `body`. Returns 2 for unusable arguments (after
/// saying why on io.err), rights or groups given for a user the database knows among them, 1 when
/// the context cannot be loaded, else body's code.
int RunOverviewRequest(const QStringList& args, CommandIo io,
                       const std::function<int(ScriptRequest<OverviewFormState>&)>& body);
int RunReworkRequest(const QStringList& args, CommandIo io,
                     const std::function<int(ScriptRequest<ReworkFormState>&)>& body);

}  // namespace tarvel::cli
