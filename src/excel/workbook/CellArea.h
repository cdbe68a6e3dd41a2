// A rectangle of worksheet cells and the A1 addresses that name one ("F6", "A1:M1", "A:A", "3:3").
#pragma once

#include <QString>

namespace tarvel::excel {

/// The rows and columns of one worksheet (Excel 2007 and later).
inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

/// Rows and columns count from 1, as Excel counts them. A whole-column address ("A:M") covers
/// rows 1 to kMaxRows, a whole-row address ("3:5") columns 1 to kMaxColumns, Cells both.
struct CellArea {
  int firstRow = 1;
  int firstColumn = 1;
  int lastRow = 1;
  int lastColumn = 1;

  bool AllRows() const { return firstRow == 1 && lastRow == kMaxRows; }
  bool AllColumns() const { return firstColumn == 1 && lastColumn == kMaxColumns; }
  bool WholeSheet() const { return AllRows() && AllColumns(); }
  /// Neither whole rows nor whole columns: a block of cells that values and formats can go to.
  bool IsCellBlock() const { return !AllRows() && !AllColumns(); }
  bool IsSingleCell() const { return firstRow == lastRow && firstColumn == lastColumn; }
  bool Contains(int row, int column) const {
    return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
  }
  bool Intersects(const CellArea& other) const {
    return firstRow <= other.lastRow && other.firstRow <= lastRow &&
           firstColumn <= other.lastColumn && other.firstColumn <= lastColumn;
  }
  bool operator==(const CellArea&) const = default;
};

/// The whole sheet, as Cells addresses it.
inline constexpr CellArea kWholeSheet{1, 1, kMaxRows, kMaxColumns};

/// Parses an A1 address the way Range() takes it: a cell ("F6", "$F$6"), a block ("A1:M1", in
/// either corner order), whole columns ("A:A", "A:M") or whole rows ("3:3", "1:5"); letters in
/// either case, surrounding blanks ignored. Throws WorkbookError naming the text for anything
/// else, and for rows or columns beyond the sheet.
CellArea ParseAddress(const QString& address);

/// Parses what Columns() takes: whole columns "A:M", or a single letter run "A" for one column.
CellArea ParseColumns(const QString& address);

/// Parses what Rows() takes: whole rows "3:5", or a single number "3" for one row.
CellArea ParseRows(const QString& address);

/// The column letters of a column number: 1 "A", 26 "Z", 27 "AA", 16384 "XFD".
QString ColumnLetters(int column);

/// The A1 address of an area: "F6", "A1:M1", "A:M", "3:5", or "1:1048576" for the whole sheet.
QString AddressText(const CellArea& area);

}  // namespace tarvel::excel
