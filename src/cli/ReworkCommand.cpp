// tarvel-cli rework: the rework window's statements, reports and export without the window.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "criteria/OutputRights.h"
#include "output/OutputRun.h"

namespace tarvel::cli {

int RunReworkCommand(const QStringList& args, CommandIo io) {
  const QStringList actions = {"sql", "report", "excel"};
  if (args.isEmpty() || args.contains(QLatin1String("--help")) || !actions.contains(args[0])) {
    (args.contains(QLatin1String("--help")) ? io.out : io.err)
        << "usage: tarvel-cli rework sql|report|excel --choice N [criteria] [--pdf FILE] "
           "[--text FILE] [--xlsx FILE]\n"
           "  sql     the statement the layout of the choice prints\n"
           "  report  the layout the window would print (text to standard output without --pdf "
           "and --text)\n"
           "  excel   the workbook frm重工明細表轉Excel writes (choices 0 and 1)\n"
        << ReworkRequestUsage();
    return args.contains(QLatin1String("--help")) ? 0 : 2;
  }
  const QString action = args[0];
  return RunReworkRequest(args.mid(1), io, [&](ScriptRequest<ReworkFormState>& request) {
    const ReportRow& row = ReworkRowFor(request.choice);
    ReworkCriteria criteria;
    if (action == QLatin1String("sql")) {
      CaptureReworkCriteria(request.form, criteria);
      io.out << row.Statement({.context = request.context, .rework = &criteria},
                              StatementUse::Layout)
             << "\n";
      return 0;
    }
    if (action == QLatin1String("report")) {
      const ReportFiles files{request.pdfPath, request.textPath};
      const OutputResult result = RequestRework(
          request.form, OutputMode::Print, request.context, criteria, [&](CheckedRequest& checked) {
            const int pages = WriteReportFiles(checked, files, io.out);
            io.err << checked.row.Name() << ": " << pages << " pages\n";
          });
      return result == OutputResult::Done ? 0 : 1;
    }
    if (request.workbookPath.isEmpty() || row.exporter == nullptr) {
      io.err << (request.workbookPath.isEmpty()
                     ? "rework excel needs --xlsx FILE\n"
                     : "only 重工明細表 (0) and 打樣明細表 (1) export to Excel\n");
      return 2;
    }
    if (!CheckExcelRights(request.context)) return 1;
    std::optional<excel::ExportOutcome> outcome;
    RequestRework(request.form, OutputMode::Excel, request.context, criteria,
                  [&](CheckedRequest& checked) {
                    outcome = ExportReport(checked.row, checked.criteria, request.workbookPath);
                  });
    return outcome == excel::ExportOutcome::Written ? 0 : 1;
  });
}

}  // namespace tarvel::cli
