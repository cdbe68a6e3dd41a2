// An export run on a thread of its own while the window that started it stays live: its status
// reaches the window through queued calls, and the window's stop request reaches the run at once.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "excel/ExportRun.h"

namespace tarvel {

class BackgroundExport : public QObject {
  Q_OBJECT

 public:
  /// The export, run on the other thread: it reads nothing the window's thread may change
  /// meanwhile, opens its own connection there and shows nothing.
  using Run =
      std::function<excel::ExportResult(const excel::ExportWatch& watch, excel::ExportStop& stop)>;

  explicit BackgroundExport(QObject* parent = nullptr);
  /// Stops a run still going and waits for its thread.
  ~BackgroundExport() override;
  BackgroundExport(const BackgroundExport&) = delete;
  BackgroundExport& operator=(const BackgroundExport&) = delete;

  /// Starts `run`; nothing while one runs. StatusChanged and then Finished follow on this
  /// object's thread.
  void Start(Run run);
  bool IsRunning() const { return thread_.joinable(); }
  /// Asks the run to stop; asked again every 100 ms until it has ended, since a statement's
  /// interrupt that comes just before the statement starts is lost.
  void Stop();
  bool IsStopping() const { return resend_.isActive(); }

 signals:
  /// The run's status, at most every 50 ms and at each new stage; the last one may be skipped
  /// when the run ends first.
  void StatusChanged(const tarvel::excel::ExportStatus& status);
  /// The run has ended (its thread too).
  void Finished(const tarvel::excel::ExportResult& result);

 private:
  /// On the run's thread: keeps the newest status and has it delivered unless a delivery is on
  /// its way.
  bool Post(const excel::ExportStatus& status);
  void Deliver();
  void End(const excel::ExportResult& result);

  std::unique_ptr<excel::ExportStop> stop_;
  QTimer resend_;
  std::mutex mutex_;
  excel::ExportStatus latest_;  ///< guarded by mutex_
  bool pending_ = false;        ///< a delivery is queued (guarded by mutex_)
  QElapsedTimer lastPost_;      ///< the run's thread only
  excel::ExportStage lastStage_ = excel::ExportStage::Counting;  ///< the run's thread only
  std::thread thread_;
};

}  // namespace tarvel
