#include "platform/Clock.h"

namespace tarvel {
namespace {
std::optional<QDate>& FixedToday() {
  static std::optional<QDate> fixed;
  return fixed;
}
}  // namespace

QDate Today() {
  // Not value_or: the system date is read (and the time zone looked up) only when needed.
  if (const std::optional<QDate>& fixed = FixedToday()) return *fixed;
  return QDate::currentDate();
}

void SetToday(std::optional<QDate> fixed) {
  FixedToday() = fixed;
}

ScopedToday::ScopedToday(QDate day) : previous_(FixedToday()) {
  FixedToday() = day;
}

ScopedToday::~ScopedToday() {
  FixedToday() = previous_;
}

}  // namespace tarvel
