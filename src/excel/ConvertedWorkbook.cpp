#include "excel/ConvertedWorkbook.h"

#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "excel/workbook/XlsxPackage.h"
#include "platform/Error.h"

namespace tarvel::excel {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kMaxSector = 0xFFFFFFFA;

class Unreadable : public Error {
 public:
  using Error::Error;
};

[[noreturn]] void Fail(const char* what) {
  throw Unreadable(QString::fromUtf8(what));
}

/// Gives the reading up when its caller asks.
void GoOn(const std::function<bool()>& stopped) {
  if (stopped && stopped()) throw ConversionInterrupted(QStringLiteral("已停止檢查轉出的檔案"));
}

quint16 Get16(const uchar* p) {
  return static_cast<quint16>(p[0] | p[1] << 8);
}

quint32 Get32(const uchar* p) {
  return static_cast<quint32>(Get16(p)) | static_cast<quint32>(Get16(p + 2)) << 16;
}

// The streams of a compound document (the container of .xls files), enough to read one stream
// by name.
class CompoundFile {
 public:
  CompoundFile(const uchar* data, qint64 size) : data_(data), size_(size) {
    static const uchar kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (size_ < 512 || std::memcmp(data_, kSignature, sizeof kSignature) != 0)
      Fail("不是 Excel 97-2003 活頁簿");
    const int shift = Get16(data_ + 0x1E);
    const int miniShift = Get16(data_ + 0x20);
    if (shift < 9 || shift > 16 || miniShift < 1 || miniShift >= shift) Fail("檔頭不合理");
    sectorSize_ = qint64{1} << shift;
    miniSectorSize_ = qint64{1} << miniShift;
    miniCutoff_ = Get32(data_ + 0x38);
    ReadFat();
    ReadDirectory();
  }

  // The content of the first stream called one of `names` (Excel 97 and later call the workbook
  // "Workbook", older writers "Book").
  QByteArray Stream(std::initializer_list<const char*> names) const {
    for (const char* name : names)
      for (const Entry& entry : entries_)
        if (entry.type == 2 && entry.name == QLatin1String(name)) {
          if (entry.size < miniCutoff_) return MiniChain(entry.start, entry.size);
          return Chain(entry.start, entry.size);
        }
    Fail("找不到活頁簿內容");
  }

 private:
  struct Entry {
    QString name;
    int type = 0;
    quint32 start = 0;
    qint64 size = 0;
  };

  const uchar* Sector(quint32 number) const {
    const qint64 offset = (qint64{number} + 1) * sectorSize_;
    if (number > kMaxSector || offset + sectorSize_ > size_) Fail("區段超出檔案");
    return data_ + offset;
  }

  // The sectors a chain of the FAT runs through, `size` bytes of them (all when negative).
  QByteArray Chain(quint32 start, qint64 size) const {
    QByteArray out;
    quint32 sector = start;
    for (qint64 hops = 0; sector != kEndOfChain; ++hops) {
      if (sector >= fat_.size() || hops > qint64(fat_.size())) Fail("區段鏈錯誤");
      out.append(reinterpret_cast<const char*>(Sector(sector)), sectorSize_);
      if (size >= 0 && out.size() >= size) break;
      sector = fat_[sector];
    }
    if (size >= 0) {
      if (out.size() < size) Fail("內容比記錄的短");
      out.truncate(size);
    }
    return out;
  }

  QByteArray MiniChain(quint32 start, qint64 size) const {
    QByteArray out;
    quint32 sector = start;
    for (qint64 hops = 0; out.size() < size; ++hops) {
      if (sector >= miniFat_.size() || hops > qint64(miniFat_.size())) Fail("小區段鏈錯誤");
      const qint64 offset = qint64{sector} * miniSectorSize_;
      if (offset + miniSectorSize_ > miniStream_.size()) Fail("小區段超出範圍");
      out.append(miniStream_.constData() + offset, miniSectorSize_);
      sector = miniFat_[sector];
    }
    out.truncate(size);
    return out;
  }

  void ReadFat() {
    std::vector<quint32> fatSectors;
    for (int i = 0; i < 109; ++i) {
      const quint32 sector = Get32(data_ + 0x4C + i * 4);
      if (sector <= kMaxSector) fatSectors.push_back(sector);
    }
    quint32 difat = Get32(data_ + 0x44);
    const qint64 perSector = sectorSize_ / 4;
    for (qint64 hops = 0; difat <= kMaxSector; ++hops) {
      if (hops > size_ / sectorSize_) Fail("DIFAT 鏈錯誤");
      const uchar* p = Sector(difat);
      for (qint64 i = 0; i + 1 < perSector; ++i) {
        const quint32 sector = Get32(p + i * 4);
        if (sector <= kMaxSector) fatSectors.push_back(sector);
      }
      difat = Get32(p + (perSector - 1) * 4);
    }
    for (const quint32 sector : fatSectors) {
      const uchar* p = Sector(sector);
      for (qint64 i = 0; i < perSector; ++i)
        fat_.push_back(Get32(p + i * 4));
    }
  }

  void ReadDirectory() {
    const QByteArray directory = Chain(Get32(data_ + 0x30), -1);
    for (qsizetype at = 0; at + 128 <= directory.size(); at += 128) {
      const auto* p = reinterpret_cast<const uchar*>(directory.constData() + at);
      const int nameBytes = std::min<int>(Get16(p + 0x40), 64);
      Entry entry;
      entry.name =
          QString::fromUtf16(reinterpret_cast<const char16_t*>(p), std::max(0, nameBytes / 2 - 1));
      entry.type = p[0x42];
      entry.start = Get32(p + 0x74);
      entry.size = Get32(p + 0x78);
      entries_.push_back(entry);
    }
    if (entries_.empty() || entries_.front().type != 5) Fail("找不到根目錄");
    const Entry& root = entries_.front();
    if (root.size > 0) miniStream_ = Chain(root.start, root.size);
    const quint32 miniFatStart = Get32(data_ + 0x3C);
    if (miniFatStart <= kMaxSector) {
      const QByteArray miniFat = Chain(miniFatStart, -1);
      for (qsizetype i = 0; i + 4 <= miniFat.size(); i += 4)
        miniFat_.push_back(Get32(reinterpret_cast<const uchar*>(miniFat.constData() + i)));
    }
  }

  const uchar* data_;
  qint64 size_;
  qint64 sectorSize_ = 512;
  qint64 miniSectorSize_ = 64;
  quint32 miniCutoff_ = 4096;
  std::vector<quint32> fat_;
  std::vector<quint32> miniFat_;
  QByteArray miniStream_;
  std::vector<Entry> entries_;
};

// The BIFF8 records of the workbook stream: one substream per sheet after the globals, each
// with its cell records; a cell record starts with its row (from 0).
std::vector<SheetValues> BiffSheetValues(const QByteArray& stream,
                                         const std::function<bool()>& stopped) {
  enum : quint16 {
    kBof = 0x0809,
    kEof = 0x000A,
    kFormula = 0x0006,
    kRString = 0x00D6,
    kMulRk = 0x00BD,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kRk = 0x027E,
  };
  constexpr quint16 kWorksheet = 0x0010;
  std::vector<SheetValues> sheets;
  std::vector<bool> rows;
  bool inSheet = false;
  const auto* p = reinterpret_cast<const uchar*>(stream.constData());
  // Records between two looks at `stopped`.
  constexpr int kRecordsPerLook = 1 << 16;
  int untilLook = kRecordsPerLook;
  for (qsizetype at = 0; at + 4 <= stream.size();) {
    if (--untilLook == 0) {
      GoOn(stopped);
      untilLook = kRecordsPerLook;
    }
    const quint16 type = Get16(p + at);
    const quint16 length = Get16(p + at + 2);
    const uchar* data = p + at + 4;
    if (at + 4 + length > stream.size()) Fail("記錄超出內容");
    at += 4 + length;
    switch (type) {
      case kBof:
        inSheet = length >= 4 && Get16(data + 2) == kWorksheet;
        if (inSheet) {
          sheets.emplace_back();
          rows.assign(kXlsMaxRows, false);
        }
        break;
      case kEof:
        inSheet = false;
        break;
      case kFormula:
      case kRString:
      case kMulRk:
      case kLabelSst:
      case kNumber:
      case kLabel:
      case kBoolErr:
      case kRk: {
        if (!inSheet || length < 2) break;
        const int row = Get16(data);
        if (!rows[static_cast<size_t>(row)]) {
          rows[static_cast<size_t>(row)] = true;
          ++sheets.back().rows;
        }
        sheets.back().lastRow = std::max(sheets.back().lastRow, row + 1);
        break;
      }
      default:
        break;
    }
  }
  return sheets;
}

std::vector<SheetValues> XlsSheetValues(const QString& path, const std::function<bool()>& stopped) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail("無法開啟");
  const qint64 size = file.size();
  const uchar* data = file.map(0, size);
  if (!data) Fail("無法讀取");
  const CompoundFile compound(data, size);
  const QByteArray stream = compound.Stream({"Workbook", "Book"});
  GoOn(stopped);
  return BiffSheetValues(stream, stopped);
}

// content.xml of an .ods file: a table per sheet, its rows (a row may stand for several equal
// ones) and their cells; a cell with a value type holds a value.
std::vector<SheetValues> OdsSheetValues(const QString& path, const std::function<bool()>& stopped) {
  static const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
  static const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail("無法開啟");
  std::vector<SheetValues> sheets;
  QXmlStreamReader xml;
  int tableDepth = 0;
  qint64 row = 0;        // rows of the current table before the current one
  qint64 rowRepeat = 1;  // how many rows the current row stands for
  bool rowHasValue = false;
  const auto parse = [&] {
    while (!xml.atEnd()) {
      const QXmlStreamReader::TokenType token = xml.readNext();
      if (token == QXmlStreamReader::StartElement && xml.namespaceUri() == kTable) {
        const QStringView name = xml.name();
        if (name == u"table" && ++tableDepth == 1) {
          sheets.emplace_back();
          row = 0;
        } else if (name == u"table-row" && tableDepth == 1) {
          const QStringView repeat =
              xml.attributes().value(kTable, QStringLiteral("number-rows-repeated"));
          rowRepeat = repeat.isEmpty() ? 1 : std::max<qint64>(1, repeat.toLongLong());
          rowHasValue = false;
        } else if (name == u"table-cell" && tableDepth == 1 &&
                   xml.attributes().hasAttribute(kOffice, QStringLiteral("value-type"))) {
          rowHasValue = true;
        }
      } else if (token == QXmlStreamReader::EndElement && xml.namespaceUri() == kTable) {
        const QStringView name = xml.name();
        if (name == u"table") {
          --tableDepth;
        } else if (name == u"table-row" && tableDepth == 1) {
          if (rowHasValue) {
            sheets.back().rows += rowRepeat;
            sheets.back().lastRow = static_cast<int>(row + rowRepeat);
          }
          row += rowRepeat;
        }
      }
    }
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
      Fail("內容無法解讀");
  };
  try {
    ReadPackagePart(file, QStringLiteral("content.xml"), [&](const char* data, qint64 size) {
      GoOn(stopped);
      xml.addData(QByteArray::fromRawData(data, size));
      parse();
    });
  } catch (const ConversionInterrupted&) {
    throw;
  } catch (const Error& error) {
    throw Unreadable(error.Description());
  }
  if (xml.hasError()) Fail("內容不完整");
  return sheets;
}

}  // namespace

std::vector<SheetValues> ReadSheetValues(const QString& path, WorkbookFormat format,
                                         const std::function<bool()>& stopped) {
  try {
    if (format == WorkbookFormat::Xls) return XlsSheetValues(path, stopped);
    if (format == WorkbookFormat::Ods) return OdsSheetValues(path, stopped);
    Fail("不支援的格式");
  } catch (const Unreadable& error) {
    throw Error(QStringLiteral("轉換後的活頁簿 %1 無法讀取（%2）").arg(path, error.Description()));
  }
}

}  // namespace tarvel::excel
