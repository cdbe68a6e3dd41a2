#include "criteria/NamedCriteria.h"

#include "criteria/OptionBoxes.h"

namespace tarvel {
namespace {

using O = OverviewFormState;
using R = ReworkFormState;
using OverviewName = NamedCriterion<O>;
using ReworkName = NamedCriterion<R>;
constexpr auto kText = OverviewName::Kind::Text;
constexpr auto kDate = OverviewName::Kind::Date;
constexpr auto kFlag = OverviewName::Kind::Flag;
constexpr auto kChoice = OverviewName::Kind::Choice;

// clang-format off
// The texts; the option boxes follow from criteria/OptionBoxes.h.
const OverviewName kOverviewTexts[] = {
    {"PoFrom", "po-from", kText, [](O& f, const QString& v) { f.txt單號_起 = v; }},
    {"PoTo", "po-to", kText, [](O& f, const QString& v) { f.txt單號_末 = v; }},
    // A date range means the same whichever pair of date boxes the choice reads.
    {"DateFrom", "date-from", kDate, [](O& f, const QString& v) { f.txt日期_起 = f.txt日期[0] = v; }},
    {"DateTo", "date-to", kDate, [](O& f, const QString& v) { f.txt日期_末 = f.txt日期[1] = v; }},
    {"CustomerKeyword", "customer", kText, [](O& f, const QString& v) { f.txt客戶代號 = v; }},
    {"SalesKeyword", "sales", kText, [](O& f, const QString& v) { f.txt業務員 = v; }},
    {"CustomerFrom", "customer-from", kText, [](O& f, const QString& v) { f.txt客戶代號1[0] = v; }},
    {"CustomerTo", "customer-to", kText, [](O& f, const QString& v) { f.txt客戶代號1[1] = v; }},
    {"ItemKeyword", "item", kText, [](O& f, const QString& v) { f.txt印件名稱 = v; }},
    {"KeyerKeyword", "keyer", kText, [](O& f, const QString& v) { f.txt鍵機人員 = v; }},
    {"StaffKeyword", "staff", kText, [](O& f, const QString& v) { f.txt工務人員 = v; }},
    {"Category", "category", kText, [](O& f, const QString& v) { f.cbo種類 = v; }},
    {"SalesFrom", "sales-from", kText, [](O& f, const QString& v) { f.txt業務員代號[0] = v; }},
    {"SalesTo", "sales-to", kText, [](O& f, const QString& v) { f.txt業務員代號[1] = v; }},
    {"CustomerPoKeyword", "customer-po", kText, [](O& f, const QString& v) { f.txt客戶單號 = v; }},
    {"Classification", "classification", kText, [](O& f, const QString& v) { f.cbo分類 = v; }},
};

// The option groups, after the boxes (which come from the box table).
const OverviewName kOverviewChoices[] = {
    {"sopt完工", "completion", kChoice, nullptr, nullptr, [](O& f, int n) { f.sopt完工 = n; }, 0, 2,
     {{"finished", 0}, {"unfinished", 1}, {"all", 2}}},
    {"sopt送貨", "delivery", kChoice, nullptr, nullptr, [](O& f, int n) { f.sopt送貨 = n; }, 0, 2,
     {{"cleared", 0}, {"uncleared", 1}, {"all", 2}}},
    {"sopt發票", "invoice", kChoice, nullptr, nullptr, [](O& f, int n) { f.sopt發票 = n; }, 0, 2,
     {{"invoiced", 0}, {"uninvoiced", 1}, {"all", 2}}},
};

const ReworkName kReworkNames[] = {
    {"PoFrom", "po-from", ReworkName::Kind::Text, [](R& f, const QString& v) { f.txt單號_起 = v; }},
    {"PoTo", "po-to", ReworkName::Kind::Text, [](R& f, const QString& v) { f.txt單號_末 = v; }},
    {"DateFrom", "date-from", ReworkName::Kind::Date, [](R& f, const QString& v) { f.txt日期_起 = v; }},
    {"DateTo", "date-to", ReworkName::Kind::Date, [](R& f, const QString& v) { f.txt日期_末 = v; }},
    {"CustomerKeyword", "customer", ReworkName::Kind::Text,
     [](R& f, const QString& v) { f.txt客戶代號 = v; }},
    {"SalesKeyword", "sales", ReworkName::Kind::Text, [](R& f, const QString& v) { f.txt業務員 = v; }},
    {"VendorKeyword", "vendor", ReworkName::Kind::Text,
     [](R& f, const QString& v) { f.txt廠商代號 = v; }},
    {"DieCutterKeyword", "die-cutter", ReworkName::Kind::Text,
     [](R& f, const QString& v) { f.txt廠商代號1 = v; }},
    // KindFilter 1 印刷 … 4 全部 chooses the option sopt選擇 N - 1.
    {"KindFilter", "kind", ReworkName::Kind::Choice, nullptr, nullptr,
     [](R& f, int n) { f.sopt選擇 = n - 1; }, kKindPrinting, kKindAll,
     {{"printing", kKindPrinting}, {"work-order", kKindWorkOrder}, {"plate", kKindPlate},
      {"all", kKindAll}}},
    {"VendorOrder", "order", ReworkName::Kind::Choice, nullptr, nullptr,
     [](R& f, int n) { f.sopt排序 = n == kByDieMaker ? kSortByDieMaker : kSortByDieCutter; },
     kByDieMaker, kByDieCutter, {{"die-maker", kByDieMaker}, {"die-cutter", kByDieCutter}}},
};
// clang-format on

const QString kDateProblem =
    QStringLiteral(" 必須是七位數字的民國日期 yyyMMdd（例如 1151101）或空白，不是 ");

/// The user's texts by file name and option.
struct UserText {
  const char* name;
  const char* option;
  std::optional<QString> UserOverrides::*field;
};
constexpr UserText kUserTexts[] = {
    {"AdminName", "admin", &UserOverrides::admin},
    {"UserName", "user", &UserOverrides::user},
    {"EmployeeId", "employee", &UserOverrides::employee},
    {"WorkOrderRights", "rights", &UserOverrides::rights},
    {"ProfitRateBase", "profit-base", &UserOverrides::profitBase},
};

UserGroups GroupsOf(const QStringList& parts) {
  UserGroups groups;
  for (int g = 0; g < kGroupCount && g < parts.size(); ++g)
    groups[g] = parts[g].trimmed();
  return groups;
}

}  // namespace

std::span<const NamedCriterion<OverviewFormState>> OverviewCriteriaNames() {
  static const std::vector<OverviewName> names = [] {
    std::vector<OverviewName> all(std::begin(kOverviewTexts), std::end(kOverviewTexts));
    for (const OptionBox& box : OptionBoxes())
      all.push_back({box.name, box.flag, kFlag, nullptr, box.ticked});
    all.insert(all.end(), std::begin(kOverviewChoices), std::end(kOverviewChoices));
    return all;
  }();
  return names;
}

std::span<const NamedCriterion<ReworkFormState>> ReworkCriteriaNames() {
  return kReworkNames;
}

template <class Form>
typename ScriptCriteria<Form>::Taken ScriptCriteria<Form>::TakeOption(const QStringList& args,
                                                                      qsizetype& i,
                                                                      QString& problem) {
  const QString& arg = args[i];
  if (!arg.startsWith(QLatin1String("--"))) return Taken::No;
  const QString name = arg.mid(2);
  const auto value = [&]() -> std::optional<QString> {
    if (i + 1 >= args.size()) {
      problem = arg + QStringLiteral(" needs a value");
      return std::nullopt;
    }
    return args[++i];
  };
  if (name == QLatin1String("choice")) {
    const auto v = value();
    bool ok = false;
    const int n = v ? v->toInt(&ok) : -1;
    if (!ok || n < 0 || n >= choices_) {
      problem = QStringLiteral("--choice takes a report choice from 0 to %1").arg(choices_ - 1);
      return Taken::Refused;
    }
    choice = n;
    return Taken::Yes;
  }
  for (const UserText& text : kUserTexts) {
    if (name != QLatin1String(text.option)) continue;
    const auto v = value();
    if (!v) return Taken::Refused;
    user.*text.field = *v;
    return Taken::Yes;
  }
  if (name == QLatin1String("groups")) {
    const auto v = value();
    if (!v) return Taken::Refused;
    user.groups = GroupsOf(v->split(QLatin1Char(',')));
    return Taken::Yes;
  }
  for (const NamedCriterion<Form>& c : names_) {
    if (name != QLatin1String(c.option)) continue;
    using Kind = typename NamedCriterion<Form>::Kind;
    if (c.kind == Kind::Flag) {
      optionEdits_.push_back([box = c.flag](Form& form) { form.*box = true; });
      return Taken::Yes;
    }
    const auto v = value();
    if (!v) return Taken::Refused;
    if (c.kind == Kind::Choice) {
      QStringList words;
      for (const auto& [word, number] : c.words) {
        words << QString::fromUtf8(word);
        if (*v == QLatin1String(word)) {
          optionEdits_.push_back([choose = c.choose, n = number](Form& form) { choose(form, n); });
          return Taken::Yes;
        }
      }
      problem = arg + QStringLiteral(" takes one of: ") + words.join(QLatin1Char(' '));
      return Taken::Refused;
    }
    if (c.kind == Kind::Date && !IsDateBoxText(*v)) {
      problem = arg + kDateProblem + *v;
      return Taken::Refused;
    }
    optionEdits_.push_back([set = c.setText, text = *v](Form& form) { set(form, text); });
    return Taken::Yes;
  }
  return Taken::No;
}

template <class Form>
bool ScriptCriteria<Form>::ReadFile(const QString& path, QStringList& problems) {
  CriteriaFile file;
  QString problem;
  if (!file.Load(path, problem)) {
    problems << problem;
    return false;
  }
  using Kind = typename NamedCriterion<Form>::Kind;
  for (const NamedCriterion<Form>& c : names_) {
    switch (c.kind) {
      case Kind::Text:
      case Kind::Date:
        if (const auto text = c.kind == Kind::Date ? file.Date(c.name) : file.Text(c.name))
          fileEdits_.push_back([set = c.setText, text = *text](Form& form) { set(form, text); });
        break;
      case Kind::Flag:
        if (const std::optional<bool> on = file.Flag(c.name))
          fileEdits_.push_back([box = c.flag, on = *on](Form& form) { form.*box = on; });
        break;
      case Kind::Choice:
        if (const std::optional<int> n = file.Option(c.name, c.first, c.last))
          fileEdits_.push_back([choose = c.choose, n = *n](Form& form) { choose(form, n); });
        break;
    }
  }
  const std::optional<int> chosen = file.Option("sopt選擇報表", 0, choices_ - 1);
  if (chosen && !choice) choice = chosen;  // --choice wins
  for (const UserText& text : kUserTexts)
    if (const std::optional<QString> value = file.Text(text.name)) user.*text.field = value;
  if (const std::optional<QStringList> list = file.Texts("Groups", kGroupCount))
    user.groups = GroupsOf(*list);
  problems << file.Problems();
  return problems.isEmpty();
}

template <class Form>
void ScriptCriteria<Form>::Apply(Form& form) const {
  for (const auto& edit : fileEdits_)
    edit(form);
  for (const auto& edit : optionEdits_)
    edit(form);
}

template <class Form>
QString ScriptCriteria<Form>::Usage() const {
  QString usage = QStringLiteral(
      "  --criteria FILE.json  criteria, check boxes and user by their program names\n"
      "  --admin/--user/--employee TEXT, --profit-base TEXT\n"
      "  --rights TEXT, --groups A,B,..  for a user the database does not know\n");
  using Kind = typename NamedCriterion<Form>::Kind;
  for (const NamedCriterion<Form>& c : names_) {
    QString line = QStringLiteral("  --") + QString::fromUtf8(c.option);
    if (c.kind == Kind::Text || c.kind == Kind::Date) line += QStringLiteral(" TEXT");
    if (c.kind == Kind::Choice) {
      QStringList words;
      for (const auto& [word, number] : c.words)
        words << QString::fromUtf8(word);
      line += QLatin1Char(' ') + words.join(QLatin1Char('|'));
    }
    usage += line + QLatin1Char('\n');
  }
  return usage;
}

template class ScriptCriteria<OverviewFormState>;
template class ScriptCriteria<ReworkFormState>;

}  // namespace tarvel
