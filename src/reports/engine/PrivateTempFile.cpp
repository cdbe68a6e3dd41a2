#include "reports/engine/PrivateTempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "platform/Error.h"

namespace tarvel {
namespace {

QString SystemReason() {
  return QString::fromLocal8Bit(std::strerror(errno));
}

/// Makes `path` a folder of this user's only, or finds it so; false when it is something else
/// (another user's folder, a link), which is then not used.
bool MakePrivateFolder(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  const QByteArray native = QFile::encodeName(path);
  if (::mkdir(native.constData(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
      info.st_uid != ::geteuid())
    return false;
  ::chmod(native.constData(), 0700);
  return true;
}

}  // namespace

int OpenPrivateTempFile(const QString& folder) {
  if (!MakePrivateFolder(folder)) {
    throw Error(
        QStringLiteral("無法建立報表的暫存資料夾 %1（它須是使用者自己的資料夾）").arg(folder));
  }
  const QByteArray native = QFile::encodeName(folder);
  int fd = ::open(native.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // A file system without nameless files: a named one, unlinked before anything is written.
    QByteArray name = native + "/pages-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(name.constData());
  }
  if (fd < 0)
    throw Error(QStringLiteral("無法建立報表的暫存頁檔於 %1：%2").arg(folder, SystemReason()));
  return fd;
}

void WriteAllAt(int fd, const char* data, std::size_t size, qint64 offset, const QString& what) {
  while (size > 0) {
    const ssize_t written = ::pwrite(fd, data, size, offset);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw Error(QStringLiteral("無法寫入%1：%2").arg(what, SystemReason()));
    data += written;
    size -= static_cast<std::size_t>(written);
    offset += written;
  }
}

void ReadAllAt(int fd, std::size_t size, qint64 offset, std::string& out, const QString& what) {
  out.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got =
        ::pread(fd, out.data() + done, size - done, offset + static_cast<qint64>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      throw Error(QStringLiteral("無法讀回%1：%2")
                      .arg(what, got == 0 ? QStringLiteral("檔案被截短") : SystemReason()));
    }
    done += static_cast<std::size_t>(got);
  }
}

}  // namespace tarvel
