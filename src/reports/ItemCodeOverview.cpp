// 表1, the base work-order overview (rptTarvel_1): one landscape line per work order of
// [歷史工單明細], a title block that repeats the criteria, and the count and totals of the lines.
#include "reports/ItemCodeOverview.h"

#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/OverviewColumns.h"

namespace tarvel {

using namespace columns;
constexpr auto kCentre = SheetAlign::Center;
constexpr auto kRight = SheetAlign::Right;

std::vector<Column> ItemCodeColumns() {
  return {
      WorkOrderNo(90, 1080).Sheet('A', 9, kCentre),
      OrderDate(1215, 540).Sheet('B', 5, kCentre),
      Customer(1800, 990).Sheet('C', 9, SheetAlign::Keep, "客　戶"),
      ItemCode(2835, 1620).Sheet('D', 15, SheetAlign::Keep, "印 件 代 號"),
      ItemName(4500, 3285).Sheet('E', 35, SheetAlign::Keep, "印 件 名 稱"),
      Quantity(7830, 990).Sheet('F', 8, kRight, "數 量"),
      Price(8865, 990).Sheet('G', 9, kRight, "單 價"),
      Amount(9900, 990).Sheet('H', 9, kRight, "金 額"),
      Salesperson(10935, 765).Sheet('I', 6.5),
      PromisedDate(11745, 900).Sheet('J', 8, kCentre, "預交日期"),
      Finished(12690, 450).Sheet('K', 4, kCentre),
      Days(13185, 630).Sheet('L', 5),
      Kind(13860, 990).Sheet('M', 8, SheetAlign::Keep, "單別"),
  };
}

SheetForm ItemCodeSheet(const char* name, const char* errorTitle) {
  return {.name = name,
          .errorTitle = errorTitle,
          .fontSize = 11,
          .heading = {TitleRow(20, true), CompletionRow('K'), DeliveryRow('K'),
                      DatesRow(nullptr, 'D', 'K'), HeadingsRow()}};
}

namespace {

ReportDefinition ItemCodeOverview() {
  return {
      .name = "rptTarvel_1",
      .choice = k表1,
      .statement = {.source = "歷史工單明細", .orderBy = " order by PO "},
      .page = PrintedPage(Orientation::Landscape, 450, 500, 400, 400),
      .measures = {.ruleWidth = kItemCodeWidth},
      .columns = ItemCodeColumns(),
      .footer = {.totals = {Sum("txt數量合計", "QTY", 7275, 1545, 'F'),
                            Sum("txt合計", "AMT", 9180, 1710, 'H')}},
      .sheet = ItemCodeSheet("ItemCode", "表八轉Excel錯誤"),
  };
}

}  // namespace

TARVEL_REGISTER_REPORT(ItemCodeOverview)

}  // namespace tarvel
