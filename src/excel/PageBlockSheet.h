// The sheet every export writes: the column layout, a heading block at the top of each page block,
// the detail lines with their page breaks, the totals line and the page setup. It knows no
// criteria and no report: DefinedSheet supplies a definition's heading block, lines and totals.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "db/Cursor.h"
#include "excel/PageBlocks.h"
#include "excel/workbook/Range.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/Worksheet.h"
#include "excel/workbook/XlConstants.h"
#include "startup/AppContext.h"

namespace tarvel::excel {

/// Hears the records written so far and their number (for the window's progress bar) and answers
/// whether to go on: false cancels the export.
using ExportProgress = std::function<bool(qint64 written, qint64 total)>;

/// What a run counts, besides the page blocks and the sheet's own totals (at least 32-bit: an
/// export of more than 32,767 lines is no error here).
struct ExportTotals {
  int pageCount = 0;     ///< heading blocks written (PageCount)
  int dataRowCount = 0;  ///< work-order lines of the block or sheet (DataRowCount)
};

/// What sets one sheet apart besides its heading block and columns.
struct SheetDesign {
  XlPageOrientation orientation = XlPageOrientation::kLandscape;
  double sheetFontSize = 0;  ///< points, the whole sheet's font size; 0 leaves the Normal font's
  int pageRows = 28;         ///< rows of one printed page block
  int headingRowCount = 5;   ///< rows of the heading block at the top of each block
  char lastColumn = 'M';     ///< the last column written
};

class PageBlockSheet {
 public:
  virtual ~PageBlockSheet() = default;

  /// Writes every record of `rows` (a cursor on its first row, or a fresh one with at least one
  /// row) on `book`'s active sheet: SetColumnLayout, the first heading block, the lines with
  /// their page breaks, the totals line, SetPageSetup. Every heading block but a sheet's first
  /// has a manual page break above it, and the sheet prints one page wide, so each page block
  /// is a printed page in any program and with any font. A page block that would pass the
  /// sheet's last row, or need more page breaks than a sheet holds (kMaxPageBreaks: 1,024
  /// blocks a sheet), goes to the top of a new sheet ("工作表2", …) with the same column layout
  /// and page setup. `progress` (may be empty) hears after each record, with `total` as the number
  /// of records (what the caller counted; only reported). Returns false when `progress` cancelled:
  /// the workbook is then unfinished and must not be saved.
  bool Write(db::Cursor& rows, Workbook& book, const ExportProgress& progress = {},
             qint64 total = 0);

  /// The rows a sheet may fill: Excel's 1,048,576 unless the target format holds fewer (an
  /// .xls sheet 65,536) or a test sets fewer.
  void SetSheetRowLimit(int rows) { sheetRowLimit_ = rows; }
  int SheetRowLimit() const { return sheetRowLimit_; }

  const SheetDesign& Design() const { return design_; }
  const ExportTotals& Totals() const { return totals_; }

 protected:
  PageBlockSheet(SheetDesign design, const AppContext& context);

  /// Column widths (characters, from column A; 0 leaves a column's width to Excel). The whole
  /// sheet gets row height 20, vertical centring and the design's font size (none for 0).
  virtual std::vector<double> ColumnWidths() const = 0;
  /// The heading block on Blocks().HeadingRows(); `record` is the current record.
  virtual void WriteHeadingRows(const db::Cursor& record) = 0;
  /// The record's line or lines (each through NewLine).
  virtual void WriteRecord(const db::Cursor& record) = 0;
  /// The totals line on `row`.
  virtual void WriteTotalsRow(int row) = 0;
  /// Called before each record: a sheet that closes a block when a value changes does it here.
  virtual void BeforeRecord(const db::Cursor& /*record*/) {}
  /// Called after the last record, before the totals line: a group still open closes here.
  virtual void AfterLastRecord(const db::Cursor& /*record*/) {}

  /// WritePageHeading: counts the block and writes its heading rows (on a new sheet when the
  /// block does not fit on this one).
  void WritePageHeading(const db::Cursor& record);
  /// The row of the next line, after a page break (with its heading block) when the block is
  /// full. `workOrder`: the line counts in DataRowCount.
  int NewLine(const db::Cursor& record, bool workOrder = true);
  /// Closes a block with its totals and starts the next at the top of a new page block, the
  /// counts starting again from 0 (the salesperson blocks). When the block has no room left for
  /// its totals, a page break (with the old block's heading) comes first. `nextBlock` runs just
  /// before the new block's heading: the routine takes the new block's values there.
  void CloseBlock(const db::Cursor& record, const std::function<void()>& nextBlock);

  // What the routines write with.
  Worksheet& Sheet() const { return *sheet_; }
  excel::Range Cell(char column, int row) const;
  excel::Range Span(char first, char last, int row) const;
  excel::Range Line(int row) const { return Span('A', design_.lastColumn, row); }
  /// The heading block's row `index` (0-based) of the current block.
  int HeadingRow(int index) const { return blocks_.HeadingRows().at(index); }

  /// "'" + the trimmed text: Excel keeps it as text (leading zeros survive).
  void Text(char column, int row, const QString& text) const;
  /// The value of `fieldText` (Val) with its grouped number format; returns the value.
  double Number(char column, int row, const QString& fieldText) const;
  void Number(char column, int row, double value) const;

  // The shared pieces of the heading blocks.
  /// The company's name on the whole line, merged and centred, 20 points bold 標楷體.
  void CompanyRow(int row) const;
  /// A thin continuous bottom border along a line.
  void ThinBottom(int row) const;
  /// A medium bottom border along a line, and a double top border when `doubleTop`.
  void TotalsBorders(int row, bool doubleTop) const;

  const AppContext& context_;
  ExportTotals totals_;

 private:
  void SetColumnLayout();
  void SetPageSetup();
  void ContinueOnNewSheet();

  SheetDesign design_;
  PageBlocks blocks_;
  Workbook* book_ = nullptr;
  Worksheet* sheet_ = nullptr;
  int sheetRowLimit_ = kMaxRows;
};

}  // namespace tarvel::excel
