#include "excel/WorkOrderExport.h"

#include <QFileInfo>

#include "db/Connection.h"
#include "excel/workbook/Workbook.h"
#include "platform/Error.h"
#include "platform/UserInterface.h"

namespace tarvel::excel {

ExportOutcome ExportWorkOrders(ExportRoutine routine, const WorkOrderCriteria& criteria,
                               const AppContext& context, const QString& targetPath,
                               const ExportProgress& progress) {
  const std::unique_ptr<ExportFrame> frame = CreateExport(routine, criteria, context);
  QString failure;
  {
    BusyPointer busy;
    Ui().ProcessEvents();
    try {
      const auto connection = db::Connection::Open(context.ConnectionString);
      db::Recordset rows = connection->OpenRecordset(ExportStatement(routine, criteria, context));
      if (rows.RecordCount() < 1) {
        ShowMessage(QStringLiteral("資料庫中沒有符合條件的資料!"), kInformation,
                    QStringLiteral("訊息"));
        return ExportOutcome::NoRows;
      }
      Workbook book({.tempFolder = QFileInfo(targetPath).absolutePath()});
      frame->Write(rows, book.ActiveSheet(), progress);
      book.SaveAs(targetPath);
    } catch (const Error& error) {
      failure = error.Description();
    } catch (const std::bad_alloc&) {
      failure = QStringLiteral("記憶體不足");
    }
  }
  if (!failure.isEmpty()) {
    ShowMessage(failure, kCritical, QString::fromUtf8(frame->Parameters().errorTitle));
    return ExportOutcome::Failed;
  }
  ShowMessage(QStringLiteral("檔案存放在：") + targetPath, kExclamation,
              QStringLiteral("轉Excel成功"));
  return ExportOutcome::Written;
}

}  // namespace tarvel::excel
