// A query's rows counted on a connection and a thread of their own while the caller reads them:
// a progress total that costs the reader no second scan (on two cores, no time at all).
#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace tarvel::db {

class Connection;

/// The count is of the database as the counting connection sees it, which may differ from the
/// reader's snapshot by what other workstations commit between the two starts: a total for a
/// progress bar, never a test for rows. Destroying it stops a count still running (the
/// statement is interrupted) and waits for its thread.
class BackgroundCount {
 public:
  /// Starts counting the rows of the Jet SQL `jetSql` on the database `connectionString` names.
  BackgroundCount(QString connectionString, QString jetSql);
  ~BackgroundCount();
  BackgroundCount(const BackgroundCount&) = delete;
  BackgroundCount& operator=(const BackgroundCount&) = delete;

  /// The number of rows once counted; -1 while the count runs, and for good when it failed (a
  /// failure of the count is not the reader's: it only goes without a total).
  qint64 Total() const { return total_.load(std::memory_order_acquire); }
  /// Waits for the count to end; returns Total().
  qint64 Wait();

 private:
  void Count(const QString& connectionString, const QString& jetSql) noexcept;

  std::atomic<qint64> total_{-1};
  std::atomic<bool> finished_{false};  ///< the thread has nothing more to do
  std::mutex mutex_;
  Connection* counting_ = nullptr;  ///< the connection while it counts (guarded by mutex_)
  bool stopping_ = false;           ///< guarded by mutex_
  std::thread thread_;
};

}  // namespace tarvel::db
