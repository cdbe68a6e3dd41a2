// The finished pages of one run, kept within a memory budget: the first pages stay on the heap,
// and once they fill the budget every further page is written to a temporary file of the store's
// own and read back when it is shown, printed or written. Any report size runs in bounded memory.
#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "reports/engine/PageSink.h"

namespace tarvel {

/// The temporary file is made in a private folder (the user's own, mode 0700: "pages" in the
/// program's cache folder, ~/.cache/tarvel/pages) and has no name from the moment it is made
/// (O_TMPFILE, or made and unlinked at once where the file system lacks it). Closing the store
/// frees it; a crash frees it too, since the system drops a nameless file with the last open
/// descriptor, so nothing is left behind to clean at the next start.
class PageStore final : public PageSink, public PageSource {
 public:
  static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;
  /// The budget of stores made without one: kDefaultBudget unless SetDefaultBudget changed it.
  static std::size_t DefaultBudget();
  /// For tests and benchmarks: the budget of stores made from now on (0: kDefaultBudget again).
  static void SetDefaultBudget(std::size_t bytes);
  /// The private folder of the temporary files; made (mode 0700) when missing.
  static QString DefaultFolder();

  /// `budget`: bytes of pages kept on the heap. `folder`: where the temporary file goes (empty:
  /// DefaultFolder()); it is made on the first page past the budget.
  explicit PageStore(std::size_t budget = DefaultBudget(), QString folder = {});
  ~PageStore() override;
  PageStore(const PageStore&) = delete;
  PageStore& operator=(const PageStore&) = delete;

  // PageSink: a run writes here. Add throws tarvel::Error when the temporary file cannot be
  // made or written (a full disk).
  void Begin(const PageFrame& frame) override;
  void Add(Page&& page) override;
  void End(int pageCount) override;

  // PageSource: renderers read here, also while the run still adds pages. PageAt throws
  // tarvel::Error when a page cannot be read back.
  const PageFrame& Frame() const override { return frame_; }
  int PageCount() const override { return static_cast<int>(memory_.size() + offsets_.size()); }
  const Page& PageAt(int index) const override;

  /// Whether the run has ended (End was called): PageCount is the report's.
  bool Complete() const { return complete_; }
  int PagesInMemory() const { return static_cast<int>(memory_.size()); }
  int PagesOnFile() const { return static_cast<int>(offsets_.size()); }
  /// Heap bytes of the pages kept in memory.
  std::size_t MemoryBytes() const { return memoryBytes_; }
  /// Bytes of pages written to the temporary file.
  std::size_t FileBytes() const { return static_cast<std::size_t>(fileEnd_); }

 private:
  void OpenFile();
  void Write(const Page& page);
  void Flush() const;
  void ReadBack(int fileIndex) const;

  std::size_t budget_;
  QString folder_;
  PageFrame frame_;
  bool complete_ = false;
  int pageCount_ = 0;

  std::deque<Page> memory_;  // the first pages; a deque keeps references valid while it grows
  std::size_t memoryBytes_ = 0;

  int fd_ = -1;
  std::vector<qint64> offsets_;  // where each page on file starts
  qint64 fileEnd_ = 0;
  mutable std::vector<char> pending_;  // written pages not yet handed to the file
  mutable qint64 pendingStart_ = 0;
  mutable Page slot_;  // the page on file read last
  mutable int slotIndex_ = -1;
  mutable std::string readBuffer_;
};

/// For tests: stores made while it lives keep `bytes` of pages in memory.
class ScopedPageBudget {
 public:
  explicit ScopedPageBudget(std::size_t bytes) : previous_(PageStore::DefaultBudget()) {
    PageStore::SetDefaultBudget(bytes);
  }
  ~ScopedPageBudget() { PageStore::SetDefaultBudget(previous_); }
  ScopedPageBudget(const ScopedPageBudget&) = delete;
  ScopedPageBudget& operator=(const ScopedPageBudget&) = delete;

 private:
  std::size_t previous_;
};

}  // namespace tarvel
