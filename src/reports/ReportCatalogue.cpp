#include "reports/ReportCatalogue.h"

#include "platform/Error.h"
#include "reports/CombinedPlateLayouts.h"
#include "reports/RptTarvel10.h"
#include "reports/RptTarvel2.h"
#include "reports/RptTarvel3.h"
#include "reports/RptTarvel4.h"
#include "reports/RptTarvel5.h"
#include "reports/RptTarvel7.h"
#include "reports/RptTarvel9.h"
#include "reports/RptTarvel_1.h"
#include "reports/RptUnshippedOrders.h"

namespace tarvel {
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

bool Always(const OverviewFormState&) {
  return true;
}
template <bool OverviewFormState::*box>
bool Ticked(const OverviewFormState& form) {
  return form.*box;
}

constexpr JoinSpec kCrowd{",CROWD.MEMB", "left join CROWD on 歷史工單明細2.PO = CROWD.PO "};

// clang-format off
const LayoutEntry kCatalogue[] = {
    // 表1: customer PO before die code before combined plates before no amounts.
    {k表1, Ticked<&OverviewFormState::chk客戶單號>, "rptTarvel2",
     {.source = "歷史工單明細", .orderBy = " order by PO "},
     Page(kLandscape, 400, 500, 400, 400), Make<rptTarvel2>},
    {k表1, Ticked<&OverviewFormState::chk印刀模代號>, "rptTarvel5",
     {.source = "歷史工單明細3", .orderBy = " order by PO, [NO] "},
     Page(kPortrait, 450, 500, 400, 400), Make<rptTarvel5>},
    {k表1, Ticked<&OverviewFormState::chk印合版資料>, "rptTarvel6_1",
     {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "},
     Page(kLandscape, 450, 500, 400, 400), Make<rptTarvel6_1>},
    {k表1, Ticked<&OverviewFormState::chk不印金額>, "rptTarvel7",
     {.source = "歷史工單明細", .orderBy = " order by PO "},
     Page(kPortrait, 450, 500, 400, 400), Make<rptTarvel7>},
    {k表1, Always, "rptTarvel_1",
     {.source = "歷史工單明細", .orderBy = " order by PO "},
     Page(kLandscape, 450, 500, 400, 400), Make<rptTarvel_1>},
    // 表2: one list, or per salesperson.
    {k表2, Ticked<&OverviewFormState::chk依業務印表>, "rptTarvel3_1",
     {.source = "歷史工單明細1", .pieces = {.positiveAmount = true}, .orderBy = " order by EMPNO, PO "},
     Page(kLandscape, 400, 500, 400, 400, kA4), Make<rptTarvel3_1>},
    {k表2, Always, "rptTarvel3",
     {.source = "歷史工單明細1", .pieces = {.positiveAmount = true}, .orderBy = " order by PO "},
     Page(kLandscape, 400, 500, 400, 400, kA4), Make<rptTarvel3>},
    // 表3: the process sheet with the number of ups of CROWD.
    {k表3, Ticked<&OverviewFormState::chk依業務印表1>, "rptTarvel4_1",
     {.source = "歷史工單明細2", .where = WhereRule::SalesRange,
      .orderBy = " order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO ", .join = &kCrowd},
     Page(kLandscape, 400, 300, 400, 400, kA4), Make<rptTarvel4_1>},
    {k表3, Always, "rptTarvel4",
     {.source = "歷史工單明細2", .where = WhereRule::SalesRange,
      .orderBy = " order by 歷史工單明細2.PO ", .join = &kCrowd},
     Page(kLandscape, 400, 300, 400, 400, kA4), Make<rptTarvel4>},
    {k表4含合版, Always, "rptTarvel8",
     {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "},
     Page(kPortrait, 450, 500, 400, 400), Make<rptTarvel8>},
    {k表5, Always, "rptTarvel9",
     {.source = "工單生產報表", .where = WhereRule::Production, .orderBy = "order by PO, [NO] "},
     Page(kLandscape, 400, 500, 400, 400), Make<rptTarvel9>},
    {k未送總表, Always, "rpt工單未出明細_橫",
     {.source = "工單未出明細", .pieces = {.customerRange = false}, .orderBy = " order by PO, [NO] "},
     Page(kLandscape, 450, 500, 400, 500), Make<rpt工單未出明細_橫>},
    {k補版明細, Always, "rptTarvel10",
     {.source = "歷史工單明細", .where = WhereRule::PlateRedo, .orderBy = "order by PO "},
     Page(kPortrait, 450, 500, 400, 400), Make<rptTarvel10>},
};
// clang-format on

}  // namespace

std::span<const LayoutEntry> ReportCatalogue() {
  return kCatalogue;
}

const LayoutEntry& EntryFor(const OverviewFormState& form) {
  for (const LayoutEntry& entry : kCatalogue)
    if (entry.choice == form.sopt選擇報表 && entry.selects(form)) return entry;
  throw Error(QStringLiteral("沒有報表選項 %1 的版面").arg(form.sopt選擇報表));
}

const LayoutEntry* FindLayout(const QString& name) {
  for (const LayoutEntry& entry : kCatalogue)
    if (name == QString::fromUtf8(entry.name)) return &entry;
  return nullptr;
}

std::unique_ptr<Report> CreateLayout(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                                     const AppContext& context) {
  std::unique_ptr<Report> report = entry.create(entry, criteria, context);
  report->Initialize();
  return report;
}

std::unique_ptr<Report> CreateLayout(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                                     const AppContext& context,
                                     std::optional<CheckedRows> checked) {
  std::unique_ptr<Report> report = CreateLayout(entry, criteria, context);
  report->DataControl1.UseCheckedRows(std::move(checked));
  return report;
}

std::unique_ptr<Report> CreateLayout(const QString& name, const WorkOrderCriteria& criteria,
                                     const AppContext& context) {
  const LayoutEntry* entry = FindLayout(name);
  if (entry == nullptr) throw Error(QStringLiteral("沒有名為 %1 的報表版面").arg(name));
  return CreateLayout(*entry, criteria, context);
}

}  // namespace tarvel
