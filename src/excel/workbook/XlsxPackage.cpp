#include "excel/workbook/XlsxPackage.h"

#include <zlib.h>

#include <algorithm>
#include <future>
#include <limits>
#include <vector>

#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kCentralHeader = 0x02014b50;
constexpr quint32 kEndRecord = 0x06054b50;
constexpr qint64 kLocalHeaderSize = 30;
constexpr qint64 kCentralHeaderSize = 46;
constexpr qint64 kEndRecordSize = 22;
constexpr quint16 kDataDescriptorFlag = 0x0008;
constexpr quint16 kEncryptedFlag = 0x0001;
constexpr quint16 kStored = 0;
constexpr quint16 kDeflated = 8;
constexpr qint64 kChunk = 256 * 1024;
// Replaced parts are read whole; the styles are a few kilobytes.
constexpr quint32 kMaxReplacedPart = 64 * 1024 * 1024;

[[noreturn]] void Damaged(const QString& detail) {
  throw WorkbookError(QStringLiteral("活頁簿檔案不完整或已損壞（%1）").arg(detail));
}

quint16 Get16(const char* p) {
  return static_cast<quint16>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1])
                                                                     << 8);
}

quint32 Get32(const char* p) {
  return static_cast<quint32>(Get16(p)) | static_cast<quint32>(Get16(p + 2)) << 16;
}

void Put16(QByteArray& out, quint16 value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>(value >> 8));
}

void Put32(QByteArray& out, quint32 value) {
  Put16(out, static_cast<quint16>(value & 0xFFFF));
  Put16(out, static_cast<quint16>(value >> 16));
}

// One part as the central directory describes it.
struct Entry {
  quint16 versionMadeBy = 0;
  quint16 versionNeeded = 0;
  quint16 flags = 0;
  quint16 method = 0;
  quint16 time = 0;
  quint16 date = 0;
  quint32 crc = 0;
  quint32 compressedSize = 0;
  quint32 size = 0;
  quint16 internalAttributes = 0;
  quint32 externalAttributes = 0;
  quint32 offset = 0;
  QByteArray name;
};

QByteArray ReadAt(QIODevice& source, qint64 offset, qint64 size) {
  if (!source.seek(offset)) Damaged(QStringLiteral("無法定位"));
  QByteArray data = source.read(size);
  if (data.size() != size) Damaged(QStringLiteral("檔案太短"));
  return data;
}

std::vector<Entry> ReadDirectory(QIODevice& source) {
  const qint64 size = source.size();
  if (size < kEndRecordSize) Damaged(QStringLiteral("檔案太短"));
  const qint64 tailSize = std::min<qint64>(size, kEndRecordSize + 0xFFFF);
  const QByteArray tail = ReadAt(source, size - tailSize, tailSize);
  const qsizetype at = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
  if (at < 0 || tail.size() - at < kEndRecordSize) Damaged(QStringLiteral("找不到目錄"));
  const char* end = tail.constData() + at;
  const quint16 entries = Get16(end + 10);
  const quint32 directorySize = Get32(end + 12);
  const quint32 directoryOffset = Get32(end + 16);
  if (Get16(end + 4) != 0 || Get16(end + 6) != 0 || Get16(end + 8) != entries)
    Damaged(QStringLiteral("分割的壓縮檔"));
  if (entries == 0xFFFF || directoryOffset == 0xFFFFFFFF || directorySize == 0xFFFFFFFF)
    Damaged(QStringLiteral("ZIP64 格式"));
  const qint64 endOffset = size - tailSize + at;
  if (qint64{directoryOffset} + directorySize > endOffset) Damaged(QStringLiteral("目錄位置"));

  const QByteArray directory = ReadAt(source, directoryOffset, directorySize);
  std::vector<Entry> result;
  qint64 p = 0;
  for (int i = 0; i < entries; ++i) {
    if (p + kCentralHeaderSize > directory.size()) Damaged(QStringLiteral("目錄太短"));
    const char* h = directory.constData() + p;
    if (Get32(h) != kCentralHeader) Damaged(QStringLiteral("目錄項目"));
    Entry entry;
    entry.versionMadeBy = Get16(h + 4);
    entry.versionNeeded = Get16(h + 6);
    entry.flags = Get16(h + 8);
    entry.method = Get16(h + 10);
    entry.time = Get16(h + 12);
    entry.date = Get16(h + 14);
    entry.crc = Get32(h + 16);
    entry.compressedSize = Get32(h + 20);
    entry.size = Get32(h + 24);
    const quint16 nameLength = Get16(h + 28);
    const quint16 extraLength = Get16(h + 30);
    const quint16 commentLength = Get16(h + 32);
    entry.internalAttributes = Get16(h + 36);
    entry.externalAttributes = Get32(h + 38);
    entry.offset = Get32(h + 42);
    const qint64 length = kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (p + length > directory.size()) Damaged(QStringLiteral("目錄太短"));
    entry.name = directory.mid(p + kCentralHeaderSize, nameLength);
    if (entry.flags & kEncryptedFlag) Damaged(QStringLiteral("加密的內容"));
    if (entry.method != kStored && entry.method != kDeflated)
      Damaged(QStringLiteral("不支援的壓縮方式"));
    if (entry.compressedSize == 0xFFFFFFFF || entry.size == 0xFFFFFFFF ||
        entry.offset == 0xFFFFFFFF)
      Damaged(QStringLiteral("ZIP64 格式"));
    result.push_back(std::move(entry));
    p += length;
  }
  return result;
}

// Inflates a raw deflate stream fed in pieces.
class Inflater {
 public:
  Inflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) Damaged(QStringLiteral("無法解壓縮"));
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  template <typename Sink>
  void Feed(const char* data, qint64 size, Sink&& sink) {
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream_.avail_in = static_cast<uInt>(size);
    while (!finished_) {
      stream_.next_out = reinterpret_cast<Bytef*>(buffer_.data());
      stream_.avail_out = static_cast<uInt>(buffer_.size());
      const int status = inflate(&stream_, Z_NO_FLUSH);
      const qint64 produced = buffer_.size() - stream_.avail_out;
      if (produced > 0) sink(buffer_.constData(), produced);
      if (status == Z_STREAM_END) {
        finished_ = true;
      } else if (status == Z_BUF_ERROR) {
        break;  // everything given is used: more input needed
      } else if (status != Z_OK) {
        Damaged(QStringLiteral("壓縮資料錯誤"));
      } else if (stream_.avail_in == 0 && stream_.avail_out != 0) {
        break;
      }
    }
    if (finished_ && stream_.avail_in != 0) Damaged(QStringLiteral("壓縮資料後有多餘內容"));
  }
  bool Finished() const { return finished_; }

 private:
  z_stream stream_{};
  QByteArray buffer_ = QByteArray(kChunk, Qt::Uninitialized);
  bool finished_ = false;
};

QByteArray Deflate(const QByteArray& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    throw WorkbookError(QStringLiteral("無法壓縮活頁簿內容"));
  QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))),
                 Qt::Uninitialized);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  const qsizetype written = out.size() - stream.avail_out;
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw WorkbookError(QStringLiteral("無法壓縮活頁簿內容"));
  out.truncate(written);
  return out;
}

// Checks one part's uncompressed content as it streams by: size and CRC always; for a
// worksheet, its rows and its end.
class PartCheck {
 public:
  PartCheck(const Entry& entry, const WorksheetExpectation* worksheet)
      : entry_(entry), worksheet_(worksheet) {}

  void Add(const char* data, qint64 size) {
    crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size));
    size_ += size;
    if (worksheet_) rows_.Add(data, size);
  }

  void Verify() const {
    const QString name = QString::fromUtf8(entry_.name);
    if (size_ != entry_.size || crc_ != entry_.crc) Damaged(name + QStringLiteral(" 檢查碼不符"));
    if (!worksheet_) return;
    if (!rows_.Ended()) Damaged(name + QStringLiteral(" 不完整"));
    if (rows_.Rows() != worksheet_->rows || rows_.LastRow() != worksheet_->lastRow)
      Damaged(QStringLiteral("%1 應有 %2 列、最後一列 %3，實有 %4 列、最後一列 %5")
                  .arg(name)
                  .arg(worksheet_->rows)
                  .arg(worksheet_->lastRow)
                  .arg(rows_.Rows())
                  .arg(rows_.LastRow()));
  }

 private:
  const Entry& entry_;
  const WorksheetExpectation* worksheet_;
  uLong crc_ = crc32(0, nullptr, 0);
  qint64 size_ = 0;
  WorksheetRows rows_;
};

// The target with its write position; a zip without ZIP64 ends at 4 GiB.
class Output {
 public:
  explicit Output(QIODevice& target) : target_(target) {}
  void Write(const char* data, qint64 size) {
    if (size == 0) return;
    if (target_.write(data, size) != size)
      throw WorkbookError(QStringLiteral("無法寫入活頁簿檔案：") + target_.errorString());
    offset_ += size;
    if (offset_ > std::numeric_limits<quint32>::max())
      throw WorkbookError(QStringLiteral("活頁簿檔案超過 4 GB，無法儲存"));
  }
  void Write(const QByteArray& data) { Write(data.constData(), data.size()); }
  quint32 Offset() const { return static_cast<quint32>(offset_); }

 private:
  QIODevice& target_;
  qint64 offset_ = 0;
};

QByteArray LocalHeader(const Entry& entry) {
  QByteArray header;
  Put32(header, kLocalHeader);
  Put16(header, entry.versionNeeded);
  Put16(header, entry.flags);
  Put16(header, entry.method);
  Put16(header, entry.time);
  Put16(header, entry.date);
  Put32(header, entry.crc);
  Put32(header, entry.compressedSize);
  Put32(header, entry.size);
  Put16(header, static_cast<quint16>(entry.name.size()));
  Put16(header, 0);
  return header + entry.name;
}

QByteArray CentralHeader(const Entry& entry) {
  QByteArray header;
  Put32(header, kCentralHeader);
  Put16(header, entry.versionMadeBy);
  Put16(header, entry.versionNeeded);
  Put16(header, entry.flags);
  Put16(header, entry.method);
  Put16(header, entry.time);
  Put16(header, entry.date);
  Put32(header, entry.crc);
  Put32(header, entry.compressedSize);
  Put32(header, entry.size);
  Put16(header, static_cast<quint16>(entry.name.size()));
  Put16(header, 0);  // extra
  Put16(header, 0);  // comment
  Put16(header, 0);  // disk
  Put16(header, entry.internalAttributes);
  Put32(header, entry.externalAttributes);
  Put32(header, entry.offset);
  return header + entry.name;
}

qint64 DataOffset(QIODevice& source, const Entry& entry) {
  const QByteArray header = ReadAt(source, entry.offset, kLocalHeaderSize);
  if (Get32(header.constData()) != kLocalHeader)
    Damaged(QString::fromUtf8(entry.name) + QStringLiteral(" 的標頭"));
  return qint64{entry.offset} + kLocalHeaderSize + Get16(header.constData() + 26) +
         Get16(header.constData() + 28);
}

// Streams the stored data of `entry` through `sink` in pieces.
template <typename Sink>
void ReadData(QIODevice& source, const Entry& entry, Sink&& sink) {
  if (!source.seek(DataOffset(source, entry))) Damaged(QStringLiteral("無法定位"));
  qint64 left = entry.compressedSize;
  QByteArray chunk;
  while (left > 0) {
    chunk = source.read(std::min(left, kChunk));
    if (chunk.isEmpty()) Damaged(QString::fromUtf8(entry.name) + QStringLiteral(" 太短"));
    sink(chunk.constData(), chunk.size());
    left -= chunk.size();
  }
}

// Reads the part's stored data, handing each stored piece to `stored` and the uncompressed
// content to `check` (and `content`, when given), then verifies the part.
template <typename Stored>
void ReadPart(QIODevice& source, const Entry& entry, PartCheck& check, Stored&& stored,
              QByteArray* content = nullptr) {
  Inflater inflater;
  const auto uncompressed = [&](const char* data, qint64 size) {
    check.Add(data, size);
    if (!content) return;
    if (content->size() + size > qint64{kMaxReplacedPart})
      Damaged(QString::fromUtf8(entry.name) + QStringLiteral(" 太大"));
    content->append(data, size);
  };
  ReadData(source, entry, [&](const char* data, qint64 size) {
    stored(data, size);
    if (entry.method == kStored)
      uncompressed(data, size);
    else
      inflater.Feed(data, size, uncompressed);
  });
  if (entry.method == kDeflated && !inflater.Finished())
    Damaged(QString::fromUtf8(entry.name) + QStringLiteral(" 壓縮資料不完整"));
  check.Verify();
}

// Reads the stored data of `entry` whole (a worksheet's is a few megabytes compressed).
QByteArray ReadStored(QIODevice& source, const Entry& entry) {
  QByteArray stored;
  stored.reserve(entry.compressedSize);
  ReadData(source, entry, [&](const char* data, qint64 size) { stored.append(data, size); });
  return stored;
}

// Inflates a part's stored data and checks what it holds.
void CheckStored(const QByteArray& stored, const Entry& entry,
                 const WorksheetExpectation* worksheet) {
  PartCheck check(entry, worksheet);
  const auto uncompressed = [&](const char* data, qint64 size) { check.Add(data, size); };
  if (entry.method == kStored) {
    uncompressed(stored.constData(), stored.size());
  } else {
    Inflater inflater;
    for (qsizetype at = 0; at < stored.size(); at += kChunk)
      inflater.Feed(stored.constData() + at, std::min<qint64>(kChunk, stored.size() - at),
                    uncompressed);
    if (!inflater.Finished())
      Damaged(QString::fromUtf8(entry.name) + QStringLiteral(" 壓縮資料不完整"));
  }
  check.Verify();
}

// Copies the parts of a package and checks each on the way, two at a time: one on a second
// thread while the next is copied and checked on this one. Inflating the worksheets is most of a
// save's check, and the package's other work is done by then.
class PartCopier {
 public:
  PartCopier(Output& out, const std::function<bool()>& stopped) : out_(out), stopped_(stopped) {}
  ~PartCopier() {
    // A check still running when another failed: its outcome no longer matters.
    if (pending_.valid()) pending_.wait();
  }
  PartCopier(const PartCopier&) = delete;
  PartCopier& operator=(const PartCopier&) = delete;

  void Copy(QIODevice& source, Entry& entry, const WorksheetExpectation* worksheet) {
    const Entry original = entry;
    entry.flags &= ~kDataDescriptorFlag;  // the sizes go into the local header
    entry.offset = out_.Offset();
    out_.Write(LocalHeader(entry));
    QByteArray stored = ReadStored(source, original);
    for (qsizetype at = 0; at < stored.size(); at += kChunk) {
      if (stopped_ && stopped_()) throw SaveStopped(QStringLiteral("儲存已停止"));
      out_.Write(stored.constData() + at, std::min<qint64>(kChunk, stored.size() - at));
    }
    // The small parts are checked at once; the worksheets take turns with the second thread.
    if (!worksheet) {
      CheckStored(stored, original, nullptr);
      return;
    }
    auto check = [stored = std::move(stored), original, worksheet] {
      CheckStored(stored, original, worksheet);
    };
    if (!pending_.valid()) {
      pending_ = std::async(std::launch::async, std::move(check));
      return;
    }
    check();
    Finish();
  }

  /// Waits for the check on the second thread; throws what it found.
  void Finish() {
    if (pending_.valid()) pending_.get();
  }

 private:
  Output& out_;
  const std::function<bool()>& stopped_;
  std::future<void> pending_;
};

void ReplacePart(QIODevice& source, Output& out, Entry& entry,
                 const std::function<QByteArray(const QByteArray&)>& replace) {
  if (entry.size > kMaxReplacedPart)
    Damaged(QString::fromUtf8(entry.name) + QStringLiteral(" 太大"));
  QByteArray old;
  PartCheck check(entry, nullptr);
  ReadPart(
      source, entry, check, [](const char*, qint64) {}, &old);

  const QByteArray content = replace(old);
  const QByteArray compressed = Deflate(content);
  entry.method = kDeflated;
  entry.flags &= ~kDataDescriptorFlag;
  entry.crc = static_cast<quint32>(crc32(crc32(0, nullptr, 0),
                                         reinterpret_cast<const Bytef*>(content.constData()),
                                         static_cast<uInt>(content.size())));
  entry.compressedSize = static_cast<quint32>(compressed.size());
  entry.size = static_cast<quint32>(content.size());
  entry.offset = out.Offset();
  out.Write(LocalHeader(entry));
  out.Write(compressed);
}

}  // namespace

// A piece is searched where it lies; the seam (the tail carried from what came before and the
// piece's start) finds a tag or a number split between two pieces. Every tag is counted once: in
// the piece when it lies wholly in it, at the seam when it begins in the tail and ends past it.
// A number is read wherever its closing quote is seen, in order, so the last one read is the
// last row's.
void WorksheetRows::Add(const char* data, qint64 size) {
  static constexpr QByteArrayView kTag("<row r=\"");
  const QByteArrayView piece(data, size);
  const bool small = size < kSeam;
  const QByteArray seam = tail_ + (small ? piece : piece.first(kSeam)).toByteArray();
  const qsizetype counted = tail_.size();  // tags wholly in the tail were counted before
  for (qsizetype at = seam.indexOf(kTag); at >= 0 && (small || at < counted);
       at = seam.indexOf(kTag, at + 1)) {
    if (at + kTag.size() > counted) ++rows_;
    ReadNumber(seam, at + kTag.size());
  }
  if (small) {
    tail_ = seam.right(kSeam);
    return;
  }
  for (qsizetype at = piece.indexOf(kTag); at >= 0; at = piece.indexOf(kTag, at + 1)) {
    ++rows_;
    ReadNumber(piece, at + kTag.size());
  }
  tail_ = piece.last(kSeam).toByteArray();
}

void WorksheetRows::ReadNumber(QByteArrayView text, qsizetype digits) {
  const qsizetype quote = text.indexOf('"', digits);
  if (quote > digits && quote - digits <= 7) lastRow_ = text.sliced(digits, quote - digits).toInt();
}

bool WorksheetRows::Ended() const {
  return tail_.trimmed().endsWith("</worksheet>");
}

void ReadPackagePart(QIODevice& source, const QString& name,
                     const std::function<void(const char*, qint64)>& sink) {
  const QByteArray wanted = name.toUtf8();
  for (const Entry& entry : ReadDirectory(source)) {
    if (entry.name != wanted) continue;
    PartCheck check(entry, nullptr);
    Inflater inflater;
    ReadData(source, entry, [&](const char* data, qint64 size) {
      const auto uncompressed = [&](const char* piece, qint64 length) {
        check.Add(piece, length);
        sink(piece, length);
      };
      if (entry.method == kStored)
        uncompressed(data, size);
      else
        inflater.Feed(data, size, uncompressed);
    });
    if (entry.method == kDeflated && !inflater.Finished())
      Damaged(name + QStringLiteral(" 壓縮資料不完整"));
    check.Verify();
    return;
  }
  Damaged(QStringLiteral("缺少 ") + name);
}

void RewritePackage(QIODevice& source, QIODevice& target, const PackageEdit& edit,
                    const std::function<bool()>& stopped) {
  std::vector<Entry> entries = ReadDirectory(source);
  Output out(target);
  PartCopier copier(out, stopped);
  int replaced = 0;
  int worksheets = 0;
  for (Entry& entry : entries) {
    const QString name = QString::fromUtf8(entry.name);
    const auto replace = edit.replace.constFind(name);
    if (replace != edit.replace.constEnd()) {
      ReplacePart(source, out, entry, *replace);
      ++replaced;
      continue;
    }
    const auto worksheet = edit.worksheets.constFind(name);
    if (worksheet != edit.worksheets.constEnd()) ++worksheets;
    copier.Copy(source, entry, worksheet != edit.worksheets.constEnd() ? &*worksheet : nullptr);
  }
  copier.Finish();
  if (replaced != edit.replace.size() || worksheets != edit.worksheets.size())
    Damaged(QStringLiteral("缺少部分內容"));

  const quint32 directoryOffset = out.Offset();
  QByteArray directory;
  for (const Entry& entry : entries)
    directory += CentralHeader(entry);
  out.Write(directory);
  QByteArray end;
  Put32(end, kEndRecord);
  Put16(end, 0);
  Put16(end, 0);
  Put16(end, static_cast<quint16>(entries.size()));
  Put16(end, static_cast<quint16>(entries.size()));
  Put32(end, static_cast<quint32>(directory.size()));
  Put32(end, directoryOffset);
  Put16(end, 0);
  out.Write(end);
}

}  // namespace tarvel::excel
