#include "platform/Clock.h"

namespace tarvel {
namespace {
std::optional<QDate>& FixedToday() {
  static std::optional<QDate> fixed;
  return fixed;
}
}  // namespace

QDate Today() {
  return FixedToday().value_or(QDate::currentDate());
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
