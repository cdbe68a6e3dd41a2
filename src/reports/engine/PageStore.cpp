#include "reports/engine/PageStore.h"

#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <atomic>
#include <cstring>
#include <type_traits>

#include "platform/Error.h"
#include "reports/engine/PrivateTempFile.h"

namespace tarvel {
namespace {

static_assert(std::is_trivially_copyable_v<PageBand> && std::is_trivially_copyable_v<PageText> &&
                  std::is_trivially_copyable_v<PageLine>,
              "pages are written to the temporary file as they are in memory");

const QString kFileName = QStringLiteral("報表的暫存頁檔");

/// Pages are handed to the file in pieces of about this size.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

std::atomic<std::size_t> defaultBudget{0};

/// How one page lies in the file: this header, then its bands, texts, lines and characters.
struct PageHeader {
  std::uint32_t bands;
  std::uint32_t texts;
  std::uint32_t lines;
  std::uint32_t chars;
};

template <class T>
void Append(std::vector<char>& out, const std::vector<T>& items) {
  const auto* bytes = reinterpret_cast<const char*>(items.data());
  out.insert(out.end(), bytes, bytes + items.size() * sizeof(T));
}

template <class T>
const char* Take(const char* in, std::uint32_t count, std::vector<T>& items) {
  items.resize(count);
  if (count > 0) std::memcpy(static_cast<void*>(items.data()), in, count * sizeof(T));
  return in + count * sizeof(T);
}

}  // namespace

std::size_t PageStore::DefaultBudget() {
  const std::size_t budget = defaultBudget.load();
  return budget > 0 ? budget : kDefaultBudget;
}

void PageStore::SetDefaultBudget(std::size_t bytes) {
  defaultBudget.store(bytes);
}

QString PageStore::DefaultFolder() {
  QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
  return QDir(cache).filePath(QStringLiteral("tarvel/pages"));
}

PageStore::PageStore(std::size_t budget, QString folder)
    : budget_(budget), folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder)) {}

PageStore::~PageStore() {
  if (fd_ >= 0) ::close(fd_);
}

void PageStore::Begin(const PageFrame& frame) {
  frame_ = frame;
}

void PageStore::Add(Page&& page) {
  ++pageCount_;
  if (fd_ < 0 && memoryBytes_ + page.HeapBytes() <= budget_) {
    // Not shrunk: a run makes room for a page as full as the one before, so little is left over.
    memoryBytes_ += page.HeapBytes();
    memory_.push_back(std::move(page));
    return;
  }
  // Past the budget every later page goes to the file, so the pages in memory stay the first.
  if (fd_ < 0) OpenFile();
  Write(page);
}

void PageStore::End(int pageCount) {
  complete_ = true;
  pageCount_ = pageCount;
  if (frame_.NeedsPageCount()) {
    for (Page& page : memory_)
      FillPageCount(frame_, page, pageCount);
    // Pages on file get theirs as they are read back.
    if (slotIndex_ >= 0) FillPageCount(frame_, slot_, pageCount);
  }
}

void PageStore::OpenFile() {
  fd_ = OpenPrivateTempFile(folder_);
}

void PageStore::Write(const Page& page) {
  offsets_.push_back(fileEnd_);
  const PageHeader header{
      static_cast<std::uint32_t>(page.bands.size()), static_cast<std::uint32_t>(page.texts.size()),
      static_cast<std::uint32_t>(page.lines.size()), static_cast<std::uint32_t>(page.chars.size())};
  const std::size_t before = pending_.size();
  const auto* head = reinterpret_cast<const char*>(&header);
  pending_.insert(pending_.end(), head, head + sizeof header);
  Append(pending_, page.bands);
  Append(pending_, page.texts);
  Append(pending_, page.lines);
  const auto* chars = reinterpret_cast<const char*>(page.chars.utf16());
  pending_.insert(pending_.end(), chars, chars + page.chars.size() * 2);
  fileEnd_ += static_cast<qint64>(pending_.size() - before);
  if (pending_.size() >= kWriteChunk) Flush();
}

void PageStore::Flush() const {
  if (pending_.empty()) return;
  WriteAllAt(fd_, pending_.data(), pending_.size(), pendingStart_, kFileName);
  pendingStart_ += static_cast<qint64>(pending_.size());
  pending_.clear();
}

void PageStore::ReadBack(int fileIndex) const {
  const auto index = static_cast<std::size_t>(fileIndex);
  const qint64 start = offsets_[index];
  const qint64 end = index + 1 < offsets_.size() ? offsets_[index + 1] : fileEnd_;
  if (end > pendingStart_) Flush();
  ReadAllAt(fd_, static_cast<std::size_t>(end - start), start, readBuffer_, kFileName);
  PageHeader header{};
  if (readBuffer_.size() >= sizeof header) std::memcpy(&header, readBuffer_.data(), sizeof header);
  const std::size_t expected = sizeof header + std::size_t{header.bands} * sizeof(PageBand) +
                               std::size_t{header.texts} * sizeof(PageText) +
                               std::size_t{header.lines} * sizeof(PageLine) +
                               std::size_t{header.chars} * 2;
  if (readBuffer_.size() < sizeof header || expected != readBuffer_.size())
    throw Error(
        QStringLiteral("報表的暫存頁檔已損壞（第 %1 頁）").arg(fileIndex + PagesInMemory() + 1));
  const char* in = readBuffer_.data() + sizeof header;
  in = Take(in, header.bands, slot_.bands);
  in = Take(in, header.texts, slot_.texts);
  in = Take(in, header.lines, slot_.lines);
  slot_.chars = QString(reinterpret_cast<const QChar*>(in), header.chars);
  if (complete_ && frame_.NeedsPageCount()) FillPageCount(frame_, slot_, pageCount_);
}

const Page& PageStore::PageAt(int index) const {
  if (index < 0 || index >= PageCount())
    throw Error(QStringLiteral("報表沒有第 %1 頁").arg(index + 1));
  if (index < PagesInMemory()) return memory_[static_cast<std::size_t>(index)];
  if (slotIndex_ != index) {
    slotIndex_ = -1;  // a failed read leaves no half-read page behind as this one
    ReadBack(index - PagesInMemory());
    slotIndex_ = index;
  }
  return slot_;
}

}  // namespace tarvel
