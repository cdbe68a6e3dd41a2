#include "cli/ReportRequest.h"

#include <cstring>
#include <functional>
#include <map>

#include "cli/CriteriaJson.h"
#include "db/Connection.h"
#include "overview/criteria/WindowDefaults.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "startup/Startup.h"

namespace tarvel::cli {
namespace {

using TextSetter = std::function<void(OverviewFormState&, const QString&)>;

struct TextField {
  const char* json;    ///< the criteria record's name
  const char* option;  ///< the readable option name
  TextSetter set;
};

/// Dates take the digits of the window's date boxes only.
bool IsDateField(const TextField& field) {
  return std::strcmp(field.json, "DateFrom") == 0 || std::strcmp(field.json, "DateTo") == 0;
}

struct Flag {
  const char* json;    ///< the window's check-box name
  const char* option;  ///< the readable option name
  bool OverviewFormState::*box;
};

const std::vector<TextField>& TextFields() {
  static const std::vector<TextField> fields = {
      {"PoFrom", "po-from", [](OverviewFormState& f, const QString& v) { f.txt單號_起 = v; }},
      {"PoTo", "po-to", [](OverviewFormState& f, const QString& v) { f.txt單號_末 = v; }},
      // A date range means the same whichever pair of date boxes the choice reads.
      {"DateFrom", "date-from",
       [](OverviewFormState& f, const QString& v) { f.txt日期_起 = f.txt日期[0] = v; }},
      {"DateTo", "date-to",
       [](OverviewFormState& f, const QString& v) { f.txt日期_末 = f.txt日期[1] = v; }},
      {"CustomerKeyword", "customer",
       [](OverviewFormState& f, const QString& v) { f.txt客戶代號 = v; }},
      {"SalesKeyword", "sales", [](OverviewFormState& f, const QString& v) { f.txt業務員 = v; }},
      {"CustomerFrom", "customer-from",
       [](OverviewFormState& f, const QString& v) { f.txt客戶代號1[0] = v; }},
      {"CustomerTo", "customer-to",
       [](OverviewFormState& f, const QString& v) { f.txt客戶代號1[1] = v; }},
      {"ItemKeyword", "item", [](OverviewFormState& f, const QString& v) { f.txt印件名稱 = v; }},
      {"KeyerKeyword", "keyer", [](OverviewFormState& f, const QString& v) { f.txt鍵機人員 = v; }},
      {"StaffKeyword", "staff", [](OverviewFormState& f, const QString& v) { f.txt工務人員 = v; }},
      {"Category", "category", [](OverviewFormState& f, const QString& v) { f.cbo種類 = v; }},
      {"SalesFrom", "sales-from",
       [](OverviewFormState& f, const QString& v) { f.txt業務員代號[0] = v; }},
      {"SalesTo", "sales-to",
       [](OverviewFormState& f, const QString& v) { f.txt業務員代號[1] = v; }},
      {"CustomerPoKeyword", "customer-po",
       [](OverviewFormState& f, const QString& v) { f.txt客戶單號 = v; }},
      {"Classification", "classification",
       [](OverviewFormState& f, const QString& v) { f.cbo分類 = v; }},
  };
  return fields;
}

const std::vector<Flag>& Flags() {
  static const std::vector<Flag> flags = {
      {"chk只印未審單", "unreviewed", &OverviewFormState::chk只印未審單},
      {"chk只印未審單1", "unreviewed-sales-range", &OverviewFormState::chk只印未審單1},
      {"chk金額異常", "anomaly", &OverviewFormState::chk金額異常},
      {"chk只印金額大於零", "positive-amount", &OverviewFormState::chk只印金額大於零},
      {"chk依業務印表", "by-salesperson", &OverviewFormState::chk依業務印表},
      {"chk依業務印表1", "by-salesperson-range", &OverviewFormState::chk依業務印表1},
      {"chk印合版資料", "combined-plates", &OverviewFormState::chk印合版資料},
      {"chk印刀模代號", "die-code", &OverviewFormState::chk印刀模代號},
      {"chk客戶單號", "customer-po-layout", &OverviewFormState::chk客戶單號},
      {"chk不印金額", "no-amounts", &OverviewFormState::chk不印金額},
  };
  return flags;
}

struct Choice3 {
  const char* json;
  const char* option;
  int OverviewFormState::*index;
  std::map<QString, int> words;
};

const std::vector<Choice3>& OptionGroups() {
  static const std::vector<Choice3> groups = {
      {"sopt完工",
       "completion",
       &OverviewFormState::sopt完工,
       {{"finished", 0}, {"unfinished", 1}, {"all", 2}}},
      {"sopt送貨",
       "delivery",
       &OverviewFormState::sopt送貨,
       {{"cleared", 0}, {"uncleared", 1}, {"all", 2}}},
      {"sopt發票",
       "invoice",
       &OverviewFormState::sopt發票,
       {{"invoiced", 0}, {"uninvoiced", 1}, {"all", 2}}},
  };
  return groups;
}

using FormEdits = std::vector<std::function<void(OverviewFormState&)>>;

/// Reads a criteria file into form edits and user overrides. Keys are the program's own names,
/// each of one type (CriteriaJson); any other value, or a name the program does not have, is
/// refused.
bool ReadJson(const QString& path, FormEdits& edits, std::optional<int>& choice,
              ReportArguments& user, CommandIo io) {
  CriteriaJson json;
  if (!json.Load(path, io)) return false;
  for (const TextField& f : TextFields()) {
    const bool date = IsDateField(f);
    const std::optional<QString> text = date ? json.Date(f.json) : json.Text(f.json);
    if (text)
      edits.push_back([set = f.set, text = *text](OverviewFormState& form) { set(form, text); });
  }
  for (const Flag& f : Flags()) {
    if (const std::optional<bool> on = json.Flag(f.json))
      edits.push_back([box = f.box, on = *on](OverviewFormState& form) { form.*box = on; });
  }
  for (const Choice3& g : OptionGroups()) {
    if (const std::optional<int> n = json.Option(g.json, 0, 2))
      edits.push_back([index = g.index, n = *n](OverviewFormState& form) { form.*index = n; });
  }
  const std::optional<int> chosen = json.Option("sopt選擇報表", 0, kReportChoiceCount - 1);
  if (chosen && !choice) choice = chosen;  // --choice wins
  const auto text = [&](const char* key, std::optional<QString>& into) {
    if (const std::optional<QString> value = json.Text(key)) into = value;
  };
  text("AdminName", user.admin);
  text("UserName", user.user);
  text("EmployeeId", user.employee);
  text("WorkOrderRights", user.rights);
  text("ProfitRateBase", user.profitBase);
  if (const std::optional<QStringList> list = json.Texts("Groups", kGroupCount)) {
    UserGroups groups;
    for (int i = 0; i < list->size(); ++i)
      groups[i] = (*list)[i];
    user.groups = groups;
  }
  return json.Finish(io);
}

bool IsChoice(int choice) {
  return choice >= 0 && choice < kReportChoiceCount;
}

}  // namespace

QString CriteriaUsage() {
  QStringList choices;
  for (int choice = 0; choice < kReportChoiceCount; ++choice)
    choices << QStringLiteral("%1 %2").arg(choice).arg(ReportChoiceCaption(choice));
  QString usage = QStringLiteral("  --choice N            report choice: ") +
                  choices.join(QStringLiteral(", ")) + QLatin1Char('\n');
  usage += QStringLiteral(
      "  --criteria FILE.json  criteria, check boxes and user by their program names\n"
      "  --db PATH             database file (default: the program's, through KORV.DSN)\n"
      "  --today YYYY-MM-DD    fix the clock\n"
      "  --admin/--user/--employee TEXT, --rights TEXT, --groups A,B,.. , --profit-base TEXT\n");
  for (const TextField& f : TextFields())
    usage += QStringLiteral("  --%1 TEXT\n").arg(QString::fromUtf8(f.option));
  for (const Flag& f : Flags())
    usage += QStringLiteral("  --%1\n").arg(QString::fromUtf8(f.option));
  for (const Choice3& g : OptionGroups()) {
    QStringList words;
    for (const auto& [word, index] : g.words)
      words << word;
    usage += QStringLiteral("  --%1 %2\n")
                 .arg(QString::fromUtf8(g.option), words.join(QLatin1Char('|')));
  }
  return usage;
}

std::optional<ReportArguments> ParseReportArguments(const QStringList& args, CommandIo io) {
  std::optional<int> choice;
  QString jsonPath;
  FormEdits edits;
  ReportArguments request;

  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) {
        io.err << a << " needs a value\n";
        return std::nullopt;
      }
      return args[++i];
    };
    if (!a.startsWith(QLatin1String("--"))) {
      io.err << "unexpected argument " << a << "\n";
      return std::nullopt;
    }
    const QString name = a.mid(2);
    if (name == QLatin1String("choice")) {
      const auto v = value();
      bool ok = false;
      if (!v || (choice = v->toInt(&ok), !ok) || !IsChoice(*choice)) {
        io.err << "--choice takes a report choice from 0 to " << kReportChoiceCount - 1 << "\n";
        return std::nullopt;
      }
      continue;
    }
    const std::map<QString, QString*> plain = {{QStringLiteral("db"), &request.databasePath},
                                               {QStringLiteral("criteria"), &jsonPath},
                                               {QStringLiteral("pdf"), &request.pdfPath},
                                               {QStringLiteral("text"), &request.textPath},
                                               {QStringLiteral("xlsx"), &request.workbookPath}};
    if (auto it = plain.find(name); it != plain.end()) {
      const auto v = value();
      if (!v) return std::nullopt;
      *it->second = *v;
      continue;
    }
    if (name == QLatin1String("today")) {
      const auto v = value();
      const QDate day = v ? QDate::fromString(*v, Qt::ISODate) : QDate();
      if (!day.isValid()) {
        io.err << "--today takes a date YYYY-MM-DD\n";
        return std::nullopt;
      }
      request.today = day;
      continue;
    }
    const std::map<QString, std::optional<QString>*> userTexts = {
        {QStringLiteral("admin"), &request.admin},
        {QStringLiteral("user"), &request.user},
        {QStringLiteral("employee"), &request.employee},
        {QStringLiteral("rights"), &request.rights},
        {QStringLiteral("profit-base"), &request.profitBase}};
    if (auto it = userTexts.find(name); it != userTexts.end()) {
      const auto v = value();
      if (!v) return std::nullopt;
      *it->second = *v;
      continue;
    }
    if (name == QLatin1String("groups")) {
      const auto v = value();
      if (!v) return std::nullopt;
      UserGroups groups;
      const QStringList parts = v->split(QLatin1Char(','));
      for (int g = 0; g < kGroupCount && g < parts.size(); ++g)
        groups[g] = parts[g].trimmed();
      request.groups = groups;
      continue;
    }
    bool known = false;
    for (const TextField& f : TextFields()) {
      if (name == QLatin1String(f.option)) {
        const auto v = value();
        if (!v) return std::nullopt;
        if (IsDateField(f) && !IsDateBoxText(*v)) {
          io.err << a << " 必須是七位數字的民國日期 yyyMMdd（例如 1151101）或空白，不是 " << *v
                 << "\n";
          return std::nullopt;
        }
        edits.push_back([set = f.set, text = *v](OverviewFormState& form) { set(form, text); });
        known = true;
      }
    }
    for (const Flag& f : Flags()) {
      if (name == QLatin1String(f.option)) {
        edits.push_back([box = f.box](OverviewFormState& form) { form.*box = true; });
        known = true;
      }
    }
    for (const Choice3& g : OptionGroups()) {
      if (name == QLatin1String(g.option)) {
        const auto v = value();
        if (!v) return std::nullopt;
        const auto w = g.words.find(*v);
        if (w == g.words.end()) {
          io.err << a << " takes one of: ";
          for (const auto& [word, index] : g.words)
            io.err << word << " ";
          io.err << "\n";
          return std::nullopt;
        }
        edits.push_back(
            [index = g.index, n = w->second](OverviewFormState& form) { form.*index = n; });
        known = true;
      }
    }
    if (!known) {
      io.err << "unknown option " << a << "\n";
      return std::nullopt;
    }
  }

  // The file's values come first; options on the command line win over them.
  if (!jsonPath.isEmpty() && !ReadJson(jsonPath, request.edits, choice, request, io))
    return std::nullopt;
  if (!choice || !IsChoice(*choice)) {
    io.err << "--choice N is required (0 to " << kReportChoiceCount - 1 << ")\n";
    return std::nullopt;
  }
  request.choice = *choice;
  request.edits.insert(request.edits.end(), edits.begin(), edits.end());
  return request;
}

std::optional<ReportRequest> PrepareReportRequest(const ReportArguments& arguments, CommandIo io) {
  // The context, loaded as the program would for this user.
  const QString commandLine =
      QStringLiteral("-qdx5170 -AD=%1 -NAME=%2 -ID=%3 -XLS=.xlsx -DOC=.docx -PID=0")
          .arg(arguments.admin.value_or(QString()), arguments.user.value_or(QString()),
               arguments.employee.value_or(QString()));
  ReportRequest request;
  AppContext& context = request.context;
  const bool loaded = arguments.databasePath.isEmpty()
                          ? InitializeProgram(context, commandLine)
                          : LoadContextForDatabase(context, arguments.databasePath, commandLine);
  if (!loaded) {
    io.err << "tarvel-cli: the program's settings could not be loaded from the database\n";
    return std::nullopt;
  }
  if (arguments.rights) context.WorkOrderRights = *arguments.rights;
  if (arguments.profitBase) context.ProfitRateBase = *arguments.profitBase;
  if (arguments.groups) context.Groups = *arguments.groups;

  std::vector<CodeName> salespeople, customers;
  try {
    auto connection = db::Connection::Open(context.ConnectionString);
    salespeople = LoadSalespeople(*connection);
    customers = LoadCustomers(*connection);
  } catch (const Error& e) {
    io.err << "tarvel-cli: " << e.Description() << "\n";
    return std::nullopt;
  }
  request.form = FirstActivationDefaults(salespeople, customers);
  request.form.sopt選擇報表 = arguments.choice;
  for (const auto& edit : arguments.edits)
    edit(request.form);
  return request;
}

int RunWithRequest(const QStringList& args, CommandIo io,
                   const std::function<int(const ReportArguments&, ReportRequest&)>& body) {
  const auto arguments = ParseReportArguments(args, io);
  if (!arguments) return 2;
  std::optional<ScopedToday> clock;
  if (arguments->today) clock.emplace(*arguments->today);
  auto request = PrepareReportRequest(*arguments, io);
  if (!request) return 1;
  return body(*arguments, *request);
}

}  // namespace tarvel::cli
