// Hands the rows of a workbook's sheets to libxlsxwriter on a thread of its own, so that writing
// them out (most of an export's own time: libxlsxwriter formats every cell into the sheet's row
// file) runs beside the export reading and laying out the next rows.
//
// The sheets queue what they would have called (set a row, write a cell, register a merged
// area), in the order they would have called it; the writer's thread makes the calls in that
// order, a batch at a time. Formats are complete, numbered styles by the time a cell names them
// (XlsxFormatCache), so the thread only reads them, while the workbook may make new ones. Every
// other call to libxlsxwriter (sheets, columns, page setup, closing) comes after Drain, when the
// thread has nothing left to do.
#pragma once

#include <xlsxwriter.h>

#include <QString>
#include <QStringEncoder>
#include <QStringView>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "excel/workbook/CellArea.h"

namespace tarvel::excel {

class RowWriter {
 public:
  RowWriter();
  /// Waits for the thread to finish what it was given (its failures no longer matter).
  ~RowWriter();
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // What a sheet would call, queued. `sheetName` names the sheet in a failure's message and
  // must live as long as the writer. Rows and columns from 0, as libxlsxwriter counts them.
  void SetDefaultRow(lxw_worksheet* sheet, double height);
  void SetRow(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row, double height);
  void WriteNumber(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row, lxw_col_t column,
                   double number, lxw_format* format);
  void WriteString(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row, lxw_col_t column,
                   QStringView text, lxw_format* format);
  void WriteBlank(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row, lxw_col_t column,
                  lxw_format* format);
  /// A merged area (rows and columns from 1), registered without a format or a text.
  void Merge(lxw_worksheet* sheet, const CellArea& area);

  /// Hands what was queued to the thread once there is a batch of it. Throws WorkbookError for a
  /// call of an earlier batch that failed.
  void Commit();
  /// Hands everything queued to the thread and waits until it is done: libxlsxwriter is the
  /// caller's again. Throws WorkbookError for a call that failed.
  void Drain();

 private:
  struct Call {
    enum class Kind : unsigned char { kDefaultRow, kRow, kNumber, kString, kBlank, kMerge };
    Kind kind;
    lxw_worksheet* sheet;
    const QString* sheetName;
    lxw_row_t row;
    lxw_col_t column;
    lxw_format* format;
    double number;     ///< the number, or the row's height
    std::size_t text;  ///< a string's start in Batch::texts (NUL-terminated)
    CellArea area;     ///< a merged area
  };
  struct Batch {
    std::vector<Call> calls;
    std::string texts;
  };

  void Queue(const Call& call) { filling_.calls.push_back(call); }
  /// Hands `filling_` over once the thread is done with the batch before.
  void HandOver(std::unique_lock<std::mutex>& lock);
  void Run();
  /// Makes one call; the message of its failure, or an empty text.
  static QString Make(const Call& call, const std::string& texts);
  void ThrowFailure();

  Batch filling_;  ///< the caller's
  QStringEncoder utf8_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};

  std::mutex mutex_;
  std::condition_variable changed_;
  Batch handed_;       ///< the thread's while `busy_`
  bool busy_ = false;  ///< the thread has a batch to make
  bool stopping_ = false;
  QString failure_;  ///< the first call that failed
  std::thread thread_;
};

}  // namespace tarvel::excel
