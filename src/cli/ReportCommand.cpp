// tarvel-cli report: a report choice from criteria to PDF or text, as the program would print it.
#include <QFile>
#include <QSaveFile>

#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "overview/criteria/QueryBuilder.h"
#include "platform/Error.h"
#include "reports/OverviewLayouts.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/TextDump.h"

namespace tarvel::cli {
namespace {

/// Renders the dispatched layout to the requested files (or the text to standard output).
class FileDispatcher final : public OutputDispatcher {
 public:
  FileDispatcher(const ReportRequest& request, const WorkOrderCriteria& criteria,
                 const AppContext& context, CommandIo io)
      : request_(request), criteria_(criteria), context_(context), io_(io) {}

  void Dispatch(const OverviewFormState& form, OutputMode) override {
    const QString name = LayoutForChoice(form);
    std::unique_ptr<Report> report = CreateOverviewLayout(name, criteria_, context_);
    if (!report) {
      io_.err << "tarvel-cli report: the layout " << name << " is not available in this build\n";
      exitCode = 3;
      return;
    }
    const PageModel pages = report->Run();
    if (!request_.pdfPath.isEmpty()) WritePdf(pages, request_.pdfPath);
    const QString text = DumpText(pages);
    if (!request_.textPath.isEmpty()) {
      QSaveFile file(request_.textPath);
      if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw Error(QStringLiteral("無法寫入檔案：") + request_.textPath);
    }
    if (request_.pdfPath.isEmpty() && request_.textPath.isEmpty()) io_.out << text;
    io_.err << name << ": " << pages.PageCount() << " pages\n";
    exitCode = 0;
  }

  int exitCode = 1;

 private:
  const ReportRequest& request_;
  const WorkOrderCriteria& criteria_;
  const AppContext& context_;
  CommandIo io_;
};

}  // namespace

int RunReportCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli report --choice N [criteria] [--pdf FILE] [--text FILE]\n"
           << "  without --pdf and --text the page text is written to standard output\n"
           << CriteriaUsage();
    return 0;
  }
  auto request = ParseReportRequest(args, io);
  if (!request) return 2;
  WorkOrderCriteria criteria;
  FileDispatcher dispatcher(*request, criteria, request->context, io);
  const BuildResult result =
      BuildAndCheck(request->form, OutputMode::Print, request->context, criteria, dispatcher);
  if (result == BuildResult::NoRows) return 1;
  if (result == BuildResult::Failed) return 1;
  return dispatcher.exitCode;
}

}  // namespace tarvel::cli
