// The export window: where the workbook goes, and the start of the export a report choice leads
// to.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "excel/ExportRun.h"
#include "output/OutputRun.h"

namespace Ui {
class WorkOrderExportWindow;
}

namespace tarvel {

struct AppContext;

/// The dialog frm工單一覽表轉Excel (its object name; Qt's meta-object compiler reads only ASCII
/// class names). It proposes ExcelFolder + "工單一覽表" + "-" + the ROC date digits +
/// ExcelExtension, glued as they are; 開始轉檔 exports, 回前畫面 (or Esc) closes. Another export
/// window of the same design (frm重工明細表轉Excel) is this class with an ExportJob of its own.
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
    /// The export behind 開始轉檔, to the trimmed target; empty: nothing to export.
    std::function<excel::ExportOutcome(const QString& target,
                                       const excel::ExportProgress& progress)>
        run;
  };

  /// Asks for the target file: `suggested` is the box's text, `filter` the dialog's filter;
  /// returns the chosen path, or "" when cancelled.
  using SaveFileFunction =
      std::function<QString(QWidget* parent, const QString& suggested, const QString& filter)>;

  /// The export of catalogue row `row` (none when the row has no export) with the request's
  /// `criteria`: the main window's frm工單一覽表轉Excel, or the rework window's
  /// frm重工明細表轉Excel titled with criteria.ReportName. `row`, `criteria` and `context` must
  /// outlive the window.
  WorkOrderExportWindow(const AppContext& context, const ReportRow& row,
                        const RequestCriteria& criteria, QWidget* parent = nullptr);
  /// A window for `job`; `context` must outlive it.
  WorkOrderExportWindow(const AppContext& context, ExportJob job, QWidget* parent = nullptr);
  ~WorkOrderExportWindow() override;

  /// The catalogue row it exports (none for a window made for an ExportJob).
  const ReportRow* Row() const { return row_; }
  QString TargetText() const;
  QString StatusText() const;

  /// The "..." button: the save dialog with the workbook filter.
  void ChooseFile();
  /// 開始轉檔. Returns what the export did (nothing when the target is empty or there is no
  /// export). While it runs, the progress bar counts the records, 開始轉檔 and 回前畫面
  /// are disabled and 取消轉檔 (or Esc, or closing the window) stops it, leaving an old file as
  /// it was.
  std::optional<excel::ExportOutcome> StartExport();
  /// Whether an export is running (the window's buttons are then those of a run).
  bool IsRunning() const { return running_; }
  /// 取消轉檔: asks the running export to stop at its next record.
  void CancelExport() { cancelRequested_ = true; }

  /// Esc and the window's close button: cancel a running export instead of closing under it.
  void reject() override;

  void SetSaveFileDialog(SaveFileFunction dialog) { saveDialog_ = std::move(dialog); }

 private:
  void SetStatus(const QString& text);

  const AppContext& context_;
  const ReportRow* row_ = nullptr;
  ExportJob job_;
  std::unique_ptr<Ui::WorkOrderExportWindow> ui_;
  SaveFileFunction saveDialog_;
  bool running_ = false;
  bool cancelRequested_ = false;
};

}  // namespace tarvel
