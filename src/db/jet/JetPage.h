// A Jet data page as Access lays it out: its row table with each entry's flags, and one row split
// into its columns' bytes. Every count and offset a page or row holds is checked against the page
// and the row before anything is read through it, so a damaged or half-written page is a refusal
// in words, never a read outside the row.
#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace tarvel::db::jet {

/// A data page's bytes: 2048 of them in Jet 3, 4096 in Jet 4 and ACCDB.
struct PageBytes {
  const unsigned char* data = nullptr;
  int size = 0;
  bool jet3 = false;
};

/// What one entry of a page's row table holds.
struct RowSlot {
  enum class Kind {
    Row,      ///< a row: its bytes are [start, end)
    Skipped,  ///< nothing to read in page order: a deleted row, or a moved row's new place
    Pointer,  ///< the row moved: [start, end) holds the page and row it moved to
  };
  Kind kind = Kind::Skipped;
  int start = 0;
  int end = 0;
};

/// Where a moved row is now.
struct RowPointer {
  quint32 page = 0;
  int row = 0;
};

/// How one column of a table sits in its rows (from the table's definition).
struct ColumnPlace {
  int number = 0;         ///< its bit in a row's null mask (deleted columns counted)
  bool fixed = false;     ///< fixed size: at `fixedOffset` after the row's column count
  bool maskOnly = false;  ///< Yes/No: the null mask's bit is the value, the row holds no bytes
  int fixedOffset = 0;
  int size = 0;      ///< fixed columns' bytes
  int varIndex = 0;  ///< variable columns: the index in the row's offset table
};

/// One column's bytes in a row, on the page.
struct FieldBytes {
  bool null = true;  ///< for Yes/No: the value No
  int start = 0;
  int size = 0;
};

/// The entries in the page's row table, or -1 when the table would not fit the page.
int RowSlotCount(const PageBytes& page);

/// Entry `index` (below RowSlotCount) of the row table. A deleted row is known by its flag alone,
/// whatever its offset says. `throughPointer`: the page was reached through a moved row's pointer,
/// where the deleted flag marks the row's new place, not a deletion. False, with `why`, when a row
/// or pointer does not lie between the row table and the row before it.
bool ReadSlot(const PageBytes& page, int index, bool throughPointer, RowSlot& slot, QString& why);

/// The page and row a Pointer slot names. False, with `why`, when the slot is too short.
bool ReadPointer(const PageBytes& page, const RowSlot& slot, RowPointer& pointer, QString& why);

/// Splits the row [start, end) of `page` into the bytes of `columns` (fields gets one per column),
/// reading the row's column count, null mask, variable-column count and offsets only after
/// checking that each lies inside the row and points inside it. `variableColumns`: whether the
/// table has any (rows then carry an offset table). False, with `why`, for a row whose counts or
/// offsets point outside it.
bool SplitRow(const PageBytes& page, int start, int end, bool variableColumns,
              const std::vector<ColumnPlace>& columns, std::vector<FieldBytes>& fields,
              QString& why);

}  // namespace tarvel::db::jet
