// The one injectable clock: every "today" of the program comes from here.
#pragma once

#include <QDate>
#include <optional>

namespace tarvel {

/// Today's local date, or the date fixed by SetToday / ScopedToday.
QDate Today();

/// Fixes (or, with std::nullopt, releases) the date that Today() returns. For tests and for
/// command-line tools that reproduce a report "as of" a day.
void SetToday(std::optional<QDate> fixed);

/// Fixes Today() for the lifetime of the object and restores the previous setting afterwards.
class ScopedToday {
 public:
  explicit ScopedToday(QDate day);
  ~ScopedToday();
  ScopedToday(const ScopedToday&) = delete;
  ScopedToday& operator=(const ScopedToday&) = delete;

 private:
  std::optional<QDate> previous_;
};

}  // namespace tarvel
