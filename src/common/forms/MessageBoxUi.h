// The desktop's way of talking to the user: real message boxes and the hourglass pointer.
#pragma once

#include "platform/UserInterface.h"

namespace tarvel {

/// Shows each message in a modal QMessageBox over the active window, with the icon of its style
/// (16 critical, 48 exclamation, 64 information; any other style no icon) and Qt's own OK button,
/// which speaks the user's language once Qt's translations are loaded. The hourglass is the
/// application's override cursor, nested: every SetBusy(true) is undone by one SetBusy(false).
class MessageBoxUi final : public UserInterface {
 public:
  void ShowMessage(const QString& text, int style, const QString& title) override;
  void SetBusy(bool busy) override;
  void ProcessEvents() override;
};

}  // namespace tarvel
