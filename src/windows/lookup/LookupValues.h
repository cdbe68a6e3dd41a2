// The values the lookup windows share with their callers: the seed typed so far, the vendor kind,
// and the chosen row.
#pragma once

#include <QString>
#include <array>
#include <span>
#include <vector>

namespace tarvel {

/// How many values a chosen row can hand back (LookupResult(0) to LookupResult(40)).
inline constexpr int kLookupResultSize = 41;

/// The process-wide lookup values. The main window owns the one instance and passes it to every
/// window that opens a picker.
struct LookupValues {
  QString LookupSeed;  ///< what the caller's box held, trimmed, before the picker opened
  QString VendorKind;  ///< the vendor picker's category (印刷, 刀模, 軋工, 所有廠商, …)
  /// The texts of the chosen row's columns; entries beyond the row's columns stay empty. An empty
  /// LookupResult[0] means nothing was chosen.
  std::array<QString, kLookupResultSize> LookupResult;

  /// Empties every value of LookupResult.
  void ClearResult() { LookupResult.fill(QString()); }
  /// Whether LookupResult[0], trimmed, holds something: a row was chosen.
  bool HasSelection() const { return !LookupResult[0].trimmed().isEmpty(); }
};

/// FindInList: looks `key` up in rows the caller already holds (each row its fields in order) and
/// puts the trimmed fields of the first row whose trimmed field 0 (code) or field 1 (name) equals
/// `key` into values.LookupResult; every other value is emptied first. Rows of a single field
/// (the empty one-by-one list a loader leaves when a table has no rows) find nothing. A row of
/// more than 41 fields is an error: its description is shown with the title "依條件搜尋陣列錯誤"
/// (style 16) and LookupResult stays empty. Returns whether a row was found.
bool FindInList(std::span<const std::vector<QString>> rows, const QString& key,
                LookupValues& values);

}  // namespace tarvel
