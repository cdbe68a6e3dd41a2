// 表1 with 印合版資料 (rptTarvel6_1): the item-code overview's line once per work order, the
// combined-plate lines printed on the same plates under it, and totals that count work orders
// and add both the orders' and the combined jobs' quantities and amounts.
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/ItemCodeOverview.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;

ReportDefinition CombinedPlateCodeOverview() {
  constexpr auto kRight = Alignment::Right;
  return {
      .name = "rptTarvel6_1",
      .choice = k表1,
      .pickedBy = "combined-plates",
      .statement = {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "},
      .page = PrintedPage(Orientation::Landscape, 450, 500, 400, 400),
      // The header ends on the headings' underline, where the first order's rule falls.
      .measures = {.ruleWidth = kItemCodeWidth, .headerHeight = 1470},
      .columns = ItemCodeColumns(),
      .inner = Group{.key = "PO"},
      .columnsBand = SectionKind::GroupHeader2,
      .lines = {CombinedPlateLine({
          PlateField("SNAME", "txt合版客戶簡稱"),
          PlateField("CODE", "txt合版代號"),
          PlateField("DESC", "txt合版名稱"),
          PlateField("QTY", "txt合版數量", Shows::Grouped, kRight),
          PlateField("PRICE", "txt合版單價", Shows::Grouped, kRight),
          PlateField("AMT", "txt合版小計", Shows::Grouped, kRight),
      })},
      // Kept by the layout: the engine would count plate rows, not work orders.
      .footer = {.countField = "txt筆數",
                 .countByEngine = false,
                 .totals = {{.field = "txt數量合計",
                             .columns = {"QTY", "合版數量"},
                             .engine = false,
                             .left = 7275,
                             .width = 1545,
                             .sheetLetter = 'F'},
                            {.field = "txt合計",
                             .columns = {"AMT", "合版小計"},
                             .engine = false,
                             .left = 9180,
                             .width = 1710,
                             .sheetLetter = 'H'}}},
      .sheet = ItemCodeSheet("CombinedPlateCode", "表八之一轉Excel錯誤"),
  };
}

TARVEL_REGISTER_REPORT(CombinedPlateCodeOverview)

}  // namespace
}  // namespace tarvel
