// The per-user lock that lets only one copy of the program run at a time.
#pragma once

#include <QString>
#include <memory>

namespace tarvel {

/// An exclusive advisory lock (flock) on a lock file, held until the object is destroyed (or the
/// process ends, when the system drops it even after a crash, so a stale file never blocks).
class InstanceLock {
 public:
  /// Takes the lock on `path` (created with mode 0600 when missing; a symbolic link is refused).
  /// nullptr when another open file holds it. A lock file that cannot be opened at all cannot
  /// tell us anything either, so then a lock that guards nothing is returned: refusing to start
  /// because of an unwritable runtime folder would be worse than a possible second copy.
  static std::unique_ptr<InstanceLock> TryAcquire(const QString& path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  /// Whether a lock file is really held (false for the guard-nothing lock described above).
  bool Holds() const { return fd_ >= 0; }

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

/// The lock file of `program` for the current user: in $XDG_RUNTIME_DIR (private to the user)
/// when set, else in the temporary folder with the user id in its name.
QString DefaultInstanceLockPath(const QString& program);

}  // namespace tarvel
