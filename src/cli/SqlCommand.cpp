// tarvel-cli sql: the statement the query builder would run for a report choice.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "overview/criteria/WhereClauses.h"

namespace tarvel::cli {

int RunSqlCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli sql --choice N [criteria]\n" << CriteriaUsage();
    return 0;
  }
  const auto request = ParseReportRequest(args, io);
  if (!request) return 2;
  WorkOrderCriteria criteria;
  CaptureCriteria(request->form, criteria);
  io.out << ReportStatement(request->form.sopt選擇報表, criteria, request->context) << "\n";
  return 0;
}

}  // namespace tarvel::cli
