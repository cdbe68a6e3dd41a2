// tarvel-cli sql: the statement the program runs for a report choice and its check boxes.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "reports/ReportCatalogue.h"

namespace tarvel::cli {

int RunSqlCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli sql --choice N [criteria]\n" << CriteriaUsage();
    return 0;
  }
  return RunWithRequest(args, io, [&](const ReportArguments&, ReportRequest& request) {
    WorkOrderCriteria criteria;
    CaptureCriteria(request.form, criteria);
    io.out << ComposeStatement(EntryFor(request.form).statement, criteria, request.context) << "\n";
    return 0;
  });
}

}  // namespace tarvel::cli
