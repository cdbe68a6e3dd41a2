#include "support/RecordingUi.h"

#include <ostream>

namespace tarvel::test {

RecordingUi::RecordingUi() {
  SetUi(this);
}
RecordingUi::~RecordingUi() {
  SetUi(nullptr);
}

void RecordingUi::ShowMessage(const QString& text, int style, const QString& title) {
  messages.push_back({text, style, title});
  if (onMessage) onMessage();
}

void RecordingUi::SetBusy(bool busy) {
  if (busy) {
    ++busyDepth;
    ++busyCalls;
  } else {
    --busyDepth;
  }
}

}  // namespace tarvel::test
