// Crafted copies of the Jet fixtures: a header that records another sort order, version or key,
// a page whose row table starts with rows Access squeezed out, a row marked deleted, and where a
// table's rows lie, so that damage can be aimed at them. Each works on the bytes of a whole file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <vector>

#include "db/jet/JetFile.h"
#include "db/jet/JetPage.h"

namespace tarvel::db::test {

inline int PageSizeOf(const QByteArray& file) {
  return file[0x14] == 0 ? 2048 : 4096;
}

inline jet::PageBytes PageOf(const QByteArray& file, int page) {
  const int size = PageSizeOf(file);
  return {reinterpret_cast<const unsigned char*>(file.constData()) + qsizetype(page) * size, size,
          file[0x14] == 0};
}

// The header from 0x18 on is XORed with a fixed stream, so a field changes from `was` to `now`
// by XORing its stored bytes with was ^ now.
inline void XorHeaderField(QByteArray& file, int offset, int bytes, quint32 was, quint32 now) {
  const quint32 change = was ^ now;
  for (int i = 0; i < bytes; ++i)
    file[offset + i] = static_cast<char>(file[offset + i] ^ static_cast<char>(change >> (8 * i)));
}

/// The file with `code` as its recorded sort order (Jet 3 keeps it at 0x3A, Jet 4 at 0x6E).
inline QByteArray WithSortOrder(QByteArray file, int code) {
  const int was = jet::File::OpenBytes(file, QStringLiteral("x"))->SortOrder().code;
  XorHeaderField(file, file[0x14] == 0 ? 0x3a : 0x6e, 2, static_cast<quint32>(was),
                 static_cast<quint32>(code));
  return file;
}

/// A Jet 4 file relabelled as the ACCDB of header version `version` (2 is Access 2007), which
/// keeps Jet 4's pages.
inline QByteArray AsAccdb(QByteArray jet4, int version) {
  jet4.replace(4, 16, QByteArray("Standard ACE DB\0", 16));
  jet4[0x14] = static_cast<char>(version);
  return jet4;
}

/// The file with `key` as its database key (0x3E; zero in every fixture).
inline QByteArray WithDatabaseKey(QByteArray file, quint32 key) {
  XorHeaderField(file, 0x3e, 4, 0, key);
  return file;
}

inline int RowTableAt(const QByteArray& file, int page) {
  return page * PageSizeOf(file) + (file[0x14] == 0 ? 8 : 12);
}

/// The row table entry of row `index` on `page`.
inline quint16 SlotEntry(const QByteArray& file, int page, int index) {
  return qFromLittleEndian<quint16>(file.constData() + RowTableAt(file, page) + 2 + 2 * index);
}

inline void SetSlotEntry(QByteArray& file, int page, int index, quint16 entry) {
  qToLittleEndian<quint16>(entry, file.data() + RowTableAt(file, page) + 2 + 2 * index);
}

/// `page` with `count` entries put in front of its row table, each `entry` (Access leaves rows it
/// squeezed out of a page as 0xD000 in Jet 4: deleted, with the offset of the page's end).
inline QByteArray WithLeadingSlots(QByteArray file, int page, int count, quint16 entry) {
  const int at = RowTableAt(file, page);
  const int rows = qFromLittleEndian<quint16>(file.constData() + at);
  QByteArray entries = file.mid(at + 2, 2 * rows);
  for (int i = 0; i < count; ++i) {
    char bytes[2];
    qToLittleEndian<quint16>(entry, bytes);
    entries.prepend(bytes, 2);
  }
  qToLittleEndian<quint16>(static_cast<quint16>(rows + count), file.data() + at);
  file.replace(at + 2, entries.size(), entries);
  return file;
}

/// Where a row of a table lies: its page, its index there and its bytes [start, end).
struct RowPlace {
  int page = 0;
  int index = 0;
  int start = 0;
  int end = 0;
};

/// The rows of `table` where their bytes are (moved rows at their new place), in table order.
inline std::vector<RowPlace> RowsOf(const QByteArray& file, const QString& table) {
  std::vector<RowPlace> places;
  const auto scan = jet::File::OpenBytes(file, QStringLiteral("x"))->OpenScan(table);
  while (scan->Next()) {
    RowPlace place{static_cast<int>(scan->RowKey() >> 16),
                   static_cast<int>(scan->RowKey() & 0xffff)};
    jet::RowSlot slot;
    QString why;
    jet::ReadSlot(PageOf(file, place.page), place.index, false, slot, why);
    if (slot.kind == jet::RowSlot::Kind::Pointer) {
      jet::RowPointer to;
      jet::ReadPointer(PageOf(file, place.page), slot, to, why);
      place = {static_cast<int>(to.page), to.row};
      jet::ReadSlot(PageOf(file, place.page), place.index, true, slot, why);
    }
    place.start = slot.start;
    place.end = slot.end;
    places.push_back(place);
  }
  return places;
}

}  // namespace tarvel::db::test
