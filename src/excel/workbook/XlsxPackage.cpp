#include "excel/workbook/XlsxPackage.h"

#include <zlib.h>

#include <algorithm>
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
    if (worksheet_) Scan(data, size);
  }

  void Verify() const {
    const QString name = QString::fromUtf8(entry_.name);
    if (size_ != entry_.size || crc_ != entry_.crc) Damaged(name + QStringLiteral(" 檢查碼不符"));
    if (!worksheet_) return;
    if (!carry_.trimmed().endsWith("</worksheet>")) Damaged(name + QStringLiteral(" 不完整"));
    if (rows_ != worksheet_->rows || lastRow_ != worksheet_->lastRow)
      Damaged(QStringLiteral("%1 應有 %2 列、最後一列 %3，實有 %4 列、最後一列 %5")
                  .arg(name)
                  .arg(worksheet_->rows)
                  .arg(worksheet_->lastRow)
                  .arg(rows_)
                  .arg(lastRow_));
  }

 private:
  // Counts <row r="N" elements (texts cannot hold "<": it is written &lt;) and keeps the
  // number of the last; the carried tail lets a tag split between two pieces be seen whole.
  void Scan(const char* data, qint64 size) {
    static const QByteArray kTag = QByteArrayLiteral("<row r=\"");
    const qsizetype carried = carry_.size();
    carry_.append(data, size);
    for (qsizetype at = carry_.indexOf(kTag); at >= 0; at = carry_.indexOf(kTag, at + 1)) {
      if (at + kTag.size() > carried) ++rows_;
      const qsizetype digits = at + kTag.size();
      const qsizetype quote = carry_.indexOf('"', digits);
      if (quote > digits && quote - digits <= 7)
        lastRow_ = carry_.mid(digits, quote - digits).toInt();
    }
    carry_ = carry_.right(64);
  }

  const Entry& entry_;
  const WorksheetExpectation* worksheet_;
  uLong crc_ = crc32(0, nullptr, 0);
  qint64 size_ = 0;
  QByteArray carry_;
  qint64 rows_ = 0;
  int lastRow_ = 0;
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

void CopyPart(QIODevice& source, Output& out, Entry& entry, const WorksheetExpectation* worksheet,
              const std::function<bool()>& stopped) {
  const Entry original = entry;
  entry.flags &= ~kDataDescriptorFlag;  // the sizes go into the local header
  entry.offset = out.Offset();
  out.Write(LocalHeader(entry));
  PartCheck check(original, worksheet);
  ReadPart(source, original, check, [&](const char* data, qint64 size) {
    if (stopped && stopped()) throw SaveStopped(QStringLiteral("儲存已停止"));
    out.Write(data, size);
  });
}

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
    CopyPart(source, out, entry, worksheet != edit.worksheets.constEnd() ? &*worksheet : nullptr,
             stopped);
  }
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
