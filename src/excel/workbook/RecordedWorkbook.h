// What a workbook handed to the file, kept in memory for tests: each sheet's rows with their
// cells (value and the format set on each), merged areas, whole-sheet settings, column widths
// and page setup, readable by address and as one text for golden files.
//
// Rows arrive as they are handed over (Worksheet), settings when the workbook is saved or a
// sheet is flushed completely; memory grows with the sheet, so production code records nothing.
#pragma once

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "excel/workbook/CellArea.h"
#include "excel/workbook/CellFormat.h"
#include "excel/workbook/CellValue.h"
#include "excel/workbook/PageSetup.h"

namespace tarvel::excel {

struct RecordedCell {
  int column = 0;
  CellValue value;
  /// The properties set on this cell; the rest come from SheetSettings::cells.
  CellFormat format;
};

struct RecordedRow {
  int row = 0;
  /// Set by RowHeight on this row; otherwise the sheet's row height.
  std::optional<double> height;
  std::vector<RecordedCell> cells;  // by column
};

/// The whole-sheet settings and what is written when the workbook is saved.
struct SheetSettings {
  /// The formats set on Cells: every cell's defaults.
  CellFormat cells;
  /// Points; unset: Excel's standard height for the Normal font.
  std::optional<double> rowHeight;
  /// Characters; unset: Excel's standard width.
  std::optional<double> columnWidth;
  /// Widths set on single columns, by column number.
  std::map<int, double> columnWidths;
  PageSetup page;
};

class RecordedSheet {
 public:
  QString name;
  std::map<int, RecordedRow> rows;
  std::vector<CellArea> merges;
  SheetSettings settings;

  /// The cell at an A1 address ("F28"); nullptr when nothing was written there.
  const RecordedCell* Cell(const QString& address) const;
  const RecordedCell* Cell(int row, int column) const;
  /// The height set on a row, if any.
  std::optional<double> RowHeight(int row) const;
  /// The width of a column: its own, the whole sheet's, or unset for Excel's standard width.
  std::optional<double> ColumnWidth(int column) const;
  bool IsMerged(const CellArea& area) const;

  /// The sheet as text, one line per row and cell, stable for golden files:
  ///   工作表1
  ///   cells: 11; -/center | row height 20
  ///   columns: A 9, B 5, ...
  ///   page: landscape, paper 9, margins 28.35 28.35 28.35 28.35 (left right top bottom), header 0,
  ///   footer 0 row 1 height 23 | merged A1:M1
  ///     A1 "工單一覽表" | 標楷體 20 bold underline; center/center; no wrap
  ///     B1:M1 - | center/center; no wrap
  /// A text typed with an apostrophe shows as '000123, another text in quotes, a number as
  /// written, an empty cell as "-"; neighbouring empty cells of one format share a line.
  QString Text() const;
};

class RecordedWorkbook {
 public:
  const std::vector<RecordedSheet>& Sheets() const { return sheets_; }
  /// Throws std::out_of_range for a sheet that does not exist.
  const RecordedSheet& Sheet(int index) const { return sheets_.at(index); }
  /// Every sheet's Text(), one after the other.
  QString Text() const;

 private:
  friend class Workbook;
  friend class Worksheet;

  void SheetAdded(const QString& name);
  void RowWritten(int sheet, RecordedRow row);
  void MergeWritten(int sheet, const CellArea& area);
  void SettingsWritten(int sheet, const SheetSettings& settings);

  std::vector<RecordedSheet> sheets_;
};

}  // namespace tarvel::excel
