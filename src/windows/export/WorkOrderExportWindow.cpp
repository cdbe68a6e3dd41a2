#include "windows/export/WorkOrderExportWindow.h"

#include <QFileDialog>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <climits>

#include "common/RocDate.h"
#include "common/forms/FocusRules.h"
#include "common/forms/WindowSetup.h"
#include "criteria/OutputRights.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"
#include "ui_WorkOrderExportWindow.h"

namespace tarvel {
namespace {

const QString kPrompt = QStringLiteral("請輸入Excel檔存放路徑及檔名!!");
const QString kWorking = QStringLiteral("轉檔中請稍候!!");

QString AskSaveFile(QWidget* parent, const QString& suggested, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, parent->windowTitle(), suggested, filter);
}

/// A request's criteria copied whole, for an export that reads them on a thread of its own
/// while the window that holds the originals stays live.
struct CriteriaCopy {
  AppContext context;
  std::optional<WorkOrderCriteria> overview;
  std::optional<ReworkCriteria> rework;

  explicit CriteriaCopy(const RequestCriteria& criteria) : context(criteria.context) {
    if (criteria.overview != nullptr) overview = *criteria.overview;
    if (criteria.rework != nullptr) rework = *criteria.rework;
  }
  RequestCriteria Request() const {
    return {.context = context,
            .overview = overview ? &*overview : nullptr,
            .rework = rework ? &*rework : nullptr};
  }
};

/// The job of a catalogue row: the main window's export (frm工單一覽表轉Excel) or the rework
/// window's (frm重工明細表轉Excel, named for the list it writes).
WorkOrderExportWindow::ExportJob RowJob(const ReportRow& row, const RequestCriteria& criteria) {
  WorkOrderExportWindow::ExportJob job;
  if (row.family == ReportFamily::Rework)
    job = {.title = criteria.Rework().ReportName,
           .objectName = QStringLiteral("frm重工明細表轉Excel"),
           .labelName = QStringLiteral("lbl名稱")};
  else
    job = {.title = QStringLiteral("工單一覽表"),
           .objectName = QStringLiteral("frm工單一覽表轉Excel"),
           .labelName = QStringLiteral("Label2")};
  if (row.exporter != nullptr)
    job.run = [&row, copy = std::make_shared<const CriteriaCopy>(criteria)](
                  const QString& target, const excel::ExportWatch& watch, excel::ExportStop& stop) {
      return RunReportExport(row, copy->Request(), target, watch, &stop);
    };
  return job;
}

QString FormatExtension(excel::WorkbookFormat format) {
  return format == excel::WorkbookFormat::Ods ? QStringLiteral(".ods") : QStringLiteral(".xls");
}

}  // namespace

WorkOrderExportWindow::WorkOrderExportWindow(const AppContext& context, const ReportRow& row,
                                             const RequestCriteria& criteria, QWidget* parent)
    : WorkOrderExportWindow(context, RowJob(row, criteria), parent) {
  row_ = &row;
}

WorkOrderExportWindow::WorkOrderExportWindow(const AppContext& context, ExportJob job,
                                             QWidget* parent)
    : QDialog(parent),
      context_(context),
      job_(std::move(job)),
      ui_(new Ui::WorkOrderExportWindow),
      saveDialog_(AskSaveFile) {
  ui_->setupUi(this);
  setObjectName(job_.objectName);
  setWindowTitle(job_.title + QStringLiteral("轉Excel"));
  ui_->Label2->setObjectName(job_.labelName);
  ui_->Label2->setText(QStringLiteral("將") + job_.title + QStringLiteral("轉成Excel檔格式"));
  // The stage and the bar keep their place while idle, so the window does not jump when a run
  // starts.
  for (QWidget* progress :
       {static_cast<QWidget*>(ui_->lbl轉檔階段), static_cast<QWidget*>(ui_->prg轉檔進度)}) {
    QSizePolicy policy = progress->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    progress->setSizePolicy(policy);
    progress->hide();
  }
  // As tall as its controls, in any font: more height would only open a band between the
  // buttons and the status line. Only its width, and with it the path box, can grow.
  setFixedHeight(sizeHint().height());
  PrepareControls(this);
  CenterWindow(this);
  ui_->txt存放Excel檔路徑->setText(context_.ExcelFolder + job_.title + QLatin1Char('-') +
                                   RocTodayDigits() + context_.ExcelExtension);
  SetStatus(kPrompt);
  InstallSelectAllOnFocus(ui_->txt存放Excel檔路徑);
  MoveFocusOnEnter(this);

  connect(ui_->cmd開啟舊資料庫檔案, &QAbstractButton::clicked, this,
          &WorkOrderExportWindow::ChooseFile);
  connect(ui_->scmd開始, &QAbstractButton::clicked, this, [this] { StartExport(); });
  connect(ui_->scmd離開, &QAbstractButton::clicked, this, &QDialog::reject);
  connect(ui_->scmd取消, &QAbstractButton::clicked, this, &WorkOrderExportWindow::CancelExport);
  connect(&export_, &BackgroundExport::StatusChanged, this, &WorkOrderExportWindow::ShowStage);
  connect(&export_, &BackgroundExport::Finished, this, &WorkOrderExportWindow::Finish);
  ui_->scmd取消->hide();
  // The pointer says the window works, except over the one button that still does something.
  ui_->scmd取消->setCursor(Qt::ArrowCursor);
  ui_->scmd開始->setShortcut(QKeySequence(QStringLiteral("Alt+S")));
  ui_->scmd離開->setShortcut(QKeySequence(QStringLiteral("Alt+Q")));
  auto* browse = new QShortcut(QKeySequence(Qt::Key_F4), this);
  connect(browse, &QShortcut::activated, this, [this] {
    if (!running_) ChooseFile();
  });
}

WorkOrderExportWindow::~WorkOrderExportWindow() = default;

QString WorkOrderExportWindow::TargetText() const {
  return ui_->txt存放Excel檔路徑->text();
}

QString WorkOrderExportWindow::StatusText() const {
  return ui_->StatusBar1->currentMessage();
}

QString WorkOrderExportWindow::StageText() const {
  return ui_->lbl轉檔階段->isHidden() ? QString() : ui_->lbl轉檔階段->text();
}

void WorkOrderExportWindow::SetStatus(const QString& text) {
  ui_->StatusBar1->showMessage(text);
}

void WorkOrderExportWindow::ChooseFile() {
  const QString extension = context_.ExcelExtension;
  const QString filter =
      QStringLiteral("Microsoft Excel 資料庫(*") + extension + QStringLiteral(")");
  const QString chosen = saveDialog_(this, TargetText(), filter);
  if (!chosen.isEmpty()) ui_->txt存放Excel檔路徑->setText(chosen);
}

bool WorkOrderExportWindow::StartExport() {
  if (running_) return false;
  const QString target = TargetText().trimmed();
  if (target.isEmpty()) {
    ShowMessage(QStringLiteral("請先選擇轉好之Excel檔存放路徑及檔名!"), kCritical,
                QStringLiteral("訊息"));
    return false;
  }
  if (!job_.run) return false;
  if (!CheckExcelRights(context_)) {
    lastOutcome_ = excel::ExportOutcome::Refused;
    return false;
  }
  SetRunning(true);
  lastStatus_ = {.format = excel::FormatOfPath(target)};
  ShowBusy(QStringLiteral("計算筆數"));
  export_.Start([run = job_.run, target](const excel::ExportWatch& watch, excel::ExportStop& stop) {
    return run(target, watch, stop);
  });
  return true;
}

void WorkOrderExportWindow::SetRunning(bool running) {
  running_ = running;
  ui_->scmd開始->setEnabled(!running);
  ui_->scmd離開->setEnabled(!running);
  ui_->txt存放Excel檔路徑->setReadOnly(running);
  ui_->cmd開啟舊資料庫檔案->setEnabled(!running);
  ui_->scmd取消->setEnabled(running);
  ui_->scmd取消->setVisible(running);
  ui_->lbl轉檔階段->setVisible(running);
  ui_->prg轉檔進度->setVisible(running);
  if (running) {
    setCursor(Qt::BusyCursor);
    // Enter and Space now answer the one button that works.
    ui_->scmd取消->setFocus();
    SetStatus(kWorking);
  } else {
    unsetCursor();
    SetStatus(kPrompt);
  }
}

void WorkOrderExportWindow::ShowBusy(const QString& stage) {
  ui_->lbl轉檔階段->setText(stage);
  ui_->prg轉檔進度->setTextVisible(false);
  ui_->prg轉檔進度->setRange(0, 0);
}

void WorkOrderExportWindow::ShowStage(const excel::ExportStatus& status) {
  lastStatus_ = status;
  if (!running_ || export_.IsStopping()) return;
  switch (status.stage) {
    case excel::ExportStage::Counting:
      ShowBusy(QStringLiteral("計算筆數"));
      return;
    case excel::ExportStage::Rows: {
      ui_->lbl轉檔階段->setText(QStringLiteral("寫入資料"));
      // A bar counts in int: past two thousand million lines it shows the share instead.
      const qint64 scale = status.total > INT_MAX ? status.total / INT_MAX + 1 : 1;
      ui_->prg轉檔進度->setRange(0, static_cast<int>(status.total / scale));
      ui_->prg轉檔進度->setValue(static_cast<int>(status.written / scale));
      ui_->prg轉檔進度->setFormat(
          QStringLiteral("%1 / %2 筆").arg(status.written).arg(status.total));
      ui_->prg轉檔進度->setTextVisible(true);
      return;
    }
    case excel::ExportStage::Saving:
      ShowBusy(QStringLiteral("儲存活頁簿"));
      return;
    case excel::ExportStage::Converting:
      ShowBusy(QStringLiteral("轉換為 %1 格式").arg(FormatExtension(status.format)));
      return;
    case excel::ExportStage::Checking:
      ShowBusy(QStringLiteral("檢查轉出的檔案"));
      return;
  }
}

void WorkOrderExportWindow::CancelExport() {
  if (!running_ || export_.IsStopping()) return;
  export_.Stop();
  ui_->scmd取消->setEnabled(false);
  ShowBusy(QStringLiteral("取消轉檔中…"));
}

void WorkOrderExportWindow::Finish(const excel::ExportResult& result) {
  lastOutcome_ = result.outcome;
  // The message comes while the window still shows the run, as the export's own last step.
  ShowExportResult(result);
  SetRunning(false);
  emit ExportFinished(result.outcome);
}

void WorkOrderExportWindow::reject() {
  if (running_) {
    CancelExport();
    return;
  }
  QDialog::reject();
}

}  // namespace tarvel
