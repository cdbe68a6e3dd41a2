#include "excel/ExportRun.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "criteria/OutputRights.h"
#include "db/BackgroundCount.h"
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
        // The rows from one state of the database, which ends, with the connection, before any
        // message can wait for the user. The first row is the test for "no rows", made before
        // any file is touched.
        const db::ReadSnapshot snapshot(*connection);
        db::Cursor rows = connection->OpenCursor(sql);
        if (rows.Next()) {
          // The progress total: known at once where the rows were read whole (a Jet file),
          // else counted beside the export on a connection of its own; unknown (0) until then.
          std::optional<db::BackgroundCount> count;
          if (rows.KnownCount() < 0) count.emplace(context.ConnectionString, sql);
          const ExportProgress withTotal = [&](qint64 written, qint64) {
            const qint64 total = count ? count->Total() : rows.KnownCount();
            return watched(written, total < 0 ? 0 : std::max(total, written));
          };
          book.emplace(WorkbookOptions{.tempFolder = folder});
          read = sheet.Write(rows, *book, withTotal) ? Read::Written : Read::Cancelled;
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
