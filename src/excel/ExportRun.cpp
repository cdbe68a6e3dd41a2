#include "excel/ExportRun.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "criteria/OutputRights.h"
#include "db/BackgroundCount.h"
#include "db/Connection.h"
#include "excel/ConvertedWorkbook.h"
#include "excel/workbook/Workbook.h"
#include "platform/Error.h"
#include "platform/Termination.h"
#include "platform/UserInterface.h"
#include "platform/WorkFolder.h"

namespace tarvel::excel {
namespace {

ExportStage StageOf(ConversionStep step) {
  return step == ConversionStep::Converting ? ExportStage::Converting : ExportStage::Checking;
}

/// The run's answer to "go on?": whoever may stop it, asked in one place, and whether one did.
class Progress {
 public:
  Progress(const ExportWatch& watch, ExportStop* stop, WorkbookFormat format)
      : watch_(watch), stop_(stop) {
    status_.format = format;
  }

  /// Reports the status; false once anyone wants the run to stop.
  bool Report(ExportStage stage, qint64 written, qint64 total) {
    status_.stage = stage;
    status_.written = written;
    status_.total = total;
    if (Stopped()) return false;
    if (watch_ && !watch_(status_)) halted_ = true;
    return !halted_;
  }
  bool Report(ExportStage stage) { return Report(stage, status_.written, status_.total); }
  /// Whether the run was asked to stop (a failure that follows is the stop's doing).
  bool Stopped() const {
    return halted_ || TerminationRequested() || (stop_ != nullptr && stop_->Requested());
  }

 private:
  const ExportWatch& watch_;
  ExportStop* stop_;
  ExportStatus status_;
  bool halted_ = false;
};

ExportResult CancelledResult(const QString& targetPath) {
  // The program is ending: nobody is left to read a message.
  if (TerminationRequested()) return {.outcome = ExportOutcome::Cancelled};
  return {.outcome = ExportOutcome::Cancelled,
          .message = QStringLiteral("已取消轉檔，檔案沒有寫入：") + targetPath,
          .style = kInformation,
          .title = QStringLiteral("訊息")};
}

}  // namespace

void ShowExportResult(const ExportResult& result) {
  if (!result.message.isEmpty()) ShowMessage(result.message, result.style, result.title);
}

ExportResult RunExport(PageBlockSheet& sheet, const std::function<QString()>& statement,
                       const QString& errorTitle, const AppContext& context,
                       const QString& targetPath, const ExportWatch& watch, ExportStop* stop) {
  const WorkbookFormat format = FormatOfPath(targetPath);
  if (format == WorkbookFormat::Xls)
    sheet.SetSheetRowLimit(std::min(sheet.SheetRowLimit(), kXlsMaxRows));
  Progress progress(watch, stop, format);
  QString failure;
  try {
    if (!progress.Report(ExportStage::Counting, 0, 0)) return CancelledResult(targetPath);
    const QString folder = QFileInfo(targetPath).absolutePath();
    std::optional<Workbook> book;
    bool found = false;
    {
      const auto connection = db::Connection::Open(context.ConnectionString);
      const ExportStop::Watch interruptible(stop, *connection);
      const QString sql = statement();
      // The rows from one state of the database, which ends, with the connection, before the
      // file is made. The first row is the test for "no rows", made before any file is touched.
      const db::ReadSnapshot snapshot(*connection);
      if (progress.Stopped()) return CancelledResult(targetPath);
      db::Cursor rows = connection->OpenCursor(sql);
      found = rows.Next();
      if (found) {
        // A routine reads a dozen of the view's sixty fields: the rest are left undecoded.
        rows.WantWhatIsRead();
        // The total: known at once where the rows were read whole (a Jet file), else counted
        // beside the export on a connection of its own (stopped with it); unknown until then.
        // Only for someone who hears it: without a watch (tarvel-cli) the count would only take
        // the second core from the export.
        std::optional<db::BackgroundCount> count;
        if (rows.KnownCount() < 0 && watch) count.emplace(context.ConnectionString, sql);
        const ExportProgress perRecord = [&](qint64 written, qint64) {
          const qint64 total = count ? count->Total() : rows.KnownCount();
          return total < 0 ? progress.Report(ExportStage::Counting, written, 0)
                           : progress.Report(ExportStage::Rows, written, std::max(total, written));
        };
        book.emplace(WorkbookOptions{.tempFolder = folder});
        if (!sheet.Write(rows, *book, perRecord)) return CancelledResult(targetPath);
        // Every row is written: their number is the total, whether the count is in or not.
        if (!progress.Report(ExportStage::Rows, rows.Position(), rows.Position()))
          return CancelledResult(targetPath);
      }
    }
    if (!found)
      return {.outcome = ExportOutcome::NoRows,
              .message = QStringLiteral("資料庫中沒有符合條件的資料!"),
              .style = kInformation,
              .title = QStringLiteral("訊息")};
    // A stop while the file is made gives the save up (SaveStopped): the old target stays.
    const auto saveStopped = [&] { return !progress.Report(ExportStage::Saving); };
    if (format == WorkbookFormat::Xlsx) {
      book->SaveAs(targetPath, saveStopped);
    } else {
      const WorkFolder work(folder, QStringLiteral("xlsx"));
      if (!work.IsValid()) throw Error(QStringLiteral("無法在 %1 建立暫存資料夾").arg(folder));
      const QString xlsx =
          work.FilePath(QFileInfo(targetPath).completeBaseName() + QStringLiteral(".xlsx"));
      book->SaveAs(xlsx, saveStopped);
      ConvertWorkbook(xlsx, format, targetPath, book->Values(),
                      [&](ConversionStep step) { return progress.Report(StageOf(step)); });
    }
  } catch (const ConversionInterrupted&) {
    return CancelledResult(targetPath);
  } catch (const Error& error) {
    // A statement interrupted by the stop fails: that is the stop, not an error.
    if (progress.Stopped()) return CancelledResult(targetPath);
    failure = error.Description();
  } catch (const std::bad_alloc&) {
    failure = QStringLiteral("記憶體不足");
  }
  if (!failure.isEmpty()) {
    if (TerminationRequested()) return {.outcome = ExportOutcome::Cancelled};
    return {.outcome = ExportOutcome::Failed,
            .message = failure,
            .style = kCritical,
            .title = errorTitle};
  }
  return {.outcome = ExportOutcome::Written,
          .message = QStringLiteral("檔案存放在：") + targetPath,
          .style = kExclamation,
          .title = QStringLiteral("轉Excel成功")};
}

ExportOutcome ExportRows(PageBlockSheet& sheet, const std::function<QString()>& statement,
                         const QString& errorTitle, const AppContext& context,
                         const QString& targetPath, const ExportWatch& watch) {
  if (!CheckExcelRights(context)) return ExportOutcome::Refused;
  ExportResult result;
  {
    BusyPointer busy;
    Ui().ProcessEvents();
    result = RunExport(sheet, statement, errorTitle, context, targetPath, watch);
  }
  ShowExportResult(result);
  return result.outcome;
}

}  // namespace tarvel::excel
