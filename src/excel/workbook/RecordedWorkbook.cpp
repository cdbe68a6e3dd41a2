#include "excel/workbook/RecordedWorkbook.h"

#include <QStringList>
#include <algorithm>

namespace tarvel::excel {
namespace {

QString Number(double value) {
  return QString::number(value, 'g', 15);
}

QString ValueText(const CellValue& value) {
  switch (value.type) {
    case CellValue::Type::kText:
      return value.quotePrefix ? u'\'' + value.text : u'"' + value.text + u'"';
    case CellValue::Type::kNumber:
      return Number(value.number);
    case CellValue::Type::kEmpty:
      break;
  }
  return QStringLiteral("-");
}

QString CellLine(const QString& address, const CellValue& value, const CellFormat& format) {
  QString line = QStringLiteral("  ") + address + u' ' + ValueText(value);
  const QString description = format.Description();
  if (!description.isEmpty()) line += QStringLiteral(" | ") + description;
  return line;
}

QString PageText(const PageSetup& page) {
  const auto points = [](double value) { return QString::number(value, 'f', 2); };
  return QStringLiteral(
             "page: %1, paper %2, margins %3 %4 %5 %6 (left right top bottom), "
             "header %7, footer %8")
      .arg(page.Orientation() == XlPageOrientation::kLandscape ? QStringLiteral("landscape")
                                                               : QStringLiteral("portrait"))
      .arg(page.PaperSize())
      .arg(points(page.LeftMargin()), points(page.RightMargin()), points(page.TopMargin()),
           points(page.BottomMargin()), points(page.HeaderMargin()), points(page.FooterMargin()));
}

}  // namespace

const RecordedCell* RecordedSheet::Cell(int row, int column) const {
  const auto found = rows.find(row);
  if (found == rows.end()) return nullptr;
  for (const RecordedCell& cell : found->second.cells)
    if (cell.column == column) return &cell;
  return nullptr;
}

const RecordedCell* RecordedSheet::Cell(const QString& address) const {
  const CellArea area = ParseAddress(address);
  return Cell(area.firstRow, area.firstColumn);
}

std::optional<double> RecordedSheet::RowHeight(int row) const {
  const auto found = rows.find(row);
  return found == rows.end() ? std::nullopt : found->second.height;
}

std::optional<double> RecordedSheet::ColumnWidth(int column) const {
  const auto found = settings.columnWidths.find(column);
  if (found != settings.columnWidths.end()) return found->second;
  return settings.columnWidth;
}

bool RecordedSheet::IsMerged(const CellArea& area) const {
  return std::find(merges.begin(), merges.end(), area) != merges.end();
}

QString RecordedSheet::Text() const {
  QStringList lines{name};
  const QString defaults = settings.cells.Description();
  QString cells = QStringLiteral("cells:") + (defaults.isEmpty() ? QString() : u' ' + defaults);
  if (settings.rowHeight) cells += QStringLiteral(" | row height ") + Number(*settings.rowHeight);
  if (settings.columnWidth)
    cells += QStringLiteral(" | column width ") + Number(*settings.columnWidth);
  lines << cells;
  QStringList columns;
  for (const auto& [column, width] : settings.columnWidths)
    columns << ColumnLetters(column) + u' ' + Number(width);
  lines << QStringLiteral("columns: ") + columns.join(QStringLiteral(", "));
  lines << PageText(settings.page);

  // Merged areas are told on their first row, rows in order, also rows holding only a merge.
  std::map<int, std::vector<CellArea>> mergesByRow;
  for (const CellArea& merge : merges)
    mergesByRow[merge.firstRow].push_back(merge);
  std::vector<int> numbers;
  for (const auto& [number, row] : rows)
    numbers.push_back(number);
  for (const auto& [number, areas] : mergesByRow)
    numbers.push_back(number);
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

  for (const int number : numbers) {
    const auto found = rows.find(number);
    const RecordedRow* row = found == rows.end() ? nullptr : &found->second;
    QString heading = QStringLiteral("row ") + QString::number(number);
    if (row && row->height) heading += QStringLiteral(" height ") + Number(*row->height);
    const auto merged = mergesByRow.find(number);
    if (merged != mergesByRow.end()) {
      QStringList areas;
      for (const CellArea& area : merged->second)
        areas << AddressText(area);
      heading += QStringLiteral(" | merged ") + areas.join(QStringLiteral(", "));
    }
    lines << heading;
    if (!row) continue;
    const std::vector<RecordedCell>& cells = row->cells;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const RecordedCell& cell = cells[i];
      // Neighbouring empty cells of one format (a merged area's rest, a bordered line) share a
      // line.
      std::size_t last = i;
      if (cell.value.type == CellValue::Type::kEmpty) {
        while (last + 1 < cells.size() && cells[last + 1].column == cells[last].column + 1 &&
               cells[last + 1].value.type == CellValue::Type::kEmpty &&
               cells[last + 1].format == cell.format)
          ++last;
      }
      CellArea area{number, cell.column, number, cells[last].column};
      if (cell.value.type == CellValue::Type::kEmpty && cell.format.IsEmpty()) {
        i = last;
        continue;  // nothing was written there
      }
      lines << CellLine(AddressText(area), cell.value, cell.format);
      i = last;
    }
  }
  return lines.join(u'\n') + u'\n';
}

QString RecordedWorkbook::Text() const {
  QStringList texts;
  for (const RecordedSheet& sheet : sheets_)
    texts << sheet.Text();
  return texts.join(u'\n');
}

void RecordedWorkbook::SheetAdded(const QString& name) {
  RecordedSheet sheet;
  sheet.name = name;
  sheets_.push_back(std::move(sheet));
}

void RecordedWorkbook::RowWritten(int sheet, RecordedRow row) {
  const int number = row.row;
  sheets_.at(sheet).rows[number] = std::move(row);
}

void RecordedWorkbook::MergeWritten(int sheet, const CellArea& area) {
  sheets_.at(sheet).merges.push_back(area);
}

void RecordedWorkbook::SettingsWritten(int sheet, const SheetSettings& settings) {
  sheets_.at(sheet).settings = settings;
}

}  // namespace tarvel::excel
