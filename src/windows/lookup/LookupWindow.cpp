#include "windows/lookup/LookupWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <optional>

#include "common/forms/ScreenTwips.h"
#include "common/forms/WindowSetup.h"
#include "db/Connection.h"
#include "platform/Error.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"
#include "ui_LookupWindow.h"
#include "windows/lookup/GridWheel.h"
#include "windows/lookup/LookupRowsModel.h"

namespace tarvel {
namespace {

QString ObjectNameOf(LookupKind kind) {
  switch (kind) {
    case LookupKind::Customer:
      return QStringLiteral("frm客戶輔助視窗");
    case LookupKind::Employee:
      return QStringLiteral("frm業務員輔助視窗");
    case LookupKind::Vendor:
      return QStringLiteral("frm廠商輔助畫面");
  }
  return QString();
}

QString CaptionOf(LookupKind kind) {
  return ObjectNameOf(kind).mid(3);
}

/// A colour number of the suite (red + 256 × green + 65536 × blue); none for a text that is no
/// such number, so a context loaded without colours leaves the style's own.
std::optional<QColor> ColourOf(const QString& text) {
  bool ok = false;
  const long value = text.trimmed().toLong(&ok);
  if (!ok || value < 0 || value > 0xFFFFFF) return std::nullopt;
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

/// The window takes no input while it lives, and takes it again however the scope is left.
class InputPause {
 public:
  explicit InputPause(QWidget* window) : window_(window) { window_->setEnabled(false); }
  ~InputPause() { window_->setEnabled(true); }
  InputPause(const InputPause&) = delete;
  InputPause& operator=(const InputPause&) = delete;

 private:
  QWidget* window_;
};

bool IsEnterKey(const QKeyEvent* key) {
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  const Qt::KeyboardModifiers held =
      key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  return enter && held == Qt::NoModifier;
}

}  // namespace

LookupWindow::LookupWindow(LookupKind kind, const AppContext& context, LookupValues& values,
                           QWidget* caller)
    : QDialog(caller),
      ui_(std::make_unique<Ui::LookupWindow>()),
      kind_(kind),
      context_(context),
      values_(values),
      model_(new LookupRowsModel(this)) {
  ui_->setupUi(this);
  setObjectName(ObjectNameOf(kind));
  setWindowTitle(CaptionOf(kind));

  QTableView* grid = ui_->MSHFlexGrid1;
  grid->setModel(model_);
  // The heading is no row to choose: pressing it neither selects nor sorts.
  grid->horizontalHeader()->setSectionsClickable(false);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(
      std::max(TwipsToPixels(240, screen()), grid->fontMetrics().height() + 4));
  grid->installEventFilter(this);
  grid->viewport()->installEventFilter(this);
  InstallGridWheel(grid);
  connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &LookupWindow::KeepCurrentRowSelected);
  ApplyColours(context.LookupColours);

  int columnsWidth = 0;
  for (int twips : ColumnWidthsTwips(kind))
    columnsWidth += TwipsToPixels(twips, screen());
  const QMargins margins = layout()->contentsMargins();
  const int slack = 2;  // keeps the horizontal scroll bar away when the columns just fit
  resize(columnsWidth + 2 * grid->frameWidth() +
             style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) + margins.left() +
             margins.right() + slack,
         TwipsToPixels(kHeightTwips, screen()));

  PrepareControls(this);
  CenterWindow(this);
  PlaceBeside(caller);
  values_.ClearResult();
  grid->setFocus();
}

LookupWindow::~LookupWindow() = default;

QTableView* LookupWindow::Grid() const {
  return ui_->MSHFlexGrid1;
}

std::vector<int> LookupWindow::ColumnWidthsTwips(LookupKind kind) {
  switch (kind) {
    case LookupKind::Customer:
      return {1200, 1400, 0, 1200, 1800, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    case LookupKind::Employee:
      return {1500, 2500};
    case LookupKind::Vendor:
      return {1500, 2500, 0, 0, 0};
  }
  return {};
}

QString LookupWindow::FillErrorTitle(LookupKind kind) {
  switch (kind) {
    case LookupKind::Customer:
      return QStringLiteral("取得所有客戶資料錯誤");
    case LookupKind::Employee:
      return QStringLiteral("取得所有業務員資料錯誤");
    case LookupKind::Vendor:
      return QStringLiteral("依類別取得廠商資料錯誤");
  }
  return QString();
}

void LookupWindow::FillLookupGrid() {
  bool failed = false;
  QString description;
  {
    BusyPointer busy;
    Ui().ProcessEvents();
    try {
      ShowRows(QueryRows());
    } catch (const Error& error) {
      failed = true;
      description = error.Description();
    } catch (const std::exception& error) {
      failed = true;
      description = QString::fromLocal8Bit(error.what());
    }
  }
  // The pointer is back to normal before the message asks for a click.
  if (failed) ShowMessage(description, kCritical, FillErrorTitle(kind_));
}

db::Recordset LookupWindow::QueryRows() {
  const LookupStatements statements =
      LookupStatementsFor(kind_, values_.LookupSeed, values_.VendorKind);
  const std::unique_ptr<db::Connection> connection =
      db::Connection::Open(context_.ConnectionString);
  db::Recordset rows = connection->OpenRecordset(statements.search);
  // A seed that matches nothing is no mistake to report: the user gets the whole list instead.
  if (rows.RecordCount() == 0) rows = connection->OpenRecordset(statements.fallback);
  return rows;
}

void LookupWindow::ShowRows(db::Recordset rows) {
  QTableView* grid = ui_->MSHFlexGrid1;
  model_->SetRows(std::move(rows));
  const std::vector<int> widths = ColumnWidthsTwips(kind_);
  for (int column = 0; column < model_->columnCount(); ++column) {
    const int twips = column < static_cast<int>(widths.size()) ? widths[column] : 0;
    // Hidden columns still travel: a caller reads the salesperson or the address from them.
    grid->setColumnHidden(column, twips == 0);
    if (twips > 0) grid->setColumnWidth(column, TwipsToPixels(twips, screen()));
  }
  if (model_->rowCount() > 0) {
    const QModelIndex first = model_->index(0, 0);
    grid->selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollToTop();
  }
  Ui().ProcessEvents();
}

void LookupWindow::FirstActivation() {
  activated_ = true;
  {
    InputPause pause(this);
    FillLookupGrid();
  }
  // Disabling the window took the focus from the grid; keyboard users start there.
  ui_->MSHFlexGrid1->setFocus();
}

bool LookupWindow::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  if (event->type() == QEvent::WindowActivate && !activated_) FirstActivation();
  return handled;
}

bool LookupWindow::eventFilter(QObject* watched, QEvent* event) {
  QTableView* grid = ui_->MSHFlexGrid1;
  if (watched == grid && event->type() == QEvent::KeyPress &&
      IsEnterKey(static_cast<QKeyEvent*>(event))) {
    PickCurrentRow();
    return true;
  }
  if (watched == grid->viewport() && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    // The row under the pointer is the one the user means; elsewhere in the grid the right
    // button picks the current row, as the status line promises.
    const QModelIndex clicked =
        grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (clicked.isValid()) grid->setCurrentIndex(clicked);
    PickCurrentRow();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void LookupWindow::KeepCurrentRowSelected() {
  // A Ctrl+click can clear the selection of a single-selection view; the chosen row stays marked.
  QItemSelectionModel* selection = ui_->MSHFlexGrid1->selectionModel();
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && !selection->isRowSelected(current.row(), QModelIndex()))
    selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void LookupWindow::PickCurrentRow() {
  const QModelIndex current = ui_->MSHFlexGrid1->currentIndex();
  if (!current.isValid()) return;
  values_.ClearResult();
  const int columns = std::min(model_->columnCount(), kLookupResultSize);
  for (int column = 0; column < columns; ++column)
    values_.LookupResult[static_cast<size_t>(column)] = model_->Text(current.row(), column);
  accept();
}

void LookupWindow::PlaceBeside(const QWidget* caller) {
  if (caller == nullptr) return;
  const QWidget* reference = caller->window();
  // The range dialog is small and itself opened from the main window: beside it the picker would
  // cover the boxes the user is filling in, so it goes where it goes for the main window.
  if (reference->objectName() == QStringView(kCustomerRangeDialog)) {
    const QWidget* below = reference->parentWidget();
    reference = below != nullptr ? below->window() : nullptr;
  }
  if (reference == nullptr) return;
  const QScreen* screen = reference->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;

  const QRect beside = reference->frameGeometry();
  const QSize own = frameGeometry().size();
  int left = 0;
  int top = 0;
  if (kind_ == LookupKind::Vendor) {
    left =
        beside.x() + beside.width() - own.width() - TwipsToPixels(kVendorRightMarginTwips, screen);
    top = beside.y() + TwipsToPixels(kVendorTopTwips, screen);
  } else {
    left = beside.x() + TwipsToPixels(kBesideLeftTwips, screen) - own.width();
    top = beside.y() + TwipsToPixels(kBesideTopTwips, screen);
  }

  // Off the screen on an axis, the window is centred on that axis of the reference's screen, the
  // way CenterWindow centres it.
  const QRect available = screen->availableGeometry();
  const QRect whole = screen->geometry();
  if (left < available.left() || left + own.width() - 1 > available.right())
    left = std::max(available.x() + (available.width() - own.width()) / 2, available.x());
  if (top < available.top() || top + own.height() - 1 > available.bottom()) {
    const int taskBar = TwipsToPixels(kTaskBarTwips, screen);
    top = std::max(whole.y() + (whole.height() - own.height() - taskBar) / 2, available.y());
  }
  move(left, top);
}

void LookupWindow::ApplyColours(const std::array<QString, 7>& colours) {
  std::array<std::optional<QColor>, 7> colour;
  for (size_t i = 0; i < colours.size(); ++i)
    colour[i] = ColourOf(colours[i]);
  const auto rule = [&colour](const char* property, size_t number) {
    const std::optional<QColor>& c = colour[number - 1];
    return c ? QStringLiteral("%1: %2; ").arg(QLatin1String(property), c->name()) : QString();
  };
  QString sheet = QStringLiteral("QTableView { ") + rule("gridline-color", 1) +
                  rule("background-color", 2) + rule("selection-background-color", 3) +
                  rule("selection-color", 4) + QStringLiteral("} ");
  if (colour[4] || colour[5] || colour[6]) {
    // A styled heading section is drawn entirely from the sheet, so it needs its own lines and
    // padding as well.
    sheet +=
        QStringLiteral("QHeaderView::section { ") + rule("background-color", 5) + rule("color", 6) +
        QStringLiteral("border: none; ") +
        (colour[6] ? QStringLiteral("border-right: 1px solid %1; border-bottom: 1px solid %1; ")
                         .arg(colour[6]->name())
                   : QString()) +
        QStringLiteral("padding: 2px 4px; }");
  }
  ui_->MSHFlexGrid1->setStyleSheet(sheet);
}

void OpenLookupWindow(LookupKind kind, const AppContext& context, LookupValues& values,
                      QWidget* caller) {
  LookupWindow window(kind, context, values, caller);
  window.exec();
}

void LookUpCode(LookupKind kind, const LookupOpener& open, LookupValues& values, QLineEdit* box,
                QLabel* name, QWidget* caller) {
  values.LookupSeed = box->text().trimmed();
  open(kind, values, caller);
  if (values.HasSelection()) {
    box->setText(values.LookupResult[0].trimmed());
    name->setText(values.LookupResult[1].trimmed());
  } else if (values.LookupResult[1].isEmpty()) {
    box->clear();
    name->clear();
  }
}

}  // namespace tarvel
