#include "db/jet/JetFile.h"

#include <mdbtools.h>

#include <QFileInfo>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "db/jet/JetPage.h"

namespace tarvel::db::jet {
namespace {

constexpr int kMaxHops = 4;  // pointers followed for one row before the page counts as torn

constexpr unsigned char kDataPage = 0x01;
constexpr unsigned char kTableDefinitionPage = 0x02;

qint32 Int32(const unsigned char* p) {
  return static_cast<qint32>(static_cast<quint32>(p[0]) | static_cast<quint32>(p[1]) << 8 |
                             static_cast<quint32>(p[2]) << 16 | static_cast<quint32>(p[3]) << 24);
}
qint64 Int64(const unsigned char* p) {
  quint64 v = 0;
  for (int i = 7; i >= 0; --i)
    v = v << 8 | p[i];
  return static_cast<qint64>(v);
}
int Int16(const unsigned char* p) {
  return static_cast<qint16>(static_cast<quint16>(p[0] | p[1] << 8));
}
template <typename T>
T Raw(const unsigned char* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after H. Hinnant's algorithm.
void CivilFromDays(qint64 z, qint64& y, int& m, int& d) {
  z += 719468;
  const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
  const qint64 doe = z - era * 146097;
  const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = yoe + era * 400;
  const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const qint64 mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  if (m <= 2) ++y;
}

// Jet keeps a date as days since 1899-12-30; the fraction is the time of day, also for dates
// before 1899 (where the whole part is negative and the fraction still counts forward).
bool DateText(double value, std::string& out) {
  if (!std::isfinite(value) || value < -657434.0 || value > 2958466.0) return false;
  qint64 day = static_cast<qint64>(std::trunc(value));
  qint64 seconds = std::llround(std::fabs(value - static_cast<double>(day)) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
  }
  qint64 y = 0;
  int m = 0;
  int d = 0;
  CivilFromDays(day - 25569, y, m, d);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02lld:%02lld:%02lld",
                static_cast<long long>(y), m, d, static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  out = text;
  return true;
}

}  // namespace

bool Column::IsText() const {
  return type == static_cast<int>(ColumnType::Text) || type == static_cast<int>(ColumnType::Memo);
}

QString Column::TypeName() const {
  if (type == kComplexColumn) return QStringLiteral("Attachment/Multi-valued");
  if (type == kBigIntColumn) return QStringLiteral("Large Number");
  switch (static_cast<ColumnType>(type)) {
    case ColumnType::Boolean:
      return QStringLiteral("Yes/No");
    case ColumnType::Byte:
      return QStringLiteral("Byte");
    case ColumnType::Integer:
      return QStringLiteral("Integer");
    case ColumnType::Long:
      return QStringLiteral("Long Integer");
    case ColumnType::Money:
      return QStringLiteral("Currency");
    case ColumnType::Single:
      return QStringLiteral("Single");
    case ColumnType::Double:
      return QStringLiteral("Double");
    case ColumnType::DateTime:
      return QStringLiteral("Date/Time");
    case ColumnType::Binary:
      return QStringLiteral("Binary");
    case ColumnType::Text:
      return QStringLiteral("Text(%1)").arg(size);
    case ColumnType::Ole:
      return QStringLiteral("OLE Object");
    case ColumnType::Memo:
      return QStringLiteral("Memo");
    case ColumnType::ReplicationId:
      return QStringLiteral("Replication ID");
    case ColumnType::Numeric:
      return QStringLiteral("Decimal");
  }
  return QStringLiteral("type %1").arg(type);
}

QString NotReadable(const QString& path, const QString& reason) {
  return QStringLiteral("無法讀取 Jet (Access) 資料庫檔案 %1：%2").arg(path, reason);
}

struct File::Handle {
  MdbHandle* mdb = nullptr;
  ~Handle() {
    if (mdb) mdb_close(mdb);
  }
};

struct Scan::Impl {
  std::shared_ptr<const File> file;  // its handle, and for OpenBytes its bytes, outlive the scan
  QString path;
  QString tableName;
  MdbHandle* mdb = nullptr;  // a clone of the file's handle: its own page buffers
  MdbCatalogEntry entry{};   // the table's catalog entry, made here (see File::ReadCatalog)
  MdbTableDef* table = nullptr;
  std::vector<MdbColumn*> columns;
  std::vector<ColumnPlace> places;  // where each column sits in a row
  bool jet3 = false;
  qint64 filePages = 0;
  int pageSize = 0;
  guint32 page = 0;  // the data page being walked; 0 before the first
  int rowsOnPage = 0;
  int row = 0;                     // next row index on `page`
  bool pageInBuffer = false;       // false after a hop to a moved row's page
  bool bruteForce = false;         // the page map could not be read: every page is looked at
  std::vector<FieldBytes> fields;  // the current row's columns, on the page in mdb->pg_buf
  std::vector<Cell> cells;
  std::vector<char> decoded;
  std::string scratch;

  ~Impl() {
    if (table) mdb_free_tabledef(table);
    if (mdb) mdb_close(mdb);
  }

  // A page that does not hold together: torn by a writer, or damaged. Names the file and table.
  [[noreturn]] void Torn(const QString& what) const {
    throw InconsistentPage(
        QStringLiteral("Jet 資料庫檔案 %1 的資料表 %2 資料頁不一致（%3；可能正被其他工作站寫入）。")
            .arg(path, tableName, what));
  }

  PageBytes Page() const { return {mdb->pg_buf, pageSize, jet3}; }

  void ReadPage(guint32 number) {
    if (number == 0 || static_cast<qint64>(number) >= filePages ||
        mdb_read_pg(mdb, number) != pageSize) {
      Torn(QStringLiteral("第 %1 頁不在檔案中").arg(number));
    }
  }

  bool OwnsPage() const {
    return mdb->pg_buf[0] == kDataPage &&
           static_cast<unsigned long>(Int32(mdb->pg_buf + 4)) == table->entry->table_pg;
  }

  int RowCountOnPage() {
    const int count = RowSlotCount(Page());
    if (count < 0) Torn(QStringLiteral("第 %1 頁的資料列數不合理").arg(mdb->cur_pg));
    return count;
  }

  // The next page of the table: from the table's page map, or, when libmdb cannot read the map,
  // by looking at every page after the current one.
  bool NextPage() {
    for (;;) {
      guint32 next = 0;
      // A damaged definition can leave the table without a usage map; libmdb would read it anyway.
      if (!bruteForce && (table->usage_map == nullptr || table->map_sz < 1)) bruteForce = true;
      if (!bruteForce) {
        const gint32 found = mdb_map_find_next(mdb, table->usage_map,
                                               static_cast<unsigned int>(table->map_sz), page);
        if (found < 0) {
          bruteForce = true;
          continue;
        }
        next = static_cast<guint32>(found);
        if (next == 0) return false;
        if (next <= page) Torn(QStringLiteral("頁面配置圖循環"));
      } else {
        next = page + 1;
        if (static_cast<qint64>(next) >= filePages) return false;
      }
      page = next;
      ReadPage(page);
      // libmdb's own scan also passes over a mapped page that another table owns: the map may
      // still name a page freed since.
      if (!OwnsPage()) continue;
      pageInBuffer = true;
      rowsOnPage = RowCountOnPage();
      row = 0;
      return true;
    }
  }

  RowSlot Slot(int index, bool throughPointer) {
    RowSlot slot;
    QString why;
    if (!ReadSlot(Page(), index, throughPointer, slot, why))
      Torn(QStringLiteral("第 %1 頁%2").arg(mdb->cur_pg).arg(why));
    return slot;
  }

  bool Fetch(qint64& key) {
    for (;;) {
      if (page == 0 || row >= rowsOnPage) {
        if (!NextPage()) return false;
        continue;
      }
      const int index = row++;
      if (!pageInBuffer) {
        ReadPage(page);
        if (!OwnsPage()) Torn(QStringLiteral("第 %1 頁已改變").arg(page));
        pageInBuffer = true;
      }
      // A deleted row is passed over on its flag alone, before its offset means anything.
      RowSlot slot = Slot(index, false);
      if (slot.kind == RowSlot::Kind::Skipped) continue;
      key = static_cast<qint64>(page) << 16 | index;
      int at = index;  // where the row's bytes are: a moved row's on the page it moved to
      for (int hop = 0; slot.kind == RowSlot::Kind::Pointer; ++hop) {
        RowPointer to;
        QString why;
        if (hop == kMaxHops || !ReadPointer(Page(), slot, to, why))
          Torn(QStringLiteral("移動過的資料列指標不合理") +
               (why.isEmpty() ? QString() : u'：' + why));
        ReadPage(to.page);
        pageInBuffer = false;
        if (!OwnsPage() || to.row >= RowCountOnPage())
          Torn(QStringLiteral("移動過的資料列不在第 %1 頁").arg(to.page));
        slot = Slot(to.row, true);
        at = to.row;
      }
      QString why;
      if (!SplitRow(Page(), slot.start, slot.end, table->num_var_cols > 0, places, fields, why))
        Torn(QStringLiteral("第 %1 頁第 %2 列：%3").arg(mdb->cur_pg).arg(at).arg(why));
      std::fill(decoded.begin(), decoded.end(), 0);
      return true;
    }
  }

  // The bytes of a long value (memo or OLE) that sit in a row of another page; `pointer` is the
  // page (upper 24 bits) and row (lower 8 bits). Leaves the page in the alternate buffer.
  std::pair<const unsigned char*, size_t> LongValueRow(guint32 pointer) {
    const guint32 number = pointer >> 8;
    if (number == 0 || static_cast<qint64>(number) >= filePages ||
        mdb_read_alt_pg(mdb, number) != pageSize) {
      Torn(QStringLiteral("長文字指向第 %1 頁").arg(number));
    }
    const PageBytes longValues{mdb->alt_pg_buf, pageSize, jet3};
    const int index = static_cast<int>(pointer & 0xff);
    RowSlot slot;
    QString why;
    if (longValues.data[0] != kDataPage || index >= RowSlotCount(longValues) ||
        !ReadSlot(longValues, index, false, slot, why) || slot.kind != RowSlot::Kind::Row) {
      Torn(QStringLiteral("長文字的第 %1 頁不合理").arg(number) + why);
    }
    return {longValues.data + slot.start, static_cast<size_t>(slot.end - slot.start)};
  }

  // A memo or OLE value: its 12-byte header in the row says whether the bytes follow inline,
  // fill one row of another page, or run through a chain of such rows.
  void LongValue(const unsigned char* p, int size, std::string& out) {
    if (size < 12) Torn(QStringLiteral("長文字欄位太短"));
    const quint32 header = static_cast<quint32>(Int32(p));
    const size_t total = header & 0x3fffffff;
    const auto pointer = static_cast<guint32>(Int32(p + 4));
    out.clear();
    if (header & 0x80000000u) {
      out.assign(reinterpret_cast<const char*>(p + 12),
                 std::min(total, static_cast<size_t>(size - 12)));
    } else if (header & 0x40000000u) {
      const auto [bytes, length] = LongValueRow(pointer);
      out.assign(reinterpret_cast<const char*>(bytes), std::min(total, length));
    } else {
      guint32 next = pointer;
      for (qint64 hop = 0; next != 0 && out.size() < total; ++hop) {
        if (hop > filePages) Torn(QStringLiteral("長文字的頁鏈循環"));
        const auto [bytes, length] = LongValueRow(next);
        if (length < 4) Torn(QStringLiteral("長文字的頁鏈不合理"));
        next = static_cast<guint32>(Int32(bytes));
        out.append(reinterpret_cast<const char*>(bytes + 4),
                   std::min(length - 4, total - out.size()));
      }
    }
  }

  // Jet 4 text (UCS-2, or compressed) and Jet 3 text (the file's code page) as UTF-8.
  void TextValue(const char* bytes, size_t size, std::string& out) {
    out.resize(size * 3 + 8);
    const int written = mdb_unicode2ascii(mdb, bytes, size, out.data(), out.size() - 1);
    out.resize(written > 0 ? static_cast<size_t>(written) : 0);
    // Access ends some memo texts (the stored queries' expressions) with a NUL of its own.
    while (!out.empty() && out.back() == '\0')
      out.pop_back();
  }

  void Decode(int index, Cell& cell) {
    const MdbColumn* column = columns[static_cast<size_t>(index)];
    const FieldBytes& field = fields[static_cast<size_t>(index)];
    cell.bytes.clear();
    if (column->col_type == MDB_BOOL) {  // kept in the row's null mask: set is Yes
      cell.kind = Cell::Kind::Integer;
      cell.integer = field.null ? 0 : -1;
      return;
    }
    if (field.null) {
      cell.kind = Cell::Kind::Null;
      return;
    }
    const int size = field.size;
    const unsigned char* p = mdb->pg_buf + field.start;
    const auto need = [&](int bytes) {
      if (size < bytes) Torn(QStringLiteral("欄位 %1 太短").arg(QString::fromUtf8(column->name)));
    };
    switch (column->col_type) {
      case MDB_BYTE:
        need(1);
        cell.kind = Cell::Kind::Integer;
        cell.integer = p[0];
        return;
      case MDB_INT:
        need(2);
        cell.kind = Cell::Kind::Integer;
        cell.integer = Int16(p);
        return;
      case MDB_LONGINT:
        need(4);
        cell.kind = Cell::Kind::Integer;
        cell.integer = Int32(p);
        return;
      case MDB_MONEY:  // whole ten-thousandths: the division is exact to the last of them
        need(8);
        cell.kind = Cell::Kind::Real;
        cell.real = static_cast<double>(Int64(p)) / 10000.0;
        return;
      case MDB_FLOAT:
        need(4);
        cell.kind = Cell::Kind::Real;
        // The Single's exact value: arithmetic uses it; a statement's output shows it as Access
        // does (its shortest text).
        cell.real = static_cast<double>(Raw<float>(p));
        return;
      case MDB_DOUBLE:
        need(8);
        cell.kind = Cell::Kind::Real;
        cell.real = Raw<double>(p);
        return;
      case MDB_DATETIME:
        need(8);
        cell.real = Raw<double>(p);
        cell.kind = DateText(cell.real, cell.bytes) ? Cell::Kind::Text : Cell::Kind::Real;
        return;
      case MDB_TEXT:
        cell.kind = Cell::Kind::Text;
        TextValue(reinterpret_cast<const char*>(p), static_cast<size_t>(size), cell.bytes);
        return;
      case MDB_MEMO:
        cell.kind = Cell::Kind::Text;
        LongValue(p, size, scratch);
        TextValue(scratch.data(), scratch.size(), cell.bytes);
        return;
      case MDB_OLE:
        cell.kind = Cell::Kind::Blob;
        LongValue(p, size, cell.bytes);
        return;
      case MDB_REPID: {
        need(16);
        char text[40];
        std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      static_cast<unsigned>(Int32(p)), static_cast<unsigned>(Int16(p + 4) & 0xffff),
                      static_cast<unsigned>(Int16(p + 6) & 0xffff), p[8], p[9], p[10], p[11], p[12],
                      p[13], p[14], p[15]);
        cell.kind = Cell::Kind::Text;
        cell.bytes = text;
        return;
      }
      case MDB_NUMERIC:
        need(17);
        Numeric(p, column->col_prec, cell);
        return;
      case kBigIntColumn:
        need(8);
        cell.kind = Cell::Kind::Integer;
        cell.integer = Int64(p);
        return;
      case kComplexColumn:  // the row holds only a key into tables of Access's own
        throw DbError(QStringLiteral("Jet 資料庫檔案 %1 的資料表 %2 欄位 %3 是附件或多值欄位，"
                                     "本程式讀不了它的值。")
                          .arg(path, tableName, QString::fromUtf8(column->name)));
      default:
        cell.kind = Cell::Kind::Blob;
        cell.bytes.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(size));
        return;
    }
  }

  // Decimal: a sign byte and a 128-bit whole number in four little-endian words, the most
  // significant first; the column's scale places the point. (libmdb 1.0 hands the scale over in
  // the field it calls col_prec.)
  static void Numeric(const unsigned char* p, int scale, Cell& cell) {
    const bool negative = p[0] & 0x80;
    std::array<quint32, 4> words{};
    for (size_t w = 0; w < 4; ++w)
      words[w] = static_cast<quint32>(Int32(p + 1 + w * 4));
    if (scale < 0 || scale > 28) scale = 0;
    if (scale == 0 && words[0] == 0 && words[1] == 0 && words[2] < 0x80000000u) {
      const qint64 whole = static_cast<qint64>(static_cast<quint64>(words[2]) << 32 | words[3]);
      cell.kind = Cell::Kind::Integer;
      cell.integer = negative ? -whole : whole;
      return;
    }
    // The decimal digits (long division of the 128-bit number by ten), then the point: through
    // the text, so 0.1 becomes the double nearest to one tenth.
    std::string digits;
    for (;;) {
      quint64 remainder = 0;
      bool zero = true;
      for (quint32& word : words) {
        const quint64 current = remainder << 32 | word;
        word = static_cast<quint32>(current / 10);
        remainder = current % 10;
        zero = zero && word == 0;
      }
      digits.insert(digits.begin(), static_cast<char>('0' + remainder));
      if (zero) break;
    }
    if (digits.size() <= static_cast<size_t>(scale))
      digits.insert(0, static_cast<size_t>(scale) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<size_t>(scale), 1, '.');
    if (negative) digits.insert(0, 1, '-');
    cell.kind = Cell::Kind::Real;
    cell.real = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), cell.real);
  }
};

Scan::Scan(std::unique_ptr<Impl> impl, std::vector<Column> columns)
    : impl_(std::move(impl)), columns_(std::move(columns)) {
  impl_->cells.resize(columns_.size());
  impl_->decoded.assign(columns_.size(), 0);
}

Scan::~Scan() = default;

bool Scan::Next() {
  return impl_->Fetch(rowKey_);
}

const Cell& Scan::Value(int index) {
  Cell& cell = impl_->cells[static_cast<size_t>(index)];
  if (!impl_->decoded[static_cast<size_t>(index)]) {
    impl_->Decode(index, cell);
    impl_->decoded[static_cast<size_t>(index)] = 1;
  }
  return cell;
}

namespace {

// The header's version byte: Jet 3, Jet 4, then one per ACCDB release libmdb knows.
constexpr int kJet3 = 0;
constexpr int kJet4 = 1;
constexpr int kLastAccdb = 6;  // Access 2019

// Checks the first page before libmdb reads any of it: libmdb takes a header on trust.
void CheckHeader(const QString& path, const QByteArray& head, qint64 size) {
  if (size < 0x80 || head.size() < 0x80) {
    throw DbError(NotReadable(path, QStringLiteral("檔案太短，已被截斷。")));
  }
  const QByteArray tag = head.mid(4, 16);
  const bool ace = tag == QByteArrayLiteral("Standard ACE DB\0");
  if (!ace && tag != QByteArrayLiteral("Standard Jet DB\0")) {
    throw DbError(NotReadable(path, QStringLiteral("不是 Jet 資料庫。")));
  }
  const int version = static_cast<unsigned char>(head[0x14]);
  if (ace && version > kLastAccdb) {
    throw DbError(NotReadable(
        path, QStringLiteral("這是比 Access 2019 更新的 ACCDB 格式（標頭版本 %1），讀不了。")
                  .arg(version)));
  }
  if (ace != (version > kJet4)) {
    throw DbError(NotReadable(
        path, QStringLiteral("檔案標頭的版本 %1 與它的格式標記不合，檔案已損壞。").arg(version)));
  }
  const qint64 pageSize = version == kJet3 ? 2048 : 4096;
  if (size < pageSize * 3 || size % pageSize != 0) {
    throw DbError(NotReadable(
        path,
        QStringLiteral("檔案長度 %1 位元組不是完整的資料頁，檔案已被截斷或損壞。").arg(size)));
  }
}

}  // namespace

SortOrder SortOrder::FromCode(int code) {
  SortOrder order;
  order.code = code;
  order.kind = code == kGeneral                    ? Kind::General
               : code == kTraditionalChineseStroke ? Kind::TraditionalChineseStroke
                                                   : Kind::Unknown;
  return order;
}

QString SortOrder::Name() const {
  switch (kind) {
    case Kind::General:
      return QStringLiteral("一般");
    case Kind::TraditionalChineseStroke:
      return QStringLiteral("繁體中文筆劃");
    case Kind::Unknown:
      break;
  }
  return QStringLiteral("代碼 %1").arg(code);
}

QString File::FormatName() const {
  static const char* const kReleases[] = {"2007", "2010", "2013", "2016", "2019"};
  if (headerVersion_ == kJet3) return QStringLiteral("Jet 3 (Access 97)");
  if (headerVersion_ == kJet4) return QStringLiteral("Jet 4 (Access 2000–2003)");
  return QStringLiteral("ACCDB (Access %1)").arg(QLatin1String(kReleases[headerVersion_ - 2]));
}

File::File(QString path) : path_(std::move(path)), handle_(std::make_unique<Handle>()) {}

File::~File() = default;

std::shared_ptr<File> File::Open(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw DbError(NotReadable(path, file.errorString()));
  }
  CheckHeader(path, file.read(0x80), file.size());
  std::shared_ptr<File> result(new File(path));
  result->handle_->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
  if (!result->handle_->mdb) throw DbError(NotReadable(path, QStringLiteral("檔案標頭無法解讀。")));
  result->ReadHeader();
  result->ReadCatalog();
  return result;
}

std::shared_ptr<File> File::OpenBytes(const QByteArray& bytes, const QString& name) {
  CheckHeader(name, bytes.left(0x80), bytes.size());
  std::shared_ptr<File> result(new File(name));
  result->bytes_ = bytes;
  result->bytes_.detach();
  result->handle_->mdb = mdb_open_buffer(result->bytes_.data(),
                                         static_cast<size_t>(result->bytes_.size()), MDB_NOFLAGS);
  if (!result->handle_->mdb) throw DbError(NotReadable(name, QStringLiteral("檔案標頭無法解讀。")));
  result->ReadHeader();
  result->ReadCatalog();
  return result;
}

namespace {

struct TableDeleter {
  void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

std::vector<Column> ColumnsOf(MdbTableDef* table) {
  std::vector<Column> columns;
  for (unsigned int i = 0; i < table->num_cols; ++i) {
    const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    columns.push_back({QString::fromUtf8(column->name), column->col_type, column->col_size,
                       column->col_type == MDB_NUMERIC ? column->col_prec : 0});
  }
  return columns;
}

// Reads a table's definition; a definition page that is not one is a torn read.
MdbTableDef* ReadTable(MdbCatalogEntry* entry, const QString& path) {
  MdbHandle* mdb = entry->mdb;
  const QString name = QString::fromUtf8(entry->object_name);
  if (mdb_read_pg(mdb, entry->table_pg) != mdb->fmt->pg_size ||
      mdb->pg_buf[0] != kTableDefinitionPage) {
    throw InconsistentPage(
        QStringLiteral("Jet 資料庫檔案 %1 的資料表 %2 定義頁不合理（可能正被其他工作站寫入）。")
            .arg(path, name));
  }
  MdbTableDef* table = mdb_read_table(entry);
  if (!table) {
    throw InconsistentPage(
        QStringLiteral("Jet 資料庫檔案 %1 的資料表 %2 定義讀不到。").arg(path, name));
  }
  if (table->num_cols > MDB_MAX_COLS || !mdb_read_columns(table)) {
    mdb_free_tabledef(table);
    throw InconsistentPage(
        QStringLiteral("Jet 資料庫檔案 %1 的資料表 %2 欄位定義讀不到。").arg(path, name));
  }
  return table;
}

void FillEntry(MdbCatalogEntry& entry, MdbHandle* mdb, const QString& name, unsigned long page) {
  entry = MdbCatalogEntry{};
  entry.mdb = mdb;
  const QByteArray utf8 = name.toUtf8().left(MDB_MAX_OBJ_NAME);
  std::memcpy(entry.object_name, utf8.constData(), static_cast<size_t>(utf8.size()));
  entry.object_type = MDB_TABLE;
  entry.table_pg = page;
}

constexpr unsigned long kCatalogPage = 2;  // MSysObjects' definition, in every Jet file
constexpr int kTableObject = 1;
constexpr int kQueryObject = 5;
constexpr qint64 kSystemObject = 0x80000002;

}  // namespace

// libmdb has unmasked the header (its bytes from 0x18 on are XORed with a fixed RC4 stream) and
// keeps what this needs from it.
void File::ReadHeader() {
  const MdbFile* f = handle_->mdb->f;
  headerVersion_ = static_cast<int>(f->jet_version);
  accdb_ = headerVersion_ > kJet4;
  version_ = headerVersion_ == kJet3 ? 3 : 4;
  // A Jet file's key is the RC4 key its pages are encoded with, which libmdb undoes; an ACCDB's
  // says its pages are encrypted with the database password (Office's encryption), which libmdb
  // cannot undo.
  if (accdb_ && f->db_key != 0) {
    throw DbError(NotReadable(
        path_, QStringLiteral("這個 ACCDB 檔案以資料庫密碼加密，本程式讀不了加密的檔案；請在 "
                              "Access 中移除資料庫密碼（解密）後再試。")));
  }
  sortOrder_ = jet::SortOrder::FromCode(f->lang_id);
}

// The catalog is read here rather than by libmdb's mdb_read_catalog, which also decodes every
// object's property blob and loops without end on a damaged one. Only the columns needed are
// read.
void File::ReadCatalog() {
  objects_.push_back({QStringLiteral("MSysObjects"), kTableObject, kCatalogPage, kSystemObject});
  try {
    const std::unique_ptr<Scan> scan = OpenScan(QStringLiteral("MSysObjects"));
    int id = -1, name = -1, type = -1, flags = -1;
    for (int i = 0; i < scan->ColumnCount(); ++i) {
      const QString column = scan->Columns()[static_cast<size_t>(i)].name.toLower();
      if (column == QLatin1String("id")) id = i;
      if (column == QLatin1String("name")) name = i;
      if (column == QLatin1String("type")) type = i;
      if (column == QLatin1String("flags")) flags = i;
    }
    if (id < 0 || name < 0 || type < 0 || flags < 0) {
      throw DbError(QStringLiteral("MSysObjects 的欄位不對"));
    }
    std::vector<Object> objects;
    while (scan->Next()) {
      const Cell& n = scan->Value(name);
      const Cell& t = scan->Value(type);
      const Cell& i = scan->Value(id);
      if (n.kind != Cell::Kind::Text || t.kind != Cell::Kind::Integer ||
          i.kind != Cell::Kind::Integer) {
        continue;
      }
      const Cell& f = scan->Value(flags);
      Object object;
      object.name = QString::fromStdString(n.bytes);
      object.type = static_cast<int>(t.integer & 0x7fff);
      object.page = static_cast<unsigned long>(i.integer & 0xffffff);
      object.flags = f.kind == Cell::Kind::Integer ? f.integer : 0;
      objects.push_back(object);
    }
    for (const Object& object : objects) {
      if (object.type == kTableObject && !(object.flags & kSystemObject)) {
        tables_.push_back(object.name);
      }
      if (object.type == kQueryObject) {
        queries_.push_back({object.name, static_cast<qint64>(object.page), object.flags});
      }
      if (object.type == kTableObject &&
          object.name.compare(QLatin1String("MSysObjects"), Qt::CaseInsensitive) != 0) {
        objects_.push_back(object);
      }
    }
  } catch (const DbError& error) {
    throw DbError(
        NotReadable(path_, QStringLiteral("系統目錄 (MSysObjects) 讀不到，檔案已損壞（%1）")
                               .arg(error.Description())));
  }
}

const File::Object* File::Find(const QString& table) const {
  for (const Object& object : objects_) {
    if (object.name.compare(table, Qt::CaseInsensitive) == 0) return &object;
  }
  return nullptr;
}

std::vector<Column> File::Columns(const QString& table) const {
  const Object* object = Find(table);
  if (!object) throw DbError(QStringLiteral("Jet 資料庫檔案 %1 沒有資料表 %2。").arg(path_, table));
  MdbCatalogEntry entry;
  FillEntry(entry, handle_->mdb, object->name, object->page);
  std::unique_ptr<MdbTableDef, TableDeleter> definition(ReadTable(&entry, path_));
  return ColumnsOf(definition.get());
}

qint64 File::RowCount(const QString& table) const {
  const Object* object = Find(table);
  if (!object) throw DbError(QStringLiteral("Jet 資料庫檔案 %1 沒有資料表 %2。").arg(path_, table));
  MdbCatalogEntry entry;
  FillEntry(entry, handle_->mdb, object->name, object->page);
  std::unique_ptr<MdbTableDef, TableDeleter> definition(ReadTable(&entry, path_));
  return definition->num_rows;
}

std::unique_ptr<Scan> File::OpenScan(const QString& table) const {
  const Object* object = Find(table);
  if (!object) throw DbError(QStringLiteral("Jet 資料庫檔案 %1 沒有資料表 %2。").arg(path_, table));
  auto impl = std::make_unique<Scan::Impl>();
  impl->file = shared_from_this();
  impl->path = path_;
  impl->mdb = mdb_clone_handle(handle_->mdb);
  if (!impl->mdb) throw DbError(NotReadable(path_, QStringLiteral("無法建立讀取控制代碼。")));
  // Whatever the stream still holds from earlier reads goes: every scan reads the file as it is
  // now.
  std::fflush(impl->mdb->f->stream);
  impl->pageSize = static_cast<int>(impl->mdb->fmt->pg_size);
  impl->filePages = (bytes_.isEmpty() ? QFileInfo(path_).size() : bytes_.size()) / impl->pageSize;
  FillEntry(impl->entry, impl->mdb, object->name, object->page);
  impl->table = ReadTable(&impl->entry, path_);
  std::vector<Column> columns = ColumnsOf(impl->table);
  impl->tableName = object->name;
  impl->jet3 = impl->mdb->f->jet_version == MDB_VER_JET3;
  for (unsigned int i = 0; i < impl->table->num_cols; ++i) {
    auto* column = static_cast<MdbColumn*>(g_ptr_array_index(impl->table->columns, i));
    impl->columns.push_back(column);
    impl->places.push_back({column->col_num, column->is_fixed != 0, column->col_type == MDB_BOOL,
                            column->fixed_offset, column->col_size,
                            static_cast<int>(column->var_col_num)});
  }
  impl->fields.resize(impl->columns.size());
  return std::unique_ptr<Scan>(new Scan(std::move(impl), std::move(columns)));
}

}  // namespace tarvel::db::jet
