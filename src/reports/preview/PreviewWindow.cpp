#include "reports/preview/PreviewWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

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

/// The zoom chosen last in any preview: the next one opens with it. A landscape page at 100 %
/// runs past the right edge of most screens, so the first one fits the width.
double& RememberedZoom() {
  static double zoom = kFitWidth;
  return zoom;
}

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
  ui_->cboZoom->setCurrentIndex(std::max(ui_->cboZoom->findData(RememberedZoom()), 0));

  ui_->spinPage->setRange(1, std::max(PageCount(), 1));
  ui_->lblPageCount->setText(QStringLiteral("/ %1").arg(PageCount()));

  connect(ui_->btnFirst, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(ui_->btnPrevious, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() - 1); });
  connect(ui_->btnNext, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() + 1); });
  connect(ui_->btnLast, &QPushButton::clicked, this, [this] { ShowPage(PageCount() - 1); });
  connect(ui_->spinPage, &QSpinBox::valueChanged, this, [this](int page) { ShowPage(page - 1); });
  connect(ui_->cboZoom, &QComboBox::currentIndexChanged, this, [this](int index) {
    RememberedZoom() = ui_->cboZoom->itemData(index).toDouble();
    ApplyZoomChoice(index);
  });
  connect(ui_->txtFind, &QLineEdit::returnPressed, this, &PreviewWindow::FindNext);
  connect(ui_->btnFindNext, &QPushButton::clicked, this, &PreviewWindow::FindNext);
  connect(ui_->btnFindPrevious, &QPushButton::clicked, this, &PreviewWindow::FindPrevious);
  connect(ui_->btnPrint, &QPushButton::clicked, this, &PreviewWindow::Print);
  connect(ui_->btnSavePdf, &QPushButton::clicked, this, &PreviewWindow::SaveAsPdf);
  connect(ui_->btnClose, &QPushButton::clicked, this, &QWidget::close);

  // Navigation keys work wherever the focus is, even in the scroll area or the page box.
  for (QWidget* child : findChildren<QWidget*>())
    child->installEventFilter(this);
  ShowPage(0);
  ApplyZoomChoice(ui_->cboZoom->currentIndex());
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::Exec() {
  setWindowModality(Qt::ApplicationModal);
  // A page of a report needs all the room there is, on the screen the clerk works on.
  QScreen* screen = parentWidget() != nullptr ? parentWidget()->window()->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    setScreen(screen);
    move(screen->availableGeometry().topLeft());
  }
  showMaximized();
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

QString PreviewWindow::ZoomChoice() const {
  return ui_->cboZoom->currentText();
}

bool PreviewWindow::FindNext() {
  return Find(true);
}

bool PreviewWindow::FindPrevious() {
  return Find(false);
}

bool PreviewWindow::Find(bool forward) {
  const QString needle = ui_->txtFind->text().trimmed();
  if (needle != searched_) {
    hits_ = FindInPages(model_, needle);
    searched_ = needle;
    hit_ = -1;
  }
  const int count = static_cast<int>(hits_.size());
  if (count == 0) {
    view_->SetHighlight(std::nullopt);
    ui_->lblFindResult->setText(needle.isEmpty() ? QString()
                                                 : QStringLiteral("找不到「%1」").arg(needle));
    return false;
  }
  const int page = CurrentPage();
  if (hit_ >= 0 && hits_[static_cast<std::size_t>(hit_)].page == page) {
    hit_ = (hit_ + (forward ? 1 : count - 1)) % count;
  } else if (forward) {
    // The first on or after the page shown; past the last page, the first of all.
    const auto next = std::find_if(hits_.begin(), hits_.end(),
                                   [page](const PageHit& hit) { return hit.page >= page; });
    hit_ = next == hits_.end() ? 0 : static_cast<int>(next - hits_.begin());
  } else {
    const auto previous = std::find_if(hits_.rbegin(), hits_.rend(),
                                       [page](const PageHit& hit) { return hit.page <= page; });
    hit_ = previous == hits_.rend() ? count - 1 : static_cast<int>(hits_.rend() - previous) - 1;
  }
  const PageHit& hit = hits_[static_cast<std::size_t>(hit_)];
  ShowPage(hit.page);
  view_->SetHighlight(hit);
  const QRect mark = view_->HighlightRect();
  ui_->scrollArea->ensureVisible(mark.center().x(), mark.center().y(), mark.width() / 2 + 48,
                                 mark.height() / 2 + 48);
  ui_->lblFindResult->setText(
      QStringLiteral("「%1」第 %2 筆，共 %3 筆").arg(needle).arg(hit_ + 1).arg(count));
  return true;
}

void PreviewWindow::ApplyZoomChoice(int index) {
  const double choice = ui_->cboZoom->itemData(index).toDouble();
  const QSizeF paper = view_->PaperPixels();
  if (paper.isEmpty()) return;
  // Measured inside the scroll area's frame, with room kept for the vertical scroll bar: a
  // width that made the bar come and go would change the width again.
  const QSize inside = ui_->scrollArea->contentsRect().size() - QSize(4, 4);
  const int bar = ui_->scrollArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                        ui_->scrollArea->verticalScrollBar());
  if (choice == kFitWidth) {
    SetZoom((inside.width() - bar) / paper.width());
  } else if (choice == kFitPage) {
    SetZoom(std::min(inside.width() / paper.width(), inside.height() / paper.height()));
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

bool PreviewWindow::HandleKey(QObject* target, int key, Qt::KeyboardModifiers modifiers) {
  if (key == Qt::Key_P && modifiers.testFlag(Qt::ControlModifier)) {
    Print();
    return true;
  }
  if (key == Qt::Key_F && modifiers.testFlag(Qt::ControlModifier)) {
    ui_->txtFind->setFocus(Qt::ShortcutFocusReason);
    ui_->txtFind->selectAll();
    return true;
  }
  if (key == Qt::Key_F3 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
    Find(!modifiers.testFlag(Qt::ShiftModifier));
    return true;
  }
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
  // In the find box Home and End move in its text.
  if (target == ui_->txtFind && (key == Qt::Key_Home || key == Qt::Key_End)) return false;
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
  // The scroll area is laid out after the window has heard of its own new size.
  if (watched == ui_->scrollArea && event->type() == QEvent::Resize &&
      ui_->cboZoom->currentData().toDouble() < 0)
    ApplyZoomChoice(ui_->cboZoom->currentIndex());
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleKey(watched, key->key(), key->modifiers())) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool PreviewWindow::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleKey(this, key->key(), key->modifiers())) return true;
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
  const Qt::WindowStates state = windowState();
  setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
  setWindowState(state);
  if (wasVisible) show();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (loop_ != nullptr) loop_->quit();
}

}  // namespace tarvel
