// A new workbook, written to an .xlsx file by libxlsxwriter: what Workbooks.Add gives the export
// routines, with its sheets and SaveAs.
//
// Typical use:
//   Workbook book({.tempFolder = QFileInfo(target).absolutePath()});
//   Worksheet& sheet = book.ActiveSheet();
//   sheet.Columns("A:A").SetColumnWidth(9);
//   MergeCenter(sheet.Range("A1:M1"));
//   sheet.Range("A1").SetValue(QStringLiteral("工單一覽表"));
//   ...
//   book.SaveAs(target);  // the old file stays as it was unless the new one is complete
#pragma once

#include <xlsxwriter.h>

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "excel/workbook/CellFormat.h"
#include "excel/workbook/FormatTable.h"
#include "excel/workbook/Worksheet.h"
#include "excel/workbook/XlsxFormatCache.h"
#include "platform/WorkFolder.h"

namespace tarvel::excel {

class RecordedWorkbook;
class RowWriter;

/// How a workbook is made. The defaults are what a Traditional Chinese Excel's new workbook has.
struct WorkbookOptions {
  /// Where libxlsxwriter keeps the rows handed over until the file is saved (it may grow to
  /// the size of the finished sheet), in a hidden work folder ".tarvel-xlsx-…" (WorkFolder)
  /// removed with the workbook; empty: the system's temporary folder. The target's own folder
  /// keeps the data on the disk that must hold the file anyway.
  QString tempFolder;
  /// The first sheet's name.
  QString firstSheetName = QStringLiteral("工作表1");
  /// The Normal style's font: cells without a font of their own, and the font column widths
  /// are counted in.
  QString normalFontName = QStringLiteral("新細明體");
  /// Points.
  double normalFontSize = 12;
  /// The pixels of the Normal font's widest digit on a 96-dpi screen (8 for 新細明體 12):
  /// Excel measures column widths in it.
  int normalDigitPixels = 8;
  /// Excel's row height for the Normal font, in points, for rows without a height of their own.
  double standardRowHeight = 16.5;
  /// Excel's column width for the Normal font, in characters, for columns without one.
  double standardColumnWidth = 8.38;
  /// Every sheet's paper (Excel's numbers: 9 A4); 0 leaves it to the printer.
  int paperSize = 9;
  /// How many rows above the lowest row changed stay open to changes (see Worksheet).
  int rowWindow = 1024;
  /// Receives everything handed to the file, for tests; nullptr records nothing.
  RecordedWorkbook* recorder = nullptr;
};

class Workbook {
 public:
  /// A workbook with one empty sheet. Throws WorkbookError when the temporary folder cannot be
  /// used or an option is out of range.
  explicit Workbook(const WorkbookOptions& options = {});
  /// Without SaveAs, the workbook and its temporary data are discarded; a target is never
  /// touched.
  ~Workbook();
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  /// The sheet written now: the last one added.
  Worksheet& ActiveSheet() { return *sheets_.back(); }
  /// Throws WorkbookError for an index that is not a sheet.
  Worksheet& Sheet(int index);
  int SheetCount() const { return static_cast<int>(sheets_.size()); }

  /// Adds a sheet after the last and makes it the active one (for page blocks that continue
  /// beyond a sheet's last row). Every row of the sheets before it is handed over. An empty name
  /// gives the next "工作表N". Throws WorkbookError for a name Excel refuses (longer than 31
  /// characters, one of []:*?/\, an apostrophe at either end, or a name already used).
  Worksheet& AddSheet(const QString& name = {});

  /// Writes the workbook to `path` as an .xlsx file, whatever the extension. The first sheet's
  /// whole-sheet formats (Cells) become the workbook's default format, which every cell and
  /// column without a style of its own shows: the sheets' columns end at their last used one. The
  /// file is made beside the target under a temporary name and renamed over it only when complete
  /// and checked, so on failure the old file, if any, stays as it was and no partial file remains.
  /// Throws WorkbookError with a description for the user (the folder missing or not
  /// writable, a full disk, a damaged package). Afterwards, successful or not, the workbook is
  /// closed: its sheets take no more changes.
  ///
  /// `stopped` (may be empty) is asked every 20 ms or so until the file takes the target's place:
  /// true gives the save up (the package is then made in a child process, which is ended), and
  /// SaveAs throws SaveStopped with the target as it was.
  void SaveAs(const QString& path, const std::function<bool()>& stopped = {});

  /// Whether the workbook still takes changes (SaveAs has not run).
  bool IsOpen() const { return book_ != nullptr; }

  /// For each sheet, in order, what its rows hold of values (numbers and texts) as handed to
  /// the file: complete once SaveAs has run. A copy of the file made by another program must
  /// hold the same.
  std::vector<SheetValues> Values() const;

 private:
  friend class Worksheet;

  void Discard();
  void CheckOpen() const;
  const WorkbookOptions& Options() const { return options_; }
  FormatTable& Formats() { return formats_; }
  const CellFormat& Normal() const { return normal_; }
  XlsxFormatCache& XlsxFormats() { return *xlsxFormats_; }
  RecordedWorkbook* Recorder() const { return options_.recorder; }
  RowWriter& Writer() { return *writer_; }
  Worksheet& NewSheet(const QString& name);

  WorkbookOptions options_;
  std::unique_ptr<WorkFolder> workFolder_;
  QByteArray workFolderName_;  // libxlsxwriter keeps the pointer
  QString packagePath_;
  lxw_workbook* book_ = nullptr;
  FormatTable formats_;
  CellFormat normal_;
  std::unique_ptr<XlsxFormatCache> xlsxFormats_;
  std::vector<std::unique_ptr<Worksheet>> sheets_;
  /// Until the workbook is closed; ends (its thread with it) before libxlsxwriter's workbook.
  std::unique_ptr<RowWriter> writer_;
};

}  // namespace tarvel::excel
