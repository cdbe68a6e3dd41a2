// One worksheet being written: the rows still open to changes with their cells and formats, the
// merged areas, the whole-sheet settings, column widths and page setup.
//
// Rows are collected in memory and handed to libxlsxwriter (constant-memory mode: a row handed
// over is written out and forgotten; the workbook's RowWriter makes the calls on a thread of its
// own) once nothing can touch them any more. The export routines
// only move forward (a page block's heading, its lines, its totals, the next block), so a row is
// handed over
// - when a change reaches a row more than WorkbookOptions::rowWindow rows below it (1,024 by
//   default: far more than a page block, so the routines never notice) and the changed range
//   itself lies below it, or
// - when FlushRowsBefore() passes it (a routine that knows a page block is complete may say so),
//   or FlushAll(), or when the workbook is saved.
// Any later change to a handed-over row throws WorkbookError instead of being lost, and the
// whole-sheet settings (Cells) must come before the first row is handed over, since they change
// every row. Column widths and the page setup go into the file when it is saved, so they may be
// set at any time before.
#pragma once

#include <xlsxwriter.h>

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "excel/workbook/CellArea.h"
#include "excel/workbook/CellFormat.h"
#include "excel/workbook/CellValue.h"
#include "excel/workbook/FormatChange.h"
#include "excel/workbook/FormatTable.h"
#include "excel/workbook/PageSetup.h"
#include "excel/workbook/Range.h"

namespace tarvel::excel {

class Workbook;
struct SheetSettings;

/// The most manual page breaks a sheet holds: Excel reads no more.
inline constexpr int kMaxPageBreaks = 1023;

/// What a sheet's rows hold of values (numbers and texts; cells with a format only do not count).
struct SheetValues {
  qint64 rows = 0;  ///< rows with at least one value
  int lastRow = 0;  ///< the number of the last of them; 0 for none
  bool operator==(const SheetValues&) const = default;
};

class Worksheet {
 public:
  Worksheet(const Worksheet&) = delete;
  Worksheet& operator=(const Worksheet&) = delete;
  ~Worksheet();

  /// The name on the sheet's tab ("工作表1").
  const QString& Name() const { return name_; }
  /// The sheet's position in the workbook, from 0.
  int Index() const { return index_; }

  /// Range(address): a cell or block ("F6", "A1:M1"), whole columns ("A:M") or whole rows
  /// ("3:5"). Throws WorkbookError for an address that is none of these.
  excel::Range Range(const QString& address);
  /// The range of an area (rows and columns from 1, within the sheet's limits).
  excel::Range Range(const CellArea& area);
  /// Cells: the whole sheet.
  excel::Range Cells();
  /// Cells(row, column): one cell.
  excel::Range Cells(int row, int column);
  /// Columns("A:A"), Columns("A:M") or Columns("A").
  excel::Range Columns(const QString& address);
  /// Rows("3:3"), Rows("1:5") or Rows("3").
  excel::Range Rows(const QString& address);
  /// ActiveSheet.PageSetup.
  excel::PageSetup& PageSetup();

  /// HPageBreaks.Add Before:=Rows(row): the print starts a new page at `row`. Throws
  /// WorkbookError for row 1, a row beyond the sheet, or a break beyond kMaxPageBreaks; a break
  /// already there changes nothing. Breaks go into the file when it is saved.
  void AddPageBreak(int row);
  /// The rows the manual page breaks come before, top first.
  const std::set<int>& PageBreaks() const { return pageBreaks_; }

  /// Hands every row above `row` to the file; changes to them throw from now on.
  void FlushRowsBefore(int row);
  /// Hands every row collected so far to the file.
  void FlushAll();
  /// The first row that still takes changes (1 until a row has been handed over).
  int FirstOpenRow() const { return firstOpenRow_; }
  /// The lowest row changed so far; 0 on an untouched sheet.
  int LastRow() const { return lastRow_; }
  /// The rightmost column that has a cell (a value, a format or a merge) or a width of its own;
  /// 0 on an untouched sheet. The file's columns end here: whole-sheet settings reach the
  /// columns beyond through the workbook's default format (see Workbook::SaveAs), never through
  /// a style on every column, which would make the sheet 16,384 columns wide to its readers.
  int LastColumn() const;
  /// The values of the rows handed to the file so far.
  const SheetValues& Values() const { return values_; }

 private:
  friend class excel::Range;
  friend class RangeFont;
  friend class RangeBorder;
  friend class Workbook;

  struct Cell {
    int column = 0;
    FormatTable::Id format = FormatTable::kEmpty;
    CellValue value;
  };
  struct Row {
    std::vector<Cell> cells;  // by column
    std::optional<double> height;
  };
  struct XlsxFormat {
    bool known = false;
    lxw_format* format = nullptr;
  };

  Worksheet(Workbook& book, lxw_worksheet* sheet, int index, const QString& name);

  // What Range does, on an area of this sheet.
  void SetValue(const CellArea& area, const CellValue& value, const QString& typedFormat);
  void EditFormat(const CellArea& area, const FormatChange& change);
  void SetMerged(const CellArea& area, bool merged);
  void SetRowHeight(const CellArea& area, double points);
  void SetColumnWidth(const CellArea& area, double characters);

  void CheckUsable() const;
  void CheckCellBlock(const CellArea& area, const QString& what) const;
  void CheckRowsOpen(const CellArea& area) const;
  void CheckSheetSettingsOpen() const;
  void Touched(const CellArea& area);
  Row& RowAt(int number);
  Cell& CellAt(Row& row, int column);
  bool NumberFormatIsGeneral(FormatTable::Id format) const;

  void Flush(int limit);
  void CommitSettings();
  void RegisterMergesThrough(int row);
  void WriteRow(int number, const Row& row);
  lxw_format* FormatFor(FormatTable::Id format, bool quotePrefix);
  /// Hands everything to libxlsxwriter before the workbook is closed; the sheet takes no
  /// changes afterwards.
  void Finish(FormatTable::Id bookDefault);
  void WriteColumns(FormatTable::Id bookDefault);
  void WritePageSetup();
  SheetSettings Settings() const;

  Workbook& book_;
  lxw_worksheet* sheet_;
  int index_;
  QString name_;

  std::map<int, Row> rows_;
  // The row changed last: a line's many settings mostly go to one row.
  int cachedRowNumber_ = 0;
  Row* cachedRow_ = nullptr;
  std::vector<CellArea> merges_;  // not yet handed over
  FormatTable::Id sheetFormat_ = FormatTable::kEmpty;
  std::optional<double> rowHeight_;
  std::optional<double> columnWidth_;
  std::map<int, double> columnWidths_;
  excel::PageSetup pageSetup_;
  std::set<int> pageBreaks_;
  std::vector<lxw_row_t> pageBreakRows_;  // libxlsxwriter reads them when the file is closed

  int firstOpenRow_ = 1;
  int lastRow_ = 0;
  int lastCellColumn_ = 0;
  bool settingsCommitted_ = false;
  bool finished_ = false;
  qint64 rowsWritten_ = 0;  // <row> elements libxlsxwriter was given
  int lastRowWritten_ = 0;
  SheetValues values_;
  std::vector<XlsxFormat> xlsxFormats_;  // by format id * 2 + quote prefix
};

}  // namespace tarvel::excel
