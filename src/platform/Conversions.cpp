#include "platform/Conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "platform/Error.h"

namespace tarvel {
namespace {

// The runtime's overflow error text; Val raises it for numbers beyond the double range.
const QString kOverflow = QStringLiteral("溢位");

// Significant digits the runtime keeps when it turns a double into decimal text.
constexpr int kSignificantDigits = 15;

bool IsBlank(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Only ASCII digits: the runtime's conversions do not read full-width or other script digits.
bool IsDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

// The decimal parts of a number as read from a text: its digits (leading zeros included), the
// position of the decimal point among them, and the exponent.
struct DecimalParts {
  bool negative = false;
  std::string mantissa;  // digits only; the point sits after `integerDigits` of them
  int integerDigits = 0;
  long long exponent = 0;
};

// The largest double as NumberText writes it, 1.79769313486232E+308: its 15 significant digits
// (rounded up, past the double range) and the decimal magnitude of the first one.
constexpr std::string_view kLargestDigits = "179769313486232";
constexpr long long kLargestMagnitude = 309;

// Whether the number 0.<significant> × 10^magnitude (significant starting with a non-zero digit)
// is no more than the largest double's own text.
bool AtMostLargestDoubleText(std::string_view significant, long long magnitude) {
  if (magnitude != kLargestMagnitude) return false;
  const std::string_view digits = significant.substr(0, significant.find_last_not_of('0') + 1);
  if (digits.size() > kLargestDigits.size()) {
    return digits.substr(0, kLargestDigits.size()) < kLargestDigits;
  }
  return digits <= kLargestDigits.substr(0, digits.size());
}

// Turns the parts into a double; throws the overflow error for magnitudes beyond the double
// range and gives 0 for magnitudes below it. One exception to the overflow: a number past the
// largest double but no more than 1.79769313486232E+308 reads as the largest double, because
// that is the text NumberText writes for it, and a number's own text must read back.
double ToDouble(const DecimalParts& parts) {
  const auto firstNonZero = parts.mantissa.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return 0.0;

  // Exponent clamped so that absurd exponents cannot overflow the string or the int below;
  // anything beyond ±100000 is far outside the double range either way.
  const long long exponent = std::clamp(parts.exponent, -100000LL, 100000LL);
  std::string text = parts.mantissa;
  text.insert(static_cast<std::size_t>(parts.integerDigits), 1, '.');
  text += 'e';
  text += std::to_string(exponent);

  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range || std::isinf(value)) {
    // Decimal magnitude of the first significant digit decides between overflow and underflow.
    const long long magnitude = static_cast<long long>(parts.integerDigits) -
                                static_cast<long long>(firstNonZero) + exponent;
    if (magnitude <= 0) return 0.0;
    const auto significant = std::string_view(parts.mantissa).substr(firstNonZero);
    if (!AtMostLargestDoubleText(significant, magnitude)) throw Error(kOverflow);
    value = std::numeric_limits<double>::max();
  }
  return parts.negative ? -value : value;
}

// Val of an &H (base 16) or &O (base 8) literal starting at `pos` (just after the prefix).
// Up to 16 bits the value is a signed 16-bit integer and up to 32 bits a signed 32-bit one, as
// the runtime reads such literals (&HFFFF is -1); a longer literal is the runtime's overflow.
double RadixValue(const QString& text, qsizetype pos, int radix) {
  std::uint64_t value = 0;
  bool any = false;
  for (; pos < text.size(); ++pos) {
    const char16_t c = text[pos].toUpper().unicode();
    if (IsBlank(QChar(c))) continue;
    int digit = -1;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit < 0 || digit >= radix) break;
    any = true;
    value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFULL) throw Error(kOverflow);
  }
  if (!any) return 0.0;
  if (value <= 0xFFFFULL) return static_cast<double>(static_cast<std::int16_t>(value));
  return static_cast<double>(static_cast<std::int32_t>(value));
}

// The strict numeric-text grammar of IsNumeric. Fills `parts` when the text is numeric.
bool ParseNumericText(const QString& text, DecimalParts& parts) {
  qsizetype pos = 0;
  const qsizetype size = text.size();
  auto skipBlanks = [&] {
    while (pos < size && IsBlank(text[pos]))
      ++pos;
  };

  skipBlanks();
  if (pos < size && (text[pos] == u'+' || text[pos] == u'-')) {
    parts.negative = text[pos] == u'-';
    ++pos;
    skipBlanks();
  }

  // Integer digits; a thousands separator may stand between two digits (any grouping, as the
  // runtime does not check that the groups have three digits).
  bool anyDigit = false;
  while (pos < size) {
    const QChar c = text[pos];
    if (IsDigit(c)) {
      parts.mantissa += static_cast<char>(c.unicode());
      ++parts.integerDigits;
      anyDigit = true;
      ++pos;
    } else if (c == u',' && anyDigit && pos + 1 < size && IsDigit(text[pos + 1])) {
      ++pos;
    } else {
      break;
    }
  }
  if (pos < size && text[pos] == u'.') {
    ++pos;
    while (pos < size && IsDigit(text[pos])) {
      parts.mantissa += static_cast<char>(text[pos].unicode());
      anyDigit = true;
      ++pos;
    }
  }
  if (!anyDigit) return false;

  if (pos < size && (text[pos] == u'e' || text[pos] == u'E')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < size && (text[pos] == u'+' || text[pos] == u'-')) {
      negativeExponent = text[pos] == u'-';
      ++pos;
    }
    bool anyExponentDigit = false;
    long long exponent = 0;
    while (pos < size && IsDigit(text[pos])) {
      exponent = std::min(exponent * 10 + (text[pos].unicode() - u'0'), 1000000LL);
      anyExponentDigit = true;
      ++pos;
    }
    if (!anyExponentDigit) return false;
    parts.exponent = negativeExponent ? -exponent : exponent;
  }

  skipBlanks();
  return pos == size;
}

// 15 significant digits of |value| and the decimal exponent of the first one:
// value ≈ 0.d1d2…d15 × 10^(exponent + 1), i.e. d1 stands for 10^exponent.
struct SignificantDigits {
  std::string digits;  // exactly kSignificantDigits characters
  int exponent = 0;
};

SignificantDigits Significant(double value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::scientific, kSignificantDigits - 1);
  // buffer holds d.dddddddddddddde±xx; read in place, as every number of a report comes here.
  SignificantDigits out;
  const char* e = std::find(buffer.data(), result.ptr, 'e');
  out.digits.reserve(kSignificantDigits);
  out.digits.push_back(buffer[0]);
  out.digits.append(buffer.data() + 2, static_cast<std::size_t>(e - (buffer.data() + 2)));
  const char* exponent = e + 1;
  if (exponent < result.ptr && *exponent == '+') ++exponent;
  std::from_chars(exponent, result.ptr, out.exponent);
  return out;
}

// Integer and fraction digit strings of |value| rounded half away from zero to `decimals`
// places, working on the 15-significant-digit decimal text rather than on the binary value.
// So 1.005 is rounded as the 1.005 the user typed, not as the 1.00499999… the double holds.
struct RoundedDecimal {
  std::string integer;   // no leading zeros; empty for a zero integer part
  std::string fraction;  // exactly `decimals` digits
};

RoundedDecimal RoundDecimal(double value, int decimals) {
  RoundedDecimal out;
  out.fraction.assign(static_cast<std::size_t>(decimals), '0');
  if (value == 0.0) return out;

  const SignificantDigits sig = Significant(value);
  // Place every significant digit at its power of ten; keep digits down to 10^-decimals and
  // look at the next one to round.
  const int highest = std::max(sig.exponent, 0);
  // all[i] holds the digit of 10^(highest - i)
  const int count = highest + decimals + 1;
  std::string all(static_cast<std::size_t>(count), '0');
  bool roundUp = false;
  for (int i = 0; i < kSignificantDigits; ++i) {
    const int power = sig.exponent - i;
    const int index = highest - power;
    if (index < count) {
      all[static_cast<std::size_t>(index)] = sig.digits[static_cast<std::size_t>(i)];
    } else if (index == count) {
      roundUp = sig.digits[static_cast<std::size_t>(i)] >= '5';
      break;
    } else {
      break;  // below the rounding digit: that digit was 0, no round-up
    }
  }
  if (roundUp) {
    int i = count - 1;
    for (; i >= 0; --i) {
      if (all[static_cast<std::size_t>(i)] == '9') {
        all[static_cast<std::size_t>(i)] = '0';
      } else {
        ++all[static_cast<std::size_t>(i)];
        break;
      }
    }
    if (i < 0) all.insert(all.begin(), '1');
  }
  const std::size_t integerLength = all.size() - static_cast<std::size_t>(decimals);
  out.integer = all.substr(0, integerLength);
  out.fraction = all.substr(integerLength);
  const auto firstNonZero = out.integer.find_first_not_of('0');
  out.integer =
      firstNonZero == std::string::npos ? std::string() : out.integer.substr(firstNonZero);
  return out;
}

bool IsPlaceholder(QChar c) {
  return c == u'0' || c == u'#';
}

}  // namespace

double Val(const QString& text) {
  const qsizetype size = text.size();
  qsizetype pos = 0;
  auto skipBlanks = [&] {
    while (pos < size && IsBlank(text[pos]))
      ++pos;
  };

  skipBlanks();
  if (pos + 1 < size && text[pos] == u'&') {
    const QChar kind = text[pos + 1].toUpper();
    if (kind == u'H') return RadixValue(text, pos + 2, 16);
    if (kind == u'O') return RadixValue(text, pos + 2, 8);
  }

  DecimalParts parts;
  if (pos < size && (text[pos] == u'+' || text[pos] == u'-')) {
    parts.negative = text[pos] == u'-';
    ++pos;
  }
  bool seenPoint = false;
  bool anyDigit = false;
  for (; pos < size; ++pos) {
    const QChar c = text[pos];
    if (IsBlank(c)) continue;
    if (IsDigit(c)) {
      parts.mantissa += static_cast<char>(c.unicode());
      if (!seenPoint) ++parts.integerDigits;
      anyDigit = true;
    } else if (c == u'.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;

  // An exponent counts only when at least one digit follows the letter (and its sign).
  if (pos < size) {
    const QChar letter = text[pos].toUpper();
    if (letter == u'E' || letter == u'D') {
      qsizetype look = pos + 1;
      while (look < size && IsBlank(text[look]))
        ++look;
      bool negativeExponent = false;
      if (look < size && (text[look] == u'+' || text[look] == u'-')) {
        negativeExponent = text[look] == u'-';
        ++look;
      }
      long long exponent = 0;
      bool anyExponentDigit = false;
      for (; look < size; ++look) {
        const QChar c = text[look];
        if (IsBlank(c)) continue;
        if (!IsDigit(c)) break;
        exponent = std::min(exponent * 10 + (c.unicode() - u'0'), 1000000LL);
        anyExponentDigit = true;
      }
      if (anyExponentDigit) parts.exponent = negativeExponent ? -exponent : exponent;
    }
  }
  return ToDouble(parts);
}

bool IsNumeric(const QString& text) {
  DecimalParts parts;
  if (!ParseNumericText(text, parts)) return false;
  try {
    (void)ToDouble(parts);
  } catch (const Error&) {
    return false;  // a number beyond the double range cannot be converted, so it is not numeric
  }
  return true;
}

double NumericValue(const QString& text) {
  DecimalParts parts;
  if (!ParseNumericText(text, parts)) return 0.0;
  try {
    return ToDouble(parts);
  } catch (const Error&) {
    return 0.0;
  }
}

QString NumberText(double value) {
  if (std::isnan(value)) return QStringLiteral("NaN");
  if (std::isinf(value))
    return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
  if (value == 0.0) return QStringLiteral("0");  // also -0.0
  // A whole number below 10^15 has at most 15 digits: its text is the integer's. Most numbers of
  // a report are.
  if (std::fabs(value) < 1e15 && value == std::trunc(value))
    return QString::number(static_cast<qint64>(value));

  const SignificantDigits sig = Significant(value);
  std::string digits = sig.digits;
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  std::string text = value < 0 ? "-" : "";
  if (sig.exponent >= kSignificantDigits || sig.exponent < -4) {
    text += digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += sig.exponent < 0 ? "E-" : "E+";
    const std::string exponent = std::to_string(std::abs(sig.exponent));
    if (exponent.size() < 2) text += '0';
    text += exponent;
  } else if (sig.exponent < 0) {
    text += "0." + std::string(static_cast<std::size_t>(-sig.exponent - 1), '0') + digits;
  } else {
    const auto integerLength = static_cast<std::size_t>(sig.exponent) + 1;
    if (digits.size() <= integerLength) {
      text += digits + std::string(integerLength - digits.size(), '0');
    } else {
      text += digits.substr(0, integerLength) + "." + digits.substr(integerLength);
    }
  }
  return QString::fromStdString(text);
}

QString FormatNumber(double value, const QString& pattern) {
  if (pattern.isEmpty() || std::isnan(value) || std::isinf(value)) return NumberText(value);

  // The first point splits the pattern; later points are literals.
  const qsizetype point = pattern.indexOf(u'.');
  const QString integerPattern = point < 0 ? pattern : pattern.left(point);
  const QString fractionPattern = point < 0 ? QString() : pattern.mid(point + 1);

  const auto decimals = static_cast<int>(
      std::count_if(fractionPattern.begin(), fractionPattern.end(), IsPlaceholder));
  const RoundedDecimal rounded = RoundDecimal(value, decimals);

  // A comma with a placeholder somewhere on each side turns on grouping of the whole integer
  // part; such commas are not written where they stand.
  const qsizetype firstPlaceholder =
      std::find_if(integerPattern.begin(), integerPattern.end(), IsPlaceholder) -
      integerPattern.begin();
  const qsizetype lastPlaceholder = [&] {
    for (qsizetype i = integerPattern.size() - 1; i >= 0; --i)
      if (IsPlaceholder(integerPattern[i])) return i;
    return qsizetype{-1};
  }();
  bool grouping = false;
  for (qsizetype i = 0; i < integerPattern.size(); ++i) {
    if (integerPattern[i] == u',' && i > firstPlaceholder && i < lastPlaceholder) grouping = true;
  }

  // Integer part, built right to left (reversed, turned round at the end).
  QString integerText;
  integerText.reserve(integerPattern.size() +
                      static_cast<qsizetype>(rounded.integer.size()) * 4 / 3 + 1);
  qsizetype nextDigit = static_cast<qsizetype>(rounded.integer.size());  // digits left to place
  int written = 0;                                                       // for grouping
  auto writeDigit = [&](char digit) {
    if (grouping && written > 0 && written % 3 == 0) integerText += u',';
    integerText += QChar::fromLatin1(digit);
    ++written;
  };
  auto writeSurplus = [&] {
    while (nextDigit > 0)
      writeDigit(rounded.integer[static_cast<std::size_t>(--nextDigit)]);
  };
  if (lastPlaceholder < 0) writeSurplus();  // no integer placeholders: digits before the point
  for (qsizetype i = integerPattern.size() - 1; i >= 0; --i) {
    const QChar c = integerPattern[i];
    if (IsPlaceholder(c)) {
      if (nextDigit > 0) {
        writeDigit(rounded.integer[static_cast<std::size_t>(--nextDigit)]);
      } else if (c == u'0') {
        writeDigit('0');
      }
      if (i == firstPlaceholder) writeSurplus();
    } else if (!(c == u',' && grouping && i > firstPlaceholder && i < lastPlaceholder)) {
      integerText += c;
    }
  }
  std::reverse(integerText.begin(), integerText.end());

  // Fraction part, left to right; a # writes its digit unless it and all after it are zeros.
  QString fractionText;
  if (point >= 0) {
    const auto lastSignificant = rounded.fraction.find_last_not_of('0');
    std::size_t index = 0;
    for (const QChar c : fractionPattern) {
      if (IsPlaceholder(c)) {
        const bool significant = lastSignificant != std::string::npos && index <= lastSignificant;
        if (c == u'0' || significant) fractionText += QChar::fromLatin1(rounded.fraction[index]);
        ++index;
      } else {
        fractionText += c;
      }
    }
  }

  const bool roundsToZero =
      rounded.integer.empty() && rounded.fraction.find_first_not_of('0') == std::string::npos;
  QString result;
  if (value < 0 && !roundsToZero) result += u'-';
  result += integerText;
  // The runtime writes the point even when no fraction digit follows it ("#.##" of 5 is "5.").
  if (point >= 0) result += u'.' + fractionText;
  return result;
}

QString FormatGroupedDecimals(double value, int decimals) {
  if (std::isnan(value) || std::isinf(value)) return NumberText(value);
  const RoundedDecimal rounded = RoundDecimal(value, decimals);
  const bool roundsToZero =
      rounded.integer.empty() && rounded.fraction.find_first_not_of('0') == std::string::npos;
  const std::string& digits = rounded.integer.empty() ? std::string("0") : rounded.integer;
  QString result;
  result.reserve(
      static_cast<qsizetype>(digits.size() + digits.size() / 3 + rounded.fraction.size()) + 2);
  if (value < 0 && !roundsToZero) result += u'-';
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) result += u',';
    result += QChar::fromLatin1(digits[i]);
  }
  if (decimals > 0) {
    result += u'.';
    for (const char digit : rounded.fraction)
      result += QChar::fromLatin1(digit);
  }
  return result;
}

QString Format(const QString& text, const QString& pattern) {
  if (!IsNumeric(text)) return text;
  return FormatNumber(NumericValue(text), pattern);
}

}  // namespace tarvel
