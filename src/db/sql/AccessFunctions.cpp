#include "db/sql/AccessFunctions.h"

#include <QTime>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Clock.h"
#include "platform/Conversions.h"

namespace tarvel::db::sql {
namespace {

__extension__ typedef __int128 Int128;

[[noreturn]] void Invalid(const QString& what) {
  throw AccessError{QStringLiteral("無效的程序呼叫或引數：") + what};
}

bool AnyNull(const std::vector<Variant>& args, size_t count) {
  for (size_t i = 0; i < count && i < args.size(); ++i)
    if (args[i].IsNull()) return true;
  return false;
}

qint64 WholeNumber(const Variant& v, double low, double high) {
  const double rounded = RoundWhole(ToNumber(v));
  if (!(rounded >= low && rounded <= high)) Overflow();
  return static_cast<qint64>(rounded);
}

// A value as Currency: a whole number exactly, anything else as Access converts a Double.
qint64 Scaled(const Variant& v) {
  if (v.kind == Variant::Kind::Number && v.integral) {
    return CurrencyFromWhole(static_cast<qint64>(v.number));
  }
  return CurrencyFromDouble(ToNumber(v));
}

// A Currency result: the double nearest to its ten-thousandths, as the servers' numeric reads.
Variant CurrencyResult(qint64 scaled) {
  return Variant::Of(CurrencyToDouble(scaled));
}

// Hex and Oct: the number rounded to a Long; a negative one in two's complement of 16 bits where
// its type is an Integer (`bits` 16), else of 32.
QString RadixText(const Variant& v, int bits, int radix) {
  qint64 n = WholeNumber(v, -2147483648.0, 2147483647.0);
  if (n < 0) n += bits == 16 && n >= -32768 ? 0x10000 : 0x100000000LL;
  return QString::number(n, radix).toUpper();
}

qint64 Long(const Variant& v) {
  return WholeNumber(v, -2147483648.0, 2147483647.0);
}

// A text argument: NULL stays NULL for the caller to see; numbers and dates as their text.
QString TextOf(const Variant& v) {
  return ToText(v);
}

Qt::CaseSensitivity Compare(const std::vector<Variant>& args, size_t index) {
  if (index >= args.size() || args[index].IsNull()) return Qt::CaseInsensitive;
  const qint64 mode = Long(args[index]);
  if (mode == 0) return Qt::CaseSensitive;
  if (mode == 1 || mode == 2 || mode == -1) return Qt::CaseInsensitive;
  Invalid(QStringLiteral("比較方式 %1").arg(mode));
}

Variant DateResult(double ole) {
  try {
    StoredFromOle(ole);  // refuses a date outside the years 100 … 9999
  } catch (const AccessError&) {
    Overflow();
  }
  return Variant::OfDate(ole);
}

// Months added to a day, the day kept or moved back to the month's last (31 January + 1 month is
// the last of February).
QDate AddMonths(const QDate& day, qint64 months) {
  const qint64 index = day.year() * 12LL + (day.month() - 1) + months;
  const int year = static_cast<int>(std::floor(index / 12.0));
  const int month = static_cast<int>(index - year * 12LL) + 1;
  if (year < 100 || year > 9999) Overflow();
  const QDate first(year, month, 1);
  return QDate(year, month, std::min(day.day(), first.daysInMonth()));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval IntervalOf(const Variant& v) {
  const QString i = ToText(v).trimmed().toLower();
  if (i == u"yyyy") return Interval::Year;
  if (i == u"q") return Interval::Quarter;
  if (i == u"m") return Interval::Month;
  if (i == u"y") return Interval::DayOfYear;
  if (i == u"d") return Interval::Day;
  if (i == u"w") return Interval::Weekday;
  if (i == u"ww") return Interval::Week;
  if (i == u"h") return Interval::Hour;
  if (i == u"n") return Interval::Minute;
  if (i == u"s") return Interval::Second;
  Invalid(QStringLiteral("時間間隔「%1」").arg(i));
}

int OptionalInt(const std::vector<Variant>& args, size_t index, int fallback) {
  if (index >= args.size() || args[index].IsNull()) return fallback;
  return static_cast<int>(Long(args[index]));
}

Variant DatePart(const std::vector<Variant>& args) {
  const Interval interval = IntervalOf(args[0]);
  const int firstDay = OptionalInt(args, 2, 1);
  const int firstWeek = OptionalInt(args, 3, 1);
  int seconds = 0;
  const QDate day = DayOf(ToDate(args[1]), &seconds);
  switch (interval) {
    case Interval::Year:
      return Variant::Whole(day.year());
    case Interval::Quarter:
      return Variant::Whole((day.month() - 1) / 3 + 1);
    case Interval::Month:
      return Variant::Whole(day.month());
    case Interval::DayOfYear:
      return Variant::Whole(day.dayOfYear());
    case Interval::Day:
      return Variant::Whole(day.day());
    case Interval::Weekday:
      return Variant::Whole(WeekdayOf(day, firstDay));
    case Interval::Week:
      return Variant::Whole(WeekOfYear(day, firstDay, firstWeek));
    case Interval::Hour:
      return Variant::Whole(seconds / 3600);
    case Interval::Minute:
      return Variant::Whole(seconds / 60 % 60);
    case Interval::Second:
      return Variant::Whole(seconds % 60);
  }
  return {};
}

Variant DateAdd(const std::vector<Variant>& args) {
  const Interval interval = IntervalOf(args[0]);
  const qint64 n = WholeNumber(args[1], -1e12, 1e12);
  const double ole = ToDate(args[2]);
  int seconds = 0;
  const QDate day = DayOf(ole, &seconds);
  switch (interval) {
    case Interval::Year:
      return DateResult(OleDate(AddMonths(day, n * 12), seconds));
    case Interval::Quarter:
      return DateResult(OleDate(AddMonths(day, n * 3), seconds));
    case Interval::Month:
      return DateResult(OleDate(AddMonths(day, n), seconds));
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
      return DateResult(OleDate(day.addDays(n), seconds));
    case Interval::Week:
      return DateResult(OleDate(day.addDays(n * 7), seconds));
    case Interval::Hour:
    case Interval::Minute:
    case Interval::Second: {
      const qint64 unit = interval == Interval::Hour ? 3600 : interval == Interval::Minute ? 60 : 1;
      const qint64 total = seconds + n * unit;
      const qint64 days = static_cast<qint64>(std::floor(total / 86400.0));
      return DateResult(OleDate(day.addDays(days), static_cast<double>(total - days * 86400)));
    }
  }
  return {};
}

// Seconds since day zero, for counting hour, minute and second boundaries.
qint64 SecondsOf(double ole) {
  int seconds = 0;
  const QDate day = DayOf(ole, &seconds);
  return QDate(1899, 12, 30).daysTo(day) * 86400LL + seconds;
}

Variant DateDiff(const std::vector<Variant>& args) {
  const Interval interval = IntervalOf(args[0]);
  const double a = ToDate(args[1]);
  const double b = ToDate(args[2]);
  const int firstDay = OptionalInt(args, 3, 1);
  const QDate da = DayOf(a), db = DayOf(b);
  switch (interval) {
    case Interval::Year:
      return Variant::Whole(db.year() - da.year());
    case Interval::Quarter:
      return Variant::Whole((db.year() * 4 + (db.month() - 1) / 3) -
                            (da.year() * 4 + (da.month() - 1) / 3));
    case Interval::Month:
      return Variant::Whole((db.year() * 12 + db.month()) - (da.year() * 12 + da.month()));
    case Interval::DayOfYear:
    case Interval::Day:
      return Variant::Whole(da.daysTo(db));
    case Interval::Weekday:
      return Variant::Whole(da.daysTo(db) / 7);
    case Interval::Week: {
      // The first days of the week between them.
      const auto weekStart = [&](const QDate& d) {
        return d.addDays(-(WeekdayOf(d, firstDay) - 1));
      };
      return Variant::Whole(weekStart(da).daysTo(weekStart(db)) / 7);
    }
    case Interval::Hour:
    case Interval::Minute:
    case Interval::Second: {
      const qint64 unit = interval == Interval::Hour ? 3600 : interval == Interval::Minute ? 60 : 1;
      const auto floorDiv = [&](qint64 s) {
        return static_cast<qint64>(std::floor(static_cast<double>(s) / unit));
      };
      return Variant::Whole(floorDiv(SecondsOf(b)) - floorDiv(SecondsOf(a)));
    }
  }
  return {};
}

Variant DateSerial(const std::vector<Variant>& args) {
  qint64 year = Long(args[0]);
  const qint64 month = Long(args[1]);
  const qint64 day = Long(args[2]);
  if (year >= 0 && year <= 29)
    year += 2000;
  else if (year >= 30 && year <= 99)
    year += 1900;
  if (year < 100 || year > 9999) Overflow();
  // Months and days past their ends carry over first (DateSerial(9999, 13, 0) is 9999-12-31);
  // only the date they end on must lie in Access's years.
  const qint64 index = year * 12 + (month - 1);
  if (index < 100 * 12 || index > 10000 * 12 + 1) Overflow();
  const QDate first(static_cast<int>(index / 12), static_cast<int>(index % 12) + 1, 1);
  return DateResult(OleDate(first.addDays(day - 1)));
}

Variant TimeSerial(const std::vector<Variant>& args) {
  const qint64 total = Long(args[0]) * 3600 + Long(args[1]) * 60 + Long(args[2]);
  const qint64 days = static_cast<qint64>(std::floor(total / 86400.0));
  return DateResult(
      OleDate(QDate(1899, 12, 30).addDays(days), static_cast<double>(total - days * 86400)));
}

// InStr([start,] text, find[, compare]).
Variant InStr(const std::vector<Variant>& args) {
  size_t at = 0;
  qint64 start = 1;
  if (args.size() >= 3) {
    if (args[0].IsNull()) Invalid(QStringLiteral("InStr 的起點是 Null"));
    start = Long(args[0]);
    if (start < 1) Invalid(QStringLiteral("InStr 的起點 %1").arg(start));
    at = 1;
  }
  if (args[at].IsNull() || args[at + 1].IsNull()) return {};
  const QString text = TextOf(args[at]);
  const QString find = TextOf(args[at + 1]);
  const Qt::CaseSensitivity cs = Compare(args, at + 2);
  if (start > text.size()) return Variant::Whole(0);
  if (find.isEmpty()) return Variant::Whole(start);
  return Variant::Whole(text.indexOf(find, start - 1, cs) + 1);
}

// InStrRev(text, find[, start[, compare]]).
Variant InStrRev(const std::vector<Variant>& args) {
  if (args[0].IsNull() || args[1].IsNull()) return {};
  const QString text = TextOf(args[0]);
  const QString find = TextOf(args[1]);
  qint64 start = OptionalInt(args, 2, -1);
  if (start == 0 || start < -1) Invalid(QStringLiteral("InStrRev 的起點 %1").arg(start));
  if (start == -1) start = text.size();
  if (start > text.size()) return Variant::Whole(0);
  if (find.isEmpty()) return Variant::Whole(start);
  const qsizetype from = start - find.size();
  if (from < 0) return Variant::Whole(0);
  return Variant::Whole(text.lastIndexOf(find, from, Compare(args, 3)) + 1);
}

// Replace(text, find, with[, start[, count[, compare]]]): from `start` on, as Access returns it.
Variant Replace(const std::vector<Variant>& args) {
  // Null to find or to put in: Access's invalid use of Null.
  if (AnyNull(args, 3)) return {};
  const QString text = TextOf(args[0]);
  const QString find = TextOf(args[1]);
  const QString with = TextOf(args[2]);
  const qint64 start = OptionalInt(args, 3, 1);
  const qint64 count = OptionalInt(args, 4, -1);
  if (start < 1 || count < -1) Invalid(QStringLiteral("Replace 的起點或次數"));
  const Qt::CaseSensitivity cs = args.size() > 5 ? Compare(args, 5) : Qt::CaseSensitive;
  if (start > text.size()) return Variant::OfText({});
  QString rest = text.mid(start - 1);
  if (find.isEmpty() || count == 0) return Variant::OfText(rest);
  QString out;
  qsizetype from = 0;
  qint64 done = 0;
  while (count < 0 || done < count) {
    const qsizetype hit = rest.indexOf(find, from, cs);
    if (hit < 0) break;
    out += QStringView(rest).mid(from, hit - from);
    out += with;
    from = hit + find.size();
    ++done;
  }
  out += QStringView(rest).mid(from);
  return Variant::OfText(out);
}

Variant Conversion(Function f, const Variant& v) {
  switch (f) {
    case Function::CStr:
      return Variant::OfText(ToText(v));
    case Function::CInt:
      return Variant::Whole(WholeNumber(v, -32768, 32767));
    case Function::CLng:
      return Variant::Whole(Long(v));
    case Function::CByte:
      return Variant::Whole(WholeNumber(v, 0, 255));
    case Function::CSng:
      return Variant::Of(SingleValue(ToNumber(v)));
    case Function::CDbl:
      return Variant::Of(ToNumber(v));
    case Function::CCur:
      return CurrencyResult(Scaled(v));
    case Function::CDec:
      return Variant::Of(ToNumber(v));
    case Function::CBool: {
      if (v.kind == Variant::Kind::Text) {
        const QString t = v.text.trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return Variant::Whole(-1);
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return Variant::Whole(0);
      }
      return Variant::Whole(ToNumber(v) != 0 ? -1 : 0);
    }
    case Function::CDate:
      return DateResult(ToDate(v));
    default:
      return {};
  }
}

}  // namespace

double SingleValue(double value) {
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) Overflow();
  return static_cast<double>(static_cast<float>(value));
}

double SingleShown(double value) {
  if (!std::isfinite(value)) return value;
  // Seven significant digits, as Access shows a Single.
  return QString::number(static_cast<double>(static_cast<float>(value)), 'g', 7).toDouble();
}

int WeekdayOf(const QDate& date, int firstDayOfWeek) {
  if (firstDayOfWeek < 0 || firstDayOfWeek > 7) Invalid(QStringLiteral("一週的第一天"));
  const int first = firstDayOfWeek == 0 ? 1 : firstDayOfWeek;  // 1 Sunday … 7 Saturday
  const int sundayBased = date.dayOfWeek() % 7 + 1;            // 1 Sunday … 7 Saturday
  return (sundayBased - first + 7) % 7 + 1;
}

int WeekOfYear(const QDate& date, int firstDayOfWeek, int firstWeekOfYear) {
  if (firstWeekOfYear < 0 || firstWeekOfYear > 3) Invalid(QStringLiteral("一年的第一週"));
  // The first day of week 1 of `year`.
  const auto weekOneStart = [&](int year) {
    const QDate jan1(year, 1, 1);
    const QDate start = jan1.addDays(-(WeekdayOf(jan1, firstDayOfWeek) - 1));
    const qint64 daysInYear = 7 - start.daysTo(jan1);  // days of that week in the new year
    if (firstWeekOfYear == 2 && daysInYear < 4) return start.addDays(7);
    if (firstWeekOfYear == 3 && daysInYear < 7) return start.addDays(7);
    return start;
  };
  QDate start = weekOneStart(date.year());
  if (date < start) start = weekOneStart(date.year() - 1);
  return static_cast<int>(start.daysTo(date) / 7) + 1;
}

namespace {

// Argument `i`, Null when the call gave fewer.
const Variant& ArgumentAt(const std::vector<Variant>& args, size_t i) {
  static const Variant null;
  return i < args.size() ? args[i] : null;
}

// Date functions and Format.
Variant EvaluateDate(Function f, const std::vector<Variant>& args) {
  const auto arg = [&](size_t i) -> const Variant& { return ArgumentAt(args, i); };
  switch (f) {
    case Function::Year:
    case Function::Month:
    case Function::Day:
    case Function::Hour:
    case Function::Minute:
    case Function::Second: {
      if (arg(0).IsNull()) return {};
      int seconds = 0;
      const QDate day = DayOf(ToDate(arg(0)), &seconds);
      switch (f) {
        case Function::Year:
          return Variant::Whole(day.year());
        case Function::Month:
          return Variant::Whole(day.month());
        case Function::Day:
          return Variant::Whole(day.day());
        case Function::Hour:
          return Variant::Whole(seconds / 3600);
        case Function::Minute:
          return Variant::Whole(seconds / 60 % 60);
        default:
          return Variant::Whole(seconds % 60);
      }
    }
    case Function::Weekday:
      if (arg(0).IsNull()) return {};
      return Variant::Whole(WeekdayOf(DayOf(ToDate(arg(0))), OptionalInt(args, 1, 1)));
    case Function::DatePart:
      if (AnyNull(args, 2)) return {};
      return DatePart(args);
    case Function::DateAdd:
      if (AnyNull(args, 3)) return {};
      return DateAdd(args);
    case Function::DateDiff:
      if (AnyNull(args, 3)) return {};
      return DateDiff(args);
    case Function::DateSerial:
      if (AnyNull(args, 3)) return {};
      return DateSerial(args);
    case Function::TimeSerial:
      if (AnyNull(args, 3)) return {};
      return TimeSerial(args);
    case Function::DateValue: {
      if (arg(0).IsNull()) return {};
      return DateResult(OleDate(DayOf(ToDate(arg(0)))));
    }
    case Function::Now: {
      const QTime now = QTime::currentTime();
      return Variant::OfDate(OleDate(Today(), now.msecsSinceStartOfDay() / 1000));
    }
    case Function::Date:
      return Variant::OfDate(OleDate(Today()));
    case Function::Time:
      return Variant::OfDate(
          OleDate(QDate(1899, 12, 30), QTime::currentTime().msecsSinceStartOfDay() / 1000));
    case Function::MonthName: {
      if (arg(0).IsNull()) return {};
      const qint64 month = Long(arg(0));
      if (month < 1 || month > 12) Invalid(QStringLiteral("月份 %1").arg(month));
      return Variant::OfText(
          *FormatValue(Variant::OfDate(OleDate(QDate(2000, month, 1))), QStringLiteral("mmmm")));
    }
    case Function::Format: {
      const QString pattern = args.size() > 1 && !arg(1).IsNull() ? TextOf(arg(1)) : QString();
      const auto text =
          FormatValue(arg(0), pattern, OptionalInt(args, 2, 1), OptionalInt(args, 3, 1));
      return text ? Variant::OfText(*text) : Variant();
    }
    default:
      break;
  }
  Invalid(QStringLiteral("此處不計算 %1").arg(static_cast<int>(f)));
}

// Number functions. Another function goes on to the next family.
Variant EvaluateNumber(Function f, const std::vector<Variant>& args) {
  const auto arg = [&](size_t i) -> const Variant& { return ArgumentAt(args, i); };
  switch (f) {
    case Function::Abs:
    case Function::Int:
    case Function::Fix:
    case Function::Sgn:
    case Function::Sqr: {
      if (arg(0).IsNull()) return {};
      const double d = ToNumber(arg(0));
      const bool integral = arg(0).integral;
      switch (f) {
        case Function::Abs:
          return Variant::Of(std::fabs(d), integral);
        case Function::Int:
          return Variant::Of(std::floor(d), integral);
        case Function::Fix:
          return Variant::Of(std::trunc(d), integral);
        case Function::Sgn:
          return Variant::Whole(d > 0 ? 1 : d < 0 ? -1 : 0);
        default:
          if (d < 0) Invalid(QStringLiteral("負數的平方根"));
          return Variant::Of(std::sqrt(d));
      }
    }
    case Function::Round: {
      if (arg(0).IsNull()) return {};
      const qint64 places = args.size() > 1 && !arg(1).IsNull() ? Long(arg(1)) : 0;
      if (places < 0 || places > 15) Invalid(QStringLiteral("Round 的小數位數 %1").arg(places));
      return Variant::Of(RoundHalfEven(ToNumber(arg(0)), static_cast<int>(places)),
                         arg(0).integral);
    }
    default:
      return EvaluateDate(f, args);
  }
}

// Text functions. Another function goes on to the next family.
Variant EvaluateText(Function f, const std::vector<Variant>& args) {
  const auto arg = [&](size_t i) -> const Variant& { return ArgumentAt(args, i); };
  switch (f) {
    case Function::Left:
    case Function::Right: {
      if (arg(0).IsNull()) return {};
      if (arg(1).IsNull()) Invalid(QStringLiteral("長度是 Null"));
      const qint64 n = Long(arg(1));
      if (n < 0) Invalid(QStringLiteral("長度 %1").arg(n));
      const QString t = TextOf(arg(0));
      return Variant::OfText(f == Function::Left ? t.left(n) : t.right(n));
    }
    case Function::Mid: {
      if (arg(0).IsNull()) return {};
      const qint64 start = Long(arg(1));
      if (start < 1) Invalid(QStringLiteral("Mid 的起點 %1").arg(start));
      qint64 length = -1;
      if (args.size() > 2) {
        if (arg(2).IsNull()) return {};  // Access's invalid use of Null
        length = Long(arg(2));
        if (length < 0) Invalid(QStringLiteral("Mid 的長度 %1").arg(length));
      }
      const QString t = TextOf(arg(0));
      if (start > t.size()) return Variant::OfText({});
      return Variant::OfText(t.mid(start - 1, length));
    }
    case Function::Len:
      if (arg(0).IsNull()) return {};
      return Variant::Whole(TextOf(arg(0)).size());
    case Function::InStr:
      return InStr(args);
    case Function::InStrRev:
      return InStrRev(args);
    case Function::Trim:
    case Function::LTrim:
    case Function::RTrim: {
      if (arg(0).IsNull()) return {};
      QString t = TextOf(arg(0));
      qsizetype from = 0, to = t.size();
      if (f != Function::RTrim)
        while (from < to && t[from] == u' ')
          ++from;
      if (f != Function::LTrim)
        while (to > from && t[to - 1] == u' ')
          --to;
      return Variant::OfText(t.mid(from, to - from));
    }
    case Function::UCase:
      if (arg(0).IsNull()) return {};
      return Variant::OfText(TextOf(arg(0)).toUpper());
    case Function::LCase:
      if (arg(0).IsNull()) return {};
      return Variant::OfText(TextOf(arg(0)).toLower());
    case Function::Space: {
      if (arg(0).IsNull()) return {};
      const qint64 n = Long(arg(0));
      if (n < 0) Invalid(QStringLiteral("Space 的長度 %1").arg(n));
      return Variant::OfText(QString(n, u' '));
    }
    case Function::String: {
      if (AnyNull(args, 2)) return {};
      const qint64 n = Long(arg(0));
      if (n < 0) Invalid(QStringLiteral("String 的長度 %1").arg(n));
      QChar c;
      if (arg(1).kind == Variant::Kind::Number) {
        c = QChar(static_cast<char16_t>(Long(arg(1)) & 0xffff));
      } else {
        const QString t = TextOf(arg(1));
        if (t.isEmpty()) Invalid(QStringLiteral("String 的字元是空字串"));
        c = t[0];
      }
      return Variant::OfText(QString(n, c));
    }
    case Function::Replace:
      return Replace(args);
    case Function::StrComp: {
      if (AnyNull(args, 2)) return {};
      const int order = TextOf(arg(0)).compare(TextOf(arg(1)), Compare(args, 2));
      return Variant::Whole(order < 0 ? -1 : order > 0 ? 1 : 0);
    }
    case Function::Asc: {
      if (arg(0).IsNull()) return {};
      const QString t = TextOf(arg(0));
      if (t.isEmpty()) Invalid(QStringLiteral("Asc 的字串是空字串"));
      return Variant::Whole(t[0].unicode());
    }
    case Function::Chr: {
      if (arg(0).IsNull()) return {};
      const qint64 code = Long(arg(0));
      if (code < -32768 || code > 65535) Invalid(QStringLiteral("字碼 %1").arg(code));
      // No text of the program holds a NUL: code 0 gives an empty text.
      if ((code & 0xffff) == 0) return Variant::OfText({});
      return Variant::OfText(QString(QChar(static_cast<char16_t>(code & 0xffff))));
    }
    default:
      return EvaluateNumber(f, args);
  }
}

// Conversions and tests of a value's type. Another function goes on to the next family.
Variant EvaluateConversion(Function f, const std::vector<Variant>& args) {
  const auto arg = [&](size_t i) -> const Variant& { return ArgumentAt(args, i); };
  switch (f) {
    case Function::IsNumeric: {
      const Variant& v = arg(0);
      const bool numeric = v.kind == Variant::Kind::Number ||
                           (v.kind == Variant::Kind::Text && tarvel::IsNumeric(v.text));
      return Variant::Whole(numeric ? -1 : 0);
    }
    case Function::IsDate: {
      const Variant& v = arg(0);
      const bool date = v.kind == Variant::Kind::Date ||
                        (v.kind == Variant::Kind::Text && ParseDateText(v.text).has_value());
      return Variant::Whole(date ? -1 : 0);
    }
    case Function::IsNull:
      return Variant::Whole(arg(0).IsNull() ? -1 : 0);
    case Function::CStr:
    case Function::CInt:
    case Function::CLng:
    case Function::CByte:
    case Function::CSng:
    case Function::CDbl:
    case Function::CCur:
    case Function::CDec:
    case Function::CBool:
    case Function::CDate:
      if (arg(0).IsNull()) return {};
      return Conversion(f, arg(0));
    case Function::Hex:
    case Function::Oct:
      if (arg(0).IsNull()) return {};
      return Variant::OfText(RadixText(arg(0),
                                       args.size() > 1 ? static_cast<int>(Long(arg(1))) : 32,
                                       f == Function::Hex ? 16 : 8));
    case Function::Val: {
      if (arg(0).IsNull()) return {};
      return Variant::Of(arg(0).kind == Variant::Kind::Number ? arg(0).number
                                                              : Val(ToText(arg(0))));
    }
    case Function::Str: {
      if (arg(0).IsNull()) return {};
      const double d = ToNumber(arg(0));
      const QString t = NumberText(d);
      return Variant::OfText(d >= 0 ? u' ' + t : t);
    }
    default:
      return EvaluateText(f, args);
  }
}

}  // namespace

Variant Evaluate(Function f, const std::vector<Variant>& args) {
  return EvaluateConversion(f, args);
}

Variant Apply(Operator op, const std::vector<Variant>& v) {
  if (op == Operator::Concat) {
    QString out;
    bool any = false;
    for (const Variant& x : v) {
      if (x.IsNull()) continue;
      any = true;
      out += ToText(x);
    }
    return any ? Variant::OfText(out) : Variant();
  }
  const Variant& a = v.at(0);
  const Variant& b = v.at(1);
  if (a.IsNull() || b.IsNull()) return {};
  using K = Variant::Kind;
  switch (op) {
    case Operator::Add:
      if (a.kind == K::Text && b.kind == K::Text) return Variant::OfText(a.text + b.text);
      if (a.kind == K::Date || b.kind == K::Date) {
        if (a.kind == K::Date && b.kind == K::Date) return DateResult(a.number + b.number);
        return DateResult(ToNumber(a) + ToNumber(b));
      }
      return Variant::Of(ToNumber(a) + ToNumber(b), a.integral && b.integral);
    case Operator::Subtract:
      if (a.kind == K::Date && b.kind != K::Date) return DateResult(a.number - ToNumber(b));
      if (a.kind == K::Date && b.kind == K::Date) return Variant::Of(a.number - b.number);
      return Variant::Of(ToNumber(a) - ToNumber(b), a.integral && b.integral);
    case Operator::Multiply:
      return Variant::Of(ToNumber(a) * ToNumber(b), a.integral && b.integral);
    case Operator::Divide: {
      const double y = ToNumber(b);
      if (y == 0) return {};
      return Variant::Of(ToNumber(a) / y);
    }
    case Operator::IntDivide:
    case Operator::Mod: {
      const double x = static_cast<double>(Long(a));
      const double y = static_cast<double>(Long(b));
      if (y == 0) return {};
      const double quotient = std::trunc(x / y);
      return Variant::Of(op == Operator::IntDivide ? quotient : x - y * quotient, true);
    }
    case Operator::Power: {
      const double x = ToNumber(a), y = ToNumber(b);
      if ((x < 0 && y != std::trunc(y)) || (x == 0 && y < 0)) Invalid(QStringLiteral("次方"));
      const double r = std::pow(x, y);
      if (!std::isfinite(r)) Overflow();
      return Variant::Of(r);
    }
    case Operator::CurrencyAdd:
    case Operator::CurrencySubtract: {
      qint64 r = 0;
      const bool over = op == Operator::CurrencyAdd
                            ? __builtin_add_overflow(Scaled(a), Scaled(b), &r)
                            : __builtin_sub_overflow(Scaled(a), Scaled(b), &r);
      if (over) Overflow();
      return CurrencyResult(r);
    }
    case Operator::CurrencyMultiply: {
      // Ten-thousandths times ten-thousandths: the exact product, rounded half to even back to
      // ten-thousandths.
      const Int128 product = static_cast<Int128>(Scaled(a)) * Scaled(b);
      Int128 q = product / 10000;
      const Int128 r = product % 10000;
      const Int128 twice = (r < 0 ? -r : r) * 2;
      if (twice > 10000 || (twice == 10000 && (q % 2) != 0)) q += product < 0 ? -1 : 1;
      if (q > std::numeric_limits<qint64>::max() || q < std::numeric_limits<qint64>::min())
        Overflow();
      return CurrencyResult(static_cast<qint64>(q));
    }
    case Operator::Concat:
      break;
  }
  return {};
}

}  // namespace tarvel::db::sql
