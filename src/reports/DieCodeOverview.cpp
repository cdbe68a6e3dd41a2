// 表1 with die codes (rptTarvel5, 印刀模代號): two lines per process line of a work order, the
// first naming the step, its content, vendor and die code, the second the amounts and dates of the
// item-code line. Its export is the item-code overview's.
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;

/// A field of the second line, placed by itself.
LineCell Second(const char* field, Cell cell, int left, int width,
                Alignment alignment = Alignment::Left) {
  constexpr int kTop = 30 + 240 + 30;
  return {.field = field,
          .cell = std::move(cell),
          .alignment = alignment,
          .left = left,
          .top = kTop,
          .width = width};
}

Total Unprinted(Total total) {
  total.visible = false;
  return total;
}

ReportDefinition DieCodeOverview() {
  constexpr auto kRight = Alignment::Right;
  constexpr auto kCentre = Alignment::Center;
  return {
      .name = "rptTarvel5",
      .choice = k表1,
      .pickedBy = "die-code",
      .statement = {.source = "歷史工單明細3", .orderBy = " order by PO, [NO] "},
      .page = PrintedPage(Orientation::Portrait, 450, 500, 400, 400),
      .title = {.titleLeft = 4600, .companyVisible = true, .rightLeft = 8625},
      .measures = {.ruleWidth = 10905 - 90,  // portrait A4 inside the margins
                   .headerHeight = 1545,
                   .detailHeight = 615,
                   .detailTop = 30,
                   .font = FontSpec{QStringLiteral("新細明體"), 10},
                   .lineHeight = 240},
      .columns =
          {
              WorkOrderNo(90, 1080),
              OrderDate(1215, 540),
              Customer(1800, 1215),
              ItemName(3060, 1845).Titled("印 件 名 稱"),
              Col("Label35", "項   目", "Field5", Stored("DESC1"), 720).At(4950),
              Col("Label36", "內                容", "Field6", Stored("ITEM"), 2025).At(5715),
              Col("Label37", "廠    商", "Field8", Stored("SVENDER"), 990).At(7785),
              Col("Label38", "刀  模  代  號", "Field7", Stored("REM"), 1440).At(8820),
              Kind(10305, 600).Titled("單別"),
          },
      // The second line has no headings: quantity, price, amount, salesperson, promised date,
      // finished flag and day count, from under the date column.
      .lines = {{.band = SectionKind::Detail,
                 .cells = {Second("txtQTY", Shown(Shows::Grouped, "QTY"), 1215, 990, kRight),
                           Second("txtPRICE", Shown(Shows::Grouped, "PRICE"), 2250, 990, kRight),
                           Second("txtAMT", Shown(Shows::Grouped, "AMT"), 3285, 1170, kRight),
                           Second("txtNAME", Stored("NAME"), 4635, 900),
                           Second("Field4", Shown(Shows::FullDate, "PDATE"), 5580, 945, kCentre),
                           Second("txtFDATE", Shown(Shows::Finished, "FDATE"), 6570, 450, kCentre),
                           Second("txt天數", DaysToFinish(), 7065, 540, kRight)}}},
      // The count only: the quantity and amount totals stay in the design, hidden.
      .footer = {.totals = {Unprinted(Sum("txt數量合計", "QTY", 660, 1545)),
                            Unprinted(Sum("txt合計", "AMT", 2745, 1710))}},
      .sheetOf = "rptTarvel_1",
  };
}

TARVEL_REGISTER_REPORT(DieCodeOverview)

}  // namespace
}  // namespace tarvel
