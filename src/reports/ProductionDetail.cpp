// 表3, the process sheet of [歷史工單明細2] with the number of ups from CROWD: one list
// (rptTarvel4) or one block per salesperson (rptTarvel4_1, 依業務印表 of the range panel).
#include <QStringList>
#include <algorithm>
#include <string_view>

#include "common/DisplayWidth.h"
#include "common/GroupedNumber.h"
#include "criteria/WorkOrderCriteria.h"
#include "design/ReportRegistry.h"
#include "platform/Conversions.h"
#include "reports/OverviewColumns.h"

namespace tarvel {
namespace {

using namespace columns;
using excel::XlColorIndex;
constexpr auto kCentre = SheetAlign::Center;
constexpr auto kKeep = SheetAlign::Keep;

constexpr JoinSpec kCrowd{",CROWD.MEMB", "left join CROWD on 歷史工單明細2.PO = CROWD.PO "};
constexpr int kLeft = 90;
constexpr int kRight = 15930;  // the paper's width less the margins of 400 and 300 twips, less 90
constexpr int kOtherDetailBytes = 20;

/// The quantity with its unit (1,000張).
db::Value QuantityAndUnit(const CellInputs& in, const AppContext&) {
  return FormatGrouped(in[0]) + in[1].Text();
}
db::Value SheetQuantityAndUnit(const CellInputs& in, const AppContext&) {
  return FormatGrouped(in[0].Text()) + in[1].Text();
}

/// 印色 from the front and back colour counts: "" for none, "正4", "反1", "正4反1".
db::Value Colours(const CellInputs& in, const AppContext&) {
  const double front = in[0].Number();
  const double back = in[1].Number();
  if (front == 0 && back == 0) return QString();
  if (front == 0) return u'反' + NumberText(back);
  if (back == 0) return u'正' + NumberText(front);
  return u'正' + NumberText(front) + u'反' + NumberText(back);
}
/// The sheet writes the counts as they are stored, "反" before the back's.
db::Value SheetColours(const CellInputs& in, const AppContext&) {
  const QString front = in[0].Text();
  const QString back = in[1].Text();
  if (front.isEmpty() && back.isEmpty()) return QString();
  if (front.isEmpty()) return u'反' + back;
  if (back.isEmpty()) return front;
  return front + u'反' + back;
}

/// 其他明細: the non-empty process texts, two spaces apart; on the page each cut to 20 display
/// bytes.
db::Value OtherDetails(const CellInputs& in, const AppContext&) {
  QStringList parts;
  for (size_t i = 0; i < in.size(); ++i)
    if (const QString text = in[i].Text(); !text.isEmpty())
      parts.push_back(LeftByBytes(text, kOtherDetailBytes));
  return parts.join(QStringLiteral("  "));
}
db::Value SheetOtherDetails(const CellInputs& in, const AppContext&) {
  QStringList parts;
  for (size_t i = 0; i < in.size(); ++i)
    if (const QString text = in[i].Text(); !text.isEmpty()) parts.push_back(text);
  return parts.join(QStringLiteral("  "));
}

/// The number of ups; the sheet leaves a 0 empty.
db::Value SheetUps(const CellInputs& in, const AppContext&) {
  const QString ups = in[0].Text();
  return Val(ups) == 0 ? QString() : FormatGrouped(ups);
}

Column Coloured(Column column, XlColorIndex colour) {
  column.sheet.colour = colour;
  return column;
}

/// Both forms: per salesperson the 業務員 column goes (the salesperson heads each block), and on
/// the sheet the customer moves into its column C and the item name spans D and E.
ReportDefinition ProductionDetail(bool perSalesperson) {
  std::vector<Column> columns = {
      Coloured(WorkOrderNo(0, 1080).Sheet('A', 8.38), XlColorIndex::kBlue),
      Col("Label28", "工單日期", "txtODATE", Shown(Shows::FullDate, "ODATE"), 900,
          Alignment::Center)
          .Sheet('B', 7),
  };
  if (perSalesperson) {
    columns.push_back(Customer(0, 990).Sheet('C', 7.63, kKeep, "客　戶"));
    Column item = ItemName(0, 2430).Sheet('D', 9, kKeep, "印 件 名 稱");
    item.sheet.mergeThrough = 'E';
    columns.push_back(item);
    columns.push_back(Column{.cell = {.shows = Shows::Blank}}.Sheet('E', 22.63, kKeep, ""));
  } else {
    columns.push_back(Salesperson(0, 765).Sheet('C', 7.63));
    columns.push_back(Customer(0, 990).Sheet('D', 9, kKeep, "客　戶"));
    columns.push_back(ItemName(0, 2430).Sheet('E', 22.63, kKeep, "印 件 名 稱"));
  }
  Column quantity = Quantity(0, 1170).Sheet('G', 7.38, kKeep, "數量");
  quantity.cell = Computed(&QuantityAndUnit, {"QTY", "UNIT"}, "QTY");
  quantity.sheet.cell = Computed(&SheetQuantityAndUnit, {"QTY", "UNIT"}, "QTY");
  const std::vector<Column> rest = {
      Col("Label4", "模數", "Field4", Stored("MEMB"), 540, Alignment::Right)
          .Sheet('F', 3.75)
          .SheetShows(Computed(&SheetUps, {"MEMB"})),
      quantity,
      Coloured(
          Col("Label5", "開數", "Field2", Stored("SPEC"), 720, Alignment::Center).Sheet('H', 9.25),
          XlColorIndex::kMagenta),
      Coloured(Col("Label6", "印色", "txt印色", Computed(&Colours, {"COLOR1", "COLOR2"}), 810,
                   Alignment::Center)
                   .Sheet('I', 7.5)
                   .SheetShows(Computed(&SheetColours, {"COLOR1", "COLOR2"})),
               XlColorIndex::kBlue),
      Coloured(Col("Label7", "用      紙", "txt紙品", Stored("紙品"), 1800)
                   .Sheet('J', 9.88, kKeep, "用紙"),
               XlColorIndex::kRed),
      Col("Label9", "其　他　明　細", "txt其他明細",
          Computed(&OtherDetails, {"上光", "裱紙", "軋工", "糊工", "裁工", "裝訂", "燙金", "其他"}),
          0)
          .Sheet('K', 33.5, kKeep, "其他明細")
          .SheetShows(Computed(&SheetOtherDetails,
                               {"裱紙", "軋工", "糊工", "裁工", "裝訂", "燙金", "其他"})),
  };
  columns.insert(columns.end(), rest.begin(), rest.end());
  FlowColumns(columns);
  columns.back().width = kRight - columns.back().left;  // 其他明細 takes the rest of the line

  std::vector<HiddenField> hidden;
  for (const auto& [field, column] : {std::pair{"txtUNIT", "UNIT"},
                                      {"txtPRICE", "PRICE"},
                                      {"txtCOLOR1", "COLOR1"},
                                      {"txtCOLOR2", "COLOR2"},
                                      {"txt上光", "上光"},
                                      {"txt裁工", "裁工"},
                                      {"txt裝訂", "裝訂"},
                                      {"txt其他", "其他"},
                                      {"txt裱紙", "裱紙"},
                                      {"txt軋工", "軋工"},
                                      {"txt糊工", "糊工"},
                                      {"txt燙金", "燙金"},
                                      {"txtAMT", "AMT"}})
    hidden.push_back({field, column});

  quantity = *std::find_if(columns.begin(), columns.end(), [](const Column& c) {
    return std::string_view(c.cell.column) == "QTY";
  });
  Total quantityTotal = SumUnder(quantity, "txt數量合計", 1800, 'F');
  quantityTotal.sheetShows = Shows::Typed;
  quantityTotal.mergeThrough = 'G';
  Total amountTotal = Sum("txt合計", "AMT", quantity.left, 1170);
  amountTotal.visible = false;
  const char* orderBy = perSalesperson ? " order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO "
                                       : " order by 歷史工單明細2.PO ";
  std::vector<HeadingRow> heading = {CompanyRow(), TitleRow(18)};
  if (perSalesperson) heading.push_back(SalespersonRow(true));
  heading.push_back(DatesRow("工單日期：", 'D', 'K', SheetAlign::Right));
  heading.push_back(HeadingsRow());
  return {
      .name = perSalesperson ? "rptTarvel4_1" : "rptTarvel4",
      .choice = k表3,
      .pickedBy = perSalesperson ? "by-salesperson-range" : nullptr,
      .statement = {.source = "歷史工單明細2",
                    .where = WhereRule::SalesRange,
                    .orderBy = orderBy,
                    .join = &kCrowd},
      .page = PrintedPage(Orientation::Landscape, 400, 300, 400, 400, 9),
      // The whole list has no salesperson block at all; per salesperson it heads each block.
      .title = {.companyVisible = true,
                .statusLines = false,
                .salespersonBlock = perSalesperson,
                .salesNameField = "Field3",
                .dateCaption = "工單日期：",
                .dateCaptionByBasis = false},
      .measures = {.ruleWidth = kRight - kLeft,
                   .detailHeight = 315,
                   .detailTop = 30,
                   .font = FontSpec{QStringLiteral("新細明體"), 10}},
      .columns = columns,
      .hidden = hidden,
      .outer = {.key = perSalesperson ? "EMPNO" : "", .newPage = perSalesperson},
      .footer = {.totals = {quantityTotal, amountTotal},
                 .rightAlignTotals = false,
                 .doubleTop = true},
      .sheet =
          SheetForm{.name = perSalesperson ? "ProductionDetailBySalesperson" : "ProductionDetail",
                    .errorTitle = perSalesperson ? "表五轉Excel錯誤" : "表四轉Excel錯誤",
                    .fontSize = 10,
                    .pageRows = 21,
                    .heading = heading,
                    .lineHeight = 28.5,
                    .wrapLines = true},
  };
}

ReportDefinition ProductionDetailWhole() {
  return ProductionDetail(false);
}
ReportDefinition ProductionDetailBySalesperson() {
  return ProductionDetail(true);
}

TARVEL_REGISTER_REPORT(ProductionDetailWhole)
TARVEL_REGISTER_REPORT(ProductionDetailBySalesperson)

}  // namespace
}  // namespace tarvel
