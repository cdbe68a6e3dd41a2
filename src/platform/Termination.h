// What happens when the session ends the program: SIGTERM at logout or shutdown, SIGHUP when its
// terminal goes away, SIGINT from Ctrl+C.
//
// Work in progress leaves things behind that the user never asked for: the hidden work folders
// of an export beside the target and a LibreOffice converter with its own children. Whoever makes
// one of them registers it here (TerminationCleanup) for as long as it exists, so a signal can
// remove it even when the code that made it never gets to run again.
#pragma once

#include <sys/types.h>

#include <QString>

namespace tarvel {

enum class TerminationStyle {
  /// The desktop program: the signal is noted (TerminationRequested), registered process groups
  /// are killed at once, and TerminationNotifierFd becomes readable, so the event loop closes
  /// the windows as the user would (the registry row goes) and long work stops at its next
  /// check. A second signal while the first is being handled ends the process as kExitAtOnce.
  kCloseNormally,
  /// Tools: registered process groups are killed, registered folders removed, and the process
  /// ends by the signal, as it would have without a handler.
  kExitAtOnce,
};

/// Installs the handlers of SIGTERM, SIGINT and SIGHUP for the whole process. Call once, early,
/// from the main thread.
void InstallTerminationHandlers(TerminationStyle style);

/// Whether one of those signals has arrived since the handlers were installed.
bool TerminationRequested();

/// A descriptor that becomes readable when a signal arrives (after kCloseNormally), for the
/// event loop to watch; -1 before InstallTerminationHandlers.
int TerminationNotifierFd();

/// A folder or process group removed or killed when a signal ends the process, for as long as
/// the object lives. The owner removes it on every ordinary path itself; destroying the object
/// only forgets it. A fixed number of them can be registered at once (the signal handler may not
/// allocate); past that, registering does nothing.
class TerminationCleanup {
 public:
  TerminationCleanup() = default;
  /// The folder `path` (absolute), with everything in it.
  static TerminationCleanup Folder(const QString& path);
  /// Every process of the process group `group`, killed with SIGKILL.
  static TerminationCleanup ProcessGroup(pid_t group);
  /// `call(data)`, made first when a signal ends a tool (kExitAtOnce): to cancel a statement a
  /// server runs for it. `call` must be safe in a signal handler (write, PQcancel,
  /// sqlite3_interrupt).
  static TerminationCleanup Call(void (*call)(void*) noexcept, void* data);

  ~TerminationCleanup();
  TerminationCleanup(TerminationCleanup&& other) noexcept;
  TerminationCleanup& operator=(TerminationCleanup&& other) noexcept;
  TerminationCleanup(const TerminationCleanup&) = delete;
  TerminationCleanup& operator=(const TerminationCleanup&) = delete;

 private:
  explicit TerminationCleanup(int slot) : slot_(slot) {}
  int slot_ = -1;
};

/// Removes the folder `path` and everything in it with the calls a signal handler may make, not
/// following symbolic links. Returns whether the folder is gone.
bool RemoveFolderTree(const char* path);

}  // namespace tarvel
