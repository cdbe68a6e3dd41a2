#include "windows/export/BackgroundExport.h"

#include <QMetaObject>

#include "platform/Error.h"
#include "platform/UserInterface.h"

namespace tarvel {
namespace {

/// How often the window hears of the rows: often enough for a bar that moves, seldom enough that
/// a hundred thousand records do not become a hundred thousand repaints.
constexpr qint64 kStatusEveryMs = 50;

}  // namespace

BackgroundExport::BackgroundExport(QObject* parent) : QObject(parent) {
  resend_.setInterval(100);
  connect(&resend_, &QTimer::timeout, this, [this] {
    if (stop_) stop_->Request();
  });
}

BackgroundExport::~BackgroundExport() {
  if (!thread_.joinable()) return;
  // The run sees the request within its next record or its next look at the converter; its
  // queued calls to this object go with the object.
  stop_->Request();
  thread_.join();
}

void BackgroundExport::Start(Run run) {
  if (IsRunning()) return;
  stop_ = std::make_unique<excel::ExportStop>();
  {
    const std::lock_guard lock(mutex_);
    pending_ = false;
  }
  lastPost_.invalidate();
  lastStage_ = excel::ExportStage::Counting;
  thread_ = std::thread([this, run = std::move(run), stop = stop_.get()] {
    excel::ExportResult result;
    try {
      result = run([this](const excel::ExportStatus& status) { return Post(status); }, *stop);
    } catch (const Error& error) {
      result = {.message = error.Description(),
                .style = kCritical,
                .title = QStringLiteral("轉Excel錯誤")};
    } catch (const std::exception& error) {
      result = {.message = QString::fromLocal8Bit(error.what()),
                .style = kCritical,
                .title = QStringLiteral("轉Excel錯誤")};
    }
    QMetaObject::invokeMethod(
        this, [this, result] { End(result); }, Qt::QueuedConnection);
  });
}

void BackgroundExport::Stop() {
  if (!IsRunning()) return;
  stop_->Request();
  resend_.start();
}

bool BackgroundExport::Post(const excel::ExportStatus& status) {
  const bool newStage = status.stage != lastStage_ || !lastPost_.isValid();
  if (!newStage && lastPost_.elapsed() < kStatusEveryMs) return true;
  lastStage_ = status.stage;
  lastPost_.start();
  bool queue = false;
  {
    const std::lock_guard lock(mutex_);
    latest_ = status;
    queue = !std::exchange(pending_, true);
  }
  if (queue) QMetaObject::invokeMethod(this, &BackgroundExport::Deliver, Qt::QueuedConnection);
  return true;
}

void BackgroundExport::Deliver() {
  excel::ExportStatus status;
  {
    const std::lock_guard lock(mutex_);
    status = latest_;
    pending_ = false;
  }
  if (IsRunning()) emit StatusChanged(status);
}

void BackgroundExport::End(const excel::ExportResult& result) {
  // The run has returned: its thread is at its end.
  if (thread_.joinable()) thread_.join();
  resend_.stop();
  stop_.reset();
  emit Finished(result);
}

}  // namespace tarvel
