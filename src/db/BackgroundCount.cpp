#include "db/BackgroundCount.h"

#include <chrono>

#include "db/Connection.h"

namespace tarvel::db {

BackgroundCount::BackgroundCount(QString connectionString, QString jetSql)
    : thread_([this, connectionString = std::move(connectionString), jetSql = std::move(jetSql)] {
        Count(connectionString, jetSql);
      }) {}

BackgroundCount::~BackgroundCount() {
  if (!thread_.joinable()) return;
  // Asked again until the thread ends: an interrupt that comes just before the statement starts
  // is lost (an engine drops it when nothing runs).
  while (!finished_.load(std::memory_order_acquire)) {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
      if (counting_ != nullptr) counting_->Interrupt();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  thread_.join();
}

qint64 BackgroundCount::Wait() {
  if (thread_.joinable()) thread_.join();
  return Total();
}

void BackgroundCount::Count(const QString& connectionString, const QString& jetSql) noexcept {
  struct Finished {
    std::atomic<bool>& flag;
    ~Finished() { flag.store(true, std::memory_order_release); }
  } finished{finished_};
  try {
    const std::unique_ptr<Connection> connection = Connection::Open(connectionString);
    {
      const std::lock_guard lock(mutex_);
      if (stopping_) return;
      counting_ = connection.get();
    }
    qint64 total = -1;
    try {
      total = connection->CountRows(jetSql);
    } catch (...) {
      // Interrupted, or the count failed: the reader goes on without a total.
    }
    {
      const std::lock_guard lock(mutex_);
      counting_ = nullptr;
    }
    total_.store(total, std::memory_order_release);
  } catch (...) {
    // The connection could not be opened: no total either.
  }
}

}  // namespace tarvel::db
