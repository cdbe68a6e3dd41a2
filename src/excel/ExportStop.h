// A request to stop an export, made on another thread than the one running it (the export
// window's): the run looks at it between records and between its looks at the converter, and a
// statement its connection is executing (the first rows' sort, a count) is interrupted at once.
#pragma once

#include <atomic>
#include <mutex>

namespace tarvel::db {
class Connection;
}

namespace tarvel::excel {

class ExportStop {
 public:
  /// Asks the run to stop, from any thread. An interrupt that arrives just before a statement
  /// starts is lost (an engine drops it when nothing runs), so a caller that wants the run to end
  /// soon asks again until it has ended; asking again costs nothing.
  void Request() noexcept;
  bool Requested() const noexcept { return requested_.load(std::memory_order_acquire); }

  /// On the running thread: for as long as it lives, Request interrupts the statements of
  /// `connection` (which must outlive it). `stop` may be null: then it does nothing.
  class Watch {
   public:
    Watch(ExportStop* stop, db::Connection& connection);
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

   private:
    ExportStop* stop_;
  };

 private:
  std::atomic<bool> requested_{false};
  std::mutex mutex_;
  db::Connection* connection_ = nullptr;  ///< guarded by mutex_
};

}  // namespace tarvel::excel
