// The per-user lock that lets only one copy of the program run at a time.
#pragma once

#include <QString>
#include <memory>
#include <utility>

namespace tarvel {

/// An exclusive advisory lock (flock) on a lock file, held until the object is destroyed (or the
/// process ends, when the system drops it even after a crash, so a stale file never blocks).
class InstanceLock {
 public:
  /// Takes the lock on `path` (created with mode 0600 when missing). nullptr when another open
  /// file holds it. A lock file that cannot be used cannot tell us anything, so then a lock that
  /// guards nothing is returned: refusing to start would be worse than a possible second copy,
  /// and whoever can plant a file there must not be able to keep the program from starting.
  /// When the file is not a plain file of this user's (another user's file, a symbolic link,
  /// which is never followed), that lock says why in Problem().
  static std::unique_ptr<InstanceLock> TryAcquire(const QString& path);
  /// A lock that guards nothing, saying why in Problem(): the lock's folder could not be trusted.
  static std::unique_ptr<InstanceLock> GuardingNothing(QString problem);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  /// Whether a lock file is really held (false for the guard-nothing lock described above).
  bool Holds() const { return fd_ >= 0; }
  /// For the user, why the lock file could not be trusted; empty when it could (or when it could
  /// not be opened for a reason nobody else caused).
  const QString& Problem() const { return problem_; }

 private:
  explicit InstanceLock(int fd, QString problem = {}) : fd_(fd), problem_(std::move(problem)) {}
  int fd_ = -1;
  QString problem_;
};

/// Where the lock file of a program is, or why its folder cannot hold one.
struct InstanceLockLocation {
  QString path;     ///< the lock file (also when the folder was refused)
  QString problem;  ///< for the user, naming the folder; empty when the folder can be trusted
};

/// The lock file of `program` for the current user, in a folder only the user can change:
/// $XDG_RUNTIME_DIR when it is such a folder (the user's own, closed to others), else the folder
/// "tarvel" of the user's cache folder, made (mode 0700) when missing. A shared folder such as
/// /tmp is never used: anyone could create the file there first. The cache's folder is looked at
/// itself, never through a link: a link there, something other than a folder, another user's
/// folder or one that others may write in is refused, with a problem naming it (a folder of the
/// user's that others may only read is closed to them).
InstanceLockLocation DefaultInstanceLockLocation(const QString& program);

}  // namespace tarvel
