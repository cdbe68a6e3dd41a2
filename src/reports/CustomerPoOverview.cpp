// 表1 with the customer's order numbers (rptTarvel2, 印客戶單號): the item-code overview's rows
// and totals laid out for the customer, with 客戶單號, 客戶工號 and blank columns to write the
// invoice, the payment date and remarks in by hand.
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;
constexpr auto kCentre = SheetAlign::Center;
constexpr auto kRight = SheetAlign::Right;
constexpr auto kKeep = SheetAlign::Keep;

ReportDefinition CustomerPoOverview() {
  // The date as yyy/mm/dd on the page, as stored on the sheet.
  Column date = OrderDate(1215, 990);
  date.cell = Shown(Shows::FullDate, "ODATE");
  // 發票號碼, 收款日 and 備註 are left blank for the customer; the two fields under them stay bound
  // (NAME, FDATE) but do not print.
  Column invoice = Col("Label21", "發票號碼", "txtNAME", Stored("NAME"), 1170).At(12555);
  invoice.fieldVisible = false;
  Column paid =
      Col("Label30", "收款日", "txtFDATE", Shown(Shows::Finished, "FDATE"), 900, Alignment::Center)
          .At(13770);
  paid.fieldVisible = false;
  const Cell blank{.shows = Shows::Blank};
  return {
      .name = "rptTarvel2",
      .choice = k表1,
      .pickedBy = "customer-po-layout",
      .statement = {.source = "歷史工單明細", .orderBy = " order by PO "},
      .page = PrintedPage(Orientation::Landscape, 400, 500, 400, 400),
      .title = {.titleLeft = 7090, .companyVisible = true, .rightLeft = 13605},
      .measures = {.ruleWidth = 15885 - 90},
      .columns =
          {
              WorkOrderNo(90, 1080).Sheet('A', 8, kCentre),
              date.Sheet('B', 7, kCentre).SheetShows(Stored("ODATE")),
              Customer(2250, 1350).Sheet('C', 8, kKeep, "客　戶"),
              ItemName(3645, 2700).Sheet('D', 25, kKeep, "印 件 名 稱"),
              Quantity(6390, 990).Sheet('E', 8, kRight, "數 量"),
              Price(7425, 990).Sheet('F', 8, kRight, "單 價"),
              Amount(8460, 1170).Sheet('G', 8, kRight, "金 額"),
              Col("Label19", "客戶單號", "txtcustno", Stored("CUSTNO"), 1350, Alignment::Center)
                  .At(9765)
                  .Sheet('H', 14),
              Col("Label34", "客戶工號", "Field3", Stored("採購單號"), 1350, Alignment::Center)
                  .At(11160)
                  .Sheet('I', 10),
              invoice.Sheet('J', 10).SheetShows(blank),
              paid.Sheet('K', 8).SheetShows(blank),
              Col("Label31", "備　註", nullptr, blank, 1170)
                  .At(14715)
                  .Sheet('L', 16, kKeep, "備　　　註"),
          },
      .footer = {.totals = {Sum("txt數量合計", "QTY", 5835, 1545, 'E'),
                            Sum("txt合計", "AMT", 7920, 1710, 'G')}},
      .sheet = SheetForm{.name = "CustomerPo",
                         .errorTitle = "表三轉Excel錯誤",
                         .fontSize = 10,
                         .heading = {CompanyRow(), TitleRow(18), CompletionRow('L', false),
                                     DeliveryRow('L', false), DatesRow(nullptr, 'C', 'L'),
                                     HeadingsRow()}},
  };
}

TARVEL_REGISTER_REPORT(CustomerPoOverview)

}  // namespace
}  // namespace tarvel
