#include "common/forms/MessageBoxUi.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>

#include "platform/Termination.h"

namespace tarvel {
namespace {

constexpr qsizetype kMaxLineLength = 160;
constexpr qsizetype kMaxLines = 30;
const QString kEllipsis = QStringLiteral("…");

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

QString ElideLine(QStringView line) {
  if (line.size() <= kMaxLineLength) return line.toString();
  const qsizetype keep = (kMaxLineLength - 2) / 2;
  return line.left(keep).toString() + kEllipsis + line.right(keep).toString();
}

void WriteToStandardError(const QString& text, const QString& title) {
  std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(title), qUtf8Printable(text));
  std::fflush(stderr);
}

}  // namespace

QString ElideMessageText(const QString& text) {
  // Split without copying the lines: only the few that stay are made into texts.
  std::vector<QStringView> lines;
  for (const QStringView line : QStringView(text).tokenize(u'\n'))
    lines.push_back(line);
  const bool tooMany = static_cast<qsizetype>(lines.size()) > kMaxLines;
  QStringList kept;
  for (size_t i = 0; i < lines.size(); ++i) {
    const qsizetype half = (kMaxLines - 2) / 2;
    if (tooMany && static_cast<qsizetype>(i) == half) {
      kept << kEllipsis;
      i = lines.size() - static_cast<size_t>(half) - 1;
      continue;
    }
    kept << ElideLine(lines[i]);
  }
  return kept.join(u'\n');
}

void MessageBoxUi::ShowMessage(const QString& text, int style, const QString& title) {
  if (TerminationRequested()) {
    WriteToStandardError(text, title);
    return;
  }
  const QString shown = ElideMessageText(text);
  if (shown != text) WriteToStandardError(text, title);
  // A message shown while the hourglass is on must still get the arrow over its button.
  int pointers = 0;
  while (QApplication::overrideCursor()) {
    QApplication::restoreOverrideCursor();
    ++pointers;
  }
  QMessageBox box(IconOf(style), title, shown, QMessageBox::Ok, QApplication::activeWindow());
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
