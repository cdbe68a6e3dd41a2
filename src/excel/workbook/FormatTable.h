// The distinct cell formats of one workbook, each stored once and named by a small number, so a
// buffered cell carries a number and a range operation edits each distinct format once.
#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "excel/workbook/CellFormat.h"
#include "excel/workbook/FormatChange.h"

namespace tarvel::excel {

class FormatTable {
 public:
  using Id = std::uint32_t;
  /// The format with nothing set: every cell starts with it.
  static constexpr Id kEmpty = 0;

  FormatTable();

  /// The number of `format`, adding it on first sight.
  Id Intern(const CellFormat& format);
  /// The number of the format `change` makes of format `from`; remembered, so a change applied
  /// to many cells of one format is worked out once.
  Id Apply(Id from, const FormatChange& change);
  const CellFormat& Get(Id id) const { return formats_[id]; }
  std::size_t Size() const { return formats_.size(); }

 private:
  struct Transition {
    Id from;
    FormatChange change;
    bool operator==(const Transition&) const = default;
  };
  friend size_t qHash(const Transition& transition, size_t seed) {
    return qHashMulti(seed, transition.from, transition.change);
  }

  // The last transitions, looked up before the table: an export sets the same few properties on
  // the same few formats line after line.
  struct Recent {
    Transition transition;
    Id to = kEmpty;
    bool known = false;
  };
  static std::size_t RecentSlot(Id from, const FormatChange& change);

  std::vector<CellFormat> formats_;
  QHash<QString, Id> ids_;
  QHash<Transition, Id> transitions_;
  std::array<Recent, 64> recent_{};
};

}  // namespace tarvel::excel
