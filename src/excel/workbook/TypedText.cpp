#include "excel/workbook/TypedText.h"

#include <cmath>

namespace tarvel::excel {
namespace {

bool IsDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

// The parts of a numeric entry, as read from the text.
struct NumberParts {
  bool negative = false;
  bool grouped = false;
  bool percent = false;
  bool hasExponent = false;
  QString integerDigits;
  QString fractionDigits;
  int exponent = 0;
};

// Reads "[sign]digits[,ddd...][.digits][E[sign]digits][%]" filling `parts`; false when the text
// is anything else.
bool ReadNumber(QStringView text, NumberParts& parts) {
  qsizetype at = 0;
  const qsizetype end = text.size();
  if (at < end && (text[at] == u'+' || text[at] == u'-')) {
    parts.negative = text[at] == u'-';
    ++at;
  }
  // Integer digits, with thousands separators only between groups of three.
  qsizetype groupLength = 0;
  while (at < end) {
    if (IsDigit(text[at])) {
      parts.integerDigits += text[at];
      ++groupLength;
      ++at;
    } else if (text[at] == u',') {
      const bool firstGroup = !parts.grouped;
      if (groupLength == 0 || (firstGroup ? groupLength > 3 : groupLength != 3)) return false;
      parts.grouped = true;
      groupLength = 0;
      ++at;
    } else {
      break;
    }
  }
  if (parts.grouped && groupLength != 3) return false;
  if (at < end && text[at] == u'.') {
    ++at;
    while (at < end && IsDigit(text[at]))
      parts.fractionDigits += text[at++];
  }
  if (parts.integerDigits.isEmpty() && parts.fractionDigits.isEmpty()) return false;
  if (at < end && (text[at] == u'E' || text[at] == u'e')) {
    if (parts.grouped) return false;
    ++at;
    bool negativeExponent = false;
    if (at < end && (text[at] == u'+' || text[at] == u'-')) negativeExponent = text[at++] == u'-';
    const qsizetype digitsFrom = at;
    while (at < end && IsDigit(text[at]) && at - digitsFrom < 6)
      ++at;
    if (at == digitsFrom) return false;
    parts.exponent = text.mid(digitsFrom, at - digitsFrom).toInt();
    if (negativeExponent) parts.exponent = -parts.exponent;
    parts.hasExponent = true;
  }
  if (at < end && text[at] == u'%' && !parts.hasExponent) {
    parts.percent = true;
    ++at;
  }
  return at == end;
}

// The value of the digits, cut to the 15 significant digits Excel keeps (the rest become zeros,
// not a rounding: Excel truncates what is typed).
double DigitsValue(const NumberParts& parts) {
  QString digits = parts.integerDigits + parts.fractionDigits;
  int pointAt = static_cast<int>(parts.integerDigits.size());
  qsizetype leadingZeros = 0;
  while (leadingZeros < digits.size() && digits[leadingZeros] == u'0')
    ++leadingZeros;
  digits.remove(0, leadingZeros);
  pointAt -= static_cast<int>(leadingZeros);
  if (digits.isEmpty()) return 0;
  digits.truncate(15);
  const int decimalExponent = pointAt + parts.exponent - (parts.percent ? 2 : 0);
  return (QStringLiteral("0.") + digits + u'e' + QString::number(decimalExponent)).toDouble();
}

}  // namespace

TypedEntry TypedTextValue(const QString& text) {
  if (text.isEmpty()) return {};
  if (text.startsWith(u'\'')) return {CellValue::Text(text.mid(1), true), {}};

  QStringView trimmed = QStringView(text).trimmed();
  bool parenthesised = false;
  if (trimmed.size() >= 2 && trimmed.front() == u'(' && trimmed.back() == u')') {
    parenthesised = true;
    trimmed = trimmed.mid(1, trimmed.size() - 2);
  }
  NumberParts parts;
  if (!ReadNumber(trimmed, parts) ||
      (parenthesised && (parts.negative || trimmed.startsWith(u'+'))))
    return {CellValue::Text(text), {}};

  double value = DigitsValue(parts);
  if (!std::isfinite(value)) return {CellValue::Text(text), {}};
  if (parts.negative != parenthesised) value = -value;
  if (value == 0) value = 0;  // no negative zero

  QString format;
  const bool decimals = !parts.fractionDigits.isEmpty();
  if (parts.percent)
    format = decimals ? QStringLiteral("0.00%") : QStringLiteral("0%");
  else if (parts.hasExponent)
    format = QStringLiteral("0.00E+00");
  else if (parts.grouped)
    format = decimals ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0");
  return {CellValue::Number(value), format};
}

}  // namespace tarvel::excel
