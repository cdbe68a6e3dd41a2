#include "platform/StderrCapture.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <QByteArray>
#include <QList>
#include <cstdio>
#include <mutex>
#include <set>

namespace tarvel {
namespace {

// Beyond this many distinct lines a damaged file only repeats itself in other words: the rest
// is dropped.
constexpr size_t kMaxRemembered = 1000;

struct Capture {
  std::mutex mutex;
  int depth = 0;
  int savedFd = -1;    // the real standard error while captured
  int captureFd = -1;  // where it goes meanwhile
  std::set<QByteArray> logged;
};

Capture& State() {
  static Capture capture;
  return capture;
}

QByteArray ReadAll(int fd) {
  QByteArray text;
  if (::lseek(fd, 0, SEEK_SET) != 0) return text;
  char buffer[4096];
  for (;;) {
    const ssize_t read = ::read(fd, buffer, sizeof buffer);
    if (read <= 0) break;
    text.append(buffer, read);
  }
  return text;
}

void WriteAll(int fd, const QByteArray& text) {
  for (qsizetype at = 0; at < text.size();) {
    const ssize_t written =
        ::write(fd, text.constData() + at, static_cast<size_t>(text.size() - at));
    if (written <= 0) return;
    at += written;
  }
}

}  // namespace

StderrCapture::StderrCapture(const char* source) : source_(source) {
  Capture& state = State();
  const std::lock_guard lock(state.mutex);
  if (state.depth++ > 0) return;
  if (state.captureFd < 0) state.captureFd = ::memfd_create("tarvel-stderr", MFD_CLOEXEC);
  if (state.captureFd < 0) return;
  std::fflush(stderr);
  state.savedFd = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (state.savedFd < 0) return;  // no standard error at all: nothing to protect
  // Standard error shares the capture's offset once it is a copy of it: back to the start.
  if (::ftruncate(state.captureFd, 0) != 0 || ::lseek(state.captureFd, 0, SEEK_SET) != 0 ||
      ::dup2(state.captureFd, STDERR_FILENO) < 0) {
    ::close(state.savedFd);
    state.savedFd = -1;
  }
}

StderrCapture::~StderrCapture() {
  Capture& state = State();
  const std::lock_guard lock(state.mutex);
  if (--state.depth > 0 || state.savedFd < 0) return;
  std::fflush(stderr);
  ::dup2(state.savedFd, STDERR_FILENO);
  ::close(state.savedFd);
  state.savedFd = -1;
  const QByteArray captured = ReadAll(state.captureFd);
  QByteArray log;
  for (const QByteArray& line : captured.split('\n')) {
    const QByteArray text = line.trimmed();
    if (text.isEmpty() || state.logged.size() >= kMaxRemembered) continue;
    if (!state.logged.insert(text).second) continue;
    log += QByteArray(source_) + ": " + text + '\n';
  }
  WriteAll(STDERR_FILENO, log);
}

}  // namespace tarvel
