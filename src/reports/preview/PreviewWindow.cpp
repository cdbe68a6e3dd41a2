#include "reports/preview/PreviewWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QScrollBar>

#include "platform/Error.h"
#include "platform/UserInterface.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/Report.h"
#include "reports/preview/PageView.h"
#include "ui_PreviewWindow.h"

namespace tarvel {

namespace {

constexpr double kFitWidth = -1;
constexpr double kFitPage = -2;

QString DefaultSaveFile(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("另存PDF"), suggested,
                                      QStringLiteral("PDF 檔 (*.pdf)"));
}

}  // namespace

PreviewWindow::PreviewWindow(PageModel model, std::unique_ptr<Report> report, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      ui_(std::make_unique<Ui::PreviewWindow>()),
      model_(std::move(model)),
      report_(std::move(report)),
      saveDialog_(DefaultSaveFile) {
  ui_->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose, false);
  if (!model_.title.isEmpty()) setWindowTitle(QStringLiteral("預覽列印 - %1").arg(model_.title));

  view_ = new PageView;
  view_->SetModel(&model_);
  ui_->scrollArea->setWidget(view_);
  ui_->scrollArea->setBackgroundRole(QPalette::Dark);

  const std::pair<const char*, double> zooms[] = {
      {"50%", 0.5},  {"75%", 0.75}, {"100%", 1.0},       {"125%", 1.25},
      {"150%", 1.5}, {"200%", 2.0}, {"頁寬", kFitWidth}, {"整頁", kFitPage}};
  for (const auto& [text, factor] : zooms)
    ui_->cboZoom->addItem(QString::fromUtf8(text), factor);
  ui_->cboZoom->setCurrentIndex(2);

  ui_->spinPage->setRange(1, std::max(PageCount(), 1));
  ui_->lblPageCount->setText(QStringLiteral("/ %1").arg(PageCount()));

  connect(ui_->btnFirst, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(ui_->btnPrevious, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() - 1); });
  connect(ui_->btnNext, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() + 1); });
  connect(ui_->btnLast, &QPushButton::clicked, this, [this] { ShowPage(PageCount() - 1); });
  connect(ui_->spinPage, &QSpinBox::valueChanged, this, [this](int page) { ShowPage(page - 1); });
  connect(ui_->cboZoom, &QComboBox::currentIndexChanged, this, &PreviewWindow::ApplyZoomChoice);
  connect(ui_->btnPrint, &QPushButton::clicked, this, &PreviewWindow::Print);
  connect(ui_->btnSavePdf, &QPushButton::clicked, this, &PreviewWindow::SaveAsPdf);
  connect(ui_->btnClose, &QPushButton::clicked, this, &QWidget::close);

  // Navigation keys work wherever the focus is, even in the scroll area or the page box.
  for (QWidget* child : findChildren<QWidget*>())
    child->installEventFilter(this);
  ShowPage(0);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::Exec() {
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  // An own loop instead of QDialog::exec: the first activation hides and shows the window, which
  // would end a dialog's loop.
  QEventLoop loop;
  loop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  loop_ = nullptr;
}

int PreviewWindow::CurrentPage() const {
  return view_->Page();
}

double PreviewWindow::Zoom() const {
  return view_->Zoom();
}

void PreviewWindow::ShowPage(int index) {
  if (PageCount() == 0) return;
  index = std::clamp(index, 0, PageCount() - 1);
  view_->SetPage(index);
  if (ui_->spinPage->value() != index + 1) {
    const QSignalBlocker blocker(ui_->spinPage);
    ui_->spinPage->setValue(index + 1);
  }
  ui_->btnFirst->setEnabled(index > 0);
  ui_->btnPrevious->setEnabled(index > 0);
  ui_->btnNext->setEnabled(index < PageCount() - 1);
  ui_->btnLast->setEnabled(index < PageCount() - 1);
  ui_->scrollArea->verticalScrollBar()->setValue(0);
  UpdateStatus();
}

void PreviewWindow::SetZoom(double zoom) {
  view_->SetZoom(std::clamp(zoom, 0.1, 8.0));
  UpdateStatus();
}

void PreviewWindow::ApplyZoomChoice(int index) {
  const double choice = ui_->cboZoom->itemData(index).toDouble();
  const QSizeF paper = view_->PaperPixels();
  if (paper.isEmpty()) return;
  const QSize room = ui_->scrollArea->viewport()->size() - QSize(4, 4);
  if (choice == kFitWidth) {
    SetZoom(room.width() / paper.width());
  } else if (choice == kFitPage) {
    SetZoom(std::min(room.width() / paper.width(), room.height() / paper.height()));
  } else {
    SetZoom(choice);
  }
}

void PreviewWindow::UpdateStatus() {
  ui_->lblStatus->setText(QStringLiteral("第 %1 頁，共 %2 頁　縮放 %3%")
                              .arg(PageCount() == 0 ? 0 : CurrentPage() + 1)
                              .arg(PageCount())
                              .arg(qRound(Zoom() * 100)));
}

void PreviewWindow::Print() {
  try {
    PrintModel(model_, true, this, printDialog_);
  } catch (const Error& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("列印錯誤"));
  }
}

void PreviewWindow::SaveAsPdf() {
  const QString path = saveDialog_(this, model_.title + QStringLiteral(".pdf"));
  if (path.isEmpty()) return;
  try {
    WritePdf(model_, path);
  } catch (const Error& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("另存PDF錯誤"));
  }
}

bool PreviewWindow::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
  if (key == Qt::Key_P && modifiers.testFlag(Qt::ControlModifier)) {
    Print();
    return true;
  }
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
  switch (key) {
    case Qt::Key_PageUp:
      ShowPage(CurrentPage() - 1);
      return true;
    case Qt::Key_PageDown:
      ShowPage(CurrentPage() + 1);
      return true;
    case Qt::Key_Home:
      ShowPage(0);
      return true;
    case Qt::Key_End:
      ShowPage(PageCount() - 1);
      return true;
    case Qt::Key_Escape:
      close();
      return true;
    default:
      return false;
  }
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleKey(key->key(), key->modifiers())) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool PreviewWindow::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleKey(key->key(), key->modifiers())) return true;
  }
  if (event->type() == QEvent::WindowActivate) {
    if (!promoted_) {
      promoted_ = true;
      // Changing the window flags recreates the native window: not inside its own activation.
      QMetaObject::invokeMethod(this, &PreviewWindow::PromoteToTopLevel, Qt::QueuedConnection);
    }
    if (report_) report_->ActiveReport_Activate();
  }
  return QWidget::event(event);
}

void PreviewWindow::PromoteToTopLevel() {
  // The counterpart of giving the preview its own task-bar button: an ordinary top-level window
  // (not a dialog or tool window owned by the main window), hidden and shown again so that the
  // window manager picks the new type up.
  ++promotions_;
  const bool wasVisible = isVisible();
  setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
  if (wasVisible) show();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (loop_ != nullptr) loop_->quit();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (ui_->cboZoom->currentData().toDouble() < 0) ApplyZoomChoice(ui_->cboZoom->currentIndex());
}

}  // namespace tarvel
