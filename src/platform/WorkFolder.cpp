#include "platform/WorkFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <ctime>

namespace tarvel {
namespace {

constexpr char kLockName[] = ".lock";
// A folder without a lock file is either being made this very moment or an older copy's.
constexpr time_t kUnlockedGraceSeconds = 600;

bool IsWorkFolderName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^\\.tarvel-[a-z]+-[A-Za-z0-9]{6}$"));
  return pattern.match(name).hasMatch();
}

// Whether the work folder `path` was left behind: its lock file is held by no one (the caller
// then keeps it locked in `lockFd` while removing the folder), or it has none and is old.
bool IsStale(const QByteArray& path, const struct stat& info, int& lockFd) {
  const QByteArray lockPath = path + '/' + kLockName;
  lockFd = ::open(lockPath.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (lockFd >= 0) {
    // A file system without locks answers with another error: nothing can be told then.
    if (::flock(lockFd, LOCK_EX | LOCK_NB) == 0) return true;
    ::close(lockFd);
    lockFd = -1;
    return false;
  }
  if (errno != ENOENT) return false;
  return ::time(nullptr) - info.st_mtime > kUnlockedGraceSeconds;
}

}  // namespace

WorkFolder::WorkFolder(const QString& parent, const QString& kind) {
  RemoveStaleWorkFolders(parent);
  dir_ =
      std::make_unique<QTemporaryDir>(parent + QLatin1Char('/') + QLatin1String(kWorkFolderPrefix) +
                                      kind + QStringLiteral("-XXXXXX"));
  if (!dir_->isValid()) {
    error_ = dir_->errorString();
    return;
  }
  cleanup_ = TerminationCleanup::Folder(QFileInfo(dir_->path()).absoluteFilePath());
  // Locked under another name first: a copy looking for stale folders never meets an unlocked
  // ".lock" in a folder that is in use. The lock goes with the descriptor, whatever the name.
  const QByteArray pending = QFile::encodeName(dir_->filePath(QStringLiteral(".lock-new")));
  const int fd =
      ::open(pending.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // Without locks on this file system the file still marks the folder as one nobody may judge.
  ::flock(fd, LOCK_EX | LOCK_NB);
  if (::rename(pending.constData(), QFile::encodeName(dir_->filePath(kLockName)).constData()) == 0)
    lockFd_ = fd;
  else
    ::close(fd);
}

WorkFolder::~WorkFolder() {
  dir_.reset();
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool WorkFolder::IsValid() const {
  return dir_ && dir_->isValid();
}

QString WorkFolder::ErrorString() const {
  return error_;
}

QString WorkFolder::Path() const {
  return dir_ ? dir_->path() : QString();
}

QString WorkFolder::FilePath(const QString& name) const {
  return dir_ ? dir_->filePath(name) : QString();
}

int RemoveStaleWorkFolders(const QString& parent) {
  const QDir folder(parent);
  int removed = 0;
  const QStringList names =
      folder.entryList({QLatin1String(kWorkFolderPrefix) + QLatin1Char('*')},
                       QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    if (!IsWorkFolderName(name)) continue;
    const QByteArray path = QFile::encodeName(folder.absoluteFilePath(name));
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid())
      continue;
    int lockFd = -1;
    if (!IsStale(path, info, lockFd)) continue;
    if (RemoveFolderTree(path.constData())) ++removed;
    if (lockFd >= 0) ::close(lockFd);
  }
  return removed;
}

}  // namespace tarvel
