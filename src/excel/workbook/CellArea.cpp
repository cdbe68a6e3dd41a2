#include "excel/workbook/CellArea.h"

#include <algorithm>
#include <optional>

#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

// One side of an address: a column, a row or both, each possibly absolute ("$").
struct Corner {
  std::optional<int> column;
  std::optional<int> row;
};

std::optional<Corner> ParseCorner(QStringView text) {
  Corner corner;
  qsizetype at = 0;
  const auto dollar = [&] {
    if (at < text.size() && text[at] == u'$') {
      ++at;
      return true;
    }
    return false;
  };
  const bool columnDollar = dollar();
  const qsizetype lettersFrom = at;
  qint64 column = 0;
  while (at < text.size()) {
    const char16_t c = text[at].unicode();
    int letter = 0;
    if (c >= u'A' && c <= u'Z')
      letter = c - u'A' + 1;
    else if (c >= u'a' && c <= u'z')
      letter = c - u'a' + 1;
    else
      break;
    column = column * 26 + letter;
    if (column > kMaxColumns) return std::nullopt;
    ++at;
  }
  if (at > lettersFrom) corner.column = static_cast<int>(column);
  const bool rowDollar = dollar();
  if (columnDollar && rowDollar && !corner.column) return std::nullopt;  // "$$3"
  const qsizetype digitsFrom = at;
  qint64 row = 0;
  while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
    row = row * 10 + (text[at].unicode() - u'0');
    if (row > kMaxRows) return std::nullopt;
    ++at;
  }
  if (at > digitsFrom) {
    if (row < 1) return std::nullopt;
    corner.row = static_cast<int>(row);
  } else if (rowDollar) {
    return std::nullopt;  // "A$" without a row
  }
  if (at != text.size() || (!corner.column && !corner.row)) return std::nullopt;
  return corner;
}

[[noreturn]] void ThrowBadAddress(const QString& address) {
  throw WorkbookError(QStringLiteral("儲存格範圍位址無效：") + address);
}

CellArea FromCorners(const Corner& a, const Corner& b) {
  CellArea area;
  if (a.column && a.row && b.column && b.row) {
    area = {*a.row, *a.column, *b.row, *b.column};
  } else if (a.column && !a.row && b.column && !b.row) {
    area = {1, *a.column, kMaxRows, *b.column};
  } else if (!a.column && a.row && !b.column && b.row) {
    area = {*a.row, 1, *b.row, kMaxColumns};
  } else {
    return {0, 0, 0, 0};
  }
  if (area.firstRow > area.lastRow) std::swap(area.firstRow, area.lastRow);
  if (area.firstColumn > area.lastColumn) std::swap(area.firstColumn, area.lastColumn);
  return area;
}

}  // namespace

CellArea ParseAddress(const QString& address) {
  const QStringView text = QStringView(address).trimmed();
  const qsizetype colon = text.indexOf(u':');
  const std::optional<Corner> first = ParseCorner(colon < 0 ? text : text.left(colon));
  if (!first) ThrowBadAddress(address);
  if (colon < 0) {
    // A lone column ("A") or row ("3") is not an address Range() takes.
    if (!first->column || !first->row) ThrowBadAddress(address);
    return {*first->row, *first->column, *first->row, *first->column};
  }
  const std::optional<Corner> second = ParseCorner(text.mid(colon + 1));
  if (!second) ThrowBadAddress(address);
  const CellArea area = FromCorners(*first, *second);
  if (area.firstRow == 0) ThrowBadAddress(address);
  return area;
}

CellArea ParseColumns(const QString& address) {
  const QString text = address.trimmed();
  const std::optional<Corner> single = ParseCorner(text);
  if (single && single->column && !single->row)
    return {1, *single->column, kMaxRows, *single->column};
  const CellArea area = ParseAddress(text);
  if (!area.AllRows() || area.AllColumns()) ThrowBadAddress(address);
  return area;
}

CellArea ParseRows(const QString& address) {
  const QString text = address.trimmed();
  const std::optional<Corner> single = ParseCorner(text);
  if (single && single->row && !single->column) return {*single->row, 1, *single->row, kMaxColumns};
  const CellArea area = ParseAddress(text);
  if (!area.AllColumns() || area.AllRows()) ThrowBadAddress(address);
  return area;
}

QString ColumnLetters(int column) {
  QString letters;
  while (column > 0) {
    const int digit = (column - 1) % 26;
    letters.prepend(QChar(u'A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

QString AddressText(const CellArea& area) {
  if (area.AllRows() && !area.AllColumns())
    return ColumnLetters(area.firstColumn) + u':' + ColumnLetters(area.lastColumn);
  if (area.AllColumns())
    return QString::number(area.firstRow) + u':' + QString::number(area.lastRow);
  const QString first = ColumnLetters(area.firstColumn) + QString::number(area.firstRow);
  if (area.IsSingleCell()) return first;
  return first + u':' + ColumnLetters(area.lastColumn) + QString::number(area.lastRow);
}

}  // namespace tarvel::excel
