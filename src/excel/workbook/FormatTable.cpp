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

FormatTable::Id FormatTable::Apply(Id from, const FormatChange& change) {
  const Transition transition{from, change};
  const auto found = transitions_.constFind(transition);
  if (found != transitions_.constEnd()) return *found;
  CellFormat format = formats_[from];
  change.ApplyTo(format);
  const Id to = Intern(format);
  transitions_.insert(transition, to);
  return to;
}

}  // namespace tarvel::excel
