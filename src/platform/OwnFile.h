// The small files the program keeps in the user's folders (the start-up marker, the desktop's
// list of hidden names), written so that a link never carries the write somewhere else.
//
// A name there may hold a symbolic link, a hard link that another name shares, a pipe or a file
// of someone else's. Written through, any of them would empty or extend whatever it leads to: a
// marker file linked to one of the user's documents left that document at 0 bytes. Such an entry
// is replaced instead: a new plain file of the user's takes the name (renamed over it, so the
// link itself goes and the name is never missing), and what the link led to keeps its bytes.
// The program starts either way; it has no reason to refuse a run over a file of its own.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarvel {

/// An open file descriptor, closed with the object.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Get() const { return fd_; }

 private:
  int fd_ = -1;
};

/// What to do with the bytes of a file that is opened for writing.
enum class OwnFileStart {
  kEmpty,   ///< the file starts empty (an existing one is emptied)
  kAppend,  ///< writes go after its bytes
};

/// The result of OpenOwnFile: the descriptor, or the system's error number when there is none.
struct OwnFileOpening {
  FileDescriptor file;
  int error = 0;
};

/// Opens the plain file at `path` for writing, made (mode 0644) when missing. The entry is never
/// followed: a symbolic link, a file that shares its data with another name, a pipe, a device or
/// another user's file at `path` is replaced by a new file of the user's (with kAppend, holding
/// the bytes of a plain file it replaces; nothing is read through a link or a pipe). A folder at
/// `path`, or a folder the user may not write in, gives the error.
OwnFileOpening OpenOwnFile(const QString& path, OwnFileStart start);

/// The bytes of the plain file at `path`, read without following a link and without waiting on
/// a pipe; nullopt when there is no plain file there, it cannot be read, or it is larger than
/// `most` bytes.
std::optional<QByteArray> ReadPlainFile(const QString& path, qint64 most);

/// Whether `folder` is itself (not through a link) a folder of this user's that nobody else may
/// write in.
bool IsPrivateFolder(const QString& folder);

/// Writes all of `bytes` to `fd`; false with errno set when the system refuses part of them.
bool WriteAll(int fd, const QByteArray& bytes);

}  // namespace tarvel
