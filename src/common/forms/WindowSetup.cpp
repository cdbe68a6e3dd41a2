#include "common/forms/WindowSetup.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>

#include "common/forms/ScreenTwips.h"

namespace tarvel {
namespace {

bool KeepsContents(const QWidget* control) {
  return control->property(kTagProperty).toString() == QLatin1String(kKeepTag);
}

/// Whether `edit` is the editor part of a spin box, date box or combo box.
bool IsPartOfControl(const QLineEdit* edit) {
  const QWidget* parent = edit->parentWidget();
  return qobject_cast<const QAbstractSpinBox*>(parent) != nullptr ||
         qobject_cast<const QComboBox*>(parent) != nullptr;
}

}  // namespace

void PrepareControls(QWidget* window) {
  if (window == nullptr) return;
  // findChildren walks depth first, each parent's children in the order they were created.
  const QList<QWidget*> controls = window->findChildren<QWidget*>();
  for (QWidget* control : controls) {
    if (control->window() != window || KeepsContents(control)) continue;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      if (!IsPartOfControl(edit)) edit->clear();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
      plain->clear();
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
      rich->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      combo->clear();
    }
  }
}

void CenterWindow(QWidget* window) {
  if (window == nullptr) return;
  QScreen* screen = window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  const QRect whole = screen->geometry();
  const QSize size = window->frameGeometry().size();
  const int taskBar = TwipsToPixels(kTaskBarTwips, screen);
  const int left = available.x() + (available.width() - size.width()) / 2;
  const int top = whole.y() + (whole.height() - size.height() - taskBar) / 2;
  window->move(std::max(left, available.x()), std::max(top, available.y()));
}

}  // namespace tarvel
