// Access's functions at the edges of what they take, its Like patterns, Jet's General sort order
// and the texts the parser refuses.
#include <gtest/gtest.h>

#include <algorithm>

#include "db/DbError.h"
#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessLike.h"
#include "db/sql/Parser.h"
#include "db/sql/Translate.h"

namespace tarvel::db::sql {
namespace {

Variant N(double v) {
  return Variant::Of(v, v == static_cast<qint64>(v));
}
Variant T(const char* text) {
  return Variant::OfText(QString::fromUtf8(text));
}
Variant D(const char* literal) {
  return Variant::OfDate(*OleFromStored(DateLiteralValue(QString::fromUtf8(literal))));
}

// The result as the engines hand it on: a date in its stored form, NULL as "NULL", an error as
// "#Error".
QString Show(const Variant& v) {
  switch (v.kind) {
    case Variant::Kind::Null:
      return QStringLiteral("NULL");
    case Variant::Kind::Date:
      return StoredFromOle(v.number);
    default:
      return ToText(v);
  }
}

QString Call(Function f, std::vector<Variant> args) {
  try {
    return Show(Evaluate(f, args));
  } catch (const AccessError&) {
    return QStringLiteral("#Error");
  }
}

struct Case {
  Function f;
  std::vector<Variant> args;
  const char* result;
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    QStringList args;
    for (const Variant& a : c.args)
      args << Show(a);
    EXPECT_EQ(Call(c.f, c.args), QString::fromUtf8(c.result))
        << "function " << static_cast<int>(c.f) << "(" << args.join(u", ").toStdString() << ")";
  }
}

TEST(AccessFunctions, TextPositionsCountFromOneAndNullGivesNull) {
  Check({
      {Function::Mid, {T("abc"), N(0)}, "#Error"},
      {Function::Mid, {T("abc"), N(2), N(0)}, ""},
      {Function::Mid, {T("abc"), N(2), N(-1)}, "#Error"},
      {Function::Mid, {Variant::Null(), N(1)}, "NULL"},
      {Function::Mid, {T("中文字"), N(2), N(1)}, "文"},
      {Function::Left, {T("abc"), N(-1)}, "#Error"},
      {Function::Right, {T("abc"), N(5)}, "abc"},
      {Function::Len, {N(123)}, "3"},
      {Function::Len, {Variant::Null()}, "NULL"},
      {Function::InStr, {T("abc"), T("")}, "1"},
      {Function::InStr, {N(5), T("abc"), T("a")}, "0"},
      {Function::InStr, {N(0), T("abc"), T("a")}, "#Error"},
      {Function::InStr, {N(1), T("aBc"), T("b"), N(0)}, "0"},  // a binary comparison
      {Function::InStr, {T("aBc"), T("b"), N(0)}, "#Error"},   // three: the first is a start
      {Function::InStr, {Variant::Null(), T("a")}, "NULL"},
      {Function::InStrRev, {T("abcabc"), T("c"), N(4)}, "3"},
      {Function::InStrRev, {T("abc"), T(""), N(2)}, "2"},
      {Function::Replace, {T("aXbxc"), T("x"), T("-")}, "aXb-c"},
      {Function::Replace, {T("aXbxc"), T("x"), T("-"), N(1), N(-1), N(1)}, "a-b-c"},
      {Function::Replace, {T("aXbxc"), T("x"), T("-"), N(3)}, "b-c"},
      {Function::Replace, {T("axbxc"), T("x"), T("-"), N(1), N(1)}, "a-bxc"},
      {Function::StrComp, {T("abc"), T("ABC")}, "0"},
      {Function::StrComp, {T("abc"), T("ABC"), N(0)}, "1"},
      {Function::Trim, {T(" \ta ")}, "\ta"},
      {Function::String, {N(2), N(65)}, "AA"},
      {Function::Asc, {T("")}, "#Error"},
      {Function::Chr, {N(20013)}, "中"},
  });
}

TEST(AccessFunctions, NumbersRoundHalfToEvenAndConversionsOverflow) {
  Check({
      {Function::Round, {N(0.125), N(2)}, "0.12"},
      {Function::Round, {N(0.135), N(2)}, "0.14"},
      {Function::Round, {N(1.005), N(2)}, "1"},
      {Function::Round, {N(-0.5)}, "0"},
      {Function::Round, {N(1), N(-1)}, "#Error"},
      {Function::CInt, {N(32767.5)}, "#Error"},
      {Function::CInt, {N(-32768.4)}, "-32768"},
      {Function::CInt, {T("abc")}, "#Error"},
      {Function::CLng, {T("1,234")}, "1234"},
      {Function::CCur, {N(0.00005)}, "0"},
      {Function::CCur, {N(0.00015)}, "0.0002"},
      {Function::CSng, {N(1.0 / 3)}, "0.3333333"},
      {Function::Val, {T("&H10")}, "16"},
      {Function::Val, {T("1e3x")}, "1000"},
      {Function::Str, {N(-3)}, "-3"},
      {Function::Int, {N(-0.5)}, "-1"},
      {Function::Fix, {N(-0.5)}, "0"},
      {Function::Sqr, {N(-1)}, "#Error"},
      {Function::IsNumeric, {Variant::Null()}, "0"},
      {Function::IsDate, {T("2/30/2000")}, "0"},
      {Function::CBool, {T("False")}, "0"},
      {Function::CDate, {T("1997年1月2日 下午 3:04")}, "1997-01-02 15:04:00"},
  });
  EXPECT_EQ(Show(Apply(Operator::IntDivide, {N(7), N(0)})), QStringLiteral("NULL"));
  EXPECT_EQ(Show(Apply(Operator::Mod, {N(-7.5), N(2)})), QStringLiteral("0"));
  EXPECT_EQ(Show(Apply(Operator::Concat, {Variant::Null(), Variant::Null()})),
            QStringLiteral("NULL"));
  EXPECT_EQ(Show(Apply(Operator::Add, {D("1/31/2000"), N(1.5)})),
            QStringLiteral("2000-02-01 12:00:00"));
  EXPECT_EQ(Show(Apply(Operator::Subtract, {D("3/1/2000"), D("2/1/2000")})), QStringLiteral("29"));
}

TEST(AccessFunctions, DatesAddMonthsToMonthEndsAndCountBoundaries) {
  Check({
      {Function::DateAdd, {T("m"), N(1), D("1/31/2000")}, "2000-02-29 00:00:00"},
      {Function::DateAdd, {T("m"), N(-1), D("3/31/1999")}, "1999-02-28 00:00:00"},
      {Function::DateAdd, {T("q"), N(1), D("11/30/1999")}, "2000-02-29 00:00:00"},
      {Function::DateAdd, {T("yyyy"), N(1), D("2/29/2000")}, "2001-02-28 00:00:00"},
      {Function::DateAdd, {T("n"), N(-90), D("1/1/2000")}, "1999-12-31 22:30:00"},
      {Function::DateAdd, {T("d"), N(1), D("12/31/9999")}, "#Error"},
      {Function::DateAdd, {T("x"), N(1), D("1/1/2000")}, "#Error"},
      {Function::DatePart, {T("ww"), D("1/1/2000")}, "1"},
      {Function::DatePart, {T("ww"), D("1/1/2005"), N(2), N(2)}, "53"},
      {Function::DatePart, {T("ww"), D("12/31/2000"), N(1), N(3)}, "53"},
      {Function::DatePart, {T("q"), D("5/15/2000")}, "2"},
      {Function::DatePart, {T("w"), D("1/2/2000"), N(2)}, "7"},
      {Function::DatePart, {T("h"), D("1/2/2000 13:14:15")}, "13"},
      {Function::DateDiff, {T("yyyy"), D("12/31/1999"), D("1/1/2000")}, "1"},
      {Function::DateDiff, {T("m"), D("1/31/2000"), D("2/1/2000")}, "1"},
      {Function::DateDiff, {T("d"), D("1/1/2000 23:00"), D("1/2/2000 01:00")}, "1"},
      {Function::DateDiff, {T("d"), D("1/2/2000"), D("1/1/2000")}, "-1"},
      {Function::DateDiff, {T("ww"), D("1/1/2000"), D("1/9/2000")}, "2"},
      {Function::DateDiff, {T("w"), D("1/1/2000"), D("1/9/2000")}, "1"},
      {Function::DateDiff, {T("n"), D("1/1/2000 10:59:59"), D("1/1/2000 11:00:00")}, "1"},
      {Function::DateSerial, {N(2000), N(2), N(30)}, "2000-03-01 00:00:00"},
      {Function::DateSerial, {N(2000), N(0), N(1)}, "1999-12-01 00:00:00"},
      {Function::DateSerial, {N(29), N(1), N(1)}, "2029-01-01 00:00:00"},
      {Function::DateSerial, {N(30), N(1), N(1)}, "1930-01-01 00:00:00"},
      {Function::DateValue, {T("1/2/1997 10:00")}, "1997-01-02 00:00:00"},
      {Function::MonthName, {N(13)}, "#Error"},
      {Function::Weekday, {D("1/2/1997"), N(8)}, "#Error"},
  });
}

TEST(AccessFunctions, FormatDatesNumbersAndNamedFormats) {
  Check({
      {Function::Format, {D("1/2/1997 15:04:05"), T("hh:nn:ss AM/PM")}, "03:04:05 PM"},
      {Function::Format, {D("1/2/1997 15:04:05"), T("h:m")}, "15:4"},
      {Function::Format, {D("1/2/1997"), T("dddd mmm")}, "星期四 一月"},
      {Function::Format, {D("1/2/1997"), T("m/d/yy")}, "1/2/97"},
      {Function::Format, {D("1/2/1997"), T("\"Day\" y")}, "Day 2"},
      {Function::Format, {D("1/2/1997 09:05:00"), T("Long Time")}, "上午 09:05:00"},
      {Function::Format, {T("1997-01-02"), T("yyyy")}, "1997"},
      {Function::Format, {N(5), T("Yes/No")}, "是"},
      {Function::Format, {Variant::Null(), T("0")}, "NULL"},
      {Function::Format, {Variant::Null(), T("0;0;0;\"none\"")}, "none"},
      {Function::Format, {T("abc"), T("0.00")}, "abc"},
      {Function::Format, {N(12345.678), T("0.00E+00")}, "1.23E+04"},
      {Function::Format, {N(0.000123), T("0.0E-0")}, "1.2E-4"},
      {Function::Format, {N(0), T("0;(0);\"zero\"")}, "zero"},
      {Function::Format, {N(-1234.5), T("Standard")}, "-1,234.50"},
      {Function::Format, {N(0.5), T("Percent")}, "50.00%"},
      {Function::Format, {T("0900512"), T("###/##/##")}, "90/05/12"},
  });
}

TEST(AccessLike, PatternsMatchAndBecomeTheEnginesOwn) {
  const struct {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {
      {"ABC", "a*", true},  {"a1", "a#", true},     {"ab", "a#", false}, {"b", "[!a]", true},
      {"*", "[*]", true},   {"x", "[a-c]", false},  {"", "*", true},     {"abc", "a?c", true},
      {"ac", "a?c", false}, {"aXbXc", "a*c", true}, {"[", "[", true},    {"Ä", "ä", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchAccessPattern(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.match)
        << c.text << " Like " << c.pattern;
  }
  EXPECT_EQ(AccessPatternAsLike(QStringLiteral("50[%]*_?")), QStringLiteral("50\\%%\\__"));
  EXPECT_EQ(AccessPatternAsLike(QStringLiteral("a#")), std::nullopt);
  EXPECT_EQ(AccessPatternAsRegex(QStringLiteral("a.#[!x-z]*")),
            QStringLiteral("^a\\.[0-9][^x-z].*$"));
}

TEST(AccessValues, GeneralSortOrderPutsCaseAndPunctuationSecond) {
  QStringList words{"Coz", "côte", "coop", "cote", "co-op", "Cob", "cod"};
  std::sort(words.begin(), words.end(),
            [](const QString& a, const QString& b) { return CompareGeneral(a, b) < 0; });
  EXPECT_EQ(words, QStringList({"Cob", "cod", "co-op", "coop", "cote", "côte", "Coz"}));
  EXPECT_EQ(CompareGeneral(u"ABC", u"abc"), 0);     // equal as NOCASE finds them
  EXPECT_NE(CompareGeneral(u"co-op", u"coop"), 0);  // but not the same text
}

TEST(AccessSqlParser, RefusesWhatIsNoSingleAccessStatementNamingThePlace) {
  const struct {
    const char* sql;
    const char* says;
  } cases[] = {
      {"SELECT * FROM T; DROP TABLE T", "第 18 個字元"},
      {"SELECT 'open FROM T", "文字常數沒有結束"},
      {"SELECT [open FROM T", "名稱的 [ 沒有結束"},
      {"SELECT #13/45/2000# FROM T", "不是日期"},
      {"SELECT * INTO X FROM T", "INTO"},
      {"SELECT a FROM T /* open", "註解沒有結束"},
      {"SELECT Mid('a') FROM T", "Mid 需要 2 到 3 個引數"},
      {"SELECT Switch(1, 2, 3) FROM T", "Switch"},
      {"SELECT 10x FROM T", "數字後面"},
      {"SELECT TOP 0 * FROM T", "TOP"},
      {"SELECT a FROM T WHERE Sum(a) > 1", "HAVING"},
      {"TRANSFORM Sum(a) SELECT b FROM T GROUP BY b PIVOT c UNION SELECT 1", "UNION"},
  };
  for (const auto& c : cases) {
    try {
      Translate(QString::fromUtf8(c.sql), Engine::Sqlite, nullptr);
      ADD_FAILURE() << "accepted: " << c.sql;
    } catch (const DbError& e) {
      EXPECT_TRUE(e.Description().contains(QString::fromUtf8(c.says)))
          << c.sql << ": " << e.Description().toStdString();
      EXPECT_EQ(e.Statement(), QString::fromUtf8(c.sql));
    }
  }
  EXPECT_EQ(DateLiteralValue(QStringLiteral("1/2/29")), QStringLiteral("2029-01-02 00:00:00"));
  EXPECT_EQ(DateLiteralValue(QStringLiteral("1/2/30")), QStringLiteral("1930-01-02 00:00:00"));
  EXPECT_EQ(DateLiteralValue(QStringLiteral("12:30 AM")), QStringLiteral("1899-12-30 00:30:00"));
}

}  // namespace
}  // namespace tarvel::db::sql
