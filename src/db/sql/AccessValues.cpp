#include "db/sql/AccessValues.h"

#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <cmath>

#include "platform/Conversions.h"

namespace tarvel::db::sql {
namespace {

const QDate kDayZero(1899, 12, 30);

int Digit(QChar c) {
  return c.unicode() >= u'0' && c.unicode() <= u'9' ? c.unicode() - u'0' : -1;
}

// "上午 09:05:00": Taiwan's long time.
QString LongTimeText(int seconds) {
  const int hour = seconds / 3600;
  const int minute = seconds / 60 % 60;
  const int second = seconds % 60;
  const int twelve = hour % 12 == 0 ? 12 : hour % 12;
  return QStringLiteral("%1 %2:%3:%4")
      .arg(hour < 12 ? QStringLiteral("上午") : QStringLiteral("下午"))
      .arg(twelve, 2, 10, QLatin1Char('0'))
      .arg(minute, 2, 10, QLatin1Char('0'))
      .arg(second, 2, 10, QLatin1Char('0'));
}

}  // namespace

bool IsStoredDate(QStringView t) {
  if (t.size() != 19) return false;
  static constexpr int kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
  for (int i : kDigits)
    if (Digit(t[i]) < 0) return false;
  return t[4] == u'-' && t[7] == u'-' && t[10] == u' ' && t[13] == u':' && t[16] == u':';
}

std::optional<double> OleFromStored(QStringView t) {
  if (!IsStoredDate(t)) return std::nullopt;
  const auto number = [&](int from, int length) {
    int n = 0;
    for (int i = from; i < from + length; ++i)
      n = n * 10 + Digit(t[i]);
    return n;
  };
  const QDate date(number(0, 4), number(5, 2), number(8, 2));
  const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
  if (!date.isValid() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return OleDate(date, hour * 3600 + minute * 60 + second);
}

double OleDate(const QDate& date, double seconds) {
  const double days = static_cast<double>(kDayZero.daysTo(date));
  const double fraction = seconds / 86400.0;
  // Before day zero the time still counts forward from midnight: -1.25 is the day before at 6:00.
  return days < 0 ? days - fraction : days + fraction;
}

QDate DayOf(double ole, int* seconds) {
  double day = std::trunc(ole);
  double fraction = std::fabs(ole - day);
  int secs = static_cast<int>(std::llround(fraction * 86400.0));
  if (secs >= 86400) {  // 23:59:59.6 rounds up into the next day
    secs -= 86400;
    day += ole < 0 ? -1 : 1;
  }
  if (seconds) *seconds = secs;
  return kDayZero.addDays(static_cast<qint64>(day));
}

QString StoredFromOle(double ole) {
  if (!std::isfinite(ole)) throw AccessError{QStringLiteral("日期超出範圍")};
  int seconds = 0;
  const QDate day = DayOf(ole, &seconds);
  if (day.year() < 100 || day.year() > 9999) throw AccessError{QStringLiteral("日期超出範圍")};
  return QStringLiteral("%1-%2-%3 %4:%5:%6")
      .arg(day.year(), 4, 10, QLatin1Char('0'))
      .arg(day.month(), 2, 10, QLatin1Char('0'))
      .arg(day.day(), 2, 10, QLatin1Char('0'))
      .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

std::optional<double> ParseDateText(const QString& text) {
  if (const auto stored = OleFromStored(text)) return stored;
  static const QRegularExpression shape(QStringLiteral(
      "^\\s*(?:(\\d{1,4})\\s*([-/.年])\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,4})\\s*日?)?\\s*"
      "(上午|下午)?\\s*(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([AaPp][Mm]|上午|下午)?)?\\s*"
      "$"));
  const QRegularExpressionMatch m = shape.match(text);
  if (!m.hasMatch() || (m.capturedLength(1) == 0 && m.capturedLength(6) == 0)) return std::nullopt;
  QDate date = kDayZero;
  if (m.capturedLength(1) > 0) {
    const int a = m.captured(1).toInt(), b = m.captured(3).toInt();
    int c = m.captured(4).toInt();
    if (m.capturedLength(1) >= 3 || m.captured(2) == u"年") {
      date = QDate(a, b, c);
    } else {
      if (m.capturedLength(4) <= 2) c += c < 30 ? 2000 : 1900;
      date = QDate(c, a, b);
    }
    if (!date.isValid()) return std::nullopt;
  }
  int seconds = 0;
  if (m.capturedLength(6) > 0) {
    int hour = m.captured(6).toInt();
    const int minute = m.captured(7).toInt(), second = m.captured(8).toInt();
    QString half = m.captured(9).isEmpty() ? m.captured(5) : m.captured(9);
    half = half.toLower();
    if (!half.isEmpty()) {
      if (hour < 1 || hour > 12) return std::nullopt;
      const bool afternoon = half == u"pm" || half == u"下午";
      hour = hour % 12 + (afternoon ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    seconds = hour * 3600 + minute * 60 + second;
  } else if (m.capturedLength(5) > 0) {
    return std::nullopt;
  }
  return OleDate(date, seconds);
}

QString GeneralDateText(double ole) {
  int seconds = 0;
  const QDate day = DayOf(ole, &seconds);
  QString text;
  if (day != kDayZero)
    text = QStringLiteral("%1/%2/%3").arg(day.year()).arg(day.month()).arg(day.day());
  if (seconds != 0 || text.isEmpty()) {
    if (!text.isEmpty()) text += u' ';
    text += LongTimeText(seconds);
  }
  return text;
}

QString GeneralDateText(const QString& stored) {
  const auto ole = OleFromStored(stored);
  return ole ? GeneralDateText(*ole) : stored;
}

double ToNumber(const Variant& v) {
  switch (v.kind) {
    case Variant::Kind::Number:
    case Variant::Kind::Date:
      return v.number;
    case Variant::Kind::Text:
      if (tarvel::IsNumeric(v.text)) return NumericValue(v.text);
      if (const auto date = ParseDateText(v.text)) return *date;
      throw AccessError{QStringLiteral("型別不符：「%1」不是數字").arg(v.text.left(40))};
    case Variant::Kind::Null:
      break;
  }
  throw AccessError{QStringLiteral("Null 的使用無效")};
}

QString ToText(const Variant& v) {
  switch (v.kind) {
    case Variant::Kind::Number:
      return NumberText(v.number);
    case Variant::Kind::Date:
      return GeneralDateText(v.number);
    case Variant::Kind::Text:
      return v.text;
    case Variant::Kind::Null:
      break;
  }
  return {};
}

double ToDate(const Variant& v) {
  switch (v.kind) {
    case Variant::Kind::Date:
    case Variant::Kind::Number:
      return v.number;
    case Variant::Kind::Text:
      if (const auto date = ParseDateText(v.text)) return *date;
      if (tarvel::IsNumeric(v.text)) return NumericValue(v.text);
      throw AccessError{QStringLiteral("型別不符：「%1」不是日期").arg(v.text.left(40))};
    case Variant::Kind::Null:
      break;
  }
  throw AccessError{QStringLiteral("Null 的使用無效")};
}

QString OverflowMessage() {
  return QStringLiteral("溢位");
}

void Overflow() {
  throw AccessError{OverflowMessage(), true};
}

double RoundWhole(double value) {
  return std::nearbyint(value);  // the default rounding mode: to nearest, ties to even
}

namespace {
constexpr double kCurrencyScale = 10000.0;
// 2^63 as a double: the first scaled value beyond the range.
constexpr double kScaledLimit = 9223372036854775808.0;
}  // namespace

qint64 CurrencyFromDouble(double value) {
  const double scaled = std::nearbyint(value * kCurrencyScale);
  if (!(scaled >= -kScaledLimit && scaled < kScaledLimit)) Overflow();
  return static_cast<qint64>(scaled);
}

qint64 CurrencyFromWhole(qint64 value) {
  qint64 scaled = 0;
  if (__builtin_mul_overflow(value, qint64{10000}, &scaled)) Overflow();
  return scaled;
}

double CurrencyToDouble(qint64 scaled) {
  return static_cast<double>(scaled) / kCurrencyScale;
}

double RoundHalfEven(double value, int places) {
  if (!std::isfinite(value)) return value;
  // Work on the 15-digit decimal text, so the figure as stored is what gets rounded.
  const double scale = std::pow(10.0, places);
  const QString text = QString::number(value * scale, 'g', 15);
  const double scaled = text.toDouble();
  const double floor = std::floor(scaled);
  const double diff = scaled - floor;
  double rounded;
  if (diff > 0.5) {
    rounded = floor + 1;
  } else if (diff < 0.5) {
    rounded = floor;
  } else {
    rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
  }
  return rounded / scale;
}

}  // namespace tarvel::db::sql
