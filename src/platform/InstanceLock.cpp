#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <cerrno>

namespace tarvel {

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return std::unique_ptr<InstanceLock>(new InstanceLock(-1));
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

QString DefaultInstanceLockPath(const QString& program) {
  const QString name = program.toLower();
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists())
    return runtime + QLatin1Char('/') + name + ".lock";
  return QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('-') +
         QString::number(::getuid()) + ".lock";
}

}  // namespace tarvel
