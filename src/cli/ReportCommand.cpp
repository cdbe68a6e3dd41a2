// tarvel-cli report: a report choice from criteria to PDF or text, as the program would print it.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "output/OutputRun.h"

namespace tarvel::cli {

int RunReportCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli report --choice N [criteria] [--pdf FILE] [--text FILE]\n"
           << "  without --pdf and --text the page text is written to standard output\n"
           << OverviewRequestUsage();
    return 0;
  }
  return RunOverviewRequest(args, io, [&](ScriptRequest<OverviewFormState>& request) {
    WorkOrderCriteria criteria;
    const ReportFiles files{request.pdfPath, request.textPath};
    const OutputResult result = RequestOverview(
        request.form, OutputMode::Print, request.context, criteria, [&](CheckedRequest& checked) {
          const int pages = WriteReportFiles(checked, files, io.out);
          io.err << checked.row.Name() << ": " << pages << " pages\n";
        });
    return result == OutputResult::Done ? 0 : 1;
  });
}

}  // namespace tarvel::cli
