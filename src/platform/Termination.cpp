#include "platform/Termination.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QFile>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <utility>

namespace tarvel {
namespace {

// Everything the handler reads lives in static storage: it may neither allocate nor lock.
enum SlotState : int { kFree, kFilling, kFolder, kGroup, kCall };

struct Slot {
  std::atomic<int> state{kFree};
  pid_t group = 0;
  char path[PATH_MAX] = {};
  void (*call)(void*) noexcept = nullptr;
  void* data = nullptr;
};

constexpr int kSlots = 32;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// A profile of LibreOffice is the deepest tree removed; nothing of ours goes near this.
constexpr int kMaxDepth = 24;

std::array<Slot, kSlots> registered;
std::atomic<int> requested{0};
std::atomic<int> installedStyle{-1};
std::atomic<pid_t> mainThread{0};
int notifyRead = -1;
int notifyWrite = -1;

void MakeCalls() {
  for (Slot& slot : registered)
    if (slot.state.load(std::memory_order_acquire) == kCall && slot.call) slot.call(slot.data);
}

void KillGroups() {
  for (Slot& slot : registered)
    if (slot.state.load(std::memory_order_acquire) == kGroup && slot.group > 1)
      ::kill(-slot.group, SIGKILL);
}

void RemoveFolders() {
  for (Slot& slot : registered)
    if (slot.state.load(std::memory_order_acquire) == kFolder) RemoveFolderTree(slot.path);
}

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Empties the folder open on `fd`. Entries removed while the listing runs may make getdents skip
// others, so it reads the folder again until a pass finds nothing left.
void EmptyFolder(int fd, int depth) {
  alignas(dirent64) char buffer[4096];
  for (int pass = 0; pass < 16; ++pass) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return;
    bool found = false;
    for (;;) {
      const ssize_t read = ::getdents64(fd, buffer, sizeof buffer);
      if (read <= 0) break;
      for (ssize_t at = 0; at < read;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
        at += entry->d_reclen;
        if (IsDots(entry->d_name)) continue;
        found = true;
        if (entry->d_type != DT_DIR && ::unlinkat(fd, entry->d_name, 0) == 0) continue;
        if (depth >= kMaxDepth) continue;
        const int child =
            ::openat(fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) continue;
        EmptyFolder(child, depth + 1);
        ::close(child);
        ::unlinkat(fd, entry->d_name, AT_REMOVEDIR);
      }
    }
    if (!found) return;
  }
}

void ExitBySignal(int signal) {
  MakeCalls();
  KillGroups();
  RemoveFolders();
  // Blocked while the handler runs: delivered, with its default action, when it returns.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
}

void OnSignal(int signal) {
  const int savedErrno = errno;
  // Folders are removed by the main thread, which is then held inside the handler and cannot
  // write into them meanwhile.
  const pid_t main = mainThread.load();
  if (main != 0 && static_cast<pid_t>(::syscall(SYS_gettid)) != main) {
    ::syscall(SYS_tgkill, ::getpid(), main, signal);
    errno = savedErrno;
    return;
  }
  const int earlier = requested.exchange(signal);
  if (installedStyle.load() == static_cast<int>(TerminationStyle::kExitAtOnce) || earlier != 0) {
    ExitBySignal(signal);
  } else {
    KillGroups();
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(notifyWrite, &byte, 1);
  }
  errno = savedErrno;
}

int Acquire() {
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (registered[i].state.compare_exchange_strong(expected, kFilling)) return i;
  }
  return -1;
}

}  // namespace

void InstallTerminationHandlers(TerminationStyle style) {
  mainThread.store(static_cast<pid_t>(::syscall(SYS_gettid)));
  installedStyle.store(static_cast<int>(style));
  if (notifyRead < 0) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
      notifyRead = fds[0];
      notifyWrite = fds[1];
    }
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  ::sigemptyset(&action.sa_mask);
  // One cleanup at a time, whichever of the signals comes.
  for (const int signal : kSignals)
    ::sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals)
    ::sigaction(signal, &action, nullptr);
}

bool TerminationRequested() {
  return requested.load() != 0;
}

int TerminationNotifierFd() {
  return notifyRead;
}

TerminationCleanup TerminationCleanup::Folder(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  if (native.isEmpty() || native.size() >= PATH_MAX || !native.startsWith('/')) return {};
  const int slot = Acquire();
  if (slot < 0) return {};
  std::memcpy(registered[slot].path, native.constData(), static_cast<size_t>(native.size()) + 1);
  registered[slot].state.store(kFolder, std::memory_order_release);
  return TerminationCleanup(slot);
}

TerminationCleanup TerminationCleanup::ProcessGroup(pid_t group) {
  if (group <= 1) return {};
  const int slot = Acquire();
  if (slot < 0) return {};
  registered[slot].group = group;
  registered[slot].state.store(kGroup, std::memory_order_release);
  return TerminationCleanup(slot);
}

TerminationCleanup TerminationCleanup::Call(void (*call)(void*) noexcept, void* data) {
  const int slot = Acquire();
  if (slot < 0) return {};
  registered[slot].call = call;
  registered[slot].data = data;
  registered[slot].state.store(kCall, std::memory_order_release);
  return TerminationCleanup(slot);
}

TerminationCleanup::~TerminationCleanup() {
  if (slot_ >= 0) registered[slot_].state.store(kFree, std::memory_order_release);
}

TerminationCleanup::TerminationCleanup(TerminationCleanup&& other) noexcept
    : slot_(std::exchange(other.slot_, -1)) {}

TerminationCleanup& TerminationCleanup::operator=(TerminationCleanup&& other) noexcept {
  if (this != &other) {
    if (slot_ >= 0) registered[slot_].state.store(kFree, std::memory_order_release);
    slot_ = std::exchange(other.slot_, -1);
  }
  return *this;
}

bool RemoveFolderTree(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  EmptyFolder(fd, 0);
  ::close(fd);
  return ::rmdir(path) == 0 || errno == ENOENT;
}

}  // namespace tarvel
