#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>

#include "platform/OwnFile.h"

namespace tarvel {
namespace {

QString OwnerName(uid_t uid) {
  if (const passwd* entry = ::getpwuid(uid)) return QString::fromLocal8Bit(entry->pw_name);
  return QString::number(uid);
}

// Why the entry at `native` is no lock file of ours; empty when it is or when there is none.
QString ForeignEntry(const QString& path, const QByteArray& native) {
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0) return {};
  if (S_ISLNK(info.st_mode) || !S_ISREG(info.st_mode))
    return QStringLiteral(
               "程序鎖定檔 %1 不是一般檔案，無法確認本程式是否已在執行。"
               "請刪除它後再啟動。")
        .arg(path);
  if (info.st_uid != ::geteuid())
    return QStringLiteral(
               "程序鎖定檔 %1 屬於使用者 %2，無法確認本程式是否已在執行。"
               "請系統管理員刪除這個檔案。")
        .arg(path, OwnerName(info.st_uid));
  return {};
}

// Why the cache's folder of the program at `folder` cannot hold the lock; empty when it can.
// A folder of the user's that others may read but not change is closed to them.
QString UntrustedLockFolder(const QString& folder) {
  const QByteArray native = QFile::encodeName(folder);
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0) return {};  // not made: the lock file fails alone
  const QString unchecked = QStringLiteral("無法確認本程式是否已在執行。");
  if (S_ISLNK(info.st_mode))
    return QStringLiteral("程序鎖定資料夾 %1 是一個連結，不是資料夾，").arg(folder) + unchecked +
           QStringLiteral("請刪除這個連結後再啟動。");
  if (!S_ISDIR(info.st_mode))
    return QStringLiteral("程序鎖定資料夾 %1 不是資料夾，").arg(folder) + unchecked +
           QStringLiteral("請刪除它後再啟動。");
  if (info.st_uid != ::geteuid())
    return QStringLiteral("程序鎖定資料夾 %1 屬於使用者 %2，").arg(folder, OwnerName(info.st_uid)) +
           unchecked + QStringLiteral("請系統管理員刪除這個資料夾。");
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return QStringLiteral("程序鎖定資料夾 %1 其他使用者也可以寫入，").arg(folder) + unchecked +
           QStringLiteral("請刪除它，或以 chmod 700 只留給自己使用後再啟動。");
  if ((info.st_mode & 077) != 0) ::chmod(native.constData(), 0700);
  return {};
}

}  // namespace

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0)
    return std::unique_ptr<InstanceLock>(new InstanceLock(-1, ForeignEntry(path, native)));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    ::close(fd);
    return std::unique_ptr<InstanceLock>(new InstanceLock(-1, ForeignEntry(path, native)));
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    if (heldElsewhere) return nullptr;
    return std::unique_ptr<InstanceLock>(new InstanceLock(-1));
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() {
  // Closing the only descriptor of the open file releases the flock. The file stays: removing it
  // would race with a copy that is just opening it.
  if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<InstanceLock> InstanceLock::GuardingNothing(QString problem) {
  return std::unique_ptr<InstanceLock>(new InstanceLock(-1, std::move(problem)));
}

InstanceLockLocation DefaultInstanceLockLocation(const QString& program) {
  const QString name = program.toLower() + QStringLiteral(".lock");
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime))
    return {QDir(runtime).filePath(name), {}};
  QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
  QDir().mkpath(cache);
  const QString folder = QDir(cache).filePath(QStringLiteral("tarvel"));
  // Made by an older copy, by hand, or planted by someone else: looked at before it is used.
  const bool made = ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0;
  return {QDir(folder).filePath(name), made ? QString() : UntrustedLockFolder(folder)};
}

}  // namespace tarvel
