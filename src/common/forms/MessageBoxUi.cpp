#include "common/forms/MessageBoxUi.h"

#include <QApplication>
#include <QMessageBox>

namespace tarvel {
namespace {

QMessageBox::Icon IconOf(int style) {
  switch (style) {
    case kCritical:
      return QMessageBox::Critical;
    case kExclamation:
      return QMessageBox::Warning;
    case kInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

void MessageBoxUi::ShowMessage(const QString& text, int style, const QString& title) {
  // A message shown while the hourglass is on must still get the arrow over its button.
  int pointers = 0;
  while (QApplication::overrideCursor()) {
    QApplication::restoreOverrideCursor();
    ++pointers;
  }
  QMessageBox box(IconOf(style), title, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
  for (int i = 0; i < pointers; ++i)
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MessageBoxUi::SetBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else if (QApplication::overrideCursor())
    QApplication::restoreOverrideCursor();
}

void MessageBoxUi::ProcessEvents() {
  // Repaints and timers only: a click queued while the program is busy must not start a second
  // request inside the first.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace tarvel
