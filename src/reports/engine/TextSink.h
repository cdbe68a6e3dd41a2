// The text of a run's pages (TextDump's form), written as the run goes instead of from pages kept
// until its end: each finished page is written out in UTF-8 at once and its page dropped, so a
// report's text costs the memory of one page plus its spool.
#pragma once

#include <QString>
#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "reports/engine/PageStore.h"

class QIODevice;

namespace tarvel {

/// Appends the UTF-8 form of `text` to `out`, as QString::toUtf8 gives it (an unpaired surrogate
/// becomes '?').
void AppendUtf8(std::string& out, QStringView text);

/// A PageSink whose pages end up as the text DumpText gives for them. Each page's bands and texts
/// are written in UTF-8 as the page comes, on a thread of the sink's own (the run lays out the
/// next pages meanwhile; a few pages wait at most), and kept in a spool: in memory up to `budget`
/// bytes, the rest in a nameless file of the page store's private folder. The headings ("=== page
/// 3/41
/// ===") are added by WriteTo, once the page count is known. A layout that prints the page count
/// on its pages cannot be written before the count is known either: its pages wait in a
/// PageStore (the page store's default budget, the same folder) and are written from there.
class TextSink final : public PageSink {
 public:
  /// The spool's memory by default: a small report's text. A longer one goes on to the file,
  /// which is written once and read once, in order: the system's file cache takes it for less
  /// than fresh heap memory costs in page faults (a tenth of a 100,000-line report's time).
  static constexpr std::size_t kDefaultBudget = std::size_t{1} << 20;

  explicit TextSink(std::size_t budget = kDefaultBudget, QString folder = {});
  ~TextSink() override;
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

  void Begin(const PageFrame& frame) override;
  /// Throws tarvel::Error when the spool could not be written (a full disk): the failure of an
  /// earlier page, found by the sink's thread.
  void Add(Page&& page) override;
  /// Waits for the pages still being written; throws as Add does.
  void End(int pageCount) override;

  /// The pages added so far (written out or not).
  int PageCount() const;
  /// Writes the text of every page to `device` (after End). Throws tarvel::Error when the device
  /// refuses to be written or the spool cannot be read back.
  void WriteTo(QIODevice& device);
  /// Bytes of text kept in memory and on file (after End).
  std::size_t MemoryBytes() const { return memoryBytes_; }
  std::size_t FileBytes() const { return static_cast<std::size_t>(fileEnd_); }

 private:
  /// The sink's thread: writes out the pages handed over until the run ends or a write fails.
  void WriteOut();
  void Write(const Page& page);
  void Spool(const std::string& bytes);
  void FlushPending();
  /// Lets the sink's thread finish the pages handed over and waits for it.
  void StopWriting();

  std::size_t budget_;
  QString folder_;
  PageFrame frame_;
  std::unique_ptr<PageStore> store_;                     ///< when the pages show the page count
  std::vector<std::string> controls_;                    ///< each style's "control: ", in UTF-8
  std::array<std::string, kSectionKindCount> sections_;  ///< each section's "-- Name top="
  std::string page_;                                     ///< the page being written out
  std::vector<std::size_t> pageEnds_;  ///< where each page's text ends in the spool

  std::vector<std::string> memory_;  ///< the spool's first bytes, in pieces
  std::size_t memoryBytes_ = 0;
  int fd_ = -1;
  std::string pending_;  ///< bytes for the file not yet written
  qint64 fileEnd_ = 0;   ///< bytes written to the file

  // Between the run and the sink's thread. Everything above belongs to the sink's thread while
  // it runs, and to the caller before it starts and once it has ended.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Page> handedOver_;  ///< pages waiting to be written out
  bool ending_ = false;          ///< no more pages come
  std::exception_ptr failure_;   ///< why the thread stopped writing
  std::thread writer_;
  int added_ = 0;  ///< the pages added: the caller's own
};

}  // namespace tarvel
