#include "excel/workbook/FormatTable.h"

namespace tarvel::excel {

FormatTable::FormatTable() {
  Intern(CellFormat{});
}

FormatTable::Id FormatTable::Intern(const CellFormat& format) {
  const QString key = format.Key();
  const auto found = ids_.constFind(key);
  if (found != ids_.constEnd()) return *found;
  const Id id = static_cast<Id>(formats_.size());
  formats_.push_back(format);
  ids_.insert(key, id);
  return id;
}

std::size_t FormatTable::RecentSlot(Id from, const FormatChange& change) {
  // Texts (number formats, font names) are left out: they only share a slot.
  const std::size_t mix = std::size_t{from} * 0x9E3779B1u ^ std::size_t(change.property) * 131 ^
                          std::size_t(change.edge) * 17 ^
                          static_cast<std::size_t>(change.value) * 7;
  return (mix ^ (mix >> 7)) % std::tuple_size_v<decltype(recent_)>;
}

FormatTable::Id FormatTable::Apply(Id from, const FormatChange& change) {
  Recent& recent = recent_[RecentSlot(from, change)];
  if (recent.known && recent.transition.from == from && recent.transition.change == change)
    return recent.to;
  const Transition transition{from, change};
  const auto found = transitions_.constFind(transition);
  Id to = kEmpty;
  if (found != transitions_.constEnd()) {
    to = *found;
  } else {
    CellFormat format = formats_[from];
    change.ApplyTo(format);
    to = Intern(format);
    transitions_.insert(transition, to);
  }
  recent = {transition, to, true};
  return to;
}

}  // namespace tarvel::excel
