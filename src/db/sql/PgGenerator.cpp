// Access SQL for PostgreSQL, with every Access function and operator written into the statement
// itself (no server-side function of ours). Names are quoted and folded as the server folds plain
// names (every name of a server database of the program is stored in lower case); dates are
// timestamps; Yes/No are the numbers -1 and 0.
//
// Served with the types the binder knows: + joins texts and adds days to dates, date - date gives
// days, & joins the texts of any values (NULL as empty text, NULL only when every operand is),
// / divides as floating point with NULL for a zero divisor, \ and Mod round their operands half to
// even first, Like reads Access's wildcards of a constant pattern (a regular expression where #
// or lists are used) and * and ? of any other. Refused, with a message: Format with a pattern that
// is not a constant, Round to a number of places that is not a constant, DatePart and DateDiff
// with an interval that is not a constant or a week rule other than week 1 holding 1 January,
// InStrRev with a start, Replace with a start or a count.
#include <QHash>
#include <cmath>

#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessLike.h"
#include "db/sql/Generator.h"
#include "db/sql/SqlError.h"

namespace tarvel::db::sql {
namespace {

[[noreturn]] void Refuse(const QString& what) {
  throw SqlError(QStringLiteral("PostgreSQL 資料庫上不支援 ") + what + u'。');
}

// A text as the deterministic collation "C" holds it: pattern matching and substring searches
// refuse the nondeterministic collations of Jet's orders.
QString Det(const QString& text) {
  return QStringLiteral("((%1) COLLATE \"C\")").arg(text);
}

void ConcatOperands(const Expr& e, std::vector<const Expr*>& out) {
  if (e.kind == Expr::Kind::Binary && e.op == Op::Concat) {
    ConcatOperands(*e.args[0], out);
    ConcatOperands(*e.args[1], out);
  } else {
    out.push_back(&e);
  }
}

// Half to even at `places` decimals, on the number's decimal value (a float8 becomes numeric
// through its 15 significant digits, so 2.675 stays 2.675).
QString RoundHalfEvenSql(const QString& number, int places) {
  const QString x = QStringLiteral("(%1)::numeric").arg(number);
  if (places == 0) {
    return QStringLiteral(
               "(CASE WHEN abs(%1 - trunc(%1)) = 0.5 THEN 2 * round(%1 / 2) ELSE "
               "round(%1) END)")
        .arg(x);
  }
  const QString scale = QStringLiteral("1e%1").arg(places);
  const QString scaled = QStringLiteral("(%1 * %2)").arg(x, scale);
  return QStringLiteral(
             "((CASE WHEN abs(%1 - trunc(%1)) = 0.5 THEN 2 * round(%1 / 2) ELSE "
             "round(%1) END) / %2)")
      .arg(scaled, scale);
}

// A Currency result checked against Currency's range: its ten-thousandths must fit 64 bits, or
// the server stops the statement with "bigint out of range" (Access's overflow).
QString CheckedCurrency(const QString& value) {
  return QStringLiteral("(((%1) * 10000)::bigint * 0.0001)").arg(value);
}

// A date result checked against Access's years 100 to 9999: beyond them the server stops the
// statement with "smallint out of range" (Access's overflow).
QString CheckedDate(const QString& date) {
  // |2y - 10099| + 22868 fits a smallint exactly for the years 100 to 9999.
  return QStringLiteral(
             "(%1 + (abs(EXTRACT(YEAR FROM %1)::integer * 2 - 10099) + 22868)::smallint * "
             "INTERVAL '0 day')")
      .arg(date);
}

// The text Access joins a number with: 15 significant digits (the server's numeric of a double
// precision has just those), scientific form ("1E+20", "1E-05") from 1E+15 and below 0.0001.
// `number` is a numeric.
QString NumberTextSql(const QString& number) {
  const QString e = QStringLiteral("floor(log(abs(%1)))::integer").arg(number);
  return QStringLiteral(
             "(CASE WHEN %1 = 0 THEN '0' WHEN abs(%1) >= 1e15 OR abs(%1) < 0.0001 THEN "
             "trim_scale(%1 / power(10::numeric, %2))::text || 'E' || (CASE WHEN %2 < 0 THEN '-' "
             "ELSE '+' END) || lpad(abs(%2)::text, 2, '0') ELSE %1::text END)")
      .arg(number, e);
}

// A whole number from 0 to 2^32 - 1 in octal digits.
QString OctalSql(const QString& n) {
  QStringList digits;
  for (int shift = 30; shift >= 0; shift -= 3)
    digits << QStringLiteral("((%1 >> %2) & 7)::text").arg(n).arg(shift);
  return QStringLiteral("COALESCE(NULLIF(ltrim(%1, '0'), ''), '0')")
      .arg(digits.join(QStringLiteral(" || ")));
}

// A number computed in whatever type the server chose, held as a value of Access's type `type` is.
QString Held(const QString& value, SqlType type) {
  switch (type) {
    case SqlType::Boolean:
    case SqlType::Byte:
    case SqlType::Integer:
    case SqlType::Long:
      return QStringLiteral("(%1)::bigint").arg(value);
    case SqlType::Single:
      return QStringLiteral("(%1)::float4").arg(value);
    case SqlType::Double:
    case SqlType::Decimal:
      return QStringLiteral("(%1)::float8").arg(value);
    case SqlType::Currency:
      return QStringLiteral("(%1)::numeric").arg(value);
    default:
      return value;
  }
}

// Format of a text with a text pattern (AccessFunctions.h, FormatTextPattern).
QString TextPatternSql(const QString& text, const QString& pattern) {
  const TextPattern p = ParseTextPattern(pattern.section(u';', 0, 0));
  int placeholders = 0;
  for (const auto& piece : p.pieces)
    if (piece.kind != TextPattern::Piece::Literal) ++placeholders;
  const QString length = QStringLiteral("length(%1)").arg(text);
  QStringList parts;
  int seen = 0;
  for (const auto& piece : p.pieces) {
    if (piece.kind == TextPattern::Piece::Literal) {
      parts << Generator::TextLiteral(piece.literal);
      continue;
    }
    ++seen;
    const QString filler =
        piece.kind == TextPattern::Piece::Character ? QStringLiteral("' '") : QStringLiteral("''");
    if (!p.leftToRight && seen == 1) {
      parts << QStringLiteral("(CASE WHEN %1 > %2 THEN left(%3, %1 - %2) ELSE '' END)")
                   .arg(length)
                   .arg(placeholders)
                   .arg(text);
    }
    const QString at = p.leftToRight
                           ? QString::number(seen)
                           : QStringLiteral("(%1 - %2)").arg(length).arg(placeholders - seen);
    parts << QStringLiteral("(CASE WHEN %1 >= 1 AND %1 <= %2 THEN substr(%3, %1, 1) ELSE %4 END)")
                 .arg(at, length, text, filler);
    if (p.leftToRight && seen == placeholders) {
      parts << QStringLiteral("(CASE WHEN %1 > %2 THEN substr(%3, %2 + 1) ELSE '' END)")
                   .arg(length)
                   .arg(placeholders)
                   .arg(text);
    }
  }
  if (placeholders == 0) parts.prepend(text);  // "<" or ">" alone: the whole text in that case
  QString joined = parts.isEmpty() ? QStringLiteral("''") : parts.join(QStringLiteral(" || "));
  if (p.letterCase != 0) {
    joined = QStringLiteral("(%1((%2) COLLATE \"und-x-icu\") COLLATE \"jet_general\")")
                 .arg(p.letterCase < 0 ? QStringLiteral("lower") : QStringLiteral("upper"), joined);
  }
  return QStringLiteral("(CASE WHEN %1 IS NULL THEN NULL ELSE %2 END)").arg(text, joined);
}

bool HasAggregateCall(const Expr& e) {
  if (e.kind == Expr::Kind::Call) {
    const FunctionInfo* f = FindFunction(e.text);
    if (f && f->aggregate) return true;
  }
  if (e.kind == Expr::Kind::Name && e.role == NameRole::Alias && e.aliased)
    return HasAggregateCall(*e.aliased);
  for (const auto& arg : e.args)
    if (HasAggregateCall(*arg)) return true;
  return false;
}

// A Single as Access shows it: seven significant digits, rounded half to even. `number` is the
// numeric of its exact value (fifteen digits).
QString SevenDigitsSql(const QString& number) {
  const QString places = QStringLiteral("(6 - floor(log(abs(%1)))::integer)").arg(number);
  const QString scaled = QStringLiteral("(%1 * power(10::numeric, %2))").arg(number, places);
  return QStringLiteral(
             "(CASE WHEN %1 = 0 THEN 0::numeric ELSE (CASE WHEN abs(%2 - trunc(%2)) = 0.5 THEN 2 "
             "* round(%2 / 2) ELSE round(%2) END) / power(10::numeric, %3) END)")
      .arg(number, scaled, places);
}

std::optional<int> IntegerLiteral(const Expr& e) {
  if (e.kind == Expr::Kind::Number && !e.text.contains(u'.')) return static_cast<int>(e.number);
  if (e.kind == Expr::Kind::Unary && e.op == Op::Negate) {
    if (const auto n = IntegerLiteral(*e.args[0])) return -*n;
  }
  return std::nullopt;
}

QString IntervalOf(const Expr& e) {
  if (e.kind != Expr::Kind::Text)
    Refuse(QStringLiteral("不是常數的時間間隔（DatePart、DateAdd、DateDiff 的第一個引數）"));
  return e.text.trimmed().toLower();
}

const char16_t* const kMonthNames[] = {u"一月", u"二月", u"三月", u"四月", u"五月",   u"六月",
                                       u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};

QString MonthNameSql(const QString& month) {
  QStringList names;
  for (const char16_t* name : kMonthNames)
    names << u'\'' + QString::fromUtf16(name) + u'\'';
  return QStringLiteral("(ARRAY[%1])[(%2)::integer]").arg(names.join(u','), month);
}

// The weekday counted from `firstDay` (1 Sunday … 7 Saturday).
QString WeekdaySql(const QString& date, int firstDay) {
  const int shift = (firstDay == 0 ? 1 : firstDay) - 1;
  return QStringLiteral("((EXTRACT(DOW FROM %1)::integer + 7 - %2) % 7 + 1)").arg(date).arg(shift);
}

// Taiwan's general date: "1997/1/2", with "上午 10:00:00" after it when the time is not midnight;
// on day zero (1899-12-30) the time alone.
QString GeneralDateSql(const QString& d) {
  return QStringLiteral(
             "(CASE WHEN %1::date = DATE '1899-12-30' THEN (CASE WHEN EXTRACT(HOUR FROM %1) < 12 "
             "THEN '上午 ' ELSE '下午 ' END) || to_char(%1, 'HH12:MI:SS') WHEN %1::time = TIME "
             "'00:00' THEN to_char(%1, 'FMYYYY/FMMM/FMDD') ELSE to_char(%1, 'FMYYYY/FMMM/FMDD ') "
             "|| "
             "(CASE WHEN EXTRACT(HOUR FROM %1) < 12 THEN '上午 ' ELSE '下午 ' END) || to_char(%1, "
             "'HH12:MI:SS') END)")
      .arg(d);
}

// A plain number pattern ("#,##0.00", "0000") as to_char's.
QString NumberPatternSql(const QString& pattern) {
  const qsizetype point = pattern.indexOf(u'.');
  const QString whole = point < 0 ? pattern : pattern.left(point);
  const QString fraction = point < 0 ? QString() : pattern.mid(point + 1);
  const bool grouped = whole.contains(u',');
  const int zeros = static_cast<int>(whole.count(u'0'));
  QString integer;
  for (int digit = 0; digit < 40; ++digit) {
    if (grouped && digit > 0 && digit % 3 == 0) integer.prepend(u',');
    integer.prepend(digit < std::max(zeros, 1) ? u'0' : u'9');
  }
  QString decimals;
  for (QChar c : fraction)
    decimals += c == u'0' ? u'0' : u'9';
  return QStringLiteral("FM") + integer + (fraction.isEmpty() ? QString() : u'.' + decimals);
}

// One section of a number pattern: literal text around the digits, "%" scaling by 100.
QString NumberSectionSql(const QString& number, const QString& section) {
  qsizetype first = -1, last = -1;
  bool quoted = false;
  for (qsizetype i = 0; i < section.size(); ++i) {
    const QChar c = section[i];
    if (c == u'"') quoted = !quoted;
    if (!quoted && c == u'\\') {
      ++i;  // an escaped character is a literal
      continue;
    }
    if (!quoted && QStringView(u"0#,.").contains(c)) {
      if (first < 0) first = i;
      last = i;
    }
  }
  const auto literal = [](const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (text[i] == u'"') continue;
      if (text[i] == u'\\' && i + 1 < text.size()) ++i;
      out += text[i];
    }
    return out;
  };
  if (section.isEmpty()) return NumberTextSql(QStringLiteral("(%1)::float8::numeric").arg(number));
  if (first < 0) return Generator::TextLiteral(literal(section));
  const QString prefix = literal(section.left(first));
  const QString suffix = literal(section.mid(last + 1));
  const QString core = section.mid(first, last - first + 1);
  const auto places = NumberPatternPlaces(core);
  if (!places) Refuse(QStringLiteral("Format 樣式「%1」").arg(section));
  const QString scaled = prefix.contains(u'%') || suffix.contains(u'%')
                             ? QStringLiteral("(%1) * 100").arg(number)
                             : QStringLiteral("(%1)").arg(number);
  QString text = QStringLiteral("to_char(round((%1)::numeric, %2), '%3')")
                     .arg(scaled)
                     .arg(*places)
                     .arg(NumberPatternSql(core));
  // With no 0 before the point, a number below one has no digit there ("#.##" of 0 is ".").
  if (core.contains(u'.') && !core.section(u'.', 0, 0).contains(u'0'))
    text = QStringLiteral("regexp_replace(%1, '^(-?)0\\.', '\\1.')").arg(text);
  if (!prefix.isEmpty()) text = Generator::TextLiteral(prefix) + QStringLiteral(" || ") + text;
  if (!suffix.isEmpty()) text += QStringLiteral(" || ") + Generator::TextLiteral(suffix);
  return u'(' + text + u')';
}

// Format of a number with a pattern of up to three sections: positive (and all), negative (of
// the number without its sign), zero.
QString NumberFormatSql(const QString& number, const QString& pattern) {
  QStringList sections;
  QString current;
  bool quoted = false;
  for (const QChar c : pattern) {
    if (c == u'"') quoted = !quoted;
    if (c == u';' && !quoted) {
      sections << current;
      current.clear();
    } else {
      current += c;
    }
  }
  sections << current;
  if (sections.size() == 1) return NumberSectionSql(number, sections[0]);
  QString text =
      QStringLiteral("(CASE WHEN (%1) < 0 THEN %2")
          .arg(number, NumberSectionSql(QStringLiteral("-(%1)").arg(number), sections[1]));
  if (sections.size() >= 3 && !sections[2].isEmpty())
    text +=
        QStringLiteral(" WHEN (%1) = 0 THEN %2").arg(number, NumberSectionSql(number, sections[2]));
  return text + QStringLiteral(" ELSE %1 END)").arg(NumberSectionSql(number, sections[0]));
}

}  // namespace

QString PgGenerator::Quote(const QString& name) {
  const QString folded = FoldName(name);
  Spell(folded, name);
  QString quoted = folded;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QString PgGenerator::DateLiteral(const QString& stored) {
  return QStringLiteral("TIMESTAMP '") + stored + u'\'';
}

QString PgGenerator::Placeholder(int slot) {
  return u'$' + QString::number(slot);
}

QString PgGenerator::ParameterPlaceholder(int slot, SqlType type) {
  // The server types a value by where it stands ("$1 + 1" an integer); a parameter is typed by
  // its declaration or its value instead.
  const char* cast = nullptr;
  switch (type) {
    case SqlType::Boolean:
    case SqlType::Byte:
    case SqlType::Integer:
    case SqlType::Long:
      cast = "bigint";
      break;
    case SqlType::Single:
      cast = "float4";
      break;
    case SqlType::Double:
    case SqlType::Decimal:
      cast = "float8";
      break;
    case SqlType::Currency:
      cast = "numeric";
      break;
    case SqlType::Text:
      cast = "text";
      break;
    case SqlType::Date:
      cast = "timestamp";
      break;
    default:
      cast = "text";  // no value, or one of no known type: a text, read further as needed
      break;
  }
  return QStringLiteral("(%1::%2)").arg(Placeholder(slot), QLatin1String(cast));
}

// Texts in Jet's order: equality in the order's own collation (nondeterministic, as Jet's
// equality without regard to case), order by its two keys (the text with its hyphens and
// apostrophes passed over, then the text), the same keys SQLite's collation compares.
QString PgGenerator::TextComparison(const QString& left, Op op, const QString& right) {
  const QString collation = u'"' + QLatin1String(PgCollation(Order())) + u'"';
  if (op == Op::Equal || op == Op::NotEqual) {
    return QStringLiteral("((%1) COLLATE %2 %3 (%4) COLLATE %2)")
        .arg(left, collation, op == Op::Equal ? QStringLiteral("=") : QStringLiteral("<>"), right);
  }
  const char* symbol = op == Op::Less        ? "<"
                       : op == Op::LessEqual ? "<="
                       : op == Op::Greater   ? ">"
                                             : ">=";
  return QStringLiteral(
             "(ROW(translate(%1, '''-', '') COLLATE %2, (%1) COLLATE %2) %3 ROW(translate(%4, "
             "'''-', '') COLLATE %2, (%4) COLLATE %2))")
      .arg(left, collation, QLatin1String(symbol), right);
}

QStringList PgGenerator::TextOrderKeys(const QString& value) {
  const QString collation = u'"' + QLatin1String(PgCollation(Order())) + u'"';
  return {QStringLiteral("translate(%1, '''-', '') COLLATE %2").arg(value, collation),
          QStringLiteral("(%1) COLLATE %2").arg(value, collation),
          QStringLiteral("(%1) COLLATE \"C\"").arg(value)};
}

QString PgGenerator::TextInList(const QString& value) {
  return QStringLiteral("(%1) COLLATE \"%2\"").arg(value, QLatin1String(PgCollation(Order())));
}

// A floating number against another number: both as double precision, so a Single is compared
// by its exact value and a whole number never becomes a Single.
void PgGenerator::NumberOperands(const Expr& a, const Expr& b, QString& left, QString& right) {
  if (a.type == b.type || !(IsFloating(a.type) || IsFloating(b.type))) return;
  if (a.type != SqlType::Double) left = QStringLiteral("(%1)::float8").arg(left);
  if (b.type != SqlType::Double) right = QStringLiteral("(%1)::float8").arg(right);
}

QString PgGenerator::PredicateValue(const QString& predicate) {
  return QStringLiteral("(-(") + predicate + QStringLiteral(")::integer)");
}

QString PgGenerator::ValueCondition(const QString& value, const Expr& e) {
  if (e.kind == Expr::Kind::Null) return QStringLiteral("NULL");
  if (e.type == SqlType::Text) return u'(' + TextAsNumber(value) + QStringLiteral(" <> 0)");
  if (IsNumeric(e.type)) return u'(' + value + QStringLiteral(" <> 0)");
  return QStringLiteral("((%1)::numeric <> 0)").arg(value);
}

QString PgGenerator::TextValueLiteral(const QString& text) {
  // A text of the statement compares, groups and changes case as the database's texts do.
  return QStringLiteral("(%1::text COLLATE \"%2\")")
      .arg(TextLiteral(text), QLatin1String(PgCollation(Order())));
}

QString PgGenerator::NumberLiteral(const Expr& e) {
  const QString written = Generator::NumberLiteral(e);
  // A Double written in the statement is a double precision, never the server's exact numeric.
  return IsWhole(e.type) ? written : written + QStringLiteral("::float8");
}

QString PgGenerator::NumberFormat(const Expr& x, int places) {
  return QStringLiteral("round((%1)::numeric, %2)::float8").arg(AsNumeric(x)).arg(places);
}

QString PgGenerator::AsText(const Expr& e) {
  if (e.type == SqlType::Null && e.kind != Expr::Kind::Null)
    return QStringLiteral("(%1)::text").arg(Value(e));
  const QString v = Value(e);
  switch (e.type) {
    case SqlType::Text:
      return v;
    case SqlType::Currency:
      return QStringLiteral("trim_scale(%1)::text").arg(v);
    case SqlType::Single:
      return Let(e, SevenDigitsSql(QStringLiteral("(%1)::float4::float8::numeric").arg(v)),
                 NumberTextSql);
    case SqlType::Double:
    case SqlType::Decimal:
      return Let(e, QStringLiteral("(%1)::float8::numeric").arg(v), NumberTextSql);
    case SqlType::Date:
      return GeneralDateSql(v);
    case SqlType::Null:
      return QStringLiteral("NULL::text");
    default:
      return QStringLiteral("(%1)::text").arg(v);
  }
}

QString PgGenerator::TextAsNumber(const QString& value) {
  const QString t = QStringLiteral("btrim(replace(%1, ',', ''))")
                        .arg(Det(QStringLiteral("(%1)::text").arg(value)));
  return QStringLiteral(
             "(CASE WHEN %1 ~ '^[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?$' "
             "THEN (%1)::float8 END)")
      .arg(t);
}

// An OLE date (days since 1899-12-30, the time as the fraction counting forward from midnight
// also before day zero) as a timestamp, rounded to the second as Access rounds it.
QString PgGenerator::OleToDate(const Expr& scope, const QString& ole) {
  return Let(scope, ole, [](const QString& x) {
    return QStringLiteral(
               "(TIMESTAMP '1899-12-30' + trunc(%1) * INTERVAL '1 day' + floor(abs(%1 - trunc(%1)) "
               "* 86400 + 0.5) * INTERVAL '1 second')")
        .arg(x);
  });
}

// A timestamp as an OLE date, computed as Access computes it: whole days, and the seconds after
// midnight over 86400 (subtracted before day zero).
QString PgGenerator::DateToOle(const Expr& scope, const QString& date) {
  return Let(scope, date, [](const QString& d) {
    return QStringLiteral(
               "((%1::date - DATE '1899-12-30')::float8 + (CASE WHEN %1 < TIMESTAMP '1899-12-30' "
               "THEN -1 ELSE 1 END) * EXTRACT(EPOCH FROM %1::time)::float8 / 86400)")
        .arg(d);
  });
}

// A text read as a date the way CDate reads it (AccessValues.h, ParseDateText): y/m/d or m/d/y
// with "-", "/", "." or 年月日, an optional time h:mm[:ss] with AM/PM or 上午/下午, or a time alone
// on day zero; NULL for a text that is none of these.
QString PgGenerator::TextDateSql(const Expr& scope, const QString& text) {
  const QString match =
      QStringLiteral(
          "regexp_match(%1, '^\\s*(?:(\\d{1,4})\\s*([-/.年])\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,4})"
          "\\s*日?)?\\s*(上午|下午)?\\s*(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([AaPp][Mm]|"
          "上午|"
          "下午)?)?\\s*$')")
          .arg(Det(text));
  return Let(scope, match, [](const QString& m) {
    const auto at = [&](int i) { return QStringLiteral("(%1)[%2]").arg(m).arg(i); };
    const QString yearFirst = QStringLiteral("(length(%1) >= 3 OR %2 = '年')").arg(at(1), at(2));
    const QString year = QStringLiteral(
                             "(CASE WHEN %1 IS NULL THEN 1899 WHEN %2 THEN %1::integer WHEN "
                             "length(%3) <= 2 THEN %3::integer + (CASE WHEN %3::integer < 30 THEN "
                             "2000 ELSE 1900 END) ELSE %3::integer END)")
                             .arg(at(1), yearFirst, at(4));
    const QString month =
        QStringLiteral(
            "(CASE WHEN %1 IS NULL THEN 12 WHEN %2 THEN %3::integer ELSE %1::integer END)")
            .arg(at(1), yearFirst, at(3));
    const QString day =
        QStringLiteral(
            "(CASE WHEN %1 IS NULL THEN 30 WHEN %2 THEN %3::integer ELSE %4::integer END)")
            .arg(at(1), yearFirst, at(4), at(3));
    const QString half = QStringLiteral("lower(COALESCE(%1, %2))").arg(at(9), at(5));
    const QString hour = QStringLiteral(
                             "(CASE WHEN %1 IS NULL THEN COALESCE(%2::integer, 0) ELSE %2::integer "
                             "% 12 + (CASE WHEN %1 IN ('pm', '下午') THEN 12 ELSE 0 END) END)")
                             .arg(half, at(6));
    const QString valid =
        QStringLiteral(
            "(%1 IS NOT NULL AND (%2 IS NOT NULL OR %3 IS NOT NULL) AND (%3 IS NOT NULL OR %4 IS "
            "NULL) AND %5 BETWEEN 1 AND 12 AND %6 BETWEEN 1 AND 9999 AND %7 >= 1 AND %7 <= "
            "EXTRACT(DAY FROM make_date(%6, %5, 1) + INTERVAL '1 month - 1 day') AND (%4 IS NULL "
            "OR "
            "%3::integer BETWEEN 1 AND 12) AND %8 <= 23 AND COALESCE(%9::integer, 0) <= 59 AND "
            "COALESCE(%10::integer, 0) <= 59)")
            .arg(m, at(1), at(6), half, month, year, day, hour, at(7))
            .arg(at(8));
    return QStringLiteral(
               "(CASE WHEN %1 THEN make_timestamp(%2, %3, %4, %5, COALESCE(%6::integer, 0), "
               "COALESCE(%7::float8, 0)) END)")
        .arg(valid, year, month, day, hour, at(7), at(8));
  });
}

// Val: the number at the start of a text, blanks anywhere skipped; &H and &O literals of up to 16
// bits are signed 16-bit values, up to 32 bits signed 32-bit ones, longer ones the overflow error.
// Written so the text is read a few times only (each use of it is written out).
QString PgGenerator::ValSql(const Expr&, const QString& text) {
  const QString s =
      QStringLiteral("regexp_replace(%1, '[ \\t\\n\\r\\v\\f]', '', 'g')").arg(Det(text));
  // A 64-bit value as Access's 16- or 32-bit one; past 32 bits the overflow error (a bigint that
  // is no integer).
  const auto signedOf = [](const QString& v) {
    return QStringLiteral(
               "(CASE WHEN %1 <= 65535 THEN (%1::integer << 16) >> 16 ELSE (CASE WHEN %1 <= "
               "4294967295 THEN %1 ELSE %1::integer END)::bit(32)::integer END)::float8")
        .arg(v);
  };
  // The digits after the prefix, without their leading zeros; their value read as bits (an octal
  // digit is three of them), sixteen hexadecimal digits at most counted (more overflow anyway).
  const QString hex = QStringLiteral(
                          "('x' || lpad(right(ltrim(COALESCE(substring(%1 from "
                          "'^&[hH]([0-9A-Fa-f]*)'), ''), '0'), 16), 16, '0'))::bit(64)::bigint")
                          .arg(s);
  QString octalBits =
      QStringLiteral("ltrim(COALESCE(substring(%1 from '^&[oO]([0-7]*)'), ''), '0')").arg(s);
  // Each digit as a letter first, so the bits put in are never read as digits again.
  octalBits = QStringLiteral("translate(%1, '01234567', 'abcdefgh')").arg(octalBits);
  const char* const kBits[] = {"000", "001", "010", "011", "100", "101", "110", "111"};
  for (int digit = 0; digit < 8; ++digit)
    octalBits = QStringLiteral("replace(%1, '%2', '%3')")
                    .arg(octalBits, QString(QChar(u'a' + digit)), QLatin1String(kBits[digit]));
  // Past 21 octal digits the value is more than 32 bits anyway: count the last 63 bits.
  const QString octal =
      QStringLiteral("('0' || lpad(right(%1, 63), 63, '0'))::bit(64)::bigint").arg(octalBits);
  const QString decimal =
      QStringLiteral(
          "COALESCE(replace(replace(NULLIF(substring(%1 from "
          "'^[-+]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eEdD][-+]?[0-9]+)?'), ''), 'd', 'e'), 'D', "
          "'e')::float8, 0)")
          .arg(s);
  return QStringLiteral(
             "(CASE WHEN %1 IS NULL THEN NULL WHEN %2 ~ '^[ \\t\\n\\r\\v\\f]*&[hH]' THEN %3 WHEN "
             "%2 ~ "
             "'^[ \\t\\n\\r\\v\\f]*&[oO]' THEN %4 ELSE %5 END)")
      .arg(text, Det(text), signedOf(hex), signedOf(octal), decimal);
}

QString PgGenerator::Let(const Expr& e, const QString& value,
                         const std::function<QString(const QString&)>& body) {
  // A short value (a column, a cast of one) is cheaper written out again than named in a subquery.
  if (HasAggregateCall(e) || value.size() < 200) return body(value);
  const QString name = NextName(QStringLiteral("tarvel_v"));
  return QStringLiteral("(SELECT %1 FROM (SELECT %2 AS %3) AS %3_)").arg(body(name), value, name);
}

QString PgGenerator::Shown(const QString& value, SqlType type) {
  if (type != SqlType::Single) return value;
  return SevenDigitsSql(QStringLiteral("(%1)::float4::float8::numeric").arg(value)) +
         QStringLiteral("::float8");
}

QString PgGenerator::AsDate(const Expr& e) {
  if (e.type == SqlType::Null) {
    return e.kind == Expr::Kind::Null ? QStringLiteral("NULL::timestamp")
                                      : QStringLiteral("(%1)::timestamp").arg(Value(e));
  }
  const QString v = Value(e);
  if (e.type == SqlType::Date) return v;
  if (IsNumeric(e.type)) return CheckedDate(OleToDate(e, QStringLiteral("(%1)::float8").arg(v)));
  // A text: a number is a day number, anything else read as a date, or no date.
  const QString t = e.type == SqlType::Text ? v : QStringLiteral("(%1)::text").arg(v);
  return Let(e, t, [&](const QString& text) {
    return QStringLiteral("COALESCE(%1, %2)")
        .arg(CheckedDate(OleToDate(e, TextAsNumber(text))), CheckedDate(TextDateSql(e, text)));
  });
}

QString PgGenerator::AsNumeric(const Expr& e) {
  if (e.type == SqlType::Null) {
    return e.kind == Expr::Kind::Null ? QStringLiteral("NULL::float8")
                                      : QStringLiteral("(%1)::float8").arg(Value(e));
  }
  if (IsNumeric(e.type)) return Value(e);
  if (e.type == SqlType::Date) return DateToOle(e, Value(e));
  if (e.type == SqlType::Text) return NumberValue(e);
  // A value of unknown type: its text read as a number (no number where it reads as none).
  return TextAsNumber(Value(e));
}

QString PgGenerator::RoundedWhole(const Expr& e) {
  // The server's round() of a double precision rounds half to even, as Access does.
  return QStringLiteral("round((%1)::float8)").arg(AsNumeric(e));
}

QString PgGenerator::AsType(const Expr& e, SqlType type) {
  if (e.type == SqlType::Null) return QStringLiteral("NULL");
  switch (type) {
    case SqlType::Boolean:
    case SqlType::Byte:
    case SqlType::Integer:
    case SqlType::Long:
      if (IsWhole(e.type)) return QStringLiteral("(%1)::bigint").arg(Value(e));
      return RoundedWhole(e) + QStringLiteral("::bigint");
    case SqlType::Single:
      return QStringLiteral("(%1)::float4").arg(AsNumeric(e));
    case SqlType::Double:
    case SqlType::Decimal:
      if (e.type == SqlType::Double) return Value(e);
      return QStringLiteral("(%1)::float8").arg(AsNumeric(e));
    case SqlType::Currency:
      if (e.type == SqlType::Currency) return Value(e);
      if (IsWhole(e.type)) return QStringLiteral("(%1)::numeric").arg(Value(e));
      // Access converts a floating number by rounding its ten-thousandths half to even.
      return QStringLiteral("(round((%1)::float8 * 10000)::bigint * 0.0001)").arg(AsNumeric(e));
    case SqlType::Text:
      return AsText(e);
    case SqlType::Date:
      return AsDate(e);
    default:
      return Value(e);
  }
}

QString PgGenerator::BranchValue(const Expr& branch, const Expr& call) {
  // CASE wants one type: numbers as the call's type; where texts and other values are mixed,
  // every branch is a text.
  if (IsNumeric(call.type) && branch.type != SqlType::Null) return AsType(branch, call.type);
  bool text = false, other = false;
  for (const auto& arg : call.args) {
    if (arg->type == SqlType::Text) text = true;
    if (arg->type != SqlType::Text && arg->type != SqlType::Null && arg->kind != Expr::Kind::Binary)
      other = true;
  }
  if (call.type == SqlType::Unknown && text && other) {
    // A date stays a date to the reader: its stored form, as the other engines give it.
    if (branch.type == SqlType::Date)
      return QStringLiteral("to_char(%1, 'YYYY-MM-DD HH24:MI:SS')").arg(Value(branch));
    return AsText(branch);
  }
  return Value(branch);
}

QString PgGenerator::ChooseIndex(const Expr& index) {
  return RoundedWhole(index);
}

QString PgGenerator::Negation(const Expr& e) {
  const Expr& x = *e.args[0];
  if (e.type == SqlType::Null) return QStringLiteral("NULL");
  if (IsNumeric(e.type)) return QStringLiteral("(-%1)").arg(AsType(x, e.type));
  if (x.type == SqlType::Date) return QStringLiteral("(-%1)").arg(AsNumeric(x));
  return QStringLiteral("(-%1)").arg(AsNumeric(x));
}

// The operators by the result's type (ArithmeticType): whole numbers in bigint, Singles in real
// (the server rounds each result to a Single), Doubles in double precision, Currency in exact
// numeric checked against Currency's range; texts join, dates move by days.
QString PgGenerator::Arithmetic(const Expr& e) {
  const Expr& a = *e.args[0];
  const Expr& b = *e.args[1];
  const SqlType t = e.type;
  const auto typed = [&](const char* op) -> QString {
    return u'(' + AsType(a, t) + QLatin1String(op) + AsType(b, t) + u')';
  };
  if (t == SqlType::Null && e.op != Op::Concat) return QStringLiteral("NULL");
  switch (e.op) {
    case Op::Add:
      if (t == SqlType::Text) return u'(' + AsText(a) + QStringLiteral(" || ") + AsText(b) + u')';
      // Dates add up as Access's day numbers, and the sum is a date again.
      if (t == SqlType::Date)
        return CheckedDate(
            OleToDate(e, u'(' + AsNumeric(a) + QStringLiteral(" + ") + AsNumeric(b) + u')'));
      if (t == SqlType::Currency) return CheckedCurrency(typed(" + "));
      if (IsNumeric(t)) return typed(" + ");
      return u'(' + AsNumeric(a) + QStringLiteral(" + ") + AsNumeric(b) + u')';
    case Op::Subtract:
      if (a.type == SqlType::Date && b.type == SqlType::Date)
        return u'(' + AsNumeric(a) + QStringLiteral(" - ") + AsNumeric(b) + u')';
      if (t == SqlType::Date)
        return CheckedDate(
            OleToDate(e, u'(' + AsNumeric(a) + QStringLiteral(" - ") + AsNumeric(b) + u')'));
      if (t == SqlType::Currency) return CheckedCurrency(typed(" - "));
      if (IsNumeric(t)) return typed(" - ");
      return u'(' + AsNumeric(a) + QStringLiteral(" - ") + AsNumeric(b) + u')';
    case Op::Multiply:
      if (t == SqlType::Currency) {
        // Currency times Currency has eight decimals: rounded half to even to four.
        const QString product = typed(" * ");
        const bool fraction = a.type == SqlType::Currency && b.type == SqlType::Currency;
        return CheckedCurrency(fraction ? RoundHalfEvenSql(product, 4) : product);
      }
      if (IsNumeric(t)) return typed(" * ");
      return u'(' + AsNumeric(a) + QStringLiteral(" * ") + AsNumeric(b) + u')';
    case Op::Divide:
      return QStringLiteral("(%1 / NULLIF(%2, 0))")
          .arg(AsType(a, SqlType::Double), AsType(b, SqlType::Double));
    case Op::IntDivide:
    case Op::Mod: {
      // Both operands rounded to Longs first (beyond a Long: the overflow error).
      const QString x = RoundedWhole(a) + QStringLiteral("::integer");
      const QString y = RoundedWhole(b) + QStringLiteral("::integer");
      return QStringLiteral("(%1 %2 NULLIF(%3, 0))")
          .arg(x, e.op == Op::IntDivide ? QStringLiteral("/") : QStringLiteral("%"), y);
    }
    case Op::Power: {
      const QString x = AsType(a, SqlType::Double), y = AsType(b, SqlType::Double);
      // No value where Access has none: a negative number to a fraction, zero to a negative power.
      return QStringLiteral(
                 "(CASE WHEN (%1 < 0 AND %2 <> trunc(%2)) OR (%1 = 0 AND %2 < 0) THEN NULL ELSE "
                 "power(%1, %2) END)")
          .arg(x, y);
    }
    case Op::Concat: {
      std::vector<const Expr*> operands;
      ConcatOperands(e, operands);
      QStringList texts, nullTests;
      bool neverNull = false;
      for (const Expr* x : operands) {
        texts << AsText(*x);
        if (x->IsLiteral() && x->kind != Expr::Kind::Null) neverNull = true;
        nullTests << Value(*x) + QStringLiteral(" IS NULL");
      }
      const QString joined = QStringLiteral("concat(") + texts.join(QStringLiteral(", ")) + u')';
      if (neverNull) return joined;
      return QStringLiteral("(CASE WHEN %1 THEN NULL ELSE %2 END)")
          .arg(nullTests.join(QStringLiteral(" AND ")), joined);
    }
    default:
      return {};
  }
}

QString PgGenerator::Like(const Expr& e) {
  // Matched without regard to case in ICU's root collation (deterministic, as matching needs).
  const QString value = QStringLiteral("((%1) COLLATE \"und-x-icu\")").arg(AsText(*e.args[0]));
  const Expr& pattern = *e.args[1];
  const QString no = e.negated ? QStringLiteral(" NOT") : QString();
  if (e.wildcards == Wildcards::Ansi) {
    return u'(' + value + no + QStringLiteral(" ILIKE (") + AsText(pattern) +
           QStringLiteral(") COLLATE \"und-x-icu\" ESCAPE '')");
  }
  if (pattern.kind == Expr::Kind::Text) {
    if (const auto like = AccessPatternAsLike(pattern.text)) {
      return u'(' + value + no + QStringLiteral(" ILIKE ") + TextLiteral(*like) +
             QStringLiteral(" ESCAPE '\\')");
    }
    return u'(' + value + (e.negated ? QStringLiteral(" !~* ") : QStringLiteral(" ~* ")) +
           TextLiteral(AccessPatternAsRegex(pattern.text)) + u')';
  }
  // A pattern computed at run time: its * and ? become % and _.
  const QString converted =
      QStringLiteral(
          "replace(replace(replace(replace(replace(%1, '\\', '\\\\'), '%', '\\%'), "
          "'_', '\\_'), '*', '%'), '?', '_')")
          .arg(Det(AsText(pattern)));
  return u'(' + value + no + QStringLiteral(" ILIKE (") + converted +
         QStringLiteral(") COLLATE \"und-x-icu\" ESCAPE '\\')");
}

QString PgGenerator::RowIdentity(const QString& key) {
  return key + QStringLiteral(".ctid");
}

QString PgGenerator::NullsOrder(bool descending) {
  return descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
}

// DateAdd and DateDiff, in Access's intervals.
QString PgGenerator::DateArithmetic(const Expr& e, Function f) {
  const auto& args = e.args;
  switch (f) {
    case Function::DateAdd: {
      const QString interval = IntervalOf(*args[0]);
      const QString n = RoundedWhole(*args[1]);
      const QString d = AsDate(*args[2]);
      QString unit;
      if (interval == u"yyyy")
        unit = QStringLiteral("1 year");
      else if (interval == u"q")
        unit = QStringLiteral("3 months");
      else if (interval == u"m")
        unit = QStringLiteral("1 month");
      else if (interval == u"y" || interval == u"d" || interval == u"w")
        unit = QStringLiteral("1 day");
      else if (interval == u"ww")
        unit = QStringLiteral("7 days");
      else if (interval == u"h")
        unit = QStringLiteral("1 hour");
      else if (interval == u"n")
        unit = QStringLiteral("1 minute");
      else if (interval == u"s")
        unit = QStringLiteral("1 second");
      else
        Refuse(QStringLiteral("時間間隔「%1」").arg(interval));
      return CheckedDate(QStringLiteral("(%1 + %2 * INTERVAL '%3')").arg(d, n, unit));
    }
    case Function::DateDiff: {
      const QString interval = IntervalOf(*args[0]);
      const QString a = AsDate(*args[1]);
      const QString b = AsDate(*args[2]);
      int first = 1;
      if (args.size() > 3) {
        const auto n = IntegerLiteral(*args[3]);
        if (!n) Refuse(QStringLiteral("不是常數的一週第一天（DateDiff）"));
        first = *n;
      }
      const auto part = [&](const char* field, const QString& d) {
        return QStringLiteral("EXTRACT(%1 FROM %2)").arg(QLatin1String(field), d);
      };
      if (interval == u"yyyy")
        return QStringLiteral("(%1 - %2)::integer").arg(part("YEAR", b), part("YEAR", a));
      if (interval == u"q") {
        return QStringLiteral("((%1 * 4 + %2) - (%3 * 4 + %4))::integer")
            .arg(part("YEAR", b), part("QUARTER", b), part("YEAR", a), part("QUARTER", a));
      }
      if (interval == u"m") {
        return QStringLiteral("((%1 * 12 + %2) - (%3 * 12 + %4))::integer")
            .arg(part("YEAR", b), part("MONTH", b), part("YEAR", a), part("MONTH", a));
      }
      if (interval == u"d" || interval == u"y")
        return QStringLiteral("((%1)::date - (%2)::date)").arg(b, a);
      if (interval == u"w") return QStringLiteral("(((%1)::date - (%2)::date) / 7)").arg(b, a);
      if (interval == u"ww") {
        return QStringLiteral("((((%1)::date - %2 + 1) - ((%3)::date - %4 + 1)) / 7)")
            .arg(b, WeekdaySql(b, first), a, WeekdaySql(a, first));
      }
      const int unit = interval == u"h" ? 3600 : interval == u"n" ? 60 : interval == u"s" ? 1 : 0;
      if (unit == 0) Refuse(QStringLiteral("時間間隔「%1」").arg(interval));
      return QStringLiteral(
                 "(floor(EXTRACT(EPOCH FROM %1) / %3) - floor(EXTRACT(EPOCH FROM %2) / "
                 "%3))::bigint")
          .arg(b, a)
          .arg(unit);
    }
    default:
      return {};
  }
}

QString PgGenerator::DateFunction(const Expr& e, Function f) {
  const auto& args = e.args;
  switch (f) {
    case Function::Year:
    case Function::Month:
    case Function::Day:
    case Function::Hour:
    case Function::Minute: {
      const char* field = f == Function::Year    ? "YEAR"
                          : f == Function::Month ? "MONTH"
                          : f == Function::Day   ? "DAY"
                          : f == Function::Hour  ? "HOUR"
                                                 : "MINUTE";
      return QStringLiteral("EXTRACT(%1 FROM %2)::integer")
          .arg(QLatin1String(field), AsDate(*args[0]));
    }
    case Function::Second:
      return QStringLiteral("floor(EXTRACT(SECOND FROM %1))::integer").arg(AsDate(*args[0]));
    case Function::Weekday: {
      int first = 1;
      if (args.size() > 1) {
        const auto n = IntegerLiteral(*args[1]);
        if (!n) Refuse(QStringLiteral("不是常數的一週第一天（Weekday）"));
        first = *n;
      }
      return WeekdaySql(AsDate(*args[0]), first);
    }
    case Function::DatePart: {
      const QString interval = IntervalOf(*args[0]);
      const QString d = AsDate(*args[1]);
      int first = 1;
      if (args.size() > 2) {
        const auto n = IntegerLiteral(*args[2]);
        if (!n) Refuse(QStringLiteral("不是常數的一週第一天（DatePart）"));
        first = *n;
      }
      if (args.size() > 3) {
        const auto w = IntegerLiteral(*args[3]);
        if (!w || (*w != 0 && *w != 1)) Refuse(QStringLiteral("DatePart 的第一週規則（只支援 1）"));
      }
      if (interval == u"yyyy") return QStringLiteral("EXTRACT(YEAR FROM %1)::integer").arg(d);
      if (interval == u"q") return QStringLiteral("EXTRACT(QUARTER FROM %1)::integer").arg(d);
      if (interval == u"m") return QStringLiteral("EXTRACT(MONTH FROM %1)::integer").arg(d);
      if (interval == u"y") return QStringLiteral("EXTRACT(DOY FROM %1)::integer").arg(d);
      if (interval == u"d") return QStringLiteral("EXTRACT(DAY FROM %1)::integer").arg(d);
      if (interval == u"w") return WeekdaySql(d, first);
      if (interval == u"ww") {
        return QStringLiteral("((EXTRACT(DOY FROM %1)::integer + %2 - 2) / 7 + 1)")
            .arg(d, WeekdaySql(QStringLiteral("date_trunc('year', %1)").arg(d), first));
      }
      if (interval == u"h") return QStringLiteral("EXTRACT(HOUR FROM %1)::integer").arg(d);
      if (interval == u"n") return QStringLiteral("EXTRACT(MINUTE FROM %1)::integer").arg(d);
      if (interval == u"s") return QStringLiteral("floor(EXTRACT(SECOND FROM %1))::integer").arg(d);
      Refuse(QStringLiteral("時間間隔「%1」").arg(interval));
    }
    case Function::DateAdd:
    case Function::DateDiff:
      return DateArithmetic(e, f);
    case Function::DateSerial: {
      // Years 0-29 are 2000-2029, 30-99 1930-1999; months and days past their ends carry over.
      const QString year =
          Let(e, RoundedWhole(*args[0]) + QStringLiteral("::integer"), [](const QString& y) {
            return QStringLiteral(
                       "(CASE WHEN %1 BETWEEN 0 AND 29 THEN %1 + 2000 WHEN %1 "
                       "BETWEEN 30 AND 99 THEN %1 + 1900 WHEN %1 BETWEEN 100 "
                       "AND 9999 THEN %1 ELSE 32768 + 0 * %1 END)::smallint")
                .arg(y);
          });
      return CheckedDate(
          QStringLiteral("(make_date(%1, 1, 1) + (%2 - 1) * INTERVAL '1 month' + (%3 - 1) * "
                         "INTERVAL '1 day')")
              .arg(year, RoundedWhole(*args[1]), RoundedWhole(*args[2])));
    }
    case Function::TimeSerial: {
      const QString seconds =
          QStringLiteral("(%1 * 3600 + %2 * 60 + %3)")
              .arg(RoundedWhole(*args[0]), RoundedWhole(*args[1]), RoundedWhole(*args[2]));
      return CheckedDate(
          QStringLiteral("(TIMESTAMP '1899-12-30' + %1 * INTERVAL '1 second')").arg(seconds));
    }
    case Function::DateValue:
      return QStringLiteral("date_trunc('day', %1)").arg(AsDate(*args[0]));
    case Function::Now:
      return QStringLiteral("LOCALTIMESTAMP(0)");
    case Function::Date:
      return QStringLiteral("CURRENT_DATE::timestamp");
    case Function::Time:
      return QStringLiteral("(TIMESTAMP '1899-12-30' + LOCALTIME(0))");
    case Function::MonthName:
      return MonthNameSql(AsNumeric(*args[0]));
    default:
      return {};
  }
}

// An aggregate of double precision values taken in ascending order: sums of doubles depend on
// their order, and SQLite adds them up in that order too.
QString PgGenerator::Ordered(const char* aggregate, const Expr& call) {
  const QString x = AsType(*call.args[0], SqlType::Double);
  const QString filter = AggregateFilter().isEmpty()
                             ? QString()
                             : QStringLiteral(" FILTER (WHERE ") + AggregateFilter() + u')';
  return QStringLiteral("%1(%2%3 ORDER BY %3)%4")
      .arg(QLatin1String(aggregate), call.distinct ? QStringLiteral("DISTINCT ") : QString(), x,
           filter);
}

QString PgGenerator::Call(const Expr& e, const FunctionInfo& f) {
  return AggregateCall(e, f);
}

// Access's aggregates, with the filter of a crosstab's column where one applies; any other
// function goes on to the conversions.
QString PgGenerator::AggregateCall(const Expr& e, const FunctionInfo& f) {
  const auto& args = e.args;
  const QString filter = AggregateFilter().isEmpty()
                             ? QString()
                             : QStringLiteral(" FILTER (WHERE ") + AggregateFilter() + u')';
  switch (f.function) {
    case Function::Count: {
      const QString arg = args[0]->kind == Expr::Kind::Star ? QStringLiteral("*") : Value(*args[0]);
      const QString count = QStringLiteral("count(") +
                            (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + arg + u')' +
                            filter;
      return filter.isEmpty() ? count : QStringLiteral("NULLIF(") + count + QStringLiteral(", 0)");
    }
    case Function::Sum:
      // Whole numbers add up in bigint, Currency exactly, the rest in double precision.
      if (args[0]->type == SqlType::Null) return QStringLiteral("sum(NULL::float8)") + filter;
      if (e.type == SqlType::Currency)
        return CheckedCurrency(QStringLiteral("sum(%1)%2").arg(Value(*args[0]), filter));
      if (e.type == SqlType::Double || e.type == SqlType::Decimal) return Ordered("sum", e);
      return QStringLiteral("sum(%1)%2").arg(AsType(*args[0], e.type), filter);
    case Function::Avg:
      if (args[0]->type == SqlType::Null) return QStringLiteral("avg(NULL::float8)") + filter;
      if (e.type == SqlType::Currency) {
        return CheckedCurrency(
            RoundHalfEvenSql(QStringLiteral("avg(%1)%2").arg(Value(*args[0]), filter), 4));
      }
      if (!IsWhole(args[0]->type)) return Ordered("avg", e);
      return QStringLiteral("avg(%1)%2").arg(AsType(*args[0], SqlType::Double), filter);
    case Function::Min:
    case Function::Max: {
      if (args[0]->type != SqlType::Text)
        return QString::fromLatin1(f.name).toLower() + u'(' + Value(*args[0]) + u')' + filter;
      // The least or greatest text in Jet's order: the first of them ordered by its keys.
      const QString value = Value(*args[0]);
      const QString keys =
          OrderKeys(value, SqlType::Text, f.function == Function::Max).join(QStringLiteral(", "));
      QString condition = value + QStringLiteral(" IS NOT NULL");
      if (!AggregateFilter().isEmpty()) condition += QStringLiteral(" AND ") + AggregateFilter();
      return QStringLiteral("(array_agg(%1 ORDER BY %2) FILTER (WHERE %3))[1]")
          .arg(value, keys, condition);
    }
    case Function::First:
    case Function::Last: {
      const QString value = args[0]->type == SqlType::Null   ? QStringLiteral("NULL::text")
                            : args[0]->type == SqlType::Text ? AsText(*args[0]) + "::text"
                                                             : Value(*args[0]);
      if (f.function == Function::First)
        return QStringLiteral("(array_agg(%1)%2)[1]").arg(value, filter);
      return QStringLiteral("(array_agg(%1)%2)[array_length(array_agg(%1)%2, 1)]")
          .arg(value, filter);
    }
    case Function::StDev:
      return Ordered("stddev_samp", e);
    case Function::StDevP:
      return Ordered("stddev_pop", e);
    case Function::Var:
      return Ordered("var_samp", e);
    case Function::VarP:
      return Ordered("var_pop", e);
    default:
      return ConversionCall(e, f);
  }
}

// Access's conversions and tests of a value's type; any other function goes on to the texts.
QString PgGenerator::ConversionCall(const Expr& e, const FunctionInfo& f) {
  const auto& args = e.args;
  const auto text = [&](size_t i) { return AsText(*args[i]); };
  const auto number = [&](size_t i) { return AsNumeric(*args[i]); };
  switch (f.function) {
    case Function::IsNumeric: {
      const Expr& x = *args[0];
      QString test = QStringLiteral("FALSE");
      if (IsNumeric(x.type))
        test = Value(x) + QStringLiteral(" IS NOT NULL");
      else if (x.type == SqlType::Text || x.type == SqlType::Unknown)
        // Digits grouped by separators that stand between digits, one point, an exponent E.
        test = QStringLiteral(
                   "((%1)::text COLLATE \"C\") ~ '^[ \\t\\n\\r\\v\\f]*[-+]?[ "
                   "\\t\\n\\r\\v\\f]*([0-9]+(,[0-9]+)*(\\.[0-9]*)?|\\.[0-9]+)([eE][-+]?[0-9]+)?[ "
                   "\\t\\n\\r\\v\\f]*$'")
                   .arg(Value(x));
      return QStringLiteral("(CASE WHEN %1 THEN -1 ELSE 0 END)").arg(test);
    }
    case Function::IsDate: {
      const Expr& x = *args[0];
      QString test = QStringLiteral("FALSE");
      if (x.type == SqlType::Date)
        test = Value(x) + QStringLiteral(" IS NOT NULL");
      else if (x.type == SqlType::Text || x.type == SqlType::Unknown)
        test = AsDate(x) + QStringLiteral(" IS NOT NULL");
      return QStringLiteral("(CASE WHEN %1 THEN -1 ELSE 0 END)").arg(test);
    }
    case Function::CStr:
      return text(0);
    case Function::CInt:
      return RoundedWhole(*args[0]) + QStringLiteral("::smallint::integer");
    case Function::CLng:
      return RoundedWhole(*args[0]) + QStringLiteral("::integer");
    case Function::CByte: {
      // 0 to 255, else the overflow error (a smallint past its range).
      const QString r = RoundedWhole(*args[0]);
      return QStringLiteral(
                 "(CASE WHEN %1 BETWEEN 0 AND 255 THEN %1 ELSE %1 + 65536 END)::smallint::integer")
          .arg(r);
    }
    case Function::CSng:
      return AsType(*args[0], SqlType::Single);
    case Function::CDbl:
    case Function::CDec:
      return AsType(*args[0], SqlType::Double);
    case Function::CCur:
      return AsType(*args[0], SqlType::Currency);
    case Function::CBool:
      return QStringLiteral("(CASE WHEN (%1) <> 0 THEN -1 WHEN (%1) = 0 THEN 0 END)")
          .arg(number(0));
    case Function::CDate:
      return CheckedDate(AsDate(*args[0]));
    case Function::Val:
      return ValSql(e, text(0));
    case Function::Str:
      return QStringLiteral("(CASE WHEN (%1) >= 0 THEN ' ' || %2 ELSE %2 END)")
          .arg(number(0), AsText(*args[0]));
    case Function::Hex:
    case Function::Oct: {
      const SqlType t = args[0]->type;
      const bool sixteen = t == SqlType::Integer || t == SqlType::Byte || t == SqlType::Boolean;
      const QString n = RoundedWhole(*args[0]) + QStringLiteral("::integer::bigint");
      const QString wrapped =
          QStringLiteral("(CASE WHEN %1 < 0 THEN %1 + %2 ELSE %1 END)")
              .arg(n, sixteen ? QStringLiteral(
                                    "(CASE WHEN %1 >= -32768 THEN 65536 ELSE 4294967296 END)")
                                    .arg(n)
                              : QStringLiteral("4294967296"));
      if (f.function == Function::Hex) return QStringLiteral("upper(to_hex(%1))").arg(wrapped);
      return OctalSql(wrapped);
    }
    default:
      return TextCall(e, f);
  }
}

// Access's text functions; any other function goes on to the numbers'.
QString PgGenerator::TextCall(const Expr& e, const FunctionInfo& f) {
  const auto& args = e.args;
  const auto text = [&](size_t i) { return AsText(*args[i]); };
  // The comparison a text function uses: Access's own in queries, without regard to case
  // (ICU's lower case, as the root collation folds letters), or the binary one (mode 0).
  const auto folded = [&](size_t compareArg, const QString& sql) -> QString {
    if (compareArg < args.size()) {
      const auto mode = IntegerLiteral(*args[compareArg]);
      if (!mode) Refuse(QStringLiteral("不是常數的比較方式"));
      if (*mode == 0) return Det(sql);
    }
    return Det(QStringLiteral("lower((%1) COLLATE \"und-x-icu\")").arg(sql));
  };
  // A whole-number argument, rounded half to even (beyond a Long: the overflow error).
  const auto whole = [&](size_t i) -> QString {
    return RoundedWhole(*args[i]) + QStringLiteral("::integer");
  };
  switch (f.function) {
    case Function::Left:
    case Function::Right: {
      const QString n = RoundedWhole(*args[1]) + QStringLiteral("::integer");
      return QStringLiteral("(CASE WHEN %2 < 0 THEN NULL ELSE %3(%1, %2) END)")
          .arg(text(0), n,
               f.function == Function::Left ? QStringLiteral("left") : QStringLiteral("right"));
    }
    case Function::Mid: {
      // A start before the first character or a negative length is Access's invalid argument.
      const QString start = RoundedWhole(*args[1]) + QStringLiteral("::integer");
      if (args.size() > 2) {
        const QString length = RoundedWhole(*args[2]) + QStringLiteral("::integer");
        return QStringLiteral("(CASE WHEN %2 < 1 OR %3 < 0 THEN NULL ELSE substr(%1, %2, %3) END)")
            .arg(text(0), start, length);
      }
      return QStringLiteral("(CASE WHEN %2 < 1 THEN NULL ELSE substr(%1, %2) END)")
          .arg(text(0), start);
    }
    case Function::Len:
      return QStringLiteral("length(%1)").arg(text(0));
    case Function::InStr: {
      // In an empty text nothing is found, not even an empty text.
      if (args.size() == 2)
        return QStringLiteral("(CASE WHEN %1 = '' THEN 0 ELSE strpos(%1, %2) END)")
            .arg(folded(2, text(0)), folded(2, text(1)));
      // A start before the first character is Access's invalid argument; past the end, 0.
      const QString start = whole(0);
      const QString within = folded(3, text(1)), find = folded(3, text(2));
      const QString hit = QStringLiteral("strpos(substr(%1, %2), %3)").arg(within, start, find);
      return QStringLiteral(
                 "(CASE WHEN %2 < 1 THEN NULL WHEN %2 > length(%3) THEN 0 WHEN %4 = '' THEN %2 "
                 "WHEN %1 = 0 THEN 0 ELSE %1 + %2 - 1 END)")
          .arg(hit, start, within, find);
    }
    case Function::InStrRev: {
      if (args.size() > 2 && IntegerLiteral(*args[2]) != -1)
        Refuse(QStringLiteral("InStrRev 的起點"));
      const QString s = folded(3, text(0));
      const QString find = folded(3, text(1));
      const QString hit = QStringLiteral("strpos(reverse(%1), reverse(%2))").arg(s, find);
      return QStringLiteral("(CASE WHEN %1 = 0 THEN 0 ELSE length(%2) - %1 - length(%3) + 2 END)")
          .arg(hit, s, find);
    }
    case Function::Trim:
      return QStringLiteral("btrim(%1, ' ')").arg(text(0));
    case Function::LTrim:
      return QStringLiteral("ltrim(%1, ' ')").arg(text(0));
    case Function::RTrim:
      return QStringLiteral("rtrim(%1, ' ')").arg(text(0));
    case Function::UCase:
    case Function::LCase:
      // Every letter, as ICU's root locale changes case, whatever the server's own locale.
      return QStringLiteral("%1((%2) COLLATE \"%3\")")
          .arg(f.function == Function::UCase ? QStringLiteral("upper") : QStringLiteral("lower"),
               text(0), QLatin1String(PgCollation(Order())));
    case Function::Space:
      return QStringLiteral("(CASE WHEN %1 < 0 THEN NULL ELSE repeat(' ', %1) END)").arg(whole(0));
    case Function::String: {
      const QString n = whole(0);
      if (IsNumeric(args[1]->type)) {
        const QString code = QStringLiteral("(%1 & 65535)").arg(whole(1));
        return QStringLiteral(
                   "(CASE WHEN %1 < 0 THEN NULL WHEN %2 = 0 THEN '' ELSE repeat(chr(%2), %1) END)")
            .arg(n, code);
      }
      return QStringLiteral(
                 "(CASE WHEN %1 < 0 OR %2 = '' THEN NULL ELSE repeat(left(%2, 1), %1) END)")
          .arg(n, text(1));
    }
    case Function::Replace: {
      if (args.size() > 3 && !(args.size() > 3 && IntegerLiteral(*args[3]) == 1))
        Refuse(QStringLiteral("Replace 的起點"));
      if (args.size() > 4 && IntegerLiteral(*args[4]) != -1)
        Refuse(QStringLiteral("Replace 的次數"));
      const bool caseless = args.size() > 5 && IntegerLiteral(*args[5]).value_or(0) != 0;
      if (caseless) {
        if (args[1]->kind != Expr::Kind::Text)
          Refuse(QStringLiteral("不是常數的 Replace 搜尋字串"));
        QString pattern = args[1]->text;
        static const QString special = QStringLiteral("\\^$.|?*+()[]{}");
        QString escaped;
        for (QChar c : pattern) {
          if (special.contains(c)) escaped += u'\\';
          escaped += c;
        }
        return QStringLiteral(
                   "(regexp_replace(%1, %2, replace(%3, '\\', '\\\\'), 'gi') COLLATE \"%4\")")
            .arg(Det(text(0)), TextLiteral(escaped), Det(text(2)),
                 QLatin1String(PgCollation(Order())));
      }
      // Nothing to find or nothing to put in its place: Access's invalid use of Null.
      return QStringLiteral(
                 "(CASE WHEN %2 IS NULL OR %3 IS NULL THEN NULL ELSE replace(%1, %2, %3) COLLATE "
                 "\"%4\" END)")
          .arg(Det(text(0)), Det(text(1)), Det(text(2)), QLatin1String(PgCollation(Order())));
    }
    case Function::StrComp: {
      // In the database's order, or by the characters' codes with compare mode 0.
      const QString a = text(0), b = text(1);
      bool binary = false;
      if (args.size() > 2) {
        const auto mode = IntegerLiteral(*args[2]);
        if (!mode) Refuse(QStringLiteral("不是常數的比較方式"));
        binary = *mode == 0;
      }
      const QString equal = binary ? QStringLiteral("(%1 = %2)").arg(Det(a), Det(b))
                                   : TextComparison(a, Op::Equal, b);
      const QString less =
          binary ? QStringLiteral("(%1 < %2)").arg(Det(a), Det(b)) : TextComparison(a, Op::Less, b);
      return QStringLiteral(
                 "(CASE WHEN %1 IS NULL OR %2 IS NULL THEN NULL WHEN %3 THEN 0 WHEN %4 THEN -1 "
                 "ELSE 1 END)")
          .arg(a, b, equal, less);
    }
    case Function::Asc:
      return QStringLiteral("(CASE WHEN %1 = '' THEN NULL ELSE ascii(%1) END)").arg(text(0));
    case Function::Chr: {
      // Codes from -32768 to 65535 (a negative one as its 16 bits); code 0 gives an empty text, as
      // no text of the program holds a NUL.
      const QString code = whole(0);
      return QStringLiteral(
                 "(CASE WHEN %1 < -32768 OR %1 > 65535 THEN NULL WHEN %1 & 65535 = 0 THEN '' ELSE "
                 "chr(%1 & 65535) END)")
          .arg(code);
    }
    default:
      return NumberCall(e, f);
  }
}

// Access's number functions and Format; any other function is a date function.
QString PgGenerator::NumberCall(const Expr& e, const FunctionInfo& f) {
  const auto& args = e.args;
  const auto number = [&](size_t i) { return AsNumeric(*args[i]); };
  switch (f.function) {
    case Function::Abs:
      return Held(QStringLiteral("abs(%1)").arg(number(0)), e.type);
    case Function::Int:
      return Held(QStringLiteral("floor(%1)").arg(number(0)), e.type);
    case Function::Fix:
      return Held(QStringLiteral("trunc(%1)").arg(number(0)), e.type);
    case Function::Round: {
      int places = 0;
      if (args.size() > 1) {
        const auto p = IntegerLiteral(*args[1]);
        if (!p) Refuse(QStringLiteral("不是常數的 Round 小數位數"));
        places = *p;
      }
      // Places outside 0 to 15: Access's invalid argument.
      if (places < 0 || places > 15) return QStringLiteral("NULL");
      return Held(RoundHalfEvenSql(number(0), places), e.type);
    }
    case Function::Sgn:
      return QStringLiteral("sign(%1)::integer").arg(number(0));
    case Function::Sqr:
      return QStringLiteral("(CASE WHEN %1 < 0 THEN NULL ELSE sqrt((%1)::float8) END)")
          .arg(number(0));
    case Function::Format:
      return Format(e);
    default:
      return DateFunction(e, f.function);
  }
}

// Format with a constant pattern: a number pattern through to_char, a date pattern piece by piece.
QString PgGenerator::Format(const Expr& e) {
  const Expr& x = *e.args[0];
  if (x.type == SqlType::Null) return QStringLiteral("NULL::text");
  if (e.args.size() < 2) return AsText(x);
  if (e.args[1]->kind != Expr::Kind::Text) Refuse(QStringLiteral("不是常數的 Format 樣式"));
  if (e.args.size() > 2) Refuse(QStringLiteral("Format 的一週第一天與第一週引數"));
  const QString pattern = e.args[1]->text;
  if (pattern.isEmpty()) return AsText(x);
  if (IsTextPattern(pattern)) return TextPatternSql(AsText(x), pattern);
  if (!IsDatePattern(pattern)) return NumberPatternFormat(x, pattern);
  return DatePatternFormat(x, pattern);
}

// A number pattern (or a named one) through to_char.
QString PgGenerator::NumberPatternFormat(const Expr& x, const QString& pattern) {
  // A text that is no number (no date, for a date pattern) comes back as it is.
  const auto orText = [&](const QString& formatted, const QString& value) -> QString {
    if (x.type != SqlType::Text && x.type != SqlType::Unknown) return formatted;
    return QStringLiteral("COALESCE(CASE WHEN %1 IS NOT NULL THEN %2 END, %3)")
        .arg(value, formatted, AsText(x));
  };
  const QString lower = pattern.toLower();
  const QString n = AsNumeric(x);
  if (lower == u"general number")
    return orText(NumberTextSql(QStringLiteral("(%1)::float8::numeric").arg(n)), n);
  const auto choice = [&](const char* yes, const char* no) {
    return orText(QStringLiteral("(CASE WHEN (%1) <> 0 THEN '%2' WHEN (%1) = 0 THEN '%3' END)")
                      .arg(n, QString::fromUtf8(yes), QString::fromUtf8(no)),
                  n);
  };
  if (lower == u"yes/no") return choice("是", "否");
  if (lower == u"true/false") return choice("True", "False");
  if (lower == u"on/off") return choice("On", "Off");
  if (lower == u"scientific") Refuse(QStringLiteral("Format 樣式「Scientific」"));
  static const QHash<QString, QString> named = {
      {QStringLiteral("fixed"), QStringLiteral("0.00")},
      {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
      {QStringLiteral("percent"), QStringLiteral("0.00%")},
      {QStringLiteral("currency"), QStringLiteral("$#,##0.00;-$#,##0.00")},
  };
  const QString chosen = named.value(lower, pattern);
  QString formatted = orText(NumberFormatSql(n, chosen), n);
  // A fourth section stands for Null.
  const QStringList sections = chosen.split(u';');
  if (sections.size() >= 4)
    formatted = QStringLiteral("(CASE WHEN %1 IS NULL THEN %2 ELSE %3 END)")
                    .arg(Value(x), NumberSectionSql(QStringLiteral("0"), sections[3]), formatted);
  return formatted;
}

// A date pattern (or a named one), each token its own piece.
QString PgGenerator::DatePatternFormat(const Expr& x, const QString& pattern) {
  QString p = pattern;
  const QString lower = pattern.toLower();
  if (lower == u"general date") {
    if (x.type != SqlType::Text && x.type != SqlType::Unknown) return GeneralDateSql(AsDate(x));
    return QStringLiteral("COALESCE(%1, %2)").arg(GeneralDateSql(AsDate(x)), AsText(x));
  }
  if (lower == u"long date") p = QStringLiteral("dddddd");
  if (lower == u"medium date") p = QStringLiteral("yyyy/mm/dd");
  if (lower == u"short date") p = QStringLiteral("ddddd");
  if (lower == u"long time") p = QStringLiteral("ttttt");
  if (lower == u"medium time") p = QStringLiteral("AMPM hh:nn");
  if (lower == u"short time") p = QStringLiteral("hh:nn");
  const QString d = AsDate(x);
  const QStringList pieces = DatePatternPieces(d, p);
  if (pieces.isEmpty()) return TextLiteral(QString());
  const QString formatted = QStringLiteral("(CASE WHEN %1 IS NULL THEN NULL ELSE %2 END)")
                                .arg(d, pieces.join(QStringLiteral(" || ")));
  if (x.type != SqlType::Text && x.type != SqlType::Unknown) return formatted;
  return QStringLiteral("COALESCE(%1, %2)").arg(formatted, AsText(x));
}

// The pieces of date pattern `p` over the date `d`, to be joined with "||".
QStringList PgGenerator::DatePatternPieces(const QString& d, const QString& p) {
  const QString pl = p.toLower();
  const bool twelve = pl.contains(u"am/pm") || pl.contains(u"a/p") || pl.contains(u"ampm");
  QStringList pieces;
  QString literal;
  const auto flush = [&] {
    if (!literal.isEmpty()) pieces << TextLiteral(literal);
    literal.clear();
  };
  const auto piece = [&](const QString& sql) {
    flush();
    pieces << sql;
  };
  const auto chr = [&](const char* toChar) {
    piece(QStringLiteral("to_char(%1, '%2')").arg(d, QLatin1String(toChar)));
  };
  bool afterHour = false;
  for (qsizetype i = 0; i < p.size();) {
    const QChar c = p[i];
    const QChar l = c.toLower();
    if (c == u'"') {
      const qsizetype end = p.indexOf(u'"', i + 1);
      literal += p.mid(i + 1, (end < 0 ? p.size() : end) - i - 1);
      i = end < 0 ? p.size() : end + 1;
      continue;
    }
    if (c == u'\\' && i + 1 < p.size()) {
      literal += p[i + 1];
      i += 2;
      continue;
    }
    if (pl.mid(i, 5) == u"am/pm" || pl.mid(i, 3) == u"a/p" || pl.mid(i, 4) == u"ampm") {
      const qsizetype length = pl.mid(i, 5) == u"am/pm" ? 5 : pl.mid(i, 3) == u"a/p" ? 3 : 4;
      QString am, pm;
      if (length == 5) {
        am = p.mid(i, 2);
        pm = p.mid(i + 3, 2);
      } else if (length == 3) {
        am = p.mid(i, 1);
        pm = p.mid(i + 2, 1);
      } else {
        am = QStringLiteral("上午");
        pm = QStringLiteral("下午");
      }
      piece(QStringLiteral("(CASE WHEN EXTRACT(HOUR FROM %1) < 12 THEN %2 ELSE %3 END)")
                .arg(d, TextLiteral(am), TextLiteral(pm)));
      i += length;
      continue;
    }
    qsizetype run = 1;
    if (l.isLetter())
      while (i + run < p.size() && p[i + run].toLower() == l)
        ++run;
    bool hourToken = false;
    switch (l.unicode()) {
      case u'c':
        piece(GeneralDateSql(d));
        break;
      case u'd':
        if (run == 1)
          chr("FMDD");
        else if (run == 2)
          chr("DD");
        else if (run <= 4) {
          static const char16_t* const kShort[] = {u"週日", u"週一", u"週二", u"週三",
                                                   u"週四", u"週五", u"週六"};
          static const char16_t* const kLong[] = {u"星期日", u"星期一", u"星期二", u"星期三",
                                                  u"星期四", u"星期五", u"星期六"};
          QStringList names;
          for (int w = 0; w < 7; ++w)
            names << u'\'' + QString::fromUtf16(run == 3 ? kShort[w] : kLong[w]) + u'\'';
          piece(QStringLiteral("(ARRAY[%1])[EXTRACT(DOW FROM %2)::integer + 1]")
                    .arg(names.join(u','), d));
        } else if (run == 5) {
          chr("YYYY/FMMM/FMDD");
        } else {
          piece(QStringLiteral("to_char(%1, 'YYYY\"年\"FMMM\"月\"FMDD\"日\"')").arg(d));
        }
        break;
      case u'w':
        if (run == 1)
          piece(QStringLiteral("(%1)::text").arg(WeekdaySql(d, 1)));
        else
          piece(QStringLiteral("((EXTRACT(DOY FROM %1)::integer + %2 - 2) / 7 + 1)::text")
                    .arg(d, WeekdaySql(QStringLiteral("date_trunc('year', %1)").arg(d), 1)));
        break;
      case u'm':
        if (afterHour && run <= 2)
          chr(run == 1 ? "FMMI" : "MI");
        else if (run == 1)
          chr("FMMM");
        else if (run == 2)
          chr("MM");
        else
          piece(MonthNameSql(QStringLiteral("EXTRACT(MONTH FROM %1)").arg(d)));
        break;
      case u'q':
        chr("Q");
        break;
      case u'y':
        if (run == 1)
          chr("FMDDD");
        else if (run == 2)
          chr("YY");
        else
          chr("YYYY");
        break;
      case u'h':
        hourToken = true;
        if (twelve)
          chr(run == 1 ? "FMHH12" : "HH12");
        else
          chr(run == 1 ? "FMHH24" : "HH24");
        break;
      case u'n':
        chr(run == 1 ? "FMMI" : "MI");
        break;
      case u's':
        chr(run == 1 ? "FMSS" : "SS");
        break;
      case u't':
        if (run >= 5) {
          piece(QStringLiteral("(CASE WHEN EXTRACT(HOUR FROM %1) < 12 THEN '上午 ' ELSE '下午 ' "
                               "END) || to_char(%1, 'HH12:MI:SS')")
                    .arg(d));
          break;
        }
        literal += p.mid(i, run);
        break;
      default:
        literal += p.mid(i, run);
        break;
    }
    if (l.isLetter()) afterHour = hourToken;
    i += run;
  }
  flush();
  return pieces;
}

}  // namespace tarvel::db::sql
