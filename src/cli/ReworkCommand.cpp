// tarvel-cli rework: the rework window's statements, reports and export without the window.
#include <QSaveFile>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "cli/Command.h"
#include "cli/CriteriaJson.h"
#include "cli/ReportRequest.h"
#include "overview/criteria/OutputRights.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/TextDump.h"
#include "rework/ReworkCatalogue.h"
#include "rework/ReworkExport.h"
#include "rework/ReworkQuery.h"
#include "rework/ReworkStatements.h"

namespace tarvel::cli {
namespace {

using FormEdit = std::function<void(ReworkFormState&)>;
using TextSetter = void (*)(ReworkFormState&, const QString&);

struct TextField {
  const char* json;    ///< the criteria record's name
  const char* option;  ///< the readable option name
  TextSetter set;
};

const TextField kTextFields[] = {
    {"PoFrom", "po-from", [](ReworkFormState& f, const QString& v) { f.txt單號_起 = v; }},
    {"PoTo", "po-to", [](ReworkFormState& f, const QString& v) { f.txt單號_末 = v; }},
    {"DateFrom", "date-from", [](ReworkFormState& f, const QString& v) { f.txt日期_起 = v; }},
    {"DateTo", "date-to", [](ReworkFormState& f, const QString& v) { f.txt日期_末 = v; }},
    {"CustomerKeyword", "customer",
     [](ReworkFormState& f, const QString& v) { f.txt客戶代號 = v; }},
    {"SalesKeyword", "sales", [](ReworkFormState& f, const QString& v) { f.txt業務員 = v; }},
    {"VendorKeyword", "vendor", [](ReworkFormState& f, const QString& v) { f.txt廠商代號 = v; }},
    {"DieCutterKeyword", "die-cutter",
     [](ReworkFormState& f, const QString& v) { f.txt廠商代號1 = v; }},
};

// --kind WORD and KindFilter N (1 印刷 … 4 全部) choose the option sopt選擇 N - 1.
const std::map<QString, int> kKinds = {{QStringLiteral("printing"), 0},
                                       {QStringLiteral("work-order"), 1},
                                       {QStringLiteral("plate"), 2},
                                       {QStringLiteral("all"), 3}};
// --order WORD and VendorOrder N (1 die maker, 2 die cutter).
const std::map<QString, int> kOrders = {{QStringLiteral("die-maker"), kSortByDieMaker},
                                        {QStringLiteral("die-cutter"), kSortByDieCutter}};

struct ReworkArguments {
  QString action;  ///< sql, report or excel
  std::optional<int> choice;
  ReportArguments request;  ///< database, clock, user and the output files
  std::vector<FormEdit> edits;
};

QString Usage() {
  QString usage = QStringLiteral(
      "usage: tarvel-cli rework sql|report|excel --choice N [criteria] [--pdf FILE] [--text FILE] "
      "[--xlsx FILE]\n"
      "  sql     the statement the layout of the choice prints\n"
      "  report  the layout the window would print (text to standard output without --pdf and "
      "--text)\n"
      "  excel   the workbook frm重工明細表轉Excel writes (choices 0 and 1)\n"
      "  --choice N            0 重工明細表, 1 打樣明細表, 2 留版明細表, 3 刀模明細表\n"
      "  --criteria FILE.json  criteria by their program names (PoFrom, DateTo, KindFilter, "
      "VendorOrder, ...)\n"
      "  --db PATH             database file (default: the program's, through KORV.DSN)\n"
      "  --today YYYY-MM-DD    fix the clock\n"
      "  --admin/--user/--employee TEXT\n"
      "  --kind printing|work-order|plate|all\n"
      "  --order die-maker|die-cutter\n");
  for (const TextField& f : kTextFields)
    usage += QStringLiteral("  --%1 TEXT\n").arg(QString::fromUtf8(f.option));
  return usage;
}

bool IsDateField(const TextField& field) {
  return std::strcmp(field.json, "DateFrom") == 0 || std::strcmp(field.json, "DateTo") == 0;
}

// The criteria file, read strictly (CriteriaJson): a value of another type, out of range or
// under a name the window does not have is refused.
bool ReadJson(const QString& path, ReworkArguments& arguments, CommandIo io) {
  CriteriaJson json;
  if (!json.Load(path, io)) return false;
  std::vector<FormEdit> edits;
  for (const TextField& f : kTextFields) {
    const std::optional<QString> text = IsDateField(f) ? json.Date(f.json) : json.Text(f.json);
    if (text)
      edits.push_back([set = f.set, text = *text](ReworkFormState& form) { set(form, text); });
  }
  if (const std::optional<int> n = json.Option("KindFilter", kKindPrinting, kKindAll))
    edits.push_back([n = *n](ReworkFormState& form) { form.sopt選擇 = n - 1; });
  if (const std::optional<int> n = json.Option("VendorOrder", kByDieMaker, kByDieCutter))
    edits.push_back([n = *n](ReworkFormState& form) {
      form.sopt排序 = n == kByDieMaker ? kSortByDieMaker : kSortByDieCutter;
    });
  const std::optional<int> chosen = json.Option("sopt選擇報表", 0, kReworkChoiceCount - 1);
  if (chosen && !arguments.choice) arguments.choice = chosen;
  const auto text = [&](const char* key, std::optional<QString>& into) {
    if (const std::optional<QString> value = json.Text(key)) into = value;
  };
  text("AdminName", arguments.request.admin);
  text("UserName", arguments.request.user);
  text("EmployeeId", arguments.request.employee);
  if (!json.Finish(io)) return false;
  // The file's values come first; options on the command line win over them.
  arguments.edits.insert(arguments.edits.begin(), edits.begin(), edits.end());
  return true;
}

std::optional<ReworkArguments> Parse(const QStringList& args, CommandIo io) {
  ReworkArguments arguments;
  if (args.isEmpty() || !QStringList{"sql", "report", "excel"}.contains(args.first())) {
    io.err << Usage();
    return std::nullopt;
  }
  arguments.action = args.first();
  QString jsonPath;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const QString name = a.startsWith(QLatin1String("--")) ? a.mid(2) : QString();
    if (i + 1 >= args.size() || name.isEmpty()) {
      io.err << (name.isEmpty() ? "unexpected argument " : "missing value for ") << a << "\n";
      return std::nullopt;
    }
    const QString value = args[++i];
    const std::map<QString, QString*> plain = {
        {QStringLiteral("db"), &arguments.request.databasePath},
        {QStringLiteral("criteria"), &jsonPath},
        {QStringLiteral("pdf"), &arguments.request.pdfPath},
        {QStringLiteral("text"), &arguments.request.textPath},
        {QStringLiteral("xlsx"), &arguments.request.workbookPath}};
    const std::map<QString, std::optional<QString>*> user = {
        {QStringLiteral("admin"), &arguments.request.admin},
        {QStringLiteral("user"), &arguments.request.user},
        {QStringLiteral("employee"), &arguments.request.employee}};
    if (auto it = plain.find(name); it != plain.end()) {
      *it->second = value;
    } else if (auto u = user.find(name); u != user.end()) {
      *u->second = value;
    } else if (name == QLatin1String("choice")) {
      bool ok = false;
      arguments.choice = value.toInt(&ok);
      if (!ok) arguments.choice = -1;
    } else if (name == QLatin1String("today")) {
      const QDate day = QDate::fromString(value, Qt::ISODate);
      if (!day.isValid()) {
        io.err << "--today takes a date YYYY-MM-DD\n";
        return std::nullopt;
      }
      arguments.request.today = day;
    } else if (name == QLatin1String("kind") && kKinds.contains(value)) {
      arguments.edits.push_back(
          [n = kKinds.at(value)](ReworkFormState& form) { form.sopt選擇 = n; });
    } else if (name == QLatin1String("order") && kOrders.contains(value)) {
      arguments.edits.push_back(
          [n = kOrders.at(value)](ReworkFormState& form) { form.sopt排序 = n; });
    } else {
      const TextField* field = nullptr;
      for (const TextField& f : kTextFields)
        if (name == QLatin1String(f.option)) field = &f;
      if (field == nullptr) {
        io.err << "unknown option or value: " << a << " " << value << "\n";
        return std::nullopt;
      }
      if (IsDateField(*field) && !IsDateBoxText(value)) {
        io.err << a << " 必須是七位數字的民國日期 yyyMMdd（例如 1151101）或空白，不是 " << value
               << "\n";
        return std::nullopt;
      }
      arguments.edits.push_back(
          [set = field->set, value](ReworkFormState& form) { set(form, value); });
    }
  }
  if (!jsonPath.isEmpty() && !ReadJson(jsonPath, arguments, io)) return std::nullopt;
  if (!arguments.choice || *arguments.choice < 0 || *arguments.choice >= kReworkChoiceCount) {
    io.err << "--choice N is required (0 to " << kReworkChoiceCount - 1 << ")\n";
    return std::nullopt;
  }
  return arguments;
}

void WriteText(const QString& path, const QString& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
    throw Error(QStringLiteral("無法寫入檔案：") + path);
}

}  // namespace

int RunReworkCommand(const QStringList& args, CommandIo io) {
  if (args.contains(QLatin1String("--help"))) {
    io.out << Usage();
    return 0;
  }
  const std::optional<ReworkArguments> arguments = Parse(args, io);
  if (!arguments) return 2;
  const int choice = *arguments->choice;
  if (arguments->action == QLatin1String("excel")) {
    if (arguments->request.workbookPath.isEmpty()) {
      io.err << "rework excel needs --xlsx FILE\n";
      return 2;
    }
    if (choice != k重工明細表 && choice != k打樣明細表) {
      io.err << "only 重工明細表 (0) and 打樣明細表 (1) export to Excel\n";
      return 2;
    }
  }
  std::optional<ScopedToday> clock;
  if (arguments->request.today) clock.emplace(*arguments->request.today);
  // The context as the program loads it for the user; the window's own defaults for the rest.
  std::optional<ReportRequest> request = PrepareReportRequest(arguments->request, io);
  if (!request) return 1;
  AppContext& context = request->context;
  ReworkFormState form = ReworkWindowDefaults();
  form.sopt選擇報表 = choice;
  for (const FormEdit& edit : arguments->edits)
    edit(form);
  ReworkCriteria criteria;

  if (arguments->action == QLatin1String("sql")) {
    CaptureReworkCriteria(form, criteria);
    io.out << ReworkStatement(choice, criteria) << "\n";
    return 0;
  }
  if (arguments->action == QLatin1String("report")) {
    const ReportArguments& files = arguments->request;
    const auto output = [&](int chosen, OutputMode) {
      const ReworkLayoutEntry& entry = ReworkEntryFor(chosen);
      const PageModel pages = CreateReworkLayout(entry, criteria, context)->Run();
      if (!files.pdfPath.isEmpty()) WritePdf(pages, files.pdfPath);
      const QString text = DumpText(pages);
      if (!files.textPath.isEmpty()) WriteText(files.textPath, text);
      if (files.pdfPath.isEmpty() && files.textPath.isEmpty()) io.out << text;
      io.err << entry.name << ": " << pages.PageCount() << " pages\n";
    };
    return BuildAndCheckRework(form, OutputMode::Print, context, criteria, output) ==
                   BuildResult::Dispatched
               ? 0
               : 1;
  }
  if (!CheckExcelRights(context)) return 1;
  std::optional<excel::ExportOutcome> outcome;
  const auto output = [&](int, OutputMode) {
    outcome = excel::ExportRework(criteria, context, arguments->request.workbookPath);
  };
  BuildAndCheckRework(form, OutputMode::Excel, context, criteria, output);
  return outcome == excel::ExportOutcome::Written ? 0 : 1;
}

}  // namespace tarvel::cli
