#include "platform/OwnFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tarvel {
namespace {

/// The most bytes a replaced file hands on to the new one: these files are lists of a few names.
constexpr qint64 kMostCarried = 4 << 20;

bool IsPlainOwn(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1;
}

bool SameEntry(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

OwnFileOpening Failed(int error) {
  return {FileDescriptor(), error};
}

// A new file of the user's, made beside `native` under a hidden name and filled with `contents`,
// takes the name: rename() replaces the entry itself, never what a link there leads to.
OwnFileOpening Replace(const QByteArray& native, const QByteArray& contents) {
  const qsizetype slash = native.lastIndexOf('/');
  const QByteArray folder = slash < 0 ? QByteArray(".") : native.left(slash + 1);
  QByteArray name = folder + '.' + native.mid(slash + 1) + "-XXXXXX";
  FileDescriptor file(::mkostemp(name.data(), O_CLOEXEC));
  if (!file.IsOpen()) return Failed(errno);
  if (::fchmod(file.Get(), 0644) != 0 || !WriteAll(file.Get(), contents) ||
      ::rename(name.constData(), native.constData()) != 0) {
    const int error = errno;
    ::unlink(name.constData());
    return Failed(error);
  }
  return {std::move(file), 0};
}

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

OwnFileOpening OpenOwnFile(const QString& path, OwnFileStart start) {
  const QByteArray native = QFile::encodeName(path);
  struct stat seen {};
  if (::lstat(native.constData(), &seen) != 0) {
    if (errno != ENOENT) return Failed(errno);
    // O_EXCL: whatever appeared at the name meanwhile is not opened.
    FileDescriptor made(::open(
        native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644));
    if (!made.IsOpen()) return Failed(errno);
    return {std::move(made), 0};
  }
  if (S_ISDIR(seen.st_mode)) return Failed(EISDIR);

  if (IsPlainOwn(seen)) {
    const int append = start == OwnFileStart::kAppend ? O_APPEND : 0;
    FileDescriptor file(::open(native.constData(),
                               O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | append));
    // ELOOP, ENXIO: the entry became a link or a pipe after it was looked at; it is replaced.
    if (!file.IsOpen() && errno != ELOOP && errno != ENXIO) return Failed(errno);
    struct stat now {};
    if (file.IsOpen() && ::fstat(file.Get(), &now) == 0 && SameEntry(now, seen) &&
        IsPlainOwn(now)) {
      if (start == OwnFileStart::kEmpty && ::ftruncate(file.Get(), 0) != 0) return Failed(errno);
      return {std::move(file), 0};
    }
  }

  QByteArray carried;
  if (start == OwnFileStart::kAppend && S_ISREG(seen.st_mode))
    carried = ReadPlainFile(path, kMostCarried).value_or(QByteArray());
  return Replace(native, carried);
}

std::optional<QByteArray> ReadPlainFile(const QString& path, qint64 most) {
  const QByteArray native = QFile::encodeName(path);
  const FileDescriptor file(
      ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat info {};
  if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size > most)
    return std::nullopt;
  QByteArray bytes(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t read = ::read(file.Get(), bytes.data() + done, bytes.size() - done);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return std::nullopt;
    if (read == 0) break;  // cut short meanwhile
    done += read;
  }
  bytes.truncate(done);
  return bytes;
}

bool IsPrivateFolder(const QString& folder) {
  struct stat info {};
  return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool WriteAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.constData() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    done += written;
  }
  return true;
}

}  // namespace tarvel
