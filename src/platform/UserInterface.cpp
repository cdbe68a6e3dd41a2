#include "platform/UserInterface.h"

#include <cstdio>

namespace tarvel {
namespace {

class ConsoleUi final : public UserInterface {
 public:
  void ShowMessage(const QString& text, int style, const QString& title) override {
    std::fprintf(stderr, "[%s] %s (%d)\n", qUtf8Printable(title), qUtf8Printable(text), style);
  }
  void SetBusy(bool) override {}
};

ConsoleUi& Console() {
  static ConsoleUi console;
  return console;
}

UserInterface*& Installed() {
  static UserInterface* installed = nullptr;
  return installed;
}

}  // namespace

UserInterface& Ui() {
  UserInterface* ui = Installed();
  return ui ? *ui : Console();
}

void SetUi(UserInterface* ui) {
  Installed() = ui;
}

}  // namespace tarvel
