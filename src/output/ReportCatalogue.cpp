#include "output/ReportCatalogue.h"

#include "criteria/ReworkStatements.h"
#include "platform/Error.h"

namespace tarvel {

// Each layout's and each export routine's file defines its factory; they are declared here, beside
// the rows that name them, so that a layout or a routine needs no header unless another builds on
// it.
std::unique_ptr<Report> NewItemCodeOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewCustomerPoOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewDieCodeOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewCombinedPlateCodeOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewNoAmountOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewMarginOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewMarginOverviewBySalesperson(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewProductionDetail(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewProductionDetailBySalesperson(const LayoutDesign&,
                                                         const RequestCriteria&);
std::unique_ptr<Report> NewCombinedPlatesOverview(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewProductionReport(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewUnshippedOrders(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewPlateRedoList(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewReworkList(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewProofList(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewKeptPlateList(const LayoutDesign&, const RequestCriteria&);
std::unique_ptr<Report> NewDieList(const LayoutDesign&, const RequestCriteria&);

namespace excel {
using Sheet = std::unique_ptr<PageBlockSheet>;
Sheet NewItemCodeExport(const SheetDesign&, const RequestCriteria&);
Sheet NewCombinedPlateCodeExport(const SheetDesign&, const RequestCriteria&);
Sheet NewCustomerPoExport(const SheetDesign&, const RequestCriteria&);
Sheet NewSalespersonMarginExport(const SheetDesign&, const RequestCriteria&);
Sheet NewProductionDetailExport(const SheetDesign&, const RequestCriteria&);
Sheet NewProductionDetailBySalespersonExport(const SheetDesign&, const RequestCriteria&);
Sheet NewCombinedPlatesExport(const SheetDesign&, const RequestCriteria&);
Sheet NewProductionReportExport(const SheetDesign&, const RequestCriteria&);
Sheet NewReworkExport(const SheetDesign&, const RequestCriteria&);
}  // namespace excel

namespace {

/// The paper code of the layouts printed on A4 whatever the printer holds.
constexpr int kA4 = 9;

/// A page of `orientation` with the four margins in the engine's order (left, right, top,
/// bottom), twips, and the paper of the printer unless `paper` names one.
constexpr PageSettings Page(Orientation orientation, float left, float right, float top,
                            float bottom, std::optional<int> paper = std::nullopt) {
  return {.orientation = orientation,
          .paperSize = paper,
          .leftMargin = left,
          .rightMargin = right,
          .topMargin = top,
          .bottomMargin = bottom};
}
constexpr Orientation kLandscape = Orientation::Landscape;
constexpr Orientation kPortrait = Orientation::Portrait;
constexpr excel::XlPageOrientation kLandscapeSheet = excel::XlPageOrientation::kLandscape;
constexpr excel::XlPageOrientation kPortraitSheet = excel::XlPageOrientation::kPortrait;
constexpr ReportFamily kOverview = ReportFamily::Overview;
constexpr ReportFamily kRework = ReportFamily::Rework;

template <bool OverviewFormState::*box>
bool Ticked(const OverviewFormState& form) {
  return form.*box;
}

constexpr JoinSpec kCrowd{",CROWD.MEMB", "left join CROWD on 歷史工單明細2.PO = CROWD.PO "};

// clang-format off
// The exports: name, error title; orientation, whole-sheet font size, rows a page block, heading
// rows, last column; routine; the statement where it is not the layout's.
const ExportRow kItemCodeExport{"ItemCode", "表八轉Excel錯誤", {kLandscapeSheet, 11, 28, 5, 'M'},
    excel::NewItemCodeExport, StatementSpec{.source = "歷史工單明細", .orderBy = " order by PO "}};
const ExportRow kCombinedPlateCodeExport{"CombinedPlateCode", "表八之一轉Excel錯誤", {kLandscapeSheet, 11, 28, 5, 'M'},
    excel::NewCombinedPlateCodeExport, std::nullopt};
const ExportRow kCustomerPoExport{"CustomerPo", "表三轉Excel錯誤", {kLandscapeSheet, 10, 28, 6, 'L'},
    excel::NewCustomerPoExport, std::nullopt};
// The salesperson overview leaves out the customer range.
const ExportRow kMarginExport{"SalespersonMargin", "表二轉Excel錯誤", {kLandscapeSheet, 11, 28, 3, 'O'},
    excel::NewSalespersonMarginExport,
    StatementSpec{.source = "歷史工單明細1",
                  .pieces = {.customerRange = false, .positiveAmount = true},
                  .orderBy = " order by PO "}};
const ExportRow kMarginBySalespersonExport{"SalespersonMarginBlocks", "表二轉Excel錯誤", {kLandscapeSheet, 11, 28, 4, 'O'},
    excel::NewSalespersonMarginExport,
    StatementSpec{.source = "歷史工單明細1",
                  .pieces = {.customerRange = false, .positiveAmount = true},
                  .orderBy = " order by EMPNO, PO "}};
const ExportRow kProductionDetailExport{"ProductionDetail", "表四轉Excel錯誤", {kLandscapeSheet, 10, 21, 4, 'K'},
    excel::NewProductionDetailExport, std::nullopt};
const ExportRow kProductionDetailBySalespersonExport{"ProductionDetailBySalesperson", "表五轉Excel錯誤",
    {kLandscapeSheet, 10, 21, 5, 'K'}, excel::NewProductionDetailBySalespersonExport, std::nullopt};
const ExportRow kCombinedPlatesExport{"CombinedPlates", "表七轉Excel錯誤", {kPortraitSheet, 10, 41, 6, 'H'},
    excel::NewCombinedPlatesExport, std::nullopt};
const ExportRow kProductionReportExport{"ProductionReport", "表六轉Excel錯誤", {kLandscapeSheet, 10, 28, 3, 'N'},
    excel::NewProductionReportExport, std::nullopt};
// The rework and proof lists: the Normal font left as it is.
const ExportRow kReworkExport{"ReworkList", "表一轉Excel錯誤", {kLandscapeSheet, 0, 28, 4, 'J'},
    excel::NewReworkExport, std::nullopt};

// The layouts: family, check boxes, {name, choice, statement, page}, factory, export.
const ReportRow kRows[] = {
    // 表1: customer PO before die code before combined plates before no amounts.
    {kOverview, Ticked<&OverviewFormState::chk客戶單號>,
     {"rptTarvel2", k表1, {.source = "歷史工單明細", .orderBy = " order by PO "},
      Page(kLandscape, 400, 500, 400, 400)}, NewCustomerPoOverview, &kCustomerPoExport},
    {kOverview, Ticked<&OverviewFormState::chk印刀模代號>,
     {"rptTarvel5", k表1, {.source = "歷史工單明細3", .orderBy = " order by PO, [NO] "},
      Page(kPortrait, 450, 500, 400, 400)}, NewDieCodeOverview, &kItemCodeExport},
    {kOverview, Ticked<&OverviewFormState::chk印合版資料>,
     {"rptTarvel6_1", k表1, {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "},
      Page(kLandscape, 450, 500, 400, 400)}, NewCombinedPlateCodeOverview,
     &kCombinedPlateCodeExport},
    {kOverview, Ticked<&OverviewFormState::chk不印金額>,
     {"rptTarvel7", k表1, {.source = "歷史工單明細", .orderBy = " order by PO "},
      Page(kPortrait, 450, 500, 400, 400)}, NewNoAmountOverview, &kItemCodeExport},
    {kOverview, nullptr,
     {"rptTarvel_1", k表1, {.source = "歷史工單明細", .orderBy = " order by PO "},
      Page(kLandscape, 450, 500, 400, 400)}, NewItemCodeOverview, &kItemCodeExport},
    // 表2: one list, or per salesperson.
    {kOverview, Ticked<&OverviewFormState::chk依業務印表>,
     {"rptTarvel3_1", k表2,
      {.source = "歷史工單明細1", .pieces = {.positiveAmount = true},
       .orderBy = " order by EMPNO, PO "},
      Page(kLandscape, 400, 500, 400, 400, kA4)}, NewMarginOverviewBySalesperson,
     &kMarginBySalespersonExport},
    {kOverview, nullptr,
     {"rptTarvel3", k表2,
      {.source = "歷史工單明細1", .pieces = {.positiveAmount = true}, .orderBy = " order by PO "},
      Page(kLandscape, 400, 500, 400, 400, kA4)}, NewMarginOverview, &kMarginExport},
    // 表3: the process sheet with the number of ups of CROWD.
    {kOverview, Ticked<&OverviewFormState::chk依業務印表1>,
     {"rptTarvel4_1", k表3,
      {.source = "歷史工單明細2", .where = WhereRule::SalesRange,
       .orderBy = " order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO ", .join = &kCrowd},
      Page(kLandscape, 400, 300, 400, 400, kA4)}, NewProductionDetailBySalesperson,
     &kProductionDetailBySalespersonExport},
    {kOverview, nullptr,
     {"rptTarvel4", k表3,
      {.source = "歷史工單明細2", .where = WhereRule::SalesRange,
       .orderBy = " order by 歷史工單明細2.PO ", .join = &kCrowd},
      Page(kLandscape, 400, 300, 400, 400, kA4)}, NewProductionDetail, &kProductionDetailExport},
    {kOverview, nullptr,
     {"rptTarvel8", k表4含合版, {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "},
      Page(kPortrait, 450, 500, 400, 400)}, NewCombinedPlatesOverview, &kCombinedPlatesExport},
    {kOverview, nullptr,
     {"rptTarvel9", k表5,
      {.source = "工單生產報表", .where = WhereRule::Production, .orderBy = "order by PO, [NO] "},
      Page(kLandscape, 400, 500, 400, 400)}, NewProductionReport, &kProductionReportExport},
    {kOverview, nullptr,
     {"rpt工單未出明細_橫", k未送總表,
      {.source = "工單未出明細", .pieces = {.customerRange = false}, .orderBy = " order by PO, [NO] "},
      Page(kLandscape, 450, 500, 400, 500)}, NewUnshippedOrders},
    {kOverview, nullptr,
     {"rptTarvel10", k補版明細,
      {.source = "歷史工單明細", .where = WhereRule::PlateRedo, .orderBy = "order by PO "},
      Page(kPortrait, 450, 500, 400, 400)}, NewPlateRedoList},
    // The rework window's lists compose their statements from the choice.
    {kRework, nullptr, {"rpt重工明細表", k重工明細表, {}, Page(kLandscape, 400, 500, 400, 400)},
     NewReworkList, &kReworkExport},
    {kRework, nullptr, {"rpt打樣明細表", k打樣明細表, {}, Page(kLandscape, 400, 500, 400, 400)},
     NewProofList, &kReworkExport},
    {kRework, nullptr, {"rpt留版明細表", k留版明細表, {}, Page(kPortrait, 500, 400, 400, 500)},
     NewKeptPlateList},
    {kRework, nullptr, {"rpt刀模明細表1", k刀模明細表, {}, Page(kPortrait, 500, 400, 400, 500)},
     NewDieList},
};

// The main window's choices: what each shows and hides.
const ChoiceRow kChoices[] = {
    {kOverview, k表1,
     {.shown = {"chk客戶單號", "chk印刀模代號", "chk印合版資料", "chk不印金額"},
      .hidden = {"chk依業務印表", "chk只印金額大於零"},
      .panel = OptionPanel::Options, .excelUnlessTicked = {"chk客戶單號", "chk印刀模代號"},
      .allInvoices = true, .customerRange = true}},
    {kOverview, k表2,
     {.shown = {"chk依業務印表", "chk只印金額大於零"},
      .hidden = {"chk客戶單號", "chk印合版資料", "chk不印金額"},
      .panel = OptionPanel::Options, .allInvoices = true, .customerRange = true,
      .untick = "chk金額異常"}},
    {kOverview, k表3,
     {.hidden = {"lbl業務員", "txt業務員", "scmd業務員"}, .panel = OptionPanel::SalesRange,
      .allCompletion = true, .allInvoices = true, .customerRange = true,
      .kindBesideSales = true}},
    {kOverview, k表4含合版,
     {.hidden = {"chk客戶單號", "chk印合版資料", "chk不印金額", "chk依業務印表", "chk只印金額大於零"},
      .panel = OptionPanel::Options, .allInvoices = true, .customerRange = true}},
    {kOverview, k表5, {.shown = {"spn2"}, .hidden = {"spn1"}, .focus = "txt日期_0"}},
    {kOverview, k未送總表,
     {.hidden = {"chk客戶單號", "chk印合版資料", "chk不印金額", "chk依業務印表",
                 "chk只印金額大於零", "chk金額異常", "pic送清"},
      .panel = OptionPanel::Options, .allInvoices = true}},
    // 補版明細: 選項 is unticked (hiding both panels) before it is hidden.
    {kOverview, k補版明細,
     {.hidden = {"chk客戶單號", "chk印合版資料", "chk不印金額", "chk依業務印表",
                 "chk只印金額大於零", "chk選項", "lbl工務人員", "txt工務人員", "scmd工務人員",
                 "lbl類別", "cbo種類", "lbl客戶單號", "txt客戶單號", "lbl分類", "cbo分類"},
      .allInvoices = true, .untickOptions = true}},
    {kRework, k重工明細表, {}},
    {kRework, k打樣明細表, {}},
    {kRework, k留版明細表, {}},
    {kRework, k刀模明細表, {}},
};
// clang-format on

}  // namespace

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
  std::unique_ptr<Report> report = create(layout, request);
  report->Initialize();
  return report;
}

std::unique_ptr<excel::PageBlockSheet> ReportRow::CreateExport(
    const RequestCriteria& request) const {
  if (exporter == nullptr) throw Error(QStringLiteral("「%1」沒有轉Excel的格式").arg(Name()));
  return exporter->create(exporter->sheet, request);
}

std::span<const ReportRow> ReportRows() {
  return kRows;
}

std::span<const ChoiceRow> ChoiceRows() {
  return kChoices;
}

const ReportRow& RowFor(const OverviewFormState& form) {
  for (const ReportRow& row : kRows)
    if (row.family == ReportFamily::Overview && row.layout.choice == form.sopt選擇報表 &&
        (row.selects == nullptr || row.selects(form)))
      return row;
  throw Error(QStringLiteral("沒有報表選項 %1 的版面").arg(form.sopt選擇報表));
}

const ReportRow& ReworkRowFor(int choice) {
  for (const ReportRow& row : kRows)
    if (row.family == ReportFamily::Rework && row.layout.choice == choice) return row;
  throw Error(QStringLiteral("沒有報表選項 %1 的明細表").arg(choice));
}

const ReportRow* FindRow(const QString& name) {
  for (const ReportRow& row : kRows)
    if (name == row.Name()) return &row;
  return nullptr;
}

const ChoiceRow& ChoiceFor(ReportFamily family, int index) {
  for (const ChoiceRow& choice : kChoices)
    if (choice.family == family && choice.index == index) return choice;
  throw Error(QStringLiteral("沒有報表選項 %1").arg(index));
}

bool ChoiceExports(ReportFamily family, int index) {
  for (const ReportRow& row : kRows)
    if (row.family == family && row.layout.choice == index && row.exporter != nullptr) return true;
  return false;
}

}  // namespace tarvel
