// The desktop's way of talking to the user: real message boxes and the hourglass pointer.
#pragma once

#include <QString>

#include "platform/UserInterface.h"

namespace tarvel {

/// Shows each message in a modal QMessageBox over the active window, with the icon of its style
/// (16 critical, 48 exclamation, 64 information; any other style no icon) and Qt's own OK button,
/// which speaks the user's language once Qt's translations are loaded. A text too long for a box
/// (a path from a damaged DSN file can run to megabytes, and laying it out would take minutes) is
/// shown as ElideMessageText makes it, and written whole to standard error. Once a signal is
/// ending the program (TerminationRequested) no box waits for a user: the message goes to
/// standard error only. The hourglass is the application's override cursor, nested: every
/// SetBusy(true) is undone by one SetBusy(false).
class MessageBoxUi final : public UserInterface {
 public:
  void ShowMessage(const QString& text, int style, const QString& title) override;
  void SetBusy(bool busy) override;
  void ProcessEvents() override;
};

/// `text` cut down for a message box, in the middle, where a path keeps least of what tells it
/// apart: a line longer than 160 characters keeps its first and last 79 with "…" between them,
/// and of more than 30 lines the first and last 14 stay with a line "…" between them. A text
/// within those limits is returned as it is.
QString ElideMessageText(const QString& text);

}  // namespace tarvel
