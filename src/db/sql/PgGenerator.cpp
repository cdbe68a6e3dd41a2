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

#include "db/DbError.h"
#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessLike.h"
#include "db/sql/Generator.h"

namespace tarvel::db::sql {
namespace {

[[noreturn]] void Refuse(const QString& what) {
  throw DbError(QStringLiteral("PostgreSQL 資料庫上不支援 ") + what + u'。');
}

bool TextOrNull(const Expr& e) {
  return e.type == SqlType::Text || e.type == SqlType::Null;
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

// Taiwan's general date: "1997/1/2", with "上午 10:00:00" after it when the time is not midnight.
QString GeneralDateSql(const QString& d) {
  return QStringLiteral(
             "(CASE WHEN %1::time = TIME '00:00' THEN to_char(%1, 'YYYY/FMMM/FMDD') ELSE "
             "to_char(%1, 'YYYY/FMMM/FMDD ') || (CASE WHEN EXTRACT(HOUR FROM %1) < 12 THEN "
             "'上午 ' ELSE '下午 ' END) || to_char(%1, 'HH12:MI:SS') END)")
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
  for (int digit = 0; digit < 18; ++digit) {
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

QString PgGenerator::PredicateValue(const QString& predicate) {
  return QStringLiteral("(-(") + predicate + QStringLiteral(")::integer)");
}

QString PgGenerator::ValueCondition(const QString& value, const Expr& e) {
  if (e.kind == Expr::Kind::Null) return QStringLiteral("NULL");
  if (e.type == SqlType::Text) return u'(' + TextAsNumber(value) + QStringLiteral(" <> 0)");
  if (IsNumeric(e.type)) return u'(' + value + QStringLiteral(" <> 0)");
  return QStringLiteral("((%1)::numeric <> 0)").arg(value);
}

QString PgGenerator::TextAsNumber(const QString& value) {
  const QString t = QStringLiteral("btrim(replace((%1)::text, ',', ''))").arg(value);
  return QStringLiteral(
             "(CASE WHEN %1 ~ '^[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?$' "
             "THEN (%1)::float8 END)")
      .arg(t);
}

QString PgGenerator::NumberFormat(const Expr& x, int places) {
  return QStringLiteral("round((%1)::numeric, %2)::float8").arg(AsNumeric(x)).arg(places);
}

QString PgGenerator::AsText(const Expr& e) {
  const QString v = Value(e);
  switch (e.type) {
    case SqlType::Text:
      return v;
    case SqlType::Currency:
      return QStringLiteral("trim_scale(%1)::text").arg(v);
    case SqlType::Date:
      return GeneralDateSql(v);
    case SqlType::Null:
      return QStringLiteral("NULL::text");
    default:
      return QStringLiteral("(%1)::text").arg(v);
  }
}

QString PgGenerator::AsDate(const Expr& e) {
  const QString v = Value(e);
  if (e.type == SqlType::Date) return v;
  if (IsNumeric(e.type))
    return QStringLiteral("(TIMESTAMP '1899-12-30' + (%1) * INTERVAL '1 day')").arg(v);
  return QStringLiteral("(%1)::timestamp").arg(v);
}

QString PgGenerator::AsNumeric(const Expr& e) {
  if (IsNumeric(e.type) || e.type == SqlType::Null) return Value(e);
  if (e.type == SqlType::Date) {
    return QStringLiteral("(EXTRACT(EPOCH FROM (%1 - TIMESTAMP '1899-12-30')) / 86400)")
        .arg(Value(e));
  }
  if (e.type == SqlType::Text) return NumberValue(e);
  return QStringLiteral("(%1)::numeric").arg(Value(e));
}

QString PgGenerator::BranchValue(const Expr& branch, const Expr& call) {
  // CASE wants one type: where texts and other values are mixed, every branch is a text.
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
  return RoundHalfEvenSql(AsNumeric(index), 0);
}

QString PgGenerator::Arithmetic(const Expr& e) {
  const Expr& a = *e.args[0];
  const Expr& b = *e.args[1];
  const auto numeric = [](const Expr& x) { return IsNumeric(x.type) || x.type == SqlType::Null; };
  switch (e.op) {
    case Op::Add:
      if (TextOrNull(a) && TextOrNull(b) && (a.type == SqlType::Text || b.type == SqlType::Text))
        return u'(' + AsText(a) + QStringLiteral(" || ") + AsText(b) + u')';
      if (a.type == SqlType::Date && numeric(b))
        return QStringLiteral("(%1 + (%2) * INTERVAL '1 day')").arg(Value(a), Value(b));
      if (numeric(a) && b.type == SqlType::Date)
        return QStringLiteral("(%1 + (%2) * INTERVAL '1 day')").arg(Value(b), Value(a));
      return u'(' + AsNumeric(a) + QStringLiteral(" + ") + AsNumeric(b) + u')';
    case Op::Subtract:
      if (a.type == SqlType::Date && b.type == SqlType::Date)
        return QStringLiteral("(EXTRACT(EPOCH FROM (%1 - %2)) / 86400)").arg(Value(a), Value(b));
      if (a.type == SqlType::Date && numeric(b))
        return QStringLiteral("(%1 - (%2) * INTERVAL '1 day')").arg(Value(a), Value(b));
      return u'(' + AsNumeric(a) + QStringLiteral(" - ") + AsNumeric(b) + u')';
    case Op::Divide:
      return QStringLiteral("(%1 * 1.0::float8 / NULLIF(%2, 0))").arg(AsNumeric(a), AsNumeric(b));
    case Op::IntDivide:
      return QStringLiteral("trunc(%1 / NULLIF(%2, 0))::bigint")
          .arg(RoundHalfEvenSql(AsNumeric(a), 0), RoundHalfEvenSql(AsNumeric(b), 0));
    case Op::Mod:
      return QStringLiteral("mod(%1, NULLIF(%2, 0))::bigint")
          .arg(RoundHalfEvenSql(AsNumeric(a), 0), RoundHalfEvenSql(AsNumeric(b), 0));
    case Op::Power:
      return QStringLiteral("power((%1)::float8, (%2)::float8)").arg(AsNumeric(a), AsNumeric(b));
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
  const QString value = AsText(*e.args[0]);
  const Expr& pattern = *e.args[1];
  const QString no = e.negated ? QStringLiteral(" NOT") : QString();
  if (e.wildcards == Wildcards::Ansi) {
    return u'(' + value + no + QStringLiteral(" ILIKE ") + AsText(pattern) +
           QStringLiteral(" ESCAPE '')");
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
          .arg(AsText(pattern));
  return u'(' + value + no + QStringLiteral(" ILIKE ") + converted +
         QStringLiteral(" ESCAPE '\\')");
}

QString PgGenerator::RowIdentity(const QString& key) {
  return key + QStringLiteral(".ctid");
}

QString PgGenerator::NullsOrder(bool descending) {
  return descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
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
    case Function::DateAdd: {
      const QString interval = IntervalOf(*args[0]);
      const QString n = RoundHalfEvenSql(AsNumeric(*args[1]), 0);
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
      return QStringLiteral("(%1 + %2 * INTERVAL '%3')").arg(d, n, unit);
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
    case Function::DateSerial: {
      const QString y = AsNumeric(*args[0]);
      const QString year =
          QStringLiteral(
              "(CASE WHEN (%1) BETWEEN 0 AND 29 THEN (%1) + 2000 WHEN (%1) BETWEEN 30 "
              "AND 99 THEN (%1) + 1900 ELSE (%1) END)::integer")
              .arg(y);
      return QStringLiteral(
                 "(make_date(%1, 1, 1) + ((%2) - 1) * INTERVAL '1 month' + ((%3) - 1) * "
                 "INTERVAL '1 day')")
          .arg(year, AsNumeric(*args[1]), AsNumeric(*args[2]));
    }
    case Function::TimeSerial:
      return QStringLiteral(
                 "(TIMESTAMP '1899-12-30' + (%1) * INTERVAL '1 hour' + (%2) * INTERVAL '1 minute' "
                 "+ (%3) * INTERVAL '1 second')")
          .arg(AsNumeric(*args[0]), AsNumeric(*args[1]), AsNumeric(*args[2]));
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

QString PgGenerator::Call(const Expr& e, const FunctionInfo& f) {
  const auto& args = e.args;
  const QString filter = AggregateFilter().isEmpty()
                             ? QString()
                             : QStringLiteral(" FILTER (WHERE ") + AggregateFilter() + u')';
  const auto text = [&](size_t i) { return AsText(*args[i]); };
  const auto number = [&](size_t i) { return AsNumeric(*args[i]); };
  // The comparison a text function uses: Access's own in queries, without regard to case.
  const auto folded = [&](size_t compareArg, const QString& sql) {
    if (compareArg < args.size()) {
      const auto mode = IntegerLiteral(*args[compareArg]);
      if (!mode) Refuse(QStringLiteral("不是常數的比較方式"));
      if (*mode == 0) return QStringLiteral("(%1)::text").arg(sql);
    }
    return QStringLiteral("lower(%1)").arg(sql);
  };
  switch (f.function) {
    case Function::Count: {
      const QString arg = args[0]->kind == Expr::Kind::Star ? QStringLiteral("*") : Value(*args[0]);
      const QString count = QStringLiteral("count(") +
                            (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + arg + u')' +
                            filter;
      return filter.isEmpty() ? count : QStringLiteral("NULLIF(") + count + QStringLiteral(", 0)");
    }
    case Function::Sum:
    case Function::Avg:
    case Function::Min:
    case Function::Max:
      return QString::fromLatin1(f.name).toLower() + u'(' + Value(*args[0]) + u')' + filter;
    case Function::First:
      return QStringLiteral("(array_agg(%1)%2)[1]").arg(Value(*args[0]), filter);
    case Function::Last:
      return QStringLiteral("(array_agg(%1)%2)[array_length(array_agg(%1)%2, 1)]")
          .arg(Value(*args[0]), filter);
    case Function::StDev:
      return QStringLiteral("stddev_samp(%1)%2").arg(number(0), filter);
    case Function::StDevP:
      return QStringLiteral("stddev_pop(%1)%2").arg(number(0), filter);
    case Function::Var:
      return QStringLiteral("var_samp(%1)%2").arg(number(0), filter);
    case Function::VarP:
      return QStringLiteral("var_pop(%1)%2").arg(number(0), filter);
    case Function::IsNumeric: {
      const Expr& x = *args[0];
      QString test = QStringLiteral("FALSE");
      if (IsNumeric(x.type))
        test = Value(x) + QStringLiteral(" IS NOT NULL");
      else if (x.type == SqlType::Text || x.type == SqlType::Unknown)
        test = TextAsNumber(Value(x)) + QStringLiteral(" IS NOT NULL");
      return QStringLiteral("(CASE WHEN %1 THEN -1 ELSE 0 END)").arg(test);
    }
    case Function::IsDate: {
      const Expr& x = *args[0];
      QString test = QStringLiteral("FALSE");
      if (x.type == SqlType::Date)
        test = Value(x) + QStringLiteral(" IS NOT NULL");
      else if (x.type == SqlType::Text || x.type == SqlType::Unknown)
        test = QStringLiteral("(%1)::text ~ '^\\s*[0-9]{1,4}[-/.][0-9]{1,2}[-/.][0-9]{1,4}'")
                   .arg(Value(x));
      return QStringLiteral("(CASE WHEN %1 THEN -1 ELSE 0 END)").arg(test);
    }
    case Function::CStr:
      return text(0);
    case Function::CInt:
    case Function::CLng:
      return RoundHalfEvenSql(number(0), 0) + QStringLiteral("::bigint");
    case Function::CSng:
    case Function::CDbl:
      return QStringLiteral("(%1)::float8").arg(number(0));
    case Function::CCur:
      return RoundHalfEvenSql(number(0), 4);
    case Function::CDec:
      return QStringLiteral("(%1)::numeric").arg(number(0));
    case Function::CBool:
      return QStringLiteral("(CASE WHEN (%1) <> 0 THEN -1 WHEN (%1) = 0 THEN 0 END)")
          .arg(number(0));
    case Function::CDate:
      return AsDate(*args[0]);
    case Function::Val: {
      const QString t = text(0);
      return QStringLiteral(
                 "(CASE WHEN %1 IS NULL THEN NULL ELSE COALESCE(NULLIF(substring(replace(%1, ' ', "
                 "'') from '^[-+]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?'), "
                 "'')::float8, "
                 "0) END)")
          .arg(t);
    }
    case Function::Str: {
      const QString n = number(0);
      return QStringLiteral("(CASE WHEN (%1) >= 0 THEN ' ' || (%1)::text ELSE (%1)::text END)")
          .arg(n);
    }
    case Function::Left:
      return QStringLiteral("left(%1, (%2)::integer)").arg(text(0), number(1));
    case Function::Right:
      return QStringLiteral("right(%1, (%2)::integer)").arg(text(0), number(1));
    case Function::Mid:
      if (args.size() > 2)
        return QStringLiteral("substr(%1, (%2)::integer, (%3)::integer)")
            .arg(text(0), number(1), number(2));
      return QStringLiteral("substr(%1, (%2)::integer)").arg(text(0), number(1));
    case Function::Len:
      return QStringLiteral("length(%1)").arg(text(0));
    case Function::InStr: {
      if (args.size() == 2)
        return QStringLiteral("strpos(%1, %2)").arg(folded(2, text(0)), folded(2, text(1)));
      const QString start = QStringLiteral("(%1)::integer").arg(number(0));
      const QString hit = QStringLiteral("strpos(substr(%1, %2), %3)")
                              .arg(folded(3, text(1)), start, folded(3, text(2)));
      return QStringLiteral("(CASE WHEN %1 = 0 THEN 0 ELSE %1 + %2 - 1 END)").arg(hit, start);
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
      return QStringLiteral("upper(%1)").arg(text(0));
    case Function::LCase:
      return QStringLiteral("lower(%1)").arg(text(0));
    case Function::Space:
      return QStringLiteral("repeat(' ', (%1)::integer)").arg(number(0));
    case Function::String:
      if (IsNumeric(args[1]->type))
        return QStringLiteral("repeat(chr((%1)::integer), (%2)::integer)")
            .arg(number(1), number(0));
      return QStringLiteral("repeat(left(%1, 1), (%2)::integer)").arg(text(1), number(0));
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
        return QStringLiteral("regexp_replace(%1, %2, replace(%3, '\\', '\\\\'), 'gi')")
            .arg(text(0), TextLiteral(escaped), text(2));
      }
      return QStringLiteral("replace((%1)::text, %2, %3)").arg(text(0), text(1), text(2));
    }
    case Function::StrComp: {
      const QString a = folded(2, text(0)) + QStringLiteral(" COLLATE \"C\"");
      const QString b = folded(2, text(1)) + QStringLiteral(" COLLATE \"C\"");
      return QStringLiteral(
                 "(CASE WHEN %1 IS NULL OR %2 IS NULL THEN NULL WHEN %3 < %4 THEN -1 "
                 "WHEN %3 > %4 THEN 1 ELSE 0 END)")
          .arg(Value(*args[0]), Value(*args[1]), a, b);
    }
    case Function::Asc:
      return QStringLiteral("ascii(%1)").arg(text(0));
    case Function::Chr:
      return QStringLiteral("chr((%1)::integer)").arg(number(0));
    case Function::Abs:
      return QStringLiteral("abs(%1)").arg(number(0));
    case Function::Int:
      return QStringLiteral("floor(%1)").arg(number(0));
    case Function::Fix:
      return QStringLiteral("trunc(%1)").arg(number(0));
    case Function::Round: {
      int places = 0;
      if (args.size() > 1) {
        const auto p = IntegerLiteral(*args[1]);
        if (!p) Refuse(QStringLiteral("不是常數的 Round 小數位數"));
        places = *p;
      }
      return RoundHalfEvenSql(number(0), places);
    }
    case Function::Sgn:
      return QStringLiteral("sign(%1)::integer").arg(number(0));
    case Function::Sqr:
      return QStringLiteral("sqrt(%1)").arg(number(0));
    case Function::Format:
      return Format(e);
    default:
      return DateFunction(e, f.function);
  }
}

// Format with a constant pattern: a number pattern through to_char, a date pattern piece by piece.
QString PgGenerator::Format(const Expr& e) {
  const Expr& x = *e.args[0];
  if (e.args.size() < 2) return AsText(x);
  if (e.args[1]->kind != Expr::Kind::Text) Refuse(QStringLiteral("不是常數的 Format 樣式"));
  if (e.args.size() > 2) Refuse(QStringLiteral("Format 的一週第一天與第一週引數"));
  const QString pattern = e.args[1]->text;
  if (!IsDatePattern(pattern)) {
    const QString lower = pattern.toLower();
    const QString n = AsNumeric(x);
    if (lower == u"general number") return QStringLiteral("(%1)::text").arg(n);
    if (lower == u"yes/no")
      return QStringLiteral("(CASE WHEN (%1) <> 0 THEN '是' WHEN (%1) = 0 THEN '否' END)").arg(n);
    static const QHash<QString, QString> named = {
        {QStringLiteral("fixed"), QStringLiteral("0.00")},
        {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
        {QStringLiteral("percent"), QStringLiteral("0.00%")},
        {QStringLiteral("currency"), QStringLiteral("$#,##0.00;-$#,##0.00")},
    };
    return NumberFormatSql(n, named.value(lower, pattern));
  }
  // A date pattern: each token its own piece.
  QString p = pattern;
  const QString lower = pattern.toLower();
  if (lower == u"general date") return GeneralDateSql(AsDate(x));
  if (lower == u"long date") p = QStringLiteral("dddddd");
  if (lower == u"medium date") p = QStringLiteral("yyyy/mm/dd");
  if (lower == u"short date") p = QStringLiteral("ddddd");
  if (lower == u"long time") p = QStringLiteral("ttttt");
  if (lower == u"medium time") p = QStringLiteral("AMPM hh:nn");
  if (lower == u"short time") p = QStringLiteral("hh:nn");
  const QString d = AsDate(x);
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
  if (pieces.isEmpty()) return TextLiteral(QString());
  return QStringLiteral("(CASE WHEN %1 IS NULL THEN NULL ELSE %2 END)")
      .arg(d, pieces.join(QStringLiteral(" || ")));
}

}  // namespace tarvel::db::sql
