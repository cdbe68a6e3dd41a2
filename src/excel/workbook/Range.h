// A range of a worksheet, addressed as Excel's Range(), Cells, Columns() and Rows() address it,
// with the members the export routines set: value, number format, alignment, wrap, merge, font,
// borders, row height and column width.
//
// A Range is a handle: it names cells of its worksheet and changes them at once; the worksheet
// must outlive it. Every setter applies to each cell of the range whatever was set on it before
// and in whatever order (a value first, formats after, or the other way round), as in Excel.
// Values and formats go to blocks of cells; the whole sheet (Cells) takes formats, row height
// and column width as its defaults; whole columns take only a width, whole rows only a height.
// Every setter throws WorkbookError for a change to a row already written to the file (see
// Worksheet) or a value out of Excel's bounds.
#pragma once

#include <QString>

#include "excel/workbook/CellArea.h"
#include "excel/workbook/FormatChange.h"
#include "excel/workbook/XlConstants.h"

namespace tarvel::excel {

class Worksheet;
class RangeFont;
class RangeBorder;

class Range {
 public:
  Range(Worksheet& sheet, const CellArea& area) : sheet_(&sheet), area_(area) {}

  Worksheet& Sheet() const { return *sheet_; }
  const CellArea& Area() const { return area_; }
  /// "A1:M1", "F6", "A:A", "3:3".
  QString Address() const { return AddressText(area_); }

  /// Range.Value = text, as Excel takes a text assigned to a cell: a leading apostrophe keeps
  /// the rest as text with the quote prefix; otherwise the text is converted as if typed
  /// (TypedTextValue: numbers become numbers, with the number format typing gives them when the
  /// cell's own format is General); "" empties the cell. Texts over 32,767 characters throw.
  void SetValue(const QString& text) const;
  /// Range.Value = number.
  void SetValue(double number) const;
  /// A text shown as it is, never read as a number: what SetValue gives "'" + `text` (the quote
  /// prefix kept as the cell's own flag), without making that text first.
  void SetQuotedText(const QString& text) const;

  /// Range.NumberFormatLocal: the format text as the Traditional Chinese Excel shows it
  /// ("#,##0.0"; "G/通用格式" for General).
  void SetNumberFormatLocal(const QString& format) const;
  void SetHorizontalAlignment(XlHAlign alignment) const;
  void SetVerticalAlignment(XlVAlign alignment) const;
  void SetWrapText(bool wrap) const;
  /// Range.MergeCells = True merges the block into one area, taking in any merged area it
  /// overlaps (Excel extends the selection to them); the values of every cell but the upper-left
  /// one are dropped, as Excel drops them. False unmerges every merged area the block touches.
  /// A single cell is left as it is.
  void SetMergeCells(bool merge) const;

  /// Range.RowHeight in points (0 to 409.5) for every row the range spans; on the whole sheet
  /// (or whole columns) it is the height of every row, including rows never written.
  void SetRowHeight(double points) const;
  /// Range.ColumnWidth in characters of the Normal font's digits (0 to 255) for every column
  /// the range spans; on the whole sheet (or whole rows) it is every column's width.
  void SetColumnWidth(double characters) const;

  /// Range.Font.
  RangeFont Font() const;
  /// Range.Borders(index): the top edge is the top border of the range's first row, the bottom
  /// edge the bottom border of its last row.
  RangeBorder Borders(XlBordersIndex index) const;

 private:
  Worksheet* sheet_;
  CellArea area_;
};

/// Range.Font.
class RangeFont {
 public:
  explicit RangeFont(const Range& range) : range_(range) {}
  /// Font.Name: the face name as the clerks' Excel knows it ("標楷體"), at most 31 characters.
  void SetName(const QString& name) const;
  /// Font.Size in points (1 to 409).
  void SetSize(double points) const;
  void SetBold(bool bold) const;
  void SetUnderline(XlUnderlineStyle underline) const;
  void SetColorIndex(XlColorIndex color) const;

 private:
  Range range_;
};

/// Range.Borders(index). Line style and weight combine as in Excel: a double line stays double
/// under the weight kThick and becomes a continuous line under another weight; a continuous
/// line keeps its weight (thin when there was no line or a double one); setting only a weight
/// or a colour on an edge without a line draws a continuous one.
class RangeBorder {
 public:
  RangeBorder(const Range& range, XlBordersIndex index) : range_(range), index_(index) {}
  void SetLineStyle(XlLineStyle style) const;
  void SetWeight(XlBorderWeight weight) const;
  void SetColorIndex(XlColorIndex color) const;

 private:
  void Set(FormatChange::Property property, int value) const;

  Range range_;
  XlBordersIndex index_;
};

}  // namespace tarvel::excel
