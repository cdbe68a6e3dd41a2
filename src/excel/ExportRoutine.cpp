#include "excel/ExportRoutine.h"

namespace tarvel::excel {
namespace {

constexpr JoinSpec kCrowd{",CROWD.MEMB", "left join CROWD on 歷史工單明細2.PO = CROWD.PO "};
constexpr XlPageOrientation kLandscape = XlPageOrientation::kLandscape;
constexpr XlPageOrientation kPortrait = XlPageOrientation::kPortrait;

bool PerSalesperson(const WorkOrderCriteria& criteria) {
  return criteria.BySalesperson == BySalesperson::PerSalesperson;
}

}  // namespace

std::optional<ExportRoutine> ExportRoutineFor(const OverviewFormState& form) {
  switch (form.sopt選擇報表) {
    case k表1:
      if (form.chk客戶單號) return ExportRoutine::CustomerPo;
      if (form.chk印合版資料) return ExportRoutine::CombinedPlateCode;
      return ExportRoutine::ItemCode;
    case k表2:
      return ExportRoutine::SalespersonMargin;
    case k表3:
      return form.chk依業務印表1 ? ExportRoutine::ProductionDetailBySalesperson
                                 : ExportRoutine::ProductionDetail;
    case k表4含合版:
      return ExportRoutine::CombinedPlates;
    case k表5:
      return ExportRoutine::ProductionReport;
    default:
      return std::nullopt;
  }
}

ExportParameters ParametersOf(ExportRoutine routine, const WorkOrderCriteria& criteria) {
  switch (routine) {
    case ExportRoutine::ItemCode:
      return {"表八轉Excel錯誤", kLandscape, 11, 28, 5, 'M'};
    case ExportRoutine::CombinedPlateCode:
      return {"表八之一轉Excel錯誤", kLandscape, 11, 28, 5, 'M'};
    case ExportRoutine::CustomerPo:
      return {"表三轉Excel錯誤", kLandscape, 10, 28, 6, 'L'};
    case ExportRoutine::SalespersonMargin:
      return {"表二轉Excel錯誤", kLandscape, 11, 28, PerSalesperson(criteria) ? 4 : 3, 'O'};
    case ExportRoutine::ProductionDetail:
      return {"表四轉Excel錯誤", kLandscape, 10, 21, 4, 'K'};
    case ExportRoutine::ProductionDetailBySalesperson:
      return {"表五轉Excel錯誤", kLandscape, 10, 21, 5, 'K'};
    case ExportRoutine::CombinedPlates:
      return {"表七轉Excel錯誤", kPortrait, 10, 41, 6, 'H'};
    case ExportRoutine::ProductionReport:
      return {"表六轉Excel錯誤", kLandscape, 10, 28, 3, 'N'};
  }
  return {"轉Excel錯誤", kLandscape, 11, 28, 5, 'M'};
}

QString ExportStatement(ExportRoutine routine, const WorkOrderCriteria& criteria,
                        const AppContext& context) {
  StatementSpec spec;
  switch (routine) {
    case ExportRoutine::ItemCode:
    case ExportRoutine::CustomerPo:
      spec = {.source = "歷史工單明細", .orderBy = " order by PO "};
      break;
    case ExportRoutine::CombinedPlateCode:
    case ExportRoutine::CombinedPlates:
      spec = {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "};
      break;
    case ExportRoutine::SalespersonMargin:
      spec = {.source = "歷史工單明細1",
              .pieces = {.customerRange = false, .positiveAmount = true},
              .orderBy = criteria.BySalesperson == BySalesperson::OneList ? " order by PO "
                                                                          : " order by EMPNO, PO "};
      break;
    case ExportRoutine::ProductionDetail:
      spec = {.source = "歷史工單明細2",
              .where = WhereRule::SalesRange,
              .orderBy = " order by 歷史工單明細2.PO ",
              .join = &kCrowd};
      break;
    case ExportRoutine::ProductionDetailBySalesperson:
      spec = {.source = "歷史工單明細2",
              .where = WhereRule::SalesRange,
              .orderBy = " order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO ",
              .join = &kCrowd};
      break;
    case ExportRoutine::ProductionReport:
      spec = {.source = "工單生產報表",
              .where = WhereRule::Production,
              .orderBy = "order by PO, [NO] "};
      break;
  }
  return ComposeStatement(spec, criteria, context);
}

}  // namespace tarvel::excel
