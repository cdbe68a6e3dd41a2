#include "excel/ExportRun.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "criteria/OutputRights.h"
#include "db/Connection.h"
#include "excel/ConvertedWorkbook.h"
#include "excel/WorkbookConversion.h"
#include "excel/workbook/Workbook.h"
#include "platform/Error.h"
#include "platform/Termination.h"
#include "platform/UserInterface.h"
#include "platform/WorkFolder.h"

namespace tarvel::excel {

ExportOutcome ExportRows(PageBlockSheet& sheet, const std::function<QString()>& statement,
                         const QString& errorTitle, const AppContext& context,
                         const QString& targetPath, const ExportProgress& progress) {
  if (!CheckExcelRights(context)) return ExportOutcome::Refused;
  const QString noRows = QStringLiteral("資料庫中沒有符合條件的資料!");
  const WorkbookFormat format = FormatOfPath(targetPath);
  if (format == WorkbookFormat::Xls)
    sheet.SetSheetRowLimit(std::min(sheet.SheetRowLimit(), kXlsMaxRows));
  const ExportProgress watched = [&progress](qint64 written, qint64 total) {
    return !TerminationRequested() && (!progress || progress(written, total));
  };
  QString failure;
  {
    BusyPointer busy;
    Ui().ProcessEvents();
    try {
      const QString folder = QFileInfo(targetPath).absolutePath();
      std::optional<Workbook> book;
      enum class Read { NoRows, Cancelled, Written } read = Read::NoRows;
      {
        const auto connection = db::Connection::Open(context.ConnectionString);
        const QString sql = statement();
        // The count and the rows from one state of the database: the bar's total is the number
        // of lines written, however busy other workstations are. It ends, with the connection,
        // before any message can wait for the user.
        const db::ReadSnapshot snapshot(*connection);
        const qint64 total = connection->CountRows(sql);
        db::Cursor rows = connection->OpenCursor(sql);
        // A Jet file has no snapshot: its count can be stale by the time the rows are read.
        if (total > 0 && rows.Next()) {
          book.emplace(WorkbookOptions{.tempFolder = folder});
          read = sheet.Write(rows, *book, watched, total) ? Read::Written : Read::Cancelled;
        }
      }
      if (read == Read::NoRows) {
        ShowMessage(noRows, kInformation, QStringLiteral("訊息"));
        return ExportOutcome::NoRows;
      }
      if (read == Read::Cancelled) {
        // The program is ending: nobody is left to read a message.
        if (TerminationRequested()) return ExportOutcome::Cancelled;
        ShowMessage(QStringLiteral("已取消轉檔，檔案沒有寫入：") + targetPath, kInformation,
                    QStringLiteral("訊息"));
        return ExportOutcome::Cancelled;
      }
      if (format == WorkbookFormat::Xlsx) {
        book->SaveAs(targetPath);
      } else {
        const WorkFolder work(folder, QStringLiteral("xlsx"));
        if (!work.IsValid()) throw Error(QStringLiteral("無法在 %1 建立暫存資料夾").arg(folder));
        const QString xlsx =
            work.FilePath(QFileInfo(targetPath).completeBaseName() + QStringLiteral(".xlsx"));
        book->SaveAs(xlsx);
        ConvertWorkbook(xlsx, format, targetPath, book->Values());
      }
    } catch (const ConversionInterrupted&) {
      return ExportOutcome::Cancelled;
    } catch (const Error& error) {
      failure = error.Description();
    } catch (const std::bad_alloc&) {
      failure = QStringLiteral("記憶體不足");
    }
  }
  if (!failure.isEmpty()) {
    if (TerminationRequested()) return ExportOutcome::Cancelled;
    ShowMessage(failure, kCritical, errorTitle);
    return ExportOutcome::Failed;
  }
  ShowMessage(QStringLiteral("檔案存放在：") + targetPath, kExclamation,
              QStringLiteral("轉Excel成功"));
  return ExportOutcome::Written;
}

}  // namespace tarvel::excel
