// The export window: where the workbook goes, and the start of the export a report choice leads
// to.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "excel/ExportRun.h"
#include "output/OutputRun.h"
#include "windows/export/BackgroundExport.h"

namespace Ui {
class WorkOrderExportWindow;
}

namespace tarvel {

struct AppContext;

/// The dialog frm工單一覽表轉Excel (its object name; Qt's meta-object compiler reads only ASCII
/// class names). It proposes ExcelFolder + "工單一覽表" + "-" + the ROC date digits +
/// ExcelExtension, glued as they are; 開始轉檔 exports, 回前畫面 (or Esc) closes. Another export
/// window of the same design (frm重工明細表轉Excel) is this class with an ExportJob of its own.
///
/// The export runs on a thread of its own (BackgroundExport), so the window answers while it
/// works: the stage is shown beside the bar (「計算筆數」, 「寫入資料」 with the records against
/// their total, 「儲存活頁簿」, 「轉換為 .xls 格式」 or .ods, 「檢查轉出的檔案」), and 取消轉檔,
/// Esc or the window's close button stop it at whatever stage it is.
class WorkOrderExportWindow : public QDialog {
  Q_OBJECT

 public:
  /// What the window exports. Its caption is title + "轉Excel", its heading label (named
  /// `labelName`) "將" + title + "轉成Excel檔格式", and the proposed file ExcelFolder + title +
  /// "-" + the ROC date digits + ExcelExtension.
  struct ExportJob {
    QString title;       ///< "工單一覽表"
    QString objectName;  ///< the window's design name, "frm工單一覽表轉Excel"
    QString labelName;   ///< the design name of the heading label, "Label2"
    /// The export behind 開始轉檔, to the trimmed target, run on the export's own thread (so it
    /// reads only what it owns); empty: nothing to export.
    std::function<excel::ExportResult(const QString& target, const excel::ExportWatch& watch,
                                      excel::ExportStop& stop)>
        run;
  };

  /// Asks for the target file: `suggested` is the box's text, `filter` the dialog's filter;
  /// returns the chosen path, or "" when cancelled.
  using SaveFileFunction =
      std::function<QString(QWidget* parent, const QString& suggested, const QString& filter)>;

  /// The export of catalogue row `row` (none when the row has no export) with the request's
  /// `criteria`, copied as they are now: the main window's frm工單一覽表轉Excel, or the rework
  /// window's frm重工明細表轉Excel titled with criteria.ReportName. `row` and `context` must
  /// outlive the window.
  WorkOrderExportWindow(const AppContext& context, const ReportRow& row,
                        const RequestCriteria& criteria, QWidget* parent = nullptr);
  /// A window for `job`; `context` must outlive it.
  WorkOrderExportWindow(const AppContext& context, ExportJob job, QWidget* parent = nullptr);
  /// Stops an export still running and waits for its thread.
  ~WorkOrderExportWindow() override;

  /// The catalogue row it exports (none for a window made for an ExportJob).
  const ReportRow* Row() const { return row_; }
  QString TargetText() const;
  QString StatusText() const;
  /// The text beside the bar: the export's stage (empty while idle).
  QString StageText() const;

  /// The "..." button: the save dialog with the workbook filter.
  void ChooseFile();
  /// 開始轉檔: checks the target and the user's right, then starts the export and returns
  /// whether it started (an empty target or a refused right are answered with their messages;
  /// without an export nothing happens). While it runs, 開始轉檔 and 回前畫面 are disabled and
  /// 取消轉檔 (or Esc, or closing the window) stops it, leaving an old file as it was. At its
  /// end its message is shown, the window is idle again and ExportFinished is emitted.
  bool StartExport();
  /// Whether an export is running (the window's buttons are then those of a run).
  bool IsRunning() const { return running_; }
  /// How the last export ended (none before the first has ended).
  std::optional<excel::ExportOutcome> LastOutcome() const { return lastOutcome_; }
  /// The last status the running (or last) export reported to the window, after a cancel too.
  const excel::ExportStatus& LastStatus() const { return lastStatus_; }
  /// 取消轉檔: asks the running export to stop, at whatever stage it is.
  void CancelExport();

  /// Esc and the window's close button: cancel a running export instead of closing under it.
  void reject() override;

  void SetSaveFileDialog(SaveFileFunction dialog) { saveDialog_ = std::move(dialog); }

 signals:
  void ExportFinished(tarvel::excel::ExportOutcome outcome);

 private:
  void SetStatus(const QString& text);
  void ShowStage(const excel::ExportStatus& status);
  void ShowBusy(const QString& stage);
  void Finish(const excel::ExportResult& result);
  void SetRunning(bool running);

  const AppContext& context_;
  const ReportRow* row_ = nullptr;
  ExportJob job_;
  std::unique_ptr<Ui::WorkOrderExportWindow> ui_;
  SaveFileFunction saveDialog_;
  BackgroundExport export_;
  bool running_ = false;
  std::optional<excel::ExportOutcome> lastOutcome_;
  excel::ExportStatus lastStatus_;
};

}  // namespace tarvel
