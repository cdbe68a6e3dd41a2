// Values as Access's expression service sees them, and its conversions between numbers, texts and
// dates: what the engines' application functions (SQLite) compute, and what the generators fold
// into constants.
//
// Dates. Access keeps a date as a number of days since 1899-12-30 with the time as the fraction
// (an OLE date); before day zero the fraction still counts forward from midnight (-1.25 is
// 1899-12-29 06:00). The engines underneath hold dates as texts "YYYY-MM-DD HH:MM:SS" (SQLite, Jet
// files through it) or timestamps (PostgreSQL); a text of exactly that shape is a date here.
//
// The regional settings are Taiwan's, as on the suite's workstations: a date is written
// "yyyy/M/d", a time "上午 hh:mm:ss" / "下午 hh:mm:ss", month names are 一月 … 十二月, weekday
// names 星期日 … 星期六 (週日 … 週六 abbreviated), the week starts on Sunday and week 1 holds 1
// January.
#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tarvel::db::sql {

struct Variant {
  enum class Kind { Null, Number, Text, Date };
  Kind kind = Kind::Null;
  /// Number: its value; Date: the OLE date.
  double number = 0;
  /// Number: whether it came as a whole-number type (so sums of such stay whole).
  bool integral = false;
  QString text;

  static Variant Null() { return {}; }
  static Variant Of(double v, bool integral = false) { return {Kind::Number, v, integral, {}}; }
  static Variant Whole(qint64 v) { return {Kind::Number, static_cast<double>(v), true, {}}; }
  static Variant OfText(QString t) { return {Kind::Text, 0, false, std::move(t)}; }
  static Variant OfDate(double ole) { return {Kind::Date, ole, false, {}}; }
  bool IsNull() const { return kind == Kind::Null; }
};

/// A value Access cannot convert or compute. A type mismatch or an invalid argument shows as #Error
/// in its cell in Access; here the cell is NULL. An overflow (a number or date beyond its type's
/// range) stops the query, on every engine, with Access's message.
struct AccessError {
  QString message;
  bool overflow = false;
};

/// Access's message for a value beyond its type's range.
QString OverflowMessage();
/// Throws the overflow error.
[[noreturn]] void Overflow();

/// Whether `text` is a date as the engines hold one: exactly "YYYY-MM-DD HH:MM:SS".
bool IsStoredDate(QStringView text);
/// The OLE date of a stored date text; nullopt when it is none.
std::optional<double> OleFromStored(QStringView text);
/// The stored text of an OLE date ("1997-01-02 10:30:00"), to the second. Throws AccessError for a
/// date outside the years 100 to 9999.
QString StoredFromOle(double ole);
/// The OLE date of a day and a number of seconds after its midnight.
double OleDate(const QDate& date, double seconds = 0);
/// The day of an OLE date and the seconds after its midnight (rounded to whole seconds).
QDate DayOf(double ole, int* seconds = nullptr);

/// Reads a date the way CDate reads a text: a stored date, m/d/yyyy (month first), yyyy/m/d,
/// yyyy-m-d, "yyyy年M月d日", each with an optional time (h:mm[:ss] [AM|PM|上午|下午]), or a time
/// alone. nullopt when the text is none of these.
std::optional<double> ParseDateText(const QString& text);

/// CStr of a date: "yyyy/M/d" with the time after it when there is one, the time alone on day zero.
QString GeneralDateText(double ole);
/// The same for a stored date text (a text that is no date comes back as it is).
QString GeneralDateText(const QString& stored);

/// A number's value (a numeric text's too, thousands separators allowed; a date's OLE number).
/// Throws AccessError for a text that is no number.
double ToNumber(const Variant& v);
/// The text Access joins a value with: a number's plain text, a date's general form.
QString ToText(const Variant& v);
/// A date's OLE number: dates, numbers and texts that read as dates. Throws AccessError.
double ToDate(const Variant& v);

/// Rounds half to even at `places` decimals, as Access's Round does, on the number's 15-digit
/// decimal text (so 2.675 is 2.675, not the binary 2.67499…).
double RoundHalfEven(double value, int places = 0);

/// Rounds to a whole number half to even on the number's exact binary value, as the conversions
/// to whole numbers (CInt, CLng, CByte, and the operands of \ and Mod) do: 2.5 is 2, 3.5 is 4,
/// 3.4999999999999996 is 3.
double RoundWhole(double value);

/// Currency: a whole number of ten-thousandths in 64 bits, its range ±922,337,203,685,477.5807.
/// `value` as Currency the way Access converts a number: value × 10,000 (in double precision)
/// rounded half to even. A value that was Currency comes back exactly (below ±900 billion, where
/// a double holds every ten-thousandth). Throws the overflow error beyond the range.
qint64 CurrencyFromDouble(double value);
/// A whole number as Currency, exactly. Throws the overflow error beyond the range.
qint64 CurrencyFromWhole(qint64 value);
/// The double nearest to a Currency value (so 921.37 prints as 921.37).
double CurrencyToDouble(qint64 scaled);

}  // namespace tarvel::db::sql
