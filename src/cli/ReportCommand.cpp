// tarvel-cli report: a report choice from criteria to PDF or text, as the program would print it.
#include <QFile>
#include <QSaveFile>

#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "overview/criteria/QueryBuilder.h"
#include "platform/Error.h"
#include "reports/ReportCatalogue.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/TextDump.h"

namespace tarvel::cli {
namespace {

/// Renders the dispatched layout to the requested files (or the text to standard output).
class FileDispatcher final : public CatalogueDispatcher {
 public:
  FileDispatcher(const ReportArguments& arguments, const WorkOrderCriteria& criteria,
                 const AppContext& context, CommandIo io)
      : arguments_(arguments), criteria_(criteria), context_(context), io_(io) {}

 protected:
  void Output(const LayoutEntry& entry, OutputMode) override {
    const PageModel pages = CheckedLayout(entry, criteria_, context_)->Run();
    if (!arguments_.pdfPath.isEmpty()) WritePdf(pages, arguments_.pdfPath);
    const QString text = DumpText(pages);
    if (!arguments_.textPath.isEmpty()) {
      QSaveFile file(arguments_.textPath);
      if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw Error(QStringLiteral("無法寫入檔案：") + arguments_.textPath);
    }
    if (arguments_.pdfPath.isEmpty() && arguments_.textPath.isEmpty()) io_.out << text;
    io_.err << entry.name << ": " << pages.PageCount() << " pages\n";
  }

 private:
  const ReportArguments& arguments_;
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
  return RunWithRequest(args, io, [&](const ReportArguments& arguments, ReportRequest& request) {
    WorkOrderCriteria criteria;
    FileDispatcher dispatcher(arguments, criteria, request.context, io);
    const BuildResult result =
        BuildAndCheck(request.form, OutputMode::Print, request.context, criteria, dispatcher);
    return result == BuildResult::Dispatched ? 0 : 1;
  });
}

}  // namespace tarvel::cli
