#include "common/GroupedNumber.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "platform/Conversions.h"

namespace tarvel {

namespace {

// Significant digits the runtime writes a double with (NumberText).
constexpr int kSignificantDigits = 15;

// The decimals of the number's plain decimal text, from its 15 significant digits: d.ddd…×10^e
// with n digits after the point (trailing zeros dropped) has n - e of them. Counting the
// characters after the point of NumberText's scientific form ("1.5E+20" would give 5) would
// write twenty decimals of nothing or cut 1E-05 to 0.
int DecimalPlacesOf(double value) {
  // Whole numbers below 10^15 are written whole; most amounts and quantities are.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) return 0;
  std::array<char, 40> digits{};
  const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                     std::chars_format::scientific, kSignificantDigits - 1);
  const char* exponentAt = std::find(digits.data(), written.ptr, 'e');
  const char* point = std::find(static_cast<const char*>(digits.data()), exponentAt, '.');
  const char* last = exponentAt;
  while (last > point + 1 && last[-1] == '0')
    --last;
  const int mantissaDecimals = point == exponentAt ? 0 : static_cast<int>(last - point - 1);
  int exponent = 0;
  const char* exponentDigits = exponentAt + 1;
  if (exponentDigits < written.ptr && *exponentDigits == '+') ++exponentDigits;
  std::from_chars(exponentDigits, written.ptr, exponent);
  return std::max(0, mantissaDecimals - exponent);
}

QString GroupedWhole(qint64 value) {
  std::array<char16_t, 32> text{};
  std::size_t at = text.size();
  quint64 left = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) text[--at] = u',';
    text[--at] = static_cast<char16_t>(u'0' + left % 10);
    left /= 10;
    ++digits;
  } while (left > 0);
  if (value < 0) text[--at] = u'-';
  return QString(reinterpret_cast<const QChar*>(text.data() + at),
                 static_cast<qsizetype>(text.size() - at));
}

QString PatternWithDecimals(int decimals) {
  QString pattern = QStringLiteral("#,##0");
  if (decimals > 0) pattern += u'.' + QString(decimals, u'0');
  return pattern;
}

}  // namespace

int DecimalPlaces(const QString& text) {
  return IsNumeric(text) ? DecimalPlacesOf(NumericValue(text)) : 0;
}

QString FormatGrouped(const QString& text) {
  if (text.isEmpty() || !IsNumeric(text)) return text;
  return FormatGroupedNumber(NumericValue(text));
}

QString FormatGroupedNumber(double value) {
  if (!std::isfinite(value)) return NumberText(value);
  // Whole numbers below 10^15, most quantities and amounts, are grouped as the integers they are.
  if (std::fabs(value) < 1e15 && value == std::trunc(value))
    return GroupedWhole(static_cast<qint64>(value));
  return FormatGroupedDecimals(value, DecimalPlacesOf(value));
}

QString FormatGrouped(const db::Value& value) {
  if (value.IsInteger()) return FormatGroupedNumber(static_cast<double>(value.AsInteger()));
  if (value.IsReal()) return FormatGroupedNumber(value.AsReal());
  return FormatGrouped(value.ToText());
}

QString GroupedNumberFormat(const QString& text) {
  if (text.isEmpty() || !IsNumeric(text)) return text;
  return PatternWithDecimals(DecimalPlaces(text));
}

QString GroupedNumberFormatOf(double value) {
  if (!std::isfinite(value)) return NumberText(value);
  // The patterns of the usual decimals, made once and shared.
  static const std::array<QString, 5> usual = {PatternWithDecimals(0), PatternWithDecimals(1),
                                               PatternWithDecimals(2), PatternWithDecimals(3),
                                               PatternWithDecimals(4)};
  const int decimals = DecimalPlacesOf(value);
  return decimals < static_cast<int>(usual.size()) ? usual[static_cast<std::size_t>(decimals)]
                                                   : PatternWithDecimals(decimals);
}

}  // namespace tarvel
