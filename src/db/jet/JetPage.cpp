#include "db/jet/JetPage.h"

#include <array>

namespace tarvel::db::jet {
namespace {

// The flags in the top bits of a row table entry. In page order a set kDeleted means nothing to
// read: the row was deleted, or it is a moved row's new place, which is read through the pointer
// its old place holds (kMoved) so that rows keep the table's order. Access marks a row deleted
// without caring what its offset then says: rows it squeezed out sit at the page's end (0xD000).
constexpr int kDeleted = 0x8000;
constexpr int kMoved = 0x4000;
constexpr int kOffsetMask = 0x1fff;

int RowCountOffset(const PageBytes& page) {
  return page.jet3 ? 8 : 12;
}

int UInt16(const unsigned char* p) {
  return p[0] | p[1] << 8;
}

}  // namespace

int RowSlotCount(const PageBytes& page) {
  const int at = RowCountOffset(page);
  if (page.size < at + 2) return -1;
  const int count = UInt16(page.data + at);
  return at + 2 + 2 * count <= page.size ? count : -1;
}

bool ReadSlot(const PageBytes& page, int index, bool throughPointer, RowSlot& slot, QString& why) {
  const int table = RowCountOffset(page) + 2;
  const auto entry = [&](int i) { return UInt16(page.data + table + 2 * i); };
  const int raw = entry(index);
  if ((raw & kDeleted) && !throughPointer) {
    slot = {RowSlot::Kind::Skipped, 0, 0};
    return true;
  }
  // Rows fill the page from its end, so a row ends where the nearest row before it in the table
  // starts. Deleted rows in between may still hold their bytes (and so end this one sooner) or
  // say the page's end or anything at all; the first row or pointer before it settles it.
  const int start = raw & kOffsetMask;
  const int tableEnd = table + 2 * RowSlotCount(page);
  int end = page.size;
  bool overlaps = false;
  for (int i = index - 1; i >= 0; --i) {
    const int before = entry(i);
    const int at = before & kOffsetMask;
    if (at > start && at < end) end = at;
    if (!(before & kDeleted)) {
      overlaps = at <= start;
      break;
    }
  }
  if (start < tableEnd || start >= end || overlaps) {
    why = QStringLiteral("第 %1 列的位置 %2–%3 不合理").arg(index).arg(start).arg(end);
    return false;
  }
  slot = {(raw & kMoved) ? RowSlot::Kind::Pointer : RowSlot::Kind::Row, start, end};
  return true;
}

bool ReadPointer(const PageBytes& page, const RowSlot& slot, RowPointer& pointer, QString& why) {
  if (slot.end - slot.start < 4) {
    why = QStringLiteral("移動過的資料列指標只有 %1 位元組").arg(slot.end - slot.start);
    return false;
  }
  const unsigned char* p = page.data + slot.start;
  pointer.row = p[0];
  pointer.page = static_cast<quint32>(p[1]) | static_cast<quint32>(p[2]) << 8 |
                 static_cast<quint32>(p[3]) << 16;
  return true;
}

// The row's layout, from its end: the null mask (a bit per column the row has), then, when the
// table has variable columns, their count and offsets (Jet 4: two bytes each, the last first;
// Jet 3: one byte each, their high bytes given by a table of jumps, one per 256 bytes of row).
// Fixed columns sit at their definition's offset after the column count; a row written before a
// column was added has fewer columns than the table and the new ones are Null.
bool SplitRow(const PageBytes& page, int start, int end, bool variableColumns,
              const std::vector<ColumnPlace>& columns, std::vector<FieldBytes>& fields,
              QString& why) {
  const unsigned char* data = page.data;
  const auto fail = [&](const QString& what) {
    why = what;
    return false;
  };
  const int countSize = page.jet3 ? 1 : 2;
  if (start < 0 || end > page.size || end - start < countSize) {
    return fail(QStringLiteral("資料列只有 %1 位元組").arg(end - start));
  }
  const int rowColumns = page.jet3 ? data[start] : UInt16(data + start);
  const int maskSize = (rowColumns + 7) / 8;
  const int mask = end - maskSize;  // where the null mask starts
  const int body = start + countSize;
  if (mask < body) return fail(QStringLiteral("資料列的欄數 %1 大於資料列").arg(rowColumns));

  int varCount = 0;
  int varTable = mask;  // where the offsets start: the columns' bytes end before it
  std::array<int, 257> jet3Offsets{};
  if (variableColumns) {
    if (page.jet3) {
      if (mask - 1 < body) return fail(QStringLiteral("資料列沒有可變長度欄位數"));
      varCount = data[mask - 1];
      const int length = end - start;
      int jumps = (length - 1) / 256;
      const int last = mask - jumps - 2;  // the first variable column's offset, the others before
      varTable = last - varCount;
      if (varTable < body) {
        return fail(QStringLiteral("可變長度欄位數 %1 超出資料列").arg(varCount));
      }
      // Access writes a spare jump when the offsets themselves would have needed one.
      if ((last - start - varCount) / 256 < jumps) --jumps;
      int used = 0;
      for (int i = 0; i <= varCount; ++i) {
        while (used < jumps && i == data[mask - 2 - used])
          ++used;
        jet3Offsets[static_cast<size_t>(i)] = data[last - i] + used * 256;
      }
    } else {
      if (mask - 2 < body) return fail(QStringLiteral("資料列沒有可變長度欄位數"));
      varCount = UInt16(data + mask - 2);
      varTable = mask - 4 - 2 * varCount;
      if (varTable < body) {
        return fail(QStringLiteral("可變長度欄位數 %1 超出資料列").arg(varCount));
      }
    }
    if (varCount > rowColumns) {
      return fail(QStringLiteral("可變長度欄位數 %1 多於欄數 %2").arg(varCount).arg(rowColumns));
    }
  }
  const auto offset = [&](int i) {
    return page.jet3 ? jet3Offsets[static_cast<size_t>(i)] : UInt16(data + mask - 4 - 2 * i);
  };

  const int rowFixed = rowColumns - varCount;
  int fixedFound = 0;
  fields.assign(columns.size(), FieldBytes{});
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnPlace& c = columns[i];
    FieldBytes& f = fields[i];
    const int byte = c.number / 8;
    f.null = c.number < 0 || byte >= maskSize || !(data[mask + byte] >> (c.number % 8) & 1);
    if (c.fixed && fixedFound < rowFixed) {
      ++fixedFound;
      if (c.maskOnly || f.null) continue;
      f.start = body + c.fixedOffset;
      f.size = c.size;
      if (c.fixedOffset < 0 || c.size < 0 || f.start + c.size > varTable) {
        return fail(QStringLiteral("第 %1 欄超出資料列").arg(i + 1));
      }
    } else if (!c.fixed && c.varIndex >= 0 && c.varIndex < varCount) {
      if (f.null) continue;
      const int from = offset(c.varIndex);
      const int to = offset(c.varIndex + 1);
      if (from < countSize || from > to || start + to > varTable) {
        return fail(QStringLiteral("第 %1 欄的位置 %2–%3 超出資料列").arg(i + 1).arg(from).arg(to));
      }
      f.start = start + from;
      f.size = to - from;
    } else {
      f.null = true;  // a column the row does not have
    }
  }
  return true;
}

}  // namespace tarvel::db::jet
