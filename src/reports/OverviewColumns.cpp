#include "reports/OverviewColumns.h"

namespace tarvel::columns {

Column WorkOrderNo(int left, int width) {
  return {.heading = "Label3",
          .caption = "工單單號",
          .field = "txtPO",
          .left = left,
          .width = width,
          .cell = Stored("PO")};
}
Column OrderDate(int left, int width) {
  return {.heading = "Label28",
          .caption = "日期",
          .field = "txtODATE",
          .left = left,
          .width = width,
          .alignment = Alignment::Center,
          .cell = Shown(Shows::MonthDay, "ODATE"),
          .followsDateBasis = true};
}
Column Customer(int left, int width) {
  return {.heading = "Label11",
          .caption = "客      戶",
          .field = "txtSNAME",
          .left = left,
          .width = width,
          .cell = Stored("SNAME")};
}
Column ItemCode(int left, int width) {
  return {.heading = "Label35",
          .caption = "印  件  代  號",
          .field = "txtCODE",
          .left = left,
          .width = width,
          .cell = Stored("CODE")};
}
Column ItemName(int left, int width) {
  return {.heading = "Label2",
          .caption = "印　　件　　名　　稱",
          .field = "txtDESC",
          .left = left,
          .width = width,
          .cell = Stored("DESC")};
}
Column Quantity(int left, int width) {
  return {.heading = "Label12",
          .caption = "數    量",
          .field = "txtQTY",
          .left = left,
          .width = width,
          .alignment = Alignment::Right,
          .cell = Shown(Shows::Grouped, "QTY")};
}
Column Price(int left, int width) {
  return {.heading = "Label29",
          .caption = "單    價",
          .field = "txtPRICE",
          .left = left,
          .width = width,
          .alignment = Alignment::Right,
          .cell = Shown(Shows::Grouped, "PRICE")};
}
Column Amount(int left, int width) {
  return {.heading = "Label15",
          .caption = "金     額",
          .field = "txtAMT",
          .left = left,
          .width = width,
          .alignment = Alignment::Right,
          .cell = Shown(Shows::Grouped, "AMT")};
}
Column Salesperson(int left, int width) {
  return {.heading = "Label19",
          .caption = "業務員",
          .field = "txtNAME",
          .left = left,
          .width = width,
          .cell = Stored("NAME")};
}
Column PromisedDate(int left, int width) {
  return {.heading = "Label34",
          .caption = "預交日",
          .field = "Field4",
          .left = left,
          .width = width,
          .alignment = Alignment::Center,
          .cell = Shown(Shows::FullDate, "PDATE")};
}
Column Finished(int left, int width) {
  return {.heading = "Label21",
          .caption = "完工",
          .field = "txtFDATE",
          .left = left,
          .width = width,
          .alignment = Alignment::Center,
          .cell = Shown(Shows::Finished, "FDATE")};
}
Column Days(int left, int width) {
  return {.heading = "Label30",
          .caption = "天數",
          .field = "txt天數",
          .left = left,
          .width = width,
          .alignment = Alignment::Right,
          .cell = DaysToFinish()};
}
Column Kind(int left, int width) {
  return {.heading = "Label31",
          .caption = "單　別",
          .field = "Field3",
          .left = left,
          .width = width,
          .cell = Stored("KIND")};
}

Column Col(const char* heading, const char* caption, const char* field, Cell cell, int width,
           Alignment alignment) {
  return {.heading = heading,
          .caption = caption,
          .field = field,
          .width = width,
          .alignment = alignment,
          .cell = std::move(cell)};
}

Total Sum(const char* field, const char* column, int left, int width, char sheetLetter) {
  return {.field = field,
          .columns = {column},
          .left = left,
          .width = width,
          .sheetLetter = sheetLetter};
}

Total SumUnder(const Column& under, const char* field, int width, char sheetLetter) {
  return Sum(field, under.cell.column, under.left + under.width - width, width, sheetLetter);
}

Line CombinedPlateLine(std::vector<LineCell> cells) {
  // The work-order number stays empty on the sheet, centred as the column is.
  std::vector<LineCell> line = {
      {.under = "PO", .sheet = Cell{.shows = Shows::Blank}},
      {.under = "ODATE",
       .field = "Label合版",
       .cell = {.shows = Shows::Caption, .column = "NO", .caption = "合版"},
       .alignment = Alignment::Center},
  };
  for (LineCell& cell : cells)
    line.push_back(std::move(cell));
  return {.band = SectionKind::Detail,
          .cells = std::move(line),
          .shownWhen = "NO",
          .hidden = {{"txtNO", "NO"}, {"txt合版單位", "合版單位"}}};
}

LineCell PlateField(const char* under, const char* field, Shows shows, Alignment alignment) {
  // The field's name is its column's with txt before it.
  return {.under = under, .field = field, .cell = Shown(shows, field + 3), .alignment = alignment};
}

}  // namespace tarvel::columns
