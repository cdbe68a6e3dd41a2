// One export to a workbook file: the query, the routine's sheet, the file and the messages, as the
// export window's start button runs it (and tarvel-cli without a window).
#pragma once

#include <QString>
#include <functional>

#include "excel/PageBlockSheet.h"

namespace tarvel::excel {

enum class ExportOutcome {
  Written,  ///< the workbook is at the target; "轉Excel成功" was shown
  NoRows,   ///< nothing matched; no file was touched
  Failed,   ///< the error was shown under the routine's title; an old target is unchanged
  Cancelled,  ///< the progress callback or a signal ending the program stopped it; "已取消轉檔…"
              ///< was shown (not when the program is ending), an old target is unchanged
  Refused,  ///< the user may not export to Excel; CheckExcelRights said so
};

/// Exports the rows of `statement` (composed inside the run, so an error composing it is reported
/// like any other), written by `sheet`, to `targetPath` (hourglass meanwhile):
/// a user without the right gets CheckExcelRights's message and nothing more; no rows gives
/// "資料庫中沒有符合條件的資料!" (style 64, "訊息"); success "檔案存放在：" & the path (style
/// 48, "轉Excel成功"); any failure its description (style 16) under `errorTitle`.
/// The workbook is written beside the target and takes its place only when complete, so a
/// failure leaves an existing file as it was. A target named .xls or .ods is converted from the
/// finished workbook by LibreOffice (ConvertWorkbook), which checks the result; an .xls sheet
/// holds 65,536 rows, so its page blocks go on on the next sheet from there. The rows are
/// streamed through a cursor in one db::ReadSnapshot, so memory stays flat however many there
/// are; its first row is the test for "no rows". `progress` hears after every record, with the
/// total once known (0 before: it is counted beside the export, db::BackgroundCount, and never
/// less than the rows written), and may cancel; a signal ending the program
/// (TerminationRequested) cancels without a message.
ExportOutcome ExportRows(PageBlockSheet& sheet, const std::function<QString()>& statement,
                         const QString& errorTitle, const AppContext& context,
                         const QString& targetPath, const ExportProgress& progress = {});

}  // namespace tarvel::excel
