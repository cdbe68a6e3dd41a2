// A start-up probe for support staff checking a workstation: the start-up preparation run as the
// program would with a given command line and program folder, on a machine that answers with the
// login, host and home the support user chooses, and the resulting context described as JSON.
#pragma once

#include <QString>
#include <optional>

namespace tarvel {

/// What the probe's machine answers instead of its own.
struct ProbeSetup {
  QString programFolder;           ///< the folder with KORV.DSN, as an absolute clean path
  std::optional<QString> host;     ///< the computer's name
  std::optional<QString> user;     ///< the login name
  std::optional<QString> profile;  ///< the user's home (USERPROFILE); empty: none
};

struct ProbeResult {
  /// The context as a JSON object (passwords masked), the messages the start showed, how it
  /// ended, whether the main window would have opened and whether the menu is alive.
  QString json;
  /// The context could not be loaded: the start stopped after its message, `failure` (title and
  /// text of the last message shown).
  bool contextFailed = false;
  QString failure;
};

/// Runs the start-up (the DSN file in the program folder, the marker file, the connection string,
/// the context) with `commandLine` on the machine `setup` describes, showing no window.
ProbeResult ProbeStartup(const ProbeSetup& setup, const QString& commandLine);

}  // namespace tarvel
