#include "common/forms/FocusRules.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace tarvel {
namespace {

const char kSelectAllName[] = "tarvel_select_all_on_focus";
const char kEnterName[] = "tarvel_move_focus_on_enter";

bool Installed(const QObject* target, const char* name) {
  return target->findChild<QObject*>(QLatin1String(name), Qt::FindDirectChildrenOnly) != nullptr;
}

class SelectAllFilter : public QObject {
 public:
  explicit SelectAllFilter(QLineEdit* box) : QObject(box), box_(box) {
    setObjectName(QLatin1String(kSelectAllName));
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        QLineEdit* box = box_;  // the queued call is dropped when the box goes first
        QMetaObject::invokeMethod(
            box, [box] { SelectAllOnFocus(box); }, Qt::QueuedConnection);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QLineEdit* box_;
};

// QWidget keeps focusNextPrevChild to itself and its subclasses; naming it through one lets the
// filter move the focus exactly as the window's own Tab handling does (focus proxies, the tab
// order, wrapping at the end).
struct FocusChain : QWidget {
  using QWidget::focusNextPrevChild;
};

bool FocusNextChild(QWidget* window) {
  bool (QWidget::*next)(bool) = &FocusChain::focusNextPrevChild;
  return (window->*next)(true);
}

// Sits on the window: a key press reaches the window's filters only after the control it was
// meant for (and every widget between them) has left it unaccepted.
class EnterFilter : public QObject {
 public:
  explicit EnterFilter(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QLatin1String(kEnterName));
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
      const auto held = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
      if (enter && !(key->modifiers() & held)) {
        FocusNextChild(window_);
        event->accept();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* window_;
};

}  // namespace

void SelectAllOnFocus(QLineEdit* box) {
  if (box != nullptr) box->setSelection(0, static_cast<int>(box->text().size()));
}

void InstallSelectAllOnFocus(QLineEdit* box) {
  if (box == nullptr || Installed(box, kSelectAllName)) return;
  box->installEventFilter(new SelectAllFilter(box));
}

void MoveFocusOnEnter(QWidget* window) {
  if (window == nullptr || Installed(window, kEnterName)) return;
  window->installEventFilter(new EnterFilter(window));
}

}  // namespace tarvel
