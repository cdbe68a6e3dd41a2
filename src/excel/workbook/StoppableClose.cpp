#include "excel/workbook/StoppableClose.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/Termination.h"

namespace tarvel::excel {
namespace {

pid_t WaitNoHang(pid_t child, int& status) {
  pid_t done = 0;
  do {
    done = ::waitpid(child, &status, WNOHANG);
  } while (done < 0 && errno == EINTR);
  return done;
}

/// Waits up to `milliseconds` for the child to end: at once when it does, through a descriptor
/// of the process (pidfd), or the whole time where the system has none.
void AwaitEnd(int pidfd, int milliseconds) {
  if (pidfd < 0) {
    ::usleep(static_cast<useconds_t>(milliseconds) * 1000);
    return;
  }
  pollfd ended{pidfd, POLLIN, 0};
  ::poll(&ended, 1, milliseconds);
}

}  // namespace

std::optional<lxw_error> CloseWorkbook(lxw_workbook* book, const std::function<bool()>& stopped) {
  if (!stopped) return workbook_close(book);
  const pid_t program = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) return workbook_close(book);
  if (child == 0) {
    // The child only makes the package: the program's own answers to the session's signals are
    // not its, and it must not outlive the program. A group of its own, which a signal ending the
    // program kills before it removes the work folder the child writes in.
    ::setpgid(0, 0);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
      ::signal(signal, SIG_DFL);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != program) ::_exit(127);
    ::_exit(static_cast<int>(workbook_close(book)));
  }
  ::setpgid(child, child);  // whichever of the two comes first
  const TerminationCleanup killedAtSignal = TerminationCleanup::ProcessGroup(child);
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
  int status = 0;
  std::optional<lxw_error> result;
  while (true) {
    const pid_t done = WaitNoHang(child, status);
    if (done == child) {
      result = WIFEXITED(status) && WEXITSTATUS(status) < LXW_MAX_ERRNO
                   ? static_cast<lxw_error>(WEXITSTATUS(status))
                   : LXW_ERROR_CREATING_XLSX_FILE;
      break;
    }
    if (done < 0) {
      result = LXW_ERROR_CREATING_XLSX_FILE;
      break;
    }
    if (stopped()) {
      ::kill(child, SIGKILL);
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    AwaitEnd(pidfd, 20);
  }
  if (pidfd >= 0) ::close(pidfd);
  // This process's copy of the book: its package was the child's to write.
  lxw_workbook_free(book);
  return result;
}

}  // namespace tarvel::excel
