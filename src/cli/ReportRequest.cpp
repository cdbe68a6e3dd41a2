#include "cli/ReportRequest.h"

#include <map>

#include "criteria/WindowDefaults.h"
#include "db/Connection.h"
#include "platform/Clock.h"
#include "platform/Error.h"

namespace tarvel::cli {
namespace {

QString Usage(const QStringList& choices, const QString& criteria) {
  return QStringLiteral("  --choice N            report choice: ") +
         choices.join(QStringLiteral(", ")) + QLatin1Char('\n') +
         QStringLiteral(
             "  --db PATH             database file (default: the program's, through KORV.DSN)\n"
             "  --today YYYY-MM-DD    fix the clock\n") +
         criteria;
}

template <class Form>
int Run(const QStringList& args, CommandIo io, ScriptCriteria<Form> criteria,
        const std::function<Form(const AppContext&)>& defaults,
        const std::function<int(ScriptRequest<Form>&)>& body) {
  ScriptRequest<Form> request;
  QString criteriaPath;
  for (qsizetype i = 0; i < args.size(); ++i) {
    QString problem;
    switch (criteria.TakeOption(args, i, problem)) {
      case ScriptCriteria<Form>::Taken::Yes:
        continue;
      case ScriptCriteria<Form>::Taken::Refused:
        io.err << problem << "\n";
        return 2;
      case ScriptCriteria<Form>::Taken::No:
        break;
    }
    const std::map<QString, QString*> files = {{QStringLiteral("--db"), &request.databasePath},
                                               {QStringLiteral("--criteria"), &criteriaPath},
                                               {QStringLiteral("--pdf"), &request.pdfPath},
                                               {QStringLiteral("--text"), &request.textPath},
                                               {QStringLiteral("--xlsx"), &request.workbookPath},
                                               {QStringLiteral("--today"), nullptr}};
    const auto it = files.find(args[i]);
    if (it == files.end()) {
      io.err << (args[i].startsWith(QLatin1String("--")) ? "unknown option "
                                                         : "unexpected argument ")
             << args[i] << "\n";
      return 2;
    }
    if (i + 1 >= args.size()) {
      io.err << args[i] << " needs a value\n";
      return 2;
    }
    const QString value = args[++i];
    if (it->second) {
      *it->second = value;
      continue;
    }
    request.today = QDate::fromString(value, Qt::ISODate);
    if (!request.today->isValid()) {
      io.err << "--today takes a date YYYY-MM-DD\n";
      return 2;
    }
  }
  // The file's values come first; options on the command line win over them.
  QStringList problems;
  if (!criteriaPath.isEmpty() && !criteria.ReadFile(criteriaPath, problems)) {
    for (const QString& problem : problems)
      io.err << problem << "\n";
    return 2;
  }
  if (!criteria.choice) {
    io.err << "--choice N is required\n";
    return 2;
  }
  request.choice = *criteria.choice;

  std::optional<ScopedToday> clock;
  if (request.today) clock.emplace(*request.today);
  QString refused;
  std::optional<AppContext> context =
      LoadScriptContext(request.databasePath, criteria.user, refused);
  if (!context && !refused.isEmpty()) {
    io.err << "tarvel-cli: " << refused << "\n";
    return 2;
  }
  if (!context) {
    io.err << "tarvel-cli: the program's settings could not be loaded from the database\n";
    return 1;
  }
  request.context = std::move(*context);
  try {
    request.form = defaults(request.context);
  } catch (const Error& e) {
    io.err << "tarvel-cli: " << e.Description() << "\n";
    return 1;
  }
  request.form.sopt選擇報表 = request.choice;
  criteria.Apply(request.form);
  return body(request);
}

}  // namespace

QString OverviewRequestUsage() {
  QStringList choices;
  for (int choice = 0; choice < kReportChoiceCount; ++choice)
    choices << QStringLiteral("%1 %2").arg(choice).arg(ReportChoiceCaption(choice));
  return Usage(
      choices,
      ScriptCriteria<OverviewFormState>(OverviewCriteriaNames(), kReportChoiceCount).Usage());
}

QString ReworkRequestUsage() {
  QStringList choices;
  for (int choice = 0; choice < kReworkChoiceCount; ++choice)
    choices << QStringLiteral("%1 %2").arg(choice).arg(ReworkReportName(choice));
  return Usage(choices,
               ScriptCriteria<ReworkFormState>(ReworkCriteriaNames(), kReworkChoiceCount).Usage());
}

int RunOverviewRequest(const QStringList& args, CommandIo io,
                       const std::function<int(ScriptRequest<OverviewFormState>&)>& body) {
  return Run<OverviewFormState>(
      args, io, ScriptCriteria<OverviewFormState>(OverviewCriteriaNames(), kReportChoiceCount),
      [](const AppContext& context) {
        auto connection = db::Connection::Open(context.ConnectionString);
        return FirstActivationDefaults(*connection);
      },
      body);
}

int RunReworkRequest(const QStringList& args, CommandIo io,
                     const std::function<int(ScriptRequest<ReworkFormState>&)>& body) {
  return Run<ReworkFormState>(
      args, io, ScriptCriteria<ReworkFormState>(ReworkCriteriaNames(), kReworkChoiceCount),
      [](const AppContext&) { return ReworkWindowDefaults(); }, body);
}

}  // namespace tarvel::cli
