// A UserInterface that records every message box instead of showing it.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/UserInterface.h"

namespace tarvel::test {

struct ShownMessage {
  QString text;
  int style = 0;
  QString title;
  bool operator==(const ShownMessage&) const = default;
};

/// Installs itself for its lifetime; restores the previous interface afterwards.
class RecordingUi final : public UserInterface {
 public:
  RecordingUi();
  ~RecordingUi() override;
  void ShowMessage(const QString& text, int style, const QString& title) override;
  void SetBusy(bool busy) override;

  std::vector<ShownMessage> messages;
  /// Runs when a message is shown, while the window that shows it is still in its state.
  std::function<void()> onMessage;
  int busyDepth = 0;  ///< hourglass on minus off; 0 when every path restored the pointer
  int busyCalls = 0;  ///< how often the hourglass was turned on
};

}  // namespace tarvel::test
