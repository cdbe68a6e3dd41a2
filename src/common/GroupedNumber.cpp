#include "common/GroupedNumber.h"

#include <algorithm>
#include <cmath>

#include "platform/Conversions.h"

namespace tarvel {

namespace {

int DecimalPlacesOf(double value) {
  const QString plain = NumberText(value);
  // Counting the characters after the point of a scientific text ("1.5E+20" would give 5) would
  // write twenty decimals of nothing or cut 1E-05 to 0; count the digits of the plain form.
  const qsizetype exponentAt = plain.indexOf(u'E');
  const QString mantissa = exponentAt < 0 ? plain : plain.left(exponentAt);
  const qsizetype point = mantissa.indexOf(u'.');
  const int mantissaDecimals = point < 0 ? 0 : static_cast<int>(mantissa.size() - point - 1);
  if (exponentAt < 0) return mantissaDecimals;
  const int exponent = plain.mid(exponentAt + 1).toInt();
  return std::max(0, mantissaDecimals - exponent);
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
  return FormatGroupedDecimals(value, DecimalPlacesOf(value));
}

QString FormatGrouped(const db::Value& value) {
  if (value.IsInteger()) return FormatGroupedNumber(static_cast<double>(value.AsInteger()));
  if (value.IsReal()) return FormatGroupedNumber(value.AsReal());
  return FormatGrouped(value.ToText());
}

QString GroupedNumberFormat(const QString& text) {
  if (text.isEmpty() || !IsNumeric(text)) return text;
  const int decimals = DecimalPlaces(text);
  QString pattern = QStringLiteral("#,##0");
  if (decimals > 0) pattern += u'.' + QString(decimals, u'0');
  return pattern;
}

}  // namespace tarvel
