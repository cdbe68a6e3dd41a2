#include "platform/Process.h"

#include <sys/types.h>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>

namespace tarvel {

bool IsProcessAlive(double processId) {
  if (!std::isfinite(processId)) return false;
  // The handle was passed through a 32-bit conversion that rounds half to even.
  double rounded = std::round(processId);
  if (std::fabs(processId - std::trunc(processId)) == 0.5) rounded = 2 * std::round(processId / 2);
  if (rounded <= 0 || rounded > static_cast<double>(INT32_MAX)) return false;
  const auto pid = static_cast<pid_t>(rounded);
  // Signal 0 only checks: EPERM still means the process exists (it belongs to someone else).
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace tarvel
