// 表2, cost and margin per work order of [歷史工單明細1]: one list (rptTarvel3) or one block per
// salesperson (rptTarvel3_1, 依業務印表), each on pages of their own with their own totals.
#include <algorithm>
#include <string_view>

#include "common/GroupedNumber.h"
#include "common/SuiteRules.h"
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

/// The margin as a whole percentage of the amount, or of the cost where the company reckons
/// margins against cost (the system's profit-rate base ITEM18 numerically 0, also when empty).
std::optional<double> Percent(double margin, double amount, double cost, const AppContext& c) {
  return MarginPercent(margin, amount, cost, c.ProfitRateBase);
}

/// Printed: the percentage with thousands separators, "0" when the base is 0.
db::Value PrintedRate(std::optional<double> percent) {
  return percent ? FormatGrouped(FormatNumber(*percent, QStringLiteral("0"))) : QStringLiteral("0");
}
/// On the sheet: the percentage as text, empty when the base is 0.
db::Value SheetRate(std::optional<double> percent) {
  return percent ? FormatNumber(*percent, QStringLiteral("0")) : QString();
}

// A line's rate from its margin, amount and cost.
db::Value LineRate(const CellInputs& in, const AppContext& c) {
  return PrintedRate(Percent(in[0].Number(), in[1].Number(), in[2].Number(), c));
}
db::Value SheetLineRate(const CellInputs& in, const AppContext& c) {
  return SheetRate(Percent(in[0].Number(), in[1].Number(), in[2].Number(), c));
}
// The totals' rate, from the totals quantity, amount, cost, margin.
db::Value TotalRate(std::span<const double> t, const AppContext& c) {
  return PrintedRate(Percent(t[3], t[1], t[2], c));
}
db::Value SheetTotalRate(std::span<const double> t, const AppContext& c) {
  return SheetRate(Percent(t[3], t[1], t[2], c));
}

/// Both forms: per salesperson the rows come ordered by EMPNO, each salesperson's title block
/// names him, and the 業務員 column goes from the page (its sheet column M stays, empty).
ReportDefinition MarginOverview(bool perSalesperson) {
  const Cell rate = Computed(&LineRate, {"毛利", "AMT", "SUM"});
  Column salesperson = Salesperson(0, 765).Sheet('M', 8, kCentre);
  if (perSalesperson)
    salesperson = Column{.cell = {.shows = Shows::Blank}}.Sheet('M', 0, kCentre, "");
  // Per salesperson only A to L get a width, the item name the widest.
  const auto width = [&](double whole) { return perSalesperson ? 0 : whole; };
  std::vector<Column> columns = {
      WorkOrderNo(0, 1080).Sheet('A', 9, kCentre),
      Col("Label31", "單別", "txtKIND", Stored("KIND"), 630).Sheet('B', 8),
      Column{.heading = "lbl工單日期",
             .caption = "工單日期",
             .field = "txtODATE",
             .width = 900,
             .alignment = Alignment::Center,
             .cell = Shown(Shows::FullDate, "ODATE"),
             .followsDateBasis = true,
             .captionByDateBasis = true}
          .Sheet('C', 8, kCentre, "發票日期"),
      Col("Label4", "客戶代號", "txtCUST", Stored("CUST"), 810).Sheet('D', 9),
      Col("Label11", "客戶簡稱", "txtSNAME", Stored("SNAME"), 990).Sheet('E', 9),
      ItemName(0, 2250).Sheet('F', perSalesperson ? 27 : 20, kKeep,
                              perSalesperson ? "印　　件　　名　　稱" : "印　件　名　稱"),
      Quantity(0, 900).Sheet('G', 8, kRight),
      Price(0, 810).Sheet('H', 8, kRight),
      Amount(0, 1215).Sheet('I', 8, kRight),
      Col("Label5", "成     本", "txtSUM", Shown(Shows::Grouped, "SUM"), 1215, Alignment::Right)
          .Sheet('J', 8, kRight),
      Col("Label6", "毛     利", "txt毛利", Shown(Shows::Grouped, "毛利"), 1215, Alignment::Right)
          .Sheet('K', 8, kRight),
      Col("Label7", "毛利％", "txt毛利率", rate, 630, Alignment::Right)
          .Sheet('L', 6, kRight)
          .SheetShows(Computed(&SheetLineRate, {"毛利", "AMT", "SUM"})),
      salesperson,
      Col("Label21", "送清", "txtFDATE", Stored("FSEND"), 450, Alignment::Center)
          .Sheet('N', width(4), kCentre),
      Col("Label9", "客戶單號", "txtCUSTNO", Stored("CUSTNO"), 1080).Sheet('O', width(10)),
  };
  FlowColumns(columns);
  constexpr int kTotalWidth = 1350;
  const auto showing = [&](const char* field) -> const Column& {
    return *std::find_if(columns.begin(), columns.end(), [&](const Column& c) {
      return c.field != nullptr && std::string_view(c.field) == field;
    });
  };
  const auto under = [&](const char* field, const char* total, char letter) {
    return SumUnder(showing(field), total, kTotalWidth, letter);
  };
  const Column& rateColumn = showing("txt毛利率");
  const char* orderBy = perSalesperson ? " order by EMPNO, PO " : " order by PO ";
  return {
      .name = perSalesperson ? "rptTarvel3_1" : "rptTarvel3",
      .choice = k表2,
      .pickedBy = perSalesperson ? "by-salesperson" : nullptr,
      .statement = {.source = "歷史工單明細1",
                    .pieces = {.positiveAmount = true},
                    .orderBy = orderBy},
      .page = PrintedPage(Orientation::Landscape, 400, 500, 400, 400, 9),
      .measures = {.detailHeight = 315,
                   .detailTop = 30,
                   .font = FontSpec{QStringLiteral("新細明體"), 10}},
      .columns = columns,
      .outer = {.key = perSalesperson ? "EMPNO" : "", .newPage = perSalesperson},
      .footer = {.totals = {under("txtQTY", "txt數量合計", 'G'),
                            under("txtAMT", "txt合計", 'I'),
                            under("txtSUM", "txtSUM_S", 'J'),
                            under("txt毛利", "txt毛利_S", 'K'),
                            {.field = "txt毛利率_S",
                             .kind = TotalKind::Computed,
                             .compute = &TotalRate,
                             .sheetCompute = &SheetTotalRate,
                             .left = rateColumn.left,
                             .width = rateColumn.width,
                             .sheetLetter = 'L',
                             .sheetShows = Shows::Computed}}},
      .sheet =
          SheetForm{
              .name = perSalesperson ? "SalespersonMarginBlocks" : "SalespersonMargin",
              .errorTitle = "表二轉Excel錯誤",
              .fontSize = 11,
              .heading =
                  perSalesperson
                      ? std::vector{TitleRow(18), SalespersonRow(false),
                                    DatesRow("發票日期：", 'D', 'L'), HeadingsRow()}
                      : std::vector{TitleRow(18), DatesRow(nullptr, 'D', 'M'), HeadingsRow()},
              // The salesperson overview leaves out the customer range.
              .statement = StatementSpec{.source = "歷史工單明細1",
                                         .pieces = {.customerRange = false, .positiveAmount = true},
                                         .orderBy = orderBy}},
  };
}

ReportDefinition MarginOverviewWhole() {
  return MarginOverview(false);
}
ReportDefinition MarginOverviewBySalesperson() {
  return MarginOverview(true);
}

TARVEL_REGISTER_REPORT(MarginOverviewWhole)
TARVEL_REGISTER_REPORT(MarginOverviewBySalesperson)

}  // namespace
}  // namespace tarvel
