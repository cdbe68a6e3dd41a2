#include "reports/engine/TextSink.h"

#include <unistd.h>

#include <QIODevice>
#include <charconv>

#include "platform/Error.h"
#include "reports/engine/PrivateTempFile.h"
#include "reports/engine/TextDump.h"

namespace tarvel {
namespace {

/// The spool's memory is taken, and its file written and read, in pieces of this size.
constexpr std::size_t kPiece = std::size_t{1} << 20;
/// Text is handed to the device in pieces of about this size.
constexpr std::size_t kDevicePiece = std::size_t{64} << 10;

const QString kSpoolName = QStringLiteral("報表文字的暫存檔");

/// Pages handed to the sink's thread and not yet written out, at most.
constexpr std::size_t kWaitingPages = 8;

void AppendNumber(std::string& out, long long number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  out.append(digits, end);
}

void WriteAll(QIODevice& device, const std::string& bytes) {
  // A disk that fills up takes part of a write without a word; writing the rest says why.
  for (qint64 done = 0; done < static_cast<qint64>(bytes.size());) {
    const qint64 written =
        device.write(bytes.data() + done, static_cast<qint64>(bytes.size()) - done);
    if (written <= 0) throw Error(QStringLiteral("無法寫入報表文字：%1").arg(device.errorString()));
    done += written;
  }
}

}  // namespace

void AppendUtf8(std::string& out, QStringView text) {
  const char16_t* in = text.utf16();
  const char16_t* const end = in + text.size();
  while (in < end) {
    const char32_t c = *in++;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0xD800 || c > 0xDFFF) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0xDC00 && in < end && *in >= 0xDC00 && *in <= 0xDFFF) {
      const char32_t full = 0x10000 + ((c - 0xD800) << 10) + (*in++ - 0xDC00);
      out += static_cast<char>(0xF0 | (full >> 18));
      out += static_cast<char>(0x80 | ((full >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((full >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (full & 0x3F));
    } else {
      out += '?';  // half of a pair without its other half
    }
  }
}

TextSink::TextSink(std::size_t budget, QString folder)
    : budget_(budget), folder_(folder.isEmpty() ? PageStore::DefaultFolder() : std::move(folder)) {}

TextSink::~TextSink() {
  StopWriting();
  if (fd_ >= 0) ::close(fd_);
}

void TextSink::StopWriting() {
  if (!writer_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void TextSink::Begin(const PageFrame& frame) {
  if (frame.NeedsPageCount()) {
    store_ = std::make_unique<PageStore>(PageStore::DefaultBudget(), folder_);
    store_->Begin(frame);
    return;
  }
  frame_ = frame;
  for (const ItemStyle& style : frame_.styles) {
    std::string& control = controls_.emplace_back();
    AppendUtf8(control, style.control);
    control += ": ";
  }
  for (int kind = 0; kind < kSectionKindCount; ++kind) {
    std::string& section = sections_[static_cast<std::size_t>(kind)];
    section = "-- ";
    AppendUtf8(section, SectionName(static_cast<SectionKind>(kind)));
    section += " top=";
  }
  writer_ = std::thread(&TextSink::WriteOut, this);
}

void TextSink::Add(Page&& page) {
  if (store_) {
    store_->Add(std::move(page));
    return;
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return handedOver_.size() < kWaitingPages || failure_; });
  if (failure_) std::rethrow_exception(failure_);
  handedOver_.push_back(std::move(page));
  ++added_;
  lock.unlock();
  changed_.notify_all();
}

void TextSink::WriteOut() {
  while (true) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !handedOver_.empty() || ending_; });
    if (handedOver_.empty()) return;
    Page page = std::move(handedOver_.front());
    handedOver_.pop_front();
    lock.unlock();
    changed_.notify_all();
    try {
      Write(page);
    } catch (...) {
      lock.lock();
      failure_ = std::current_exception();
      handedOver_.clear();
      lock.unlock();
      changed_.notify_all();
      return;
    }
  }
}

void TextSink::Write(const Page& page) {
  page_.clear();
  for (const PageBand& band : page.bands) {
    page_ += sections_[static_cast<std::size_t>(band.section)];
    AppendNumber(page_, band.top);
    page_ += " height=";
    AppendNumber(page_, band.height);
    page_ += '\n';
    for (std::uint32_t i = band.firstText; i < band.firstText + band.textCount; ++i) {
      const PageText& text = page.texts[i];
      page_ += controls_[text.style];
      AppendUtf8(page_, page.Text(text));
      page_ += '\n';
    }
  }
  Spool(page_);
  pageEnds_.push_back(memoryBytes_ + static_cast<std::size_t>(fileEnd_) + pending_.size());
}

void TextSink::End(int pageCount) {
  if (store_) {
    store_->End(pageCount);
    return;
  }
  StopWriting();
  if (failure_) std::rethrow_exception(failure_);
}

int TextSink::PageCount() const {
  return store_ ? store_->PageCount() : added_;
}

void TextSink::Spool(const std::string& bytes) {
  if (fd_ < 0 && memoryBytes_ + bytes.size() <= budget_) {
    // The first bytes stay in memory, in pieces taken whole: nothing is moved as the spool grows.
    std::size_t done = 0;
    while (done < bytes.size()) {
      if (memory_.empty() || memory_.back().size() == memory_.back().capacity()) {
        memory_.emplace_back().reserve(kPiece);
      }
      std::string& piece = memory_.back();
      const std::size_t take = std::min(bytes.size() - done, piece.capacity() - piece.size());
      piece.append(bytes, done, take);
      done += take;
    }
    memoryBytes_ += bytes.size();
    return;
  }
  // Past the budget every later byte goes to the file, so what is in memory stays the first.
  if (fd_ < 0) fd_ = OpenPrivateTempFile(folder_);
  pending_ += bytes;
  if (pending_.size() >= kPiece) FlushPending();
}

void TextSink::FlushPending() {
  if (pending_.empty()) return;
  WriteAllAt(fd_, pending_.data(), pending_.size(), fileEnd_, kSpoolName);
  fileEnd_ += static_cast<qint64>(pending_.size());
  pending_.clear();
}

void TextSink::WriteTo(QIODevice& device) {
  if (store_) {
    WriteText(*store_, device);
    return;
  }
  StopWriting();  // every page written out (End has waited for them already)
  if (failure_) std::rethrow_exception(failure_);
  if (fd_ >= 0) FlushPending();
  // The spool is read once, in order: the pieces in memory, then the file a piece at a time.
  std::size_t piece = 0, inPiece = 0;
  qint64 fileAt = 0;
  std::string block;
  std::size_t inBlock = 0;
  const auto take = [&](std::size_t count, std::string& out) {
    while (count > 0) {
      if (piece < memory_.size()) {
        const std::string& from = memory_[piece];
        const std::size_t n = std::min(count, from.size() - inPiece);
        out.append(from, inPiece, n);
        count -= n;
        inPiece += n;
        if (inPiece == from.size()) ++piece, inPiece = 0;
        continue;
      }
      if (inBlock == block.size()) {
        const auto size = static_cast<std::size_t>(
            std::min<qint64>(static_cast<qint64>(kPiece), fileEnd_ - fileAt));
        if (size == 0) throw Error(QStringLiteral("無法讀回%1：檔案被截短").arg(kSpoolName));
        ReadAllAt(fd_, size, fileAt, block, kSpoolName);
        fileAt += static_cast<qint64>(size);
        inBlock = 0;
      }
      const std::size_t n = std::min(count, block.size() - inBlock);
      out.append(block, inBlock, n);
      count -= n;
      inBlock += n;
    }
  };

  const std::size_t count = pageEnds_.size();
  std::string out;
  out.reserve(kDevicePiece + kDevicePiece / 4);
  std::size_t start = 0;
  for (std::size_t index = 0; index < count; ++index) {
    out += "=== page ";
    AppendNumber(out, static_cast<long long>(index + 1));
    out += '/';
    AppendNumber(out, static_cast<long long>(count));
    out += " ===\n";
    take(pageEnds_[index] - start, out);
    start = pageEnds_[index];
    if (out.size() >= kDevicePiece) {
      WriteAll(device, out);
      out.clear();
    }
  }
  WriteAll(device, out);
}

}  // namespace tarvel
