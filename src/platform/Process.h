// Whether a process named by the number the suite's menu passed on the command line is alive.
#pragma once

namespace tarvel {

/// The launcher check. The suite's menu passes its process id where it used to pass its window
/// handle, and "is a window" becomes "that process exists". The number is rounded to a 32-bit
/// integer as the handle was (half to even); a value at or below 0, outside the 32-bit range or
/// not a number names no process.
bool IsProcessAlive(double processId);

}  // namespace tarvel
