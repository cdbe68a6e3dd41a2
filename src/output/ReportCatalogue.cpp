#include "output/ReportCatalogue.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <map>
#include <string>

#include "criteria/ReworkStatements.h"
#include "design/ReportRegistry.h"
#include "excel/DefinedSheet.h"
#include "platform/Error.h"
#include "reports/DefinedReport.h"

namespace tarvel {
namespace {

constexpr ReportFamily kOverview = ReportFamily::Overview;
constexpr ReportFamily kRework = ReportFamily::Rework;

// clang-format off
// What choosing a main-window report shows and hides besides its option boxes.
constexpr const char* kShownByEveryChoice[] = {
    "lbl業務員", "txt業務員", "scmd業務員", "pic送清", "chk選項", "lbl工務人員", "txt工務人員",
    "scmd工務人員", "lbl類別", "cbo種類", "lbl客戶單號", "txt客戶單號", "lbl分類", "cbo分類"};

const ChoiceRow kChoices[] = {
    {kOverview, k表1, {.panel = OptionPanel::Options, .allInvoices = true, .customerRange = true}},
    {kOverview, k表2, {.panel = OptionPanel::Options, .allInvoices = true, .customerRange = true}},
    {kOverview, k表3,
     {.hidden = {"lbl業務員", "txt業務員", "scmd業務員"}, .panel = OptionPanel::SalesRange,
      .allCompletion = true, .allInvoices = true, .customerRange = true,
      .kindBesideSales = true}},
    {kOverview, k表4含合版, {.panel = OptionPanel::Options, .allInvoices = true, .customerRange = true}},
    {kOverview, k表5, {.shown = {"spn2"}, .hidden = {"spn1"}, .focus = "txt日期_0"}},
    {kOverview, k未送總表, {.hidden = {"pic送清"}, .panel = OptionPanel::Options, .allInvoices = true}},
    // 補版明細: 選項 is unticked (hiding both panels) before it is hidden.
    {kOverview, k補版明細,
     {.hidden = {"chk選項", "lbl工務人員", "txt工務人員", "scmd工務人員", "lbl類別", "cbo種類",
                 "lbl客戶單號", "txt客戶單號", "lbl分類", "cbo分類"},
      .allInvoices = true, .untickOptions = true}},
    {kRework, k重工明細表, {}},
    {kRework, k打樣明細表, {}},
    {kRework, k留版明細表, {}},
    {kRework, k刀模明細表, {}},
};
// clang-format on

/// The rows of every registered definition, in their families' and choices' order, and the
/// exports they share.
struct Catalogue {
  std::vector<ReportRow> rows;
  std::deque<ExportRow> exports;  // stable addresses: the rows point at them
};

/// A row's place among its choice's: its box's place in the table, the layout no box picks last
/// (and a box the table lacks after it: never picked).
int Precedence(const ReportRow& row) {
  if (row.definition->pickedBy == nullptr) return INT_MAX - 1;
  if (row.box == nullptr) return INT_MAX;
  return static_cast<int>(row.box - OptionBoxes().data());
}

Catalogue Build() {
  Catalogue c;
  std::map<std::string, const ExportRow*> sheets;
  for (const ReportDefinition& d : RegisteredReports()) {
    if (!d.sheet) continue;
    std::optional<StatementSpec> statement;
    if (d.family == kOverview) statement = d.sheet->statement ? *d.sheet->statement : d.statement;
    c.exports.push_back(
        {d.sheet->name, d.sheet->errorTitle, excel::DefinedSheet::DesignOf(d), statement, &d});
    sheets[d.name] = &c.exports.back();
  }
  for (const ReportDefinition& d : RegisteredReports()) {
    const char* exportOf = d.sheet ? d.name : d.sheetOf;
    const auto sheet = exportOf != nullptr ? sheets.find(exportOf) : sheets.end();
    c.rows.push_back({.family = d.family,
                      .box = d.pickedBy ? FindOptionBox(QString::fromUtf8(d.pickedBy)) : nullptr,
                      .layout = LayoutDesign::Of(d),
                      .exporter = sheet != sheets.end() ? sheet->second : nullptr,
                      .definition = &d});
  }
  std::stable_sort(c.rows.begin(), c.rows.end(), [](const ReportRow& a, const ReportRow& b) {
    if (a.family != b.family) return a.family < b.family;
    if (a.Choice() != b.Choice()) return a.Choice() < b.Choice();
    if (Precedence(a) != Precedence(b)) return Precedence(a) < Precedence(b);
    return std::string_view(a.layout.name) < std::string_view(b.layout.name);
  });
  return c;
}

const Catalogue& TheCatalogue() {
  static const Catalogue catalogue = Build();
  return catalogue;
}

}  // namespace

bool ReportRow::Picks(const OverviewFormState& form) const {
  if (definition->pickedBy == nullptr) return true;
  return box != nullptr && form.*box->ticked;
}

QString ReportRow::Statement(const RequestCriteria& request, StatementUse use) const {
  if (use == StatementUse::Export && exporter == nullptr)
    throw Error(QStringLiteral("「%1」沒有轉Excel的查詢").arg(Name()));
  if (family == ReportFamily::Rework) {
    // The export writes the rows the window's check counts: the proof list without its order.
    const ReworkQuery purpose =
        use == StatementUse::Layout ? ReworkQuery::Layout : ReworkQuery::Check;
    return ReworkStatement(layout.choice, request.Rework(), purpose);
  }
  const StatementSpec& spec =
      use == StatementUse::Export && exporter->statement ? *exporter->statement : layout.statement;
  return ComposeStatement(spec, request.Overview(), request.context);
}

std::unique_ptr<Report> ReportRow::CreateLayout(const RequestCriteria& request) const {
  std::unique_ptr<Report> report = NewDefinedLayout(*definition, request);
  report->Initialize();
  return report;
}

std::unique_ptr<excel::PageBlockSheet> ReportRow::CreateExport(
    const RequestCriteria& request) const {
  if (exporter == nullptr) throw Error(QStringLiteral("「%1」沒有轉Excel的格式").arg(Name()));
  return std::make_unique<excel::DefinedSheet>(*exporter->definition, request);
}

std::span<const ReportRow> ReportRows() {
  return TheCatalogue().rows;
}

std::span<const ChoiceRow> ChoiceRows() {
  return kChoices;
}

std::span<const char* const> ShownByEveryChoice() {
  return kShownByEveryChoice;
}

const ReportRow& RowFor(const OverviewFormState& form) {
  for (const ReportRow& row : ReportRows())
    if (row.family == ReportFamily::Overview && row.Choice() == form.sopt選擇報表 &&
        row.Picks(form))
      return row;
  throw Error(QStringLiteral("沒有報表選項 %1 的版面").arg(form.sopt選擇報表));
}

const ReportRow& ReworkRowFor(int choice) {
  for (const ReportRow& row : ReportRows())
    if (row.family == ReportFamily::Rework && row.Choice() == choice) return row;
  throw Error(QStringLiteral("沒有報表選項 %1 的明細表").arg(choice));
}

const ReportRow* FindRow(const QString& name) {
  for (const ReportRow& row : ReportRows())
    if (name == row.Name()) return &row;
  return nullptr;
}

const ChoiceRow& ChoiceFor(ReportFamily family, int index) {
  for (const ChoiceRow& choice : kChoices)
    if (choice.family == family && choice.index == index) return choice;
  throw Error(QStringLiteral("沒有報表選項 %1").arg(index));
}

bool ChoiceExports(ReportFamily family, int index) {
  for (const ReportRow& row : ReportRows())
    if (row.family == family && row.Choice() == index && row.exporter != nullptr) return true;
  return false;
}

}  // namespace tarvel
