// 表5, the production sheet (rptTarvel9): one landscape line per printing step of [工單生產報表],
// the company name at the head of the page and a count of the lines.
#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "platform/Conversions.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;
constexpr auto kCentre = SheetAlign::Center;
constexpr auto kRight = SheetAlign::Right;
constexpr auto kKeep = SheetAlign::Keep;

/// 總數: the paper in reams (QTY) and the sheets beyond them (FREE).
db::Value Sheets(const CellInputs& in, const AppContext&) {
  return FormatReamSheet(Val(in[0].ToText()) * kSheetsPerReam + Val(in[1].ToText()),
                         QStringLiteral("Y"));
}
/// The sheet adds the two as they stand.
db::Value SheetSheets(const CellInputs& in, const AppContext&) {
  return FormatReamSheet(Val(in[0].Text()) + Val(in[1].Text()), QStringLiteral("Y"));
}
/// An estimate on the sheet: its grouped text.
db::Value SheetGrouped(const CellInputs& in, const AppContext&) {
  return FormatGrouped(in[0].Text());
}

Column Unprinted(Column column) {
  column.fieldVisible = false;
  return column;
}

ReportDefinition ProductionReport() {
  constexpr auto kRightAligned = Alignment::Right;
  constexpr auto kCentred = Alignment::Center;
  // 正/反 (色數正, 色數反) and 印刷尺寸 (開數1) have headings; their fields stay hidden on the
  // page.
  std::vector<Column> columns = {
      WorkOrderNo(0, 1080).Sheet('A', 8),
      ItemName(0, 2295).Sheet('B', 26, kKeep, "印  件  名  稱"),
      Col("Label4", "紙      別", "txtITEM", Stored("ITEM"), 1350).Sheet('C', 12, kKeep, "紙別"),
      Col("Label5", "規    格", "txtSPEC", Stored("SPEC"), 990).Sheet('D', 10, kKeep, "規格"),
      Col("Label6", "總    數", "txt總數", Computed(&Sheets, {"QTY", "FREE"}), 1170, kRightAligned)
          .Sheet('E', 10, kRight, "總數")
          .SheetShows(Computed(&SheetSheets, {"QTY", "FREE"})),
      Unprinted(Col("Label17", "正", "txt色數正", Stored("色數正"), 360, kCentred))
          .Sheet('F', 3, kCentre),
      Unprinted(Col("Label18", "反", "txt色數反", Stored("色數反"), 360, kCentred))
          .Sheet('G', 3, kCentre),
      Unprinted(Col("Label19", "印刷尺寸", "txt開數1", Stored("開數1"), 900, kCentred))
          .Sheet('H', 10),
      // Written as typed on the sheet: a number becomes a number, anything else stays text.
      Col("Label7", "總耗時", "txt耗時", Shown(Shows::Typed, "耗時"), 810, kRightAligned)
          .Sheet('I', 8, kRight),
      Col("Label9", "生產量", "txt生產量", Shown(Shows::Typed, "生產量"), 810, kRightAligned)
          .Sheet('J', 8, kRight),
      Col("Label11", "工單實數", "txtQTY1", Shown(Shows::Typed, "QTY1"), 990, kRightAligned)
          .Sheet('K', 8),
      Col("Label12", "工單放數", "txtQTY2", Shown(Shows::Typed, "QTY2"), 900, kRightAligned)
          .Sheet('L', 8),
      Col("Label13", "估價成本", "txtOAMT", Shown(Shows::GroupedValue, "OAMT"), 1080, kRightAligned)
          .Sheet('M', 8)
          .SheetShows(Computed(&SheetGrouped, {"OAMT"})),
      Col("Label14", "估價報價", "txtAMT", Shown(Shows::GroupedValue, "AMT"), 1080, kRightAligned)
          .Sheet('N', 8)
          .SheetShows(Computed(&SheetGrouped, {"AMT"})),
  };
  FlowColumns(columns);
  return {
      .name = "rptTarvel9",
      .choice = k表5,
      .statement = {.source = "工單生產報表",
                    .where = WhereRule::Production,
                    .orderBy = "order by PO, [NO] "},
      .page = PrintedPage(Orientation::Landscape, 400, 500, 400, 400),
      // Without a title the company name heads the page, centred over the columns.
      .title = {.titleVisible = false,
                .companyVisible = true,
                .companyHeadsPage = true,
                .statusLines = false,
                .salespersonBlock = false,
                .dateCaption = "工單日期：",
                .dateCaptionByBasis = false},
      .measures = {.detailHeight = 315,
                   .detailTop = 30,
                   .font = FontSpec{QStringLiteral("新細明體"), 10},
                   .lineHeight = 255},
      .columns = columns,
      .hidden = {{"txtQTY", "QTY"}, {"txtFREE", "FREE"}},
      .footer = {.doubleTop = true},
      .sheet =
          SheetForm{.name = "ProductionReport",
                    .errorTitle = "表六轉Excel錯誤",
                    .fontSize = 10,
                    .heading = {CompanyRow(), DatesRow("工單日期：", 'B', 'M'), HeadingsRow()}},
  };
}

TARVEL_REGISTER_REPORT(ProductionReport)

}  // namespace
}  // namespace tarvel
