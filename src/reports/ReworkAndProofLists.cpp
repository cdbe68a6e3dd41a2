// The rework and proof lists of the rework window (landscape): one line per rework or proof with
// quantity, price, amount and cost, a footer with the count and the sums of amount and cost, and
// the export of both.
#include <algorithm>
#include <string_view>

#include "common/GroupedNumber.h"
#include "common/SuiteRules.h"
#include "criteria/ReworkCriteria.h"
#include "design/ReportRegistry.h"
#include "platform/Conversions.h"
#include "reports/OverviewColumns.h"
#include "reports/PrintedLayout.h"

namespace tarvel {
namespace {

using namespace columns;
constexpr auto kCentre = SheetAlign::Center;
constexpr auto kKeep = SheetAlign::Keep;

/// The department of a rework: the first character of 種類 (印, 工, 製).
db::Value Department(const CellInputs& in, const AppContext&) {
  return in[0].Text().left(1);
}
/// On the sheet the department stands before the work-order number.
db::Value DepartmentAndOrder(const CellInputs& in, const AppContext&) {
  return in[0].Text().left(1) + in[1].Text();
}
/// The printing department's reworks are costed elsewhere: they show no cost, though the
/// footer's cost total (the engine's sum of SUM) still counts them.
db::Value Cost(const CellInputs& in, const AppContext&) {
  return ShowsReworkCost(in[1].Text()) ? FormatGrouped(in[0]) : QString();
}
db::Value SheetCost(const CellInputs& in, const AppContext&) {
  return ShowsReworkCost(in[1].Text()) ? db::Value(Val(in[0].Text())) : db::Value();
}

/// On the sheet the number without a format.
Column Plain(Column column) {
  column.sheet.cell = Shown(Shows::Plain, column.cell.column);
  return column;
}

/// A priced list: `columns` flowed from the left margin, the footer's amount and cost totals
/// under their columns (and in H and J on the sheet).
ReportDefinition PricedList(const char* name, int choice, const char* title,
                            std::vector<Column> columns, const char* sheetName) {
  FlowColumns(columns);
  const auto showing = [&](const char* column) -> const Column& {
    return *std::find_if(columns.begin(), columns.end(), [&](const Column& c) {
      return c.heading != nullptr && std::string_view(c.cell.column) == column;
    });
  };
  Total amount = SumUnder(showing("AMT"), "txt合計", 1545, 'H');
  Total cost = SumUnder(showing("SUM"), "txt成本合計", 1545, 'J');
  amount.sheetShows = cost.sheetShows = Shows::Plain;
  return {
      .name = name,
      .family = ReportFamily::Rework,
      .choice = choice,
      .page = PrintedPage(Orientation::Landscape, 400, 500, 400, 400),
      .title = {.form = TitleBlock::Form::Rework,
                .title = title,
                .font = FontSpec{QStringLiteral("新細明體"), 11}},
      .measures = {.headingTop = kReworkHeadingTop},
      .columns = std::move(columns),
      .footer = {.totals = {amount, cost}, .countMerged = false, .rightAlignTotals = false},
      .sheet = SheetForm{.name = sheetName,
                         .errorTitle = "表一轉Excel錯誤",
                         .heading = {CompanyRow(), TitleRow(18, false, title),
                                     HeadingRow{.piece = HeadingRow::Piece::Dates,
                                                .text = "日期起迄：",
                                                .first = 'I',
                                                .merged = false,
                                                .listAlign = kKeep,
                                                .listCaption = "印表日期：",
                                                .ruled = true},
                                     HeadingsRow(false)}},
  };
}

ReportDefinition ReworkList() {
  // The reworks of [重工明細表] ordered by department and work order. The department's column
  // has no heading on the page; the sheet puts it before the work-order number.
  constexpr auto kRight = Alignment::Right;
  return PricedList(
      "rpt重工明細表", k重工明細表, "重工明細表",
      {
          Col(nullptr, "", "txt種類", Computed(&Department, {"種類"}, "種類"), 300,
              Alignment::Center),
          Col("Label3", "工 單 單 號", "txtPO", Stored("PO"), 1150)
              .Sheet('A', 12, kCentre, "工單單號")
              .SheetShows(Computed(&DepartmentAndOrder, {"種類", "PO"})),
          Col("Label4", "工單日期", "txtODATE", Shown(Shows::FullDate, "ODATE"), 1000,
              Alignment::Center)
              .Sheet('B', 9, kCentre),
          Col("Label5", "客戶簡稱", "txtSNAME", Stored("SNAME"), 1600).Sheet('C', 10),
          Col("Label6", "印　　件　　名　　稱", "txtDESC", Stored("DESC"), 3500)
              .Sheet('D', 38, kKeep, "印件名稱"),
          Col("Label7", "業務/管理單號", "txtNAME", Stored("NAME"), 1500).Sheet('E', 13),
          Plain(Col("Label15", "數    量", "txtQTY", Shown(Shows::Grouped, "QTY"), 1000, kRight)
                    .Sheet('F', 8, kKeep, "數量")),
          Plain(Col("Label11", "單    價", "txtPRICE", Shown(Shows::Grouped, "PRICE"), 900, kRight)
                    .Sheet('G', 8, kKeep, "單價")),
          Plain(Col("Label12", "金     額", "txtAMT", Shown(Shows::Grouped, "AMT"), 1200, kRight)
                    .Sheet('H', 8, kKeep, "金額")),
          Col("Label13", "預交日期", "txtPDATE", Shown(Shows::FullDate, "PDATE"), 1250,
              Alignment::Center)
              .Sheet('I', 9, kCentre),
          Col("Label14", "成本金額", "txtSUM", Computed(&Cost, {"SUM", "種類"}, "SUM"), 1300,
              kRight)
              .Sheet('J', 9)
              .SheetShows(Computed(&SheetCost, {"SUM", "種類"}, "SUM")),
      },
      "ReworkList");
}

ReportDefinition ProofList() {
  // The proofs of [打樣明細表] ordered by work order.
  constexpr auto kRight = Alignment::Right;
  return PricedList(
      "rpt打樣明細表", k打樣明細表, "打樣明細表",
      {
          Col("Label3", "工單單號", "txtPO", Stored("PO"), 1150).Sheet('A', 10, kCentre),
          Col("Label4", "工單日期", "txtODATE", Shown(Shows::FullDate, "ODATE"), 1000,
              Alignment::Center)
              .Sheet('B', 10, kCentre),
          Col("Label5", "客戶簡稱", "txtSNAME", Stored("SNAME"), 1600).Sheet('C', 10),
          Col("Label6", "印　　件　　名　　稱", "txtDESC", Stored("DESC"), 4000)
              .Sheet('D', 40, kKeep, "印件名稱"),
          Col("Label7", "業 務 員", "txtNAME", Stored("NAME"), 1200)
              .Sheet('E', 10, kKeep, "業務員"),
          Plain(Col("Label15", "數    量", "txtQTY", Shown(Shows::Grouped, "QTY"), 1000, kRight)
                    .Sheet('F', 8, kKeep, "數量")),
          Plain(Col("Label11", "單    價", "txtPRICE", Shown(Shows::Grouped, "PRICE"), 900, kRight)
                    .Sheet('G', 8, kKeep, "單價")),
          Plain(Col("Label12", "金     額", "txtAMT", Shown(Shows::Grouped, "AMT"), 1200, kRight)
                    .Sheet('H', 8, kKeep, "金額")),
          Col("Label13", "預交日期", "txtPDATE", Shown(Shows::FullDate, "PDATE"), 1250,
              Alignment::Center)
              .Sheet('I', 10, kCentre),
          Plain(Col("Label14", "成本金額", "txtSUM", Shown(Shows::Grouped, "SUM"), 1300, kRight)
                    .Sheet('J', 10)),
      },
      "ProofList");
}

TARVEL_REGISTER_REPORT(ReworkList)
TARVEL_REGISTER_REPORT(ProofList)

}  // namespace
}  // namespace tarvel
