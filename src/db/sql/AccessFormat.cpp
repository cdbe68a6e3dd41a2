// Format of numbers and dates, with Taiwan's regional settings (AccessValues.h).
#include <QStringList>
#include <cmath>

#include "db/sql/AccessFunctions.h"
#include "platform/Conversions.h"

namespace tarvel::db::sql {
namespace {

const char16_t* const kMonthNames[] = {u"一月", u"二月", u"三月", u"四月", u"五月",   u"六月",
                                       u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};
const char16_t* const kDayNames[] = {u"星期日", u"星期一", u"星期二", u"星期三",
                                     u"星期四", u"星期五", u"星期六"};
const char16_t* const kShortDayNames[] = {u"週日", u"週一", u"週二", u"週三",
                                          u"週四", u"週五", u"週六"};

QString TwoDigits(int n) {
  return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Splits a pattern at ";" outside quotes.
QStringList Sections(const QString& pattern) {
  QStringList sections;
  QString current;
  bool quoted = false;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'"') quoted = !quoted;
    if (c == u'\\' && i + 1 < pattern.size()) {
      current += c;
      current += pattern[++i];
      continue;
    }
    if (c == u';' && !quoted) {
      sections << current;
      current.clear();
      continue;
    }
    current += c;
  }
  sections << current;
  return sections;
}

// A number section with its literals ("…", \x) protected: FormatNumber reads 0 # , . and takes
// every other character as it stands, so quoted digits are put back afterwards.
QString FormatNumberSection(double value, const QString& section) {
  QString plain;
  QStringList literals;
  bool percent = false;
  QString exponent;  // "E+00"
  for (qsizetype i = 0; i < section.size(); ++i) {
    const QChar c = section[i];
    if (c == u'"') {
      const qsizetype end = section.indexOf(u'"', i + 1);
      const QString literal = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
      literals << literal;
      plain += QChar(static_cast<char16_t>(0xE000 + literals.size() - 1));
      i = end < 0 ? section.size() : end;
      continue;
    }
    if (c == u'\\' && i + 1 < section.size()) {
      literals << section.mid(i + 1, 1);
      plain += QChar(static_cast<char16_t>(0xE000 + literals.size() - 1));
      ++i;
      continue;
    }
    if ((c == u'E' || c == u'e') && i + 1 < section.size() &&
        (section[i + 1] == u'+' || section[i + 1] == u'-')) {
      exponent = section.mid(i);
      break;
    }
    if (c == u'%') percent = true;
    plain += c;
  }
  if (percent) value *= 100;
  QString text;
  if (exponent.isEmpty() && !plain.contains(u'0') && !plain.contains(u'#') &&
      !plain.contains(u'.') && !section.isEmpty()) {
    // No digit at all: the section is its text alone ("\d", "\"zero\"").
    text = plain;
  } else if (!exponent.isEmpty()) {
    const double magnitude = std::fabs(value);
    int power = magnitude == 0 ? 0 : static_cast<int>(std::floor(std::log10(magnitude)));
    text = FormatNumber(magnitude / std::pow(10.0, power), plain);
    if (NumericValue(text) >= 10) {  // 9.999 rounded up to 10.00
      ++power;
      text = FormatNumber(magnitude / std::pow(10.0, power), plain);
    }
    if (value < 0) text.prepend(u'-');
    const int digits = static_cast<int>(exponent.count(u'0'));
    text += exponent[0];
    if (power < 0)
      text += u'-';
    else if (exponent[1] == u'+')
      text += u'+';
    text += QStringLiteral("%1").arg(std::abs(power), std::max(digits, 1), 10, QLatin1Char('0'));
  } else {
    text = FormatNumber(value, plain);
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int index = text[i].unicode() - 0xE000;
    if (index >= 0 && index < literals.size()) {
      text.replace(i, 1, literals[index]);
      i += literals[index].size() - 1;
    }
  }
  return text;
}

QString FormatNumberPattern(double value, const QString& pattern) {
  const QStringList sections = Sections(pattern);
  if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
    return FormatNumberSection(-value, sections[1]);
  if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
    return FormatNumberSection(0, sections[2]);
  return FormatNumberSection(value, sections[0]);
}

QString NamedNumber(const QString& name, double value, bool* known) {
  *known = true;
  const QString n = name.toLower();
  if (n == u"general number") return NumberText(value);
  if (n == u"currency") return FormatNumberPattern(value, QStringLiteral("$#,##0.00;-$#,##0.00"));
  if (n == u"fixed") return FormatNumber(value, QStringLiteral("0.00"));
  if (n == u"standard") return FormatNumber(value, QStringLiteral("#,##0.00"));
  if (n == u"percent") return FormatNumber(value * 100, QStringLiteral("0.00")) + u'%';
  if (n == u"scientific") return FormatNumberSection(value, QStringLiteral("0.00E+00"));
  if (n == u"yes/no") return value != 0 ? QStringLiteral("是") : QStringLiteral("否");
  if (n == u"true/false") return value != 0 ? QStringLiteral("True") : QStringLiteral("False");
  if (n == u"on/off") return value != 0 ? QStringLiteral("On") : QStringLiteral("Off");
  *known = false;
  return {};
}

// The named date and time formats as patterns.
QString NamedDatePattern(const QString& name) {
  const QString n = name.toLower();
  if (n == u"general date") return QStringLiteral("c");
  if (n == u"long date") return QStringLiteral("dddddd");
  if (n == u"medium date") return QStringLiteral("yyyy/mm/dd");
  if (n == u"short date") return QStringLiteral("ddddd");
  if (n == u"long time") return QStringLiteral("ttttt");
  if (n == u"medium time") return QStringLiteral("AMPM hh:nn");
  if (n == u"short time") return QStringLiteral("hh:nn");
  return {};
}

int RunOf(const QString& p, qsizetype i) {
  const QChar c = p[i].toLower();
  int n = 1;
  while (i + n < p.size() && p[i + n].toLower() == c)
    ++n;
  return n;
}

QString FormatDatePattern(double ole, const QString& pattern, int firstDay, int firstWeek) {
  int seconds = 0;
  const QDate day = DayOf(ole, &seconds);
  const int hour = seconds / 3600, minute = seconds / 60 % 60, second = seconds % 60;
  const QString lower = pattern.toLower();
  const bool twelve = lower.contains(u"am/pm") || lower.contains(u"a/p") || lower.contains(u"ampm");
  const int shownHour = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
  QString out;
  bool afterHour = false;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i];
    const QChar l = c.toLower();
    if (c == u'"') {
      const qsizetype end = pattern.indexOf(u'"', i + 1);
      out += pattern.mid(i + 1, (end < 0 ? pattern.size() : end) - i - 1);
      i = end < 0 ? pattern.size() : end + 1;
      continue;
    }
    if (c == u'\\' && i + 1 < pattern.size()) {
      out += pattern[i + 1];
      i += 2;
      continue;
    }
    if (lower.mid(i, 5) == u"am/pm") {
      const QString am = pattern.mid(i, 2), pm = pattern.mid(i + 3, 2);
      out += hour < 12 ? am : pm;
      i += 5;
      continue;
    }
    if (lower.mid(i, 3) == u"a/p") {
      out += hour < 12 ? pattern[i] : pattern[i + 2];
      i += 3;
      continue;
    }
    if (lower.mid(i, 4) == u"ampm") {
      out += hour < 12 ? QStringLiteral("上午") : QStringLiteral("下午");
      i += 4;
      continue;
    }
    const int run = l.isLetter() ? RunOf(pattern, i) : 1;
    bool hourToken = false;
    switch (l.unicode()) {
      case u'c':
        out += GeneralDateText(ole);
        break;
      case u'd':
        if (run == 1)
          out += QString::number(day.day());
        else if (run == 2)
          out += TwoDigits(day.day());
        else if (run == 3)
          out += QString::fromUtf16(kShortDayNames[day.dayOfWeek() % 7]);
        else if (run == 4)
          out += QString::fromUtf16(kDayNames[day.dayOfWeek() % 7]);
        else if (run == 5)
          out += QStringLiteral("%1/%2/%3").arg(day.year()).arg(day.month()).arg(day.day());
        else
          out += QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
        break;
      case u'w':
        out += QString::number(run == 1 ? WeekdayOf(day, firstDay)
                                        : WeekOfYear(day, firstDay, firstWeek));
        break;
      case u'm':
        if (afterHour && run <= 2) {
          out += run == 1 ? QString::number(minute) : TwoDigits(minute);
        } else if (run == 1) {
          out += QString::number(day.month());
        } else if (run == 2) {
          out += TwoDigits(day.month());
        } else {
          out += QString::fromUtf16(kMonthNames[day.month() - 1]);
        }
        break;
      case u'q':
        out += QString::number((day.month() - 1) / 3 + 1);
        break;
      case u'y':
        if (run == 1)
          out += QString::number(day.dayOfYear());
        else if (run == 2)
          out += TwoDigits(day.year() % 100);
        else
          out += QString::number(day.year());
        break;
      case u'h':
        out += run == 1 ? QString::number(shownHour) : TwoDigits(shownHour);
        hourToken = true;
        break;
      case u'n':
        out += run == 1 ? QString::number(minute) : TwoDigits(minute);
        break;
      case u's':
        out += run == 1 ? QString::number(second) : TwoDigits(second);
        break;
      case u't':
        if (run >= 5) {
          out += FormatDatePattern(ole, QStringLiteral("AMPM hh:nn:ss"), firstDay, firstWeek);
          break;
        }
        out += pattern.mid(i, run);
        break;
      default:
        out += pattern.mid(i, run);
        break;
    }
    if (l.isLetter()) afterHour = hourToken;
    i += run;
  }
  return out;
}

}  // namespace

TextPattern ParseTextPattern(const QString& pattern) {
  TextPattern p;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'"') {
      const qsizetype end = pattern.indexOf(u'"', i + 1);
      p.pieces.push_back({TextPattern::Piece::Literal,
                          pattern.mid(i + 1, (end < 0 ? pattern.size() : end) - i - 1)});
      i = end < 0 ? pattern.size() : end;
      continue;
    }
    if (c == u'\\' && i + 1 < pattern.size()) {
      p.pieces.push_back({TextPattern::Piece::Literal, pattern.mid(i + 1, 1)});
      ++i;
      continue;
    }
    if (c == u'@' || c == u'&') {
      p.pieces.push_back(
          {c == u'@' ? TextPattern::Piece::Character : TextPattern::Piece::Optional, {}});
      p.text = true;
    } else if (c == u'<' || c == u'>') {
      p.letterCase = c == u'<' ? -1 : 1;
      p.text = true;
    } else if (c == u'!') {
      p.leftToRight = true;
      p.text = true;
    } else {
      p.pieces.push_back({TextPattern::Piece::Literal, QString(c)});
    }
  }
  return p;
}

bool IsTextPattern(const QString& pattern) {
  const QString section = pattern.section(u';', 0, 0);
  if (section.contains(u'0') || section.contains(u'#')) return false;
  return ParseTextPattern(section).text;
}

QString FormatTextPattern(const QString& text, const QString& pattern) {
  const TextPattern p = ParseTextPattern(pattern.section(u';', 0, 0));
  qsizetype placeholders = 0;
  for (const auto& piece : p.pieces)
    if (piece.kind != TextPattern::Piece::Literal) ++placeholders;
  const qsizetype extra = std::max<qsizetype>(0, text.size() - placeholders);
  QString out;
  if (placeholders == 0) out = text;  // "<" or ">" alone: the whole text in that case
  qsizetype seen = 0;                 // placeholders passed, from the left
  for (const auto& piece : p.pieces) {
    if (piece.kind == TextPattern::Piece::Literal) {
      out += piece.literal;
      continue;
    }
    ++seen;
    // The placeholder's character: from the left with "!", else counted from the right; the
    // characters beyond the placeholders stand before the first (after the last with "!").
    qsizetype at = p.leftToRight ? seen - 1 : text.size() - (placeholders - seen) - 1;
    if (!p.leftToRight && seen == 1 && extra > 0) out += text.left(extra);
    if (at >= 0 && at < text.size() && (p.leftToRight ? at < placeholders : true))
      out += text[at];
    else if (piece.kind == TextPattern::Piece::Character)
      out += u' ';
    if (p.leftToRight && seen == placeholders && extra > 0) out += text.mid(placeholders);
  }
  if (p.letterCase < 0) out = out.toLower();
  if (p.letterCase > 0) out = out.toUpper();
  return out;
}

bool IsDatePattern(const QString& pattern) {
  if (!NamedDatePattern(pattern).isEmpty()) return true;
  bool named = false;
  NamedNumber(pattern, 0, &named);
  if (named) return false;
  bool quoted = false;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'"') quoted = !quoted;
    if (quoted) continue;
    if (c == u'\\') {
      ++i;
      continue;
    }
    if (QStringView(u"cdwmqyhnstCDWMQYHNST").contains(c)) {
      // "E+00" and "e-0" are exponents, not dates.
      return true;
    }
  }
  return false;
}

std::optional<int> NumberPatternPlaces(const QString& pattern) {
  const qsizetype point = pattern.indexOf(u'.');
  const QString whole = point < 0 ? pattern : pattern.left(point);
  const QString fraction = point < 0 ? QString() : pattern.mid(point + 1);
  if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
  for (QChar c : whole)
    if (c != u'0' && c != u'#' && c != u',') return std::nullopt;
  for (QChar c : fraction)
    if (c != u'0' && c != u'#') return std::nullopt;
  return static_cast<int>(fraction.size());
}

std::optional<QString> FormatValue(const Variant& value, const QString& pattern, int firstDay,
                                   int firstWeek) {
  if (value.IsNull()) {
    const QStringList sections = Sections(pattern);
    if (sections.size() >= 4) return FormatNumberSection(0, sections[3]);
    return std::nullopt;
  }
  if (pattern.isEmpty()) return ToText(value);
  if (IsTextPattern(pattern)) return FormatTextPattern(ToText(value), pattern);
  const QString named = NamedDatePattern(pattern);
  if (IsDatePattern(pattern)) {
    double ole = 0;
    if (value.kind == Variant::Kind::Text) {
      const auto date = ParseDateText(value.text);
      if (!date) {
        if (!tarvel::IsNumeric(value.text)) return value.text;
        ole = NumericValue(value.text);
      } else {
        ole = *date;
      }
    } else {
      ole = value.number;
    }
    return FormatDatePattern(ole, named.isEmpty() ? pattern : named, firstDay, firstWeek);
  }
  double number = 0;
  if (value.kind == Variant::Kind::Text) {
    if (!tarvel::IsNumeric(value.text)) return value.text;
    number = NumericValue(value.text);
  } else {
    number = value.number;
  }
  bool known = false;
  const QString text = NamedNumber(pattern, number, &known);
  if (known) return text;
  return FormatNumberPattern(number, pattern);
}

}  // namespace tarvel::db::sql
