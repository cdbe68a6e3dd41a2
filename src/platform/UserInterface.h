// The seam through which every layer talks to the user: message boxes, the hourglass, event yield.
//
// The program's routines show their messages through ShowMessage(text, style, title) exactly as
// the suite does (style 16 critical, 48 exclamation, 64 information). The desktop program installs
// a QMessageBox-backed implementation; the command-line tool prints to standard error; tests
// install a recorder and read what would have been shown.
#pragma once

#include <QString>

namespace tarvel {

/// Message box styles used by the program.
enum MessageStyle : int {
  kCritical = 16,
  kExclamation = 48,
  kInformation = 64,
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  /// Shows a modal message box and returns when the user has closed it.
  virtual void ShowMessage(const QString& text, int style, const QString& title) = 0;
  /// Turns the hourglass pointer on (true) or back to the default pointer (false).
  virtual void SetBusy(bool busy) = 0;
  /// Lets pending window messages run once (DoEvents).
  virtual void ProcessEvents() {}
};

/// The installed implementation (a standard-error printer until something else is installed).
UserInterface& Ui();

/// Installs `ui` (not owned; must outlive its use). nullptr restores the standard-error printer.
void SetUi(UserInterface* ui);

/// Shorthand for Ui().ShowMessage.
inline void ShowMessage(const QString& text, int style, const QString& title) {
  Ui().ShowMessage(text, style, title);
}

/// Hourglass for the lifetime of the object; the default pointer comes back on every path.
class BusyPointer {
 public:
  BusyPointer() { Ui().SetBusy(true); }
  ~BusyPointer() { Ui().SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace tarvel
