// 表4(含合版) (rptTarvel8): the work orders with their combined-plate lines, portrait, without
// item code and with the customer's order number in place of salesperson, dates and category.
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;

ReportDefinition CombinedPlatesOverview() {
  constexpr auto kCentre = SheetAlign::Center;
  constexpr auto kRight = SheetAlign::Right;
  constexpr auto kKeep = SheetAlign::Keep;
  return {
      .name = "rptTarvel8",
      .choice = k表4含合版,
      .statement = {.source = "歷史工單明細4", .orderBy = " order by PO, [NO] "},
      .page = PrintedPage(Orientation::Portrait, 450, 500, 400, 400),
      .title = {.titleLeft = 4590, .companyVisible = true, .rightLeft = 8610},
      .measures = {.ruleWidth = 10890 - 90,  // portrait A4 inside the margins
                   .headerHeight = 1455,
                   .font = FontSpec{QStringLiteral("新細明體"), 10},
                   .lineHeight = 240},
      .columns =
          {
              WorkOrderNo(90, 1080).Sheet('A', 7.5, kCentre),
              OrderDate(1215, 540).Sheet('B', 4, kCentre),
              Customer(1800, 1170).Sheet('C', 8, kKeep, "客　戶"),
              ItemName(3015, 2790).Sheet('D', 35, kKeep, "印 件 名 稱"),
              Quantity(5850, 990).Sheet('E', 8, kRight, "數 量"),
              Price(6885, 900).Sheet('F', 7, kRight, "單 價"),
              Amount(7830, 1170).Sheet('G', 8, kRight, "金 額"),
              Col("Label19", "客戶單號", "txtNAME", Stored("CUSTNO"), 1845, Alignment::Center)
                  .At(9045)
                  .Sheet('H', 12),
          },
      .inner = Group{.key = "PO"},
      .columnsBand = SectionKind::GroupHeader2,
      .lines = {CombinedPlateLine({
          PlateField("SNAME", "txt合版客戶簡稱"),
          PlateField("DESC", "txt合版名稱"),
          PlateField("QTY", "txt合版數量", Shows::Grouped, Alignment::Right),
          PlateField("PRICE", "txt合版單價", Shows::Grouped, Alignment::Right),
          PlateField("AMT", "txt合版小計", Shows::Grouped, Alignment::Right),
          // The sheet repeats the order's customer number on each plate line.
          {.under = "CUSTNO", .sheet = Stored("CUSTNO")},
      })},
      .footer = {.countField = "txt筆數",
                 .countByEngine = false,
                 .totals = {{.field = "txt數量合計",
                             .columns = {"QTY", "合版數量"},
                             .engine = false,
                             .left = 5295,
                             .width = 1545,
                             .sheetLetter = 'E'},
                            {.field = "txt合計",
                             .columns = {"AMT", "合版小計"},
                             .engine = false,
                             .left = 7290,
                             .width = 1710,
                             .sheetLetter = 'G'}}},
      .sheet = SheetForm{.name = "CombinedPlates",
                         .errorTitle = "表七轉Excel錯誤",
                         .orientation = excel::XlPageOrientation::kPortrait,
                         .fontSize = 10,
                         .pageRows = 41,
                         .heading = {CompanyRow(), TitleRow(18), CompletionRow('G'),
                                     DeliveryRow('G'), DatesRow(nullptr, 'D', 'G'), HeadingsRow()}},
  };
}

TARVEL_REGISTER_REPORT(CombinedPlatesOverview)

}  // namespace
}  // namespace tarvel
