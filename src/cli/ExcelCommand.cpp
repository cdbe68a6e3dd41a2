// tarvel-cli excel: a report choice exported to a workbook, as the export window would write it.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "criteria/OutputRights.h"
#include "output/OutputRun.h"

namespace tarvel::cli {

int RunExcelCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli excel --choice N [criteria] --xlsx FILE\n"
           << "  writes the workbook the export window would write (choices 0 to 4)\n"
           << OverviewRequestUsage();
    return 0;
  }
  return RunOverviewRequest(args, io, [&](ScriptRequest<OverviewFormState>& request) {
    if (request.workbookPath.isEmpty()) {
      io.err << "excel needs --xlsx FILE\n";
      return 2;
    }
    if (RowFor(request.form).exporter == nullptr) {
      io.err << "report choice " << request.choice << " has no Excel export\n";
      return 2;
    }
    if (!CheckExcelRights(request.context)) return 1;
    WorkOrderCriteria criteria;
    std::optional<excel::ExportOutcome> outcome;
    RequestOverview(request.form, OutputMode::Excel, request.context, criteria,
                    [&](CheckedRequest& checked) {
                      outcome = ExportReport(checked.row, checked.criteria, request.workbookPath);
                    });
    return outcome == excel::ExportOutcome::Written ? 0 : 1;
  });
}

}  // namespace tarvel::cli
