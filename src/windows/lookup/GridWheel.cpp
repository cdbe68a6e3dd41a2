#include "windows/lookup/GridWheel.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QWheelEvent>

namespace tarvel {
namespace {

constexpr int kNotch = 120;  // one detent of a standard wheel, in eighths of a degree
constexpr int kLargestStep = 3;
constexpr char kFilterName[] = "GridWheelFilter";

class GridWheelFilter final : public QObject {
 public:
  explicit GridWheelFilter(QAbstractItemView* grid) : QObject(grid), grid_(grid) {
    setObjectName(kFilterName);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    // Turns with a key or button held were never the grid's; they scroll nothing.
    if (wheel->modifiers() == Qt::NoModifier && wheel->buttons() == Qt::NoButton)
      Turn(wheel->angleDelta().y());
    event->accept();
    return true;
  }

 private:
  // A touchpad or a fine-stepped wheel sends a notch in small parts: they add up, and each whole
  // notch moves the grid as a notch of a plain wheel does. A turn the other way starts afresh, so
  // a remainder never swallows the first part of the way back.
  void Turn(int delta) {
    if (delta == 0) return;
    if (pending_ != 0 && (delta > 0) != (pending_ > 0)) pending_ = 0;
    pending_ += delta;
    for (; pending_ >= kNotch; pending_ -= kNotch)
      Scroll(true);
    for (; pending_ <= -kNotch; pending_ += kNotch)
      Scroll(false);
  }

  void Scroll(bool awayFromUser) {
    if (grid_->model() == nullptr) return;
    QScrollBar* bar = grid_->verticalScrollBar();
    // Scrolling per item, the scroll bar's value is the 0-based index of the top data row.
    const int topRow = bar->value() + 1;
    const int rowCount = grid_->model()->rowCount() + 1;
    bar->setValue(TopRowAfterNotch(topRow, rowCount, awayFromUser) - 1);
  }

  QAbstractItemView* grid_;
  int pending_ = 0;  // eighths of a degree turned toward the next notch
};

}  // namespace

int TopRowAfterNotch(int topRow, int rowCount, bool awayFromUser) {
  for (int step = kLargestStep; step >= 1; --step) {
    const int moved = awayFromUser ? topRow - step : topRow + step;
    if (awayFromUser ? moved > 0 : moved < rowCount) return moved;
  }
  return topRow;
}

void InstallGridWheel(QAbstractItemView* grid) {
  if (grid == nullptr ||
      grid->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly) != nullptr)
    return;
  auto* filter = new GridWheelFilter(grid);
  grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  // The scroll bars and the heading were parts of the grid's one window on Windows, so the rule
  // holds over them as well: the grid itself sees what its heading leaves unhandled.
  grid->installEventFilter(filter);
  grid->viewport()->installEventFilter(filter);
  grid->verticalScrollBar()->installEventFilter(filter);
  grid->horizontalScrollBar()->installEventFilter(filter);
}

}  // namespace tarvel
