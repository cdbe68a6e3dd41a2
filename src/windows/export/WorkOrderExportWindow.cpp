#include "windows/export/WorkOrderExportWindow.h"

#include <QFileDialog>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <climits>

#include "common/RocDate.h"
#include "common/forms/FocusRules.h"
#include "common/forms/WindowSetup.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"
#include "ui_WorkOrderExportWindow.h"

namespace tarvel {
namespace {

const QString kPrompt = QStringLiteral("請輸入Excel檔存放路徑及檔名!!");
const QString kWorking = QStringLiteral("轉檔中請稍候!!");
// How often the status line counts the records during a long export.
constexpr qint64 kProgressEvery = 200;

QString AskSaveFile(QWidget* parent, const QString& suggested, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, parent->windowTitle(), suggested, filter);
}

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
    job.run = [&row, &criteria](const QString& target, const excel::ExportProgress& progress) {
      return ExportReport(row, criteria, target, progress);
    };
  return job;
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
  ui_->scmd取消->hide();
  // The bar keeps its place while idle, so the window does not jump when a run starts.
  QSizePolicy barPolicy = ui_->prg轉檔進度->sizePolicy();
  barPolicy.setRetainSizeWhenHidden(true);
  ui_->prg轉檔進度->setSizePolicy(barPolicy);
  ui_->prg轉檔進度->hide();
  ui_->scmd開始->setShortcut(QKeySequence(QStringLiteral("Alt+S")));
  ui_->scmd離開->setShortcut(QKeySequence(QStringLiteral("Alt+Q")));
  auto* browse = new QShortcut(QKeySequence(Qt::Key_F4), this);
  connect(browse, &QShortcut::activated, this, &WorkOrderExportWindow::ChooseFile);
}

WorkOrderExportWindow::~WorkOrderExportWindow() = default;

QString WorkOrderExportWindow::TargetText() const {
  return ui_->txt存放Excel檔路徑->text();
}

QString WorkOrderExportWindow::StatusText() const {
  return ui_->StatusBar1->currentMessage();
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

std::optional<excel::ExportOutcome> WorkOrderExportWindow::StartExport() {
  const QString target = TargetText().trimmed();
  if (target.isEmpty()) {
    ShowMessage(QStringLiteral("請先選擇轉好之Excel檔存放路徑及檔名!"), kCritical,
                QStringLiteral("訊息"));
    return std::nullopt;
  }
  ui_->scmd開始->setEnabled(false);
  ui_->scmd離開->setEnabled(false);
  ui_->scmd取消->show();
  ui_->prg轉檔進度->setRange(0, 0);  // busy until the count is known
  ui_->prg轉檔進度->show();
  running_ = true;
  cancelRequested_ = false;
  SetStatus(kWorking);
  std::optional<excel::ExportOutcome> outcome;
  if (job_.run) {
    outcome = job_.run(target, [this](qint64 written, qint64 total) {
      if (written % kProgressEvery == 0 || written == total) {
        if (total <= 0) {
          // The total is still being counted: a busy bar and the lines so far.
          SetStatus(kWorking + QStringLiteral("  %1").arg(written));
        } else {
          // A bar counts in int: past two thousand million lines it shows the share instead.
          const int scale = total > INT_MAX ? static_cast<int>(total / INT_MAX + 1) : 1;
          ui_->prg轉檔進度->setRange(0, static_cast<int>(total / scale));
          ui_->prg轉檔進度->setValue(static_cast<int>(written / scale));
          SetStatus(kWorking + QStringLiteral("  %1 / %2").arg(written).arg(total));
        }
        Ui().ProcessEvents();
      }
      return !cancelRequested_;
    });
  }
  running_ = false;
  ui_->prg轉檔進度->hide();
  ui_->scmd取消->hide();
  SetStatus(kPrompt);
  ui_->scmd開始->setEnabled(true);
  ui_->scmd離開->setEnabled(true);
  return outcome;
}

void WorkOrderExportWindow::reject() {
  if (running_) {
    CancelExport();
    return;
  }
  QDialog::reject();
}

}  // namespace tarvel
