// tarvel-cli sql: the statement the program runs for a report choice and its check boxes.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "output/ReportCatalogue.h"

namespace tarvel::cli {

int RunSqlCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli sql --choice N [criteria]\n" << OverviewRequestUsage();
    return 0;
  }
  return RunOverviewRequest(args, io, [&](ScriptRequest<OverviewFormState>& request) {
    WorkOrderCriteria criteria;
    CaptureCriteria(request.form, criteria);
    const RequestCriteria asked{.context = request.context, .overview = &criteria};
    io.out << RowFor(request.form).Statement(asked, StatementUse::Layout) << "\n";
    return 0;
  });
}

}  // namespace tarvel::cli
