// One export to a workbook file: the query, the routine's sheet, the file and the messages, as the
// export window's start button runs it (and tarvel-cli without a window).
#pragma once

#include <QString>
#include <functional>

#include "excel/ExportStop.h"
#include "excel/PageBlockSheet.h"
#include "excel/WorkbookConversion.h"

namespace tarvel::excel {

enum class ExportOutcome {
  Written,    ///< the workbook is at the target; "轉Excel成功" was shown
  NoRows,     ///< nothing matched; no file was touched
  Failed,     ///< the error was shown under the routine's title; an old target is unchanged
  Cancelled,  ///< the watch, a stop request or a signal ending the program stopped it;
              ///< "已取消轉檔…" was shown (not when the program is ending), an old target is
              ///< unchanged
  Refused,    ///< the user may not export to Excel; CheckExcelRights said so
};

/// What an export is doing, stage by stage.
enum class ExportStage {
  Counting,    ///< the rows' total is not known yet (the first rows may be written meanwhile)
  Rows,        ///< the rows are written, `written` of `total`
  Saving,      ///< the finished workbook is written to its file
  Converting,  ///< LibreOffice turns it into the .xls or .ods the target asks for
  Checking,    ///< the converted file is read back and compared with the workbook
};

struct ExportStatus {
  ExportStage stage = ExportStage::Counting;
  qint64 written = 0;  ///< records written so far
  qint64 total = 0;    ///< the records to write; 0 while counted, never less than `written`
  WorkbookFormat format = WorkbookFormat::Xlsx;  ///< the target's
};

/// Hears the export's status: at each new stage, after every record, and about every 100 ms
/// while LibreOffice converts. False stops the export.
using ExportWatch = std::function<bool(const ExportStatus& status)>;

/// How an export ended and the message it ends with (none when a signal is ending the program:
/// nobody is left to read it).
struct ExportResult {
  ExportOutcome outcome = ExportOutcome::Failed;
  QString message;
  int style = 0;
  QString title;
};

/// Shows the result's message, if it has one.
void ShowExportResult(const ExportResult& result);

/// Exports the rows of `statement` (composed inside the run, so an error composing it is reported
/// like any other), written by `sheet`, to `targetPath`, and says how it went without showing
/// anything: it may run on a thread of its own while the window that started it stays live (it
/// opens its own connection there). No rows: "資料庫中沒有符合條件的資料!" (style 64, "訊息");
/// success "檔案存放在：" & the path (style 48, "轉Excel成功"); any failure its description
/// (style 16) under `errorTitle`; cancelled "已取消轉檔，檔案沒有寫入：" & the path (style 64).
/// The workbook is written beside the target and takes its place only when complete, so a
/// failure or a cancel leaves an existing file as it was and nothing beside it. A target named
/// .xls or .ods is converted from the finished workbook by LibreOffice (ConvertWorkbook), which
/// checks the result; an .xls sheet holds 65,536 rows, so its page blocks go on on the next sheet
/// from there. The rows are streamed through a cursor in one db::ReadSnapshot, so memory stays
/// flat however many there are; its first row is the test for "no rows". Their total is known
/// at once where the rows were read whole (a Jet file), else counted beside the export
/// (db::BackgroundCount) when there is a `watch` to hear it. `watch` hears the status and may stop
/// the run; so may `stop` (from another thread: the statement under way is interrupted, the
/// converter's process group ended), and a signal ending the program (TerminationRequested), which
/// stops it without a message. The rights are not checked here: callers ask CheckExcelRights first.
ExportResult RunExport(PageBlockSheet& sheet, const std::function<QString()>& statement,
                       const QString& errorTitle, const AppContext& context,
                       const QString& targetPath, const ExportWatch& watch = {},
                       ExportStop* stop = nullptr);

/// RunExport on this thread, as tarvel-cli and the tests run it: a user without the right gets
/// CheckExcelRights's message and nothing more; otherwise the hourglass is on during the run and
/// its message is shown at the end.
ExportOutcome ExportRows(PageBlockSheet& sheet, const std::function<QString()>& statement,
                         const QString& errorTitle, const AppContext& context,
                         const QString& targetPath, const ExportWatch& watch = {});

}  // namespace tarvel::excel
