// 表1 without amounts (rptTarvel7, 不印金額): the item-code overview's rows in portrait with the
// customer's order number in place of price and amount, for copies that leave the office. Its
// export is the item-code overview's.
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;

ReportDefinition NoAmountOverview() {
  return {
      .name = "rptTarvel7",
      .choice = k表1,
      .pickedBy = "no-amounts",
      .statement = {.source = "歷史工單明細", .orderBy = " order by PO "},
      .page = PrintedPage(Orientation::Portrait, 450, 500, 400, 400),
      .title = {.titleLeft = 4590, .companyVisible = true, .rightLeft = 8610},
      .measures = {.ruleWidth = 10890 - 90,  // portrait A4 inside the margins
                   .headerHeight = 1545,
                   .detailHeight = 330,
                   .font = FontSpec{QStringLiteral("新細明體"), 10},
                   .lineHeight = 240},
      .columns =
          {
              WorkOrderNo(90, 1080),
              OrderDate(1215, 540),
              Customer(1800, 990),
              ItemName(2835, 2430),
              Quantity(5310, 900),
              Col("Label29", "客戶單號", "txtCUSTNO", Stored("CUSTNO"), 1080, Alignment::Center)
                  .At(6255),
              Salesperson(7380, 720),
              PromisedDate(8145, 945),
              Finished(9135, 450),
              Days(9630, 540),
              Kind(10215, 675).Titled("單別"),
          },
      .footer = {.totals = {Sum("txt數量合計", "QTY", 4665, 1545)}},
      .sheetOf = "rptTarvel_1",
  };
}

TARVEL_REGISTER_REPORT(NoAmountOverview)

}  // namespace
}  // namespace tarvel
