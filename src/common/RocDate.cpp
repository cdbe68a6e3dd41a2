#include "common/RocDate.h"

#include <cmath>

#include "platform/Clock.h"
#include "platform/Conversions.h"

namespace tarvel {
namespace {

constexpr int kRocYearOffset = 1911;

QString TwoDigits(int value) {
  return FormatNumber(value, QStringLiteral("00"));
}

// A month or day part of a built date text: one or two digits, blanks around them allowed.
std::optional<int> DatePart(const QString& part) {
  const QString trimmed = part.trimmed();
  if (trimmed.isEmpty() || trimmed.size() > 2) return std::nullopt;
  int value = 0;
  for (const QChar c : trimmed) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
  }
  return value;
}

}  // namespace

QString RocTodayDigits() {
  const QDate today = Today();
  // The year is written as a number and then the whole text padded, so years before 2011 get
  // their leading zero from the padding.
  const QString digits =
      NumberText(today.year() - kRocYearOffset) + TwoDigits(today.month()) + TwoDigits(today.day());
  return Format(digits, QStringLiteral("0000000"));
}

QString RocToday() {
  const QString digits = RocTodayDigits();
  return NumberText(Val(digits.left(3))) + u'/' + Format(digits.mid(3, 2), QStringLiteral("00")) +
         u'/' + Format(digits.right(2), QStringLiteral("00"));
}

QString RocMonthEndDigits() {
  const QDate today = Today();
  return FormatNumber(today.year() - kRocYearOffset, QStringLiteral("000")) +
         TwoDigits(today.month()) + TwoDigits(today.daysInMonth());
}

std::optional<QDate> RocTextToDate(const QString& text, int yearDigits) {
  const QString yearPart = text.left(yearDigits);
  if (!IsNumeric(yearPart)) return std::nullopt;
  const double year = NumericValue(yearPart) + kRocYearOffset;
  // The range first: a stored text can hold any number ("9e9"), and only a year in range may be
  // turned into an int.
  if (!(year >= 100 && year <= 9999) || year != std::floor(year)) return std::nullopt;
  const std::optional<int> month = DatePart(text.mid(yearDigits, 2));
  const std::optional<int> day = DatePart(text.right(2));
  if (!month || !day) return std::nullopt;
  const QDate date(static_cast<int>(year), *month, *day);
  if (!date.isValid()) return std::nullopt;
  return date;
}

std::optional<QDate> RocDigitsToDate(const QString& text) {
  if (text.size() == 7) return RocTextToDate(text, 3);
  if (text.size() == 6) return RocTextToDate(text, 2);
  return std::nullopt;
}

std::optional<qint64> WorkOrderDayCount(const QString& orderDate, const QString& finishDate) {
  const QString order = orderDate.trimmed();
  if (order.isEmpty()) return std::nullopt;
  const QDate start = RocTextToDate(order).value_or(kDateZero);
  const std::optional<QDate> finished = RocDigitsToDate(finishDate.trimmed());
  return start.daysTo(finished ? *finished : Today());
}

QString PadRocDateText(const QString& text, int width) {
  if (width < 1) width = 7;
  if (text.size() != width - 1) return text;
  return Format(text, QString(width, u'0'));
}

}  // namespace tarvel
