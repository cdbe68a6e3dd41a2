#include "excel/ExportStop.h"

#include "db/Connection.h"

namespace tarvel::excel {

void ExportStop::Request() noexcept {
  requested_.store(true, std::memory_order_release);
  const std::lock_guard lock(mutex_);
  if (connection_ != nullptr) connection_->Interrupt();
}

ExportStop::Watch::Watch(ExportStop* stop, db::Connection& connection) : stop_(stop) {
  if (stop_ == nullptr) return;
  const std::lock_guard lock(stop_->mutex_);
  stop_->connection_ = &connection;
}

ExportStop::Watch::~Watch() {
  if (stop_ == nullptr) return;
  const std::lock_guard lock(stop_->mutex_);
  stop_->connection_ = nullptr;
}

}  // namespace tarvel::excel
