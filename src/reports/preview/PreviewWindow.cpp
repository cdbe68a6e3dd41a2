#include "reports/preview/PreviewWindow.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <limits>

#include "platform/Error.h"
#include "platform/UserInterface.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/Report.h"
#include "reports/engine/ReportRun.h"
#include "reports/preview/PageView.h"
#include "ui_PreviewWindow.h"

namespace tarvel {

namespace {

constexpr double kFitWidth = -1;
constexpr double kFitPage = -2;

/// How long after the window appears its state is looked at once more: a window manager answers
/// the state asked for within a few milliseconds.
constexpr int kSettleMs = 500;

/// Rows laid out between two looks at the clock (or at page 1 being there).
constexpr int kRowsPerStep = 16;
/// "The last page", as asked for before it is known; and the highest page number that can be
/// typed while pages are still laid out.
constexpr int kLastPage = std::numeric_limits<int>::max();
constexpr int kMaxPageNumber = 9999999;

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
    : QWidget(parent, Qt::Window),
      ui_(std::make_unique<Ui::PreviewWindow>()),
      report_(std::move(report)),
      pages_(std::make_unique<PageModel>(std::move(model))),
      saveDialog_(DefaultSaveFile) {
  SetUp();
}

PreviewWindow::PreviewWindow(std::unique_ptr<Report> report, QWidget* parent,
                             std::optional<PaperTwips> paper)
    : QWidget(parent, Qt::Window),
      ui_(std::make_unique<Ui::PreviewWindow>()),
      report_(std::move(report)),
      saveDialog_(DefaultSaveFile) {
  auto store = std::make_unique<PageStore>();
  store_ = store.get();
  pages_ = std::move(store);
  run_ = std::make_unique<ReportRun>(*report_, *store_, paper);
  // The window opens with its first page; a few rows at a time, so it opens as soon as it can.
  while (store_->PageCount() == 0 && run_->Step(kRowsPerStep)) {
  }
  if (run_->Done()) run_.reset();
  SetUp();
  if (run_) {
    connect(&layout_, &QTimer::timeout, this, &PreviewWindow::LayOutSlice);
    layout_.start(0);
  }
}

void PreviewWindow::SetUp() {
  ui_->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose, false);
  const QString& title = pages_->Frame().title;
  if (!title.isEmpty()) setWindowTitle(QStringLiteral("預覽列印 - %1").arg(title));

  view_ = new PageView;
  view_->SetPages(pages_.get());
  ui_->scrollArea->setWidget(view_);
  ui_->scrollArea->setBackgroundRole(QPalette::Dark);

  const std::pair<const char*, double> zooms[] = {
      {"50%", 0.5},  {"75%", 0.75}, {"100%", 1.0},       {"125%", 1.25},
      {"150%", 1.5}, {"200%", 2.0}, {"頁寬", kFitWidth}, {"整頁", kFitPage}};
  for (const auto& [text, factor] : zooms)
    ui_->cboZoom->addItem(QString::fromUtf8(text), factor);
  ui_->cboZoom->setCurrentIndex(std::max(ui_->cboZoom->findData(RememberedZoom()), 0));

  connect(ui_->btnFirst, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(ui_->btnPrevious, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() - 1); });
  connect(ui_->btnNext, &QPushButton::clicked, this, [this] { ShowPage(CurrentPage() + 1); });
  connect(ui_->btnLast, &QPushButton::clicked, this, [this] { ShowPage(kLastPage); });
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
  PlaceMaximised();
  show();
  raise();
  activateWindow();
  QEventLoop loop;
  loop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  loop_ = nullptr;
}

void PreviewWindow::PlaceMaximised() {
  // A page of a report needs all the room there is, on the screen the clerk works on.
  QScreen* screen = parentWidget() != nullptr ? parentWidget()->window()->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    setScreen(screen);
    // The size it returns to when the clerk restores it, and the one it would have under a
    // window manager that maps it unmaximised after all: most of the screen, in its middle, with
    // room for the title bar.
    const QRect room = screen->availableGeometry();
    QRect normal(QPoint(),
                 (room.size() * 0.85).expandedTo(minimumSizeHint()).boundedTo(room.size()));
    normal.moveCenter(room.center());
    setGeometry(normal);
  }
  // Before the window first exists on the screen: it is mapped maximised (the window manager
  // reads the state from the window as it appears), so its first frame is the maximised one.
  setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) |
                 Qt::WindowMaximized);
  // Looked at again once it is on the screen: a window manager may map it otherwise, or take
  // the state back a moment later.
  create();
  windowHandle()->installEventFilter(this);
  mapped_ = false;
}

void PreviewWindow::EnsureMaximised() {
  if (!isVisible() || isMaximized() || isMinimized()) return;
  ++remaximised_;
  setWindowState((windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
}

int PreviewWindow::CurrentPage() const {
  return view_->Page();
}

int PreviewWindow::PageCount() const {
  return pages_->PageCount();
}

double PreviewWindow::Zoom() const {
  return view_->Zoom();
}

void PreviewWindow::LayOutSlice() {
  if (!run_) return;
  // Long enough to lay out a few pages, short enough that the window answers at once.
  constexpr qint64 kSliceMs = 30;
  QElapsedTimer slice;
  slice.start();
  try {
    while (run_->Step(kRowsPerStep) && slice.elapsed() < kSliceMs) {
    }
  } catch (const std::exception& error) {
    layoutStopped_ = true;
    EndLayout();
    const auto* own = dynamic_cast<const Error*>(&error);
    ShowMessage(own ? own->Description() : QString::fromUtf8(error.what()), kCritical,
                QStringLiteral("預覽錯誤"));
    return;
  }
  if (run_->Done()) EndLayout();
  if (waitingFor_ >= 0 && (waitingFor_ < PageCount() || !run_)) {
    ShowPage(std::exchange(waitingFor_, -1));
    return;
  }
  UpdateNavigation();
}

void PreviewWindow::EndLayout() {
  layout_.stop();
  run_.reset();
  if (waitingFor_ >= 0) ShowPage(std::exchange(waitingFor_, -1));
  UpdateNavigation();
}

void PreviewWindow::FinishLayout() {
  if (!run_) return;
  BusyPointer busy;
  Ui().ProcessEvents();
  try {
    run_->Finish();
  } catch (...) {
    layoutStopped_ = true;
    EndLayout();
    throw;
  }
  EndLayout();
}

void PreviewWindow::ShowPage(int index) {
  if (run_ && index >= PageCount()) {
    // Shown when it is laid out: the slices go on meanwhile, and the window still answers.
    waitingFor_ = index;
    UpdateNavigation();
    return;
  }
  waitingFor_ = -1;
  if (PageCount() == 0) return;
  index = std::clamp(index, 0, PageCount() - 1);
  view_->SetPage(index);
  ui_->scrollArea->verticalScrollBar()->setValue(0);
  UpdateNavigation();
}

void PreviewWindow::UpdateNavigation() {
  const int index = CurrentPage();
  const int count = PageCount();
  // While pages are laid out any page number can be asked for: it is shown when it is there.
  const int highest = run_ ? kMaxPageNumber : std::max(count, 1);
  if (ui_->spinPage->maximum() != highest || ui_->spinPage->value() != index + 1) {
    const QSignalBlocker blocker(ui_->spinPage);
    ui_->spinPage->setRange(1, highest);
    ui_->spinPage->setValue(index + 1);
  }
  ui_->lblPageCount->setText(run_ ? QStringLiteral("/ ?") : QStringLiteral("/ %1").arg(count));
  ui_->btnFirst->setEnabled(index > 0);
  ui_->btnPrevious->setEnabled(index > 0);
  ui_->btnNext->setEnabled(run_ || index < count - 1);
  ui_->btnLast->setEnabled(run_ || index < count - 1);
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
    hits_ = FindInPages(*pages_, needle);
    searched_ = needle;
    searchedPages_ = PageCount();
    hit_ = -1;
  } else if (searchedPages_ < PageCount()) {
    // Pages laid out since the last search are searched as well; the hits so far stay.
    const std::vector<PageHit> more = FindInPages(*pages_, needle, searchedPages_);
    hits_.insert(hits_.end(), more.begin(), more.end());
    searchedPages_ = PageCount();
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
  const int shown = PageCount() == 0 ? 0 : CurrentPage() + 1;
  const QString zoom = QStringLiteral("縮放 %1%").arg(qRound(Zoom() * 100));
  QString status;
  if (run_) {
    status = QStringLiteral("第 %1 頁，共 ? 頁　已排版 %2 頁").arg(shown).arg(PageCount());
    if (waitingFor_ >= 0)
      status += waitingFor_ >= kLastPage ? QStringLiteral("，等候最後一頁")
                                         : QStringLiteral("，等候第 %1 頁").arg(waitingFor_ + 1);
  } else {
    status = QStringLiteral("第 %1 頁，共 %2 頁").arg(shown).arg(PageCount());
    if (layoutStopped_) status += QStringLiteral("（排版未完成）");
  }
  ui_->lblStatus->setText(status + QStringLiteral("　") + zoom);
}

void PreviewWindow::Print() {
  try {
    // What is printed is the whole report: the pages still to come first.
    FinishLayout();
    PrintModel(*pages_, true, this, printDialog_);
  } catch (const Error& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("列印錯誤"));
  }
}

void PreviewWindow::SaveAsPdf() {
  const QString path = saveDialog_(this, pages_->Frame().title + QStringLiteral(".pdf"));
  if (path.isEmpty()) return;
  try {
    FinishLayout();
    WritePdf(*pages_, path);
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
      ShowPage(kLastPage);
      return true;
    case Qt::Key_Escape:
      close();
      return true;
    default:
      return false;
  }
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && !mapped_ &&
      windowHandle()->isExposed()) {
    // On the screen at last: maximised as it should be, and once more when the window manager
    // has had its say.
    mapped_ = true;
    QMetaObject::invokeMethod(this, &PreviewWindow::EnsureMaximised, Qt::QueuedConnection);
    QTimer::singleShot(kSettleMs, this, &PreviewWindow::EnsureMaximised);
  }
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
  if (event->type() == QEvent::WindowActivate && report_) report_->ActiveReport_Activate();
  return QWidget::event(event);
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (store_ != nullptr) {
    // Closing cancels the layout, and the pages go with their temporary file; the window keeps
    // only their frame.
    const bool cancelled = run_ != nullptr;
    layout_.stop();
    run_.reset();
    waitingFor_ = -1;
    auto frame = std::make_unique<PageModel>();
    static_cast<PageFrame&>(*frame) = store_->Frame();
    view_->SetPages(frame.get());
    pages_ = std::move(frame);
    store_ = nullptr;
    layoutStopped_ = layoutStopped_ || cancelled;
    hits_.clear();
    searched_.clear();
    UpdateNavigation();
  }
  if (loop_ != nullptr) loop_->quit();
}

}  // namespace tarvel
