// A library that writes its warnings straight to standard error: libmdb prints one for every
// damaged row it meets, again at every read, and the user's terminal or the session's log fills
// with them.
#pragma once

namespace tarvel {

/// While one lives (on any thread), what the process writes to its standard error is kept aside;
/// when the last one ends, each line that was not logged before is written to standard error
/// once, after "`source`: ". Other text written meanwhile, on any thread, is logged the same way.
/// Nests.
class StderrCapture {
 public:
  explicit StderrCapture(const char* source);
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

 private:
  const char* source_;
};

}  // namespace tarvel
