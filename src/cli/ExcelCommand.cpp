// tarvel-cli excel: a report choice exported to a workbook, as the export window would write it.
#include "cli/Command.h"
#include "cli/ReportRequest.h"
#include "excel/WorkOrderExport.h"
#include "overview/criteria/OutputRights.h"
#include "overview/criteria/QueryBuilder.h"
#include "reports/ReportCatalogue.h"

namespace tarvel::cli {
namespace {

/// Runs the export routine the request's choice leads to once the query builder found rows.
class WorkbookDispatcher final : public CatalogueDispatcher {
 public:
  WorkbookDispatcher(const ReportArguments& arguments, const OverviewFormState& form,
                     const WorkOrderCriteria& criteria, const AppContext& context)
      : arguments_(arguments), form_(form), criteria_(criteria), context_(context) {}

  std::optional<excel::ExportOutcome> outcome;

 protected:
  void Output(const LayoutEntry&, OutputMode) override {
    const std::optional<excel::ExportRoutine> routine = excel::ExportRoutineFor(form_);
    if (routine)
      outcome = excel::ExportWorkOrders(*routine, criteria_, context_, arguments_.workbookPath);
  }

 private:
  const ReportArguments& arguments_;
  const OverviewFormState& form_;
  const WorkOrderCriteria& criteria_;
  const AppContext& context_;
};

}  // namespace

int RunExcelCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << "usage: tarvel-cli excel --choice N [criteria] --xlsx FILE\n"
           << "  writes the workbook the export window would write (choices 0 to 4)\n"
           << CriteriaUsage();
    return 0;
  }
  return RunWithRequest(args, io, [&](const ReportArguments& arguments, ReportRequest& request) {
    if (arguments.workbookPath.isEmpty()) {
      io.err << "excel needs --xlsx FILE\n";
      return 2;
    }
    if (!excel::ExportRoutineFor(request.form)) {
      io.err << "report choice " << arguments.choice << " has no Excel export\n";
      return 2;
    }
    if (!CheckExcelRights(request.context)) return 1;
    WorkOrderCriteria criteria;
    WorkbookDispatcher dispatcher(arguments, request.form, criteria, request.context);
    BuildAndCheck(request.form, OutputMode::Excel, request.context, criteria, dispatcher);
    return dispatcher.outcome == excel::ExportOutcome::Written ? 0 : 1;
  });
}

}  // namespace tarvel::cli
