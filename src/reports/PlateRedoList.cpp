// 補版明細 (rptTarvel10): the work orders that needed a plate remade (a PLATE line mentioning
// 補版), one portrait line each with quantity, salesperson and finished flag.
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;

ReportDefinition PlateRedoList() {
  return {
      .name = "rptTarvel10",
      .choice = k補版明細,
      .statement = {.source = "歷史工單明細",
                    .where = WhereRule::PlateRedo,
                    .orderBy = "order by PO "},
      .page = PrintedPage(Orientation::Portrait, 450, 500, 400, 400),
      // The selection is by order date only, so the caption stays 工單日期： and no delivery or
      // completion texts are printed.
      .title = {.title = "補版明細表",
                .titleLeft = 4570,
                .companyVisible = true,
                .rightLeft = 8565,
                .statusLines = false,
                .dateCaption = "工單日期：",
                .dateCaptionByBasis = false},
      .measures = {.ruleWidth = 10845 - 90,  // portrait A4 inside the margins
                   .headerHeight = 1590,
                   .detailHeight = 375,
                   .font = FontSpec{QStringLiteral("新細明體"), 12},
                   .lineHeight = 285},
      .columns =
          {
              WorkOrderNo(90, 1200),
              OrderDate(1335, 660),
              Customer(2040, 1320),
              ItemName(3405, 3120).Titled("印　件　名　稱"),
              Quantity(6570, 1080),
              Col("Label19", "業務員", "txtNAME", Stored("NAME"), 1080, Alignment::Center).At(7695),
              Finished(8820, 600),
              Kind(9465, 1380),
          },
      .footer = {.totals = {Sum("txt數量合計", "QTY", 6105, 1545)}},
  };
}

TARVEL_REGISTER_REPORT(PlateRedoList)

}  // namespace
}  // namespace tarvel
