#include "design/ReportDefinition.h"

#include <algorithm>
#include <string_view>

#include "common/RocDate.h"

namespace tarvel {
namespace {

db::Value DaysFrom(const CellInputs& in, const AppContext&) {
  const std::optional<qint64> days = WorkOrderDayCount(in[0].ToText(), in[1].ToText());
  return days ? db::Value(*days) : db::Value();
}

}  // namespace

Cell DaysToFinish() {
  return Computed(&DaysFrom, {"ODATE", "FDATE"});
}

Column Column::Titled(const char* heading_caption) const {
  Column c = *this;
  c.caption = heading_caption;
  return c;
}

Column Column::Sheet(char letter, double width, SheetAlign alignment,
                     const char* sheetCaption) const {
  Column c = *this;
  c.sheet.letter = letter;
  c.sheet.width = width;
  c.sheet.alignment = alignment;
  c.sheet.caption = sheetCaption;
  return c;
}

Column Column::SheetShows(Cell sheetCell) const {
  Column c = *this;
  c.sheet.cell = std::move(sheetCell);
  return c;
}

Column Column::At(int left_twips) const {
  Column c = *this;
  c.left = left_twips;
  return c;
}

HeadingRow CompanyRow() {
  return {.piece = HeadingRow::Piece::Company};
}

HeadingRow TitleRow(double size, bool underline, const char* text) {
  return {.piece = HeadingRow::Piece::Title, .size = size, .underline = underline, .text = text};
}

HeadingRow CompletionRow(char first, bool merged) {
  return {.piece = HeadingRow::Piece::Completion, .first = first, .merged = merged};
}

HeadingRow DeliveryRow(char first, bool merged) {
  return {.piece = HeadingRow::Piece::Delivery, .first = first, .merged = merged};
}

HeadingRow DatesRow(const char* label, char datesThrough, char listFirst, SheetAlign listAlign) {
  return {.piece = HeadingRow::Piece::Dates,
          .text = label,
          .first = listFirst,
          .datesThrough = datesThrough,
          .listAlign = listAlign,
          .ruled = false};
}

HeadingRow SalespersonRow(bool merged) {
  return {.piece = HeadingRow::Piece::Salesperson, .merged = merged};
}

HeadingRow HeadingsRow(bool ruledAbove) {
  return {.piece = HeadingRow::Piece::Headings, .ruled = ruledAbove};
}

const Column* ReportDefinition::ColumnShowing(const char* column) const {
  for (const Column& c : columns)
    if (std::string_view(c.cell.column) == column) return &c;
  return nullptr;
}

PageSettings PrintedPage(Orientation orientation, float left, float right, float top, float bottom,
                         std::optional<int> paper) {
  return {.orientation = orientation,
          .paperSize = paper,
          .leftMargin = left,
          .rightMargin = right,
          .topMargin = top,
          .bottomMargin = bottom};
}

int FlowColumns(std::vector<Column>& columns, int left, int gap) {
  for (Column& c : columns) {
    if (c.heading == nullptr && c.field == nullptr) continue;  // the sheet's only
    c.left = left;
    left += c.width + gap;
  }
  return left - gap;
}

}  // namespace tarvel
