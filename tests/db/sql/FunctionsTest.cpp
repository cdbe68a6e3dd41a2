// Access's functions at the edges of what they take, its Like patterns, Jet's General sort order
// and the texts the parser refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessLike.h"
#include "db/sql/Parser.h"
#include "db/sql/SqlError.h"
#include "db/sql/Translate.h"
#include "support/CaseFile.h"

namespace tarvel::db::sql {
namespace {

Variant N(double v) {
  return Variant::Of(v, v == static_cast<qint64>(v));
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

/// The literal `e` as Access hands it to a function: a number (whole or not), a text, a date, Null.
Variant LiteralValue(const Expr& e) {
  switch (e.kind) {
    case Expr::Kind::Null:
      return Variant::Null();
    case Expr::Kind::Text:
      return Variant::OfText(e.text);
    case Expr::Kind::Date:
      return Variant::OfDate(*OleFromStored(e.text));
    case Expr::Kind::Unary:
      return N(-LiteralValue(*e.args[0]).number);
    default:
      return N(e.number);
  }
}

TEST(AccessFunctions, EveryCallOfTheTableGivesItsResult) {
  for (const QStringList& c : tarvel::test::ReadCases("access-functions.txt")) {
    SCOPED_TRACE(c[0].toStdString());
    const Statement statement = Parse(QStringLiteral("SELECT ") + c[0]);
    const Expr& call = *statement.query->members.at(0)->items.at(0).expr;
    const FunctionInfo* function = FindFunction(call.text);
    ASSERT_NE(function, nullptr);
    std::vector<Variant> args;
    for (const ExprPtr& arg : call.args)
      args.push_back(LiteralValue(*arg));
    EXPECT_EQ(Call(function->function, args), c[1]);
  }
}

TEST(AccessFunctions, OperatorsPropagateNullAndCalculateWithDates) {
  EXPECT_EQ(Show(Apply(Operator::IntDivide, {N(7), N(0)})), QStringLiteral("NULL"));
  EXPECT_EQ(Show(Apply(Operator::Mod, {N(-7.5), N(2)})), QStringLiteral("0"));
  EXPECT_EQ(Show(Apply(Operator::Concat, {Variant::Null(), Variant::Null()})),
            QStringLiteral("NULL"));
  EXPECT_EQ(Show(Apply(Operator::Add, {D("1/31/2000"), N(1.5)})),
            QStringLiteral("2000-02-01 12:00:00"));
  EXPECT_EQ(Show(Apply(Operator::Subtract, {D("3/1/2000"), D("2/1/2000")})), QStringLiteral("29"));
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

// Jet's orders, pair by pair from tests/data/jet-order.txt; each pair the other way round, the
// total order agreeing with them, and the equality key sharing their equality.
TEST(JetOrder, EveryPairOfTheTable) {
  const std::vector<QStringList> pairs = test::ReadCases(QStringLiteral("jet-order.txt"));
  ASSERT_GT(pairs.size(), 20u);
  for (const QStringList& pair : pairs) {
    ASSERT_EQ(pair.size(), 4) << pair.join(u'|').toStdString();
    const SortOrder order =
        pair[0] == u"stroke" ? SortOrder::TraditionalChineseStroke : SortOrder::General;
    const QString a = pair[1], b = pair[3];
    const bool equal = pair[2] == u"=";
    SCOPED_TRACE(pair.join(u'|').toStdString());
    EXPECT_EQ(CompareJet(order, a, b), equal ? 0 : -1);
    EXPECT_EQ(CompareJet(order, b, a), equal ? 0 : 1);
    EXPECT_EQ(JetEqualityKey(order, a) == JetEqualityKey(order, b), equal);
    EXPECT_EQ(CompareJetTotal(order, a, b) < 0, !equal || a < b);
  }
}

/// 3,000 pairs of texts of up to eight characters drawn from `letters`, the same in every run;
/// every other pair starts alike (as codes sorted next to each other do) and differs after.
std::vector<std::pair<QString, QString>> RandomTextPairs(const QString& letters, quint32 seed) {
  const auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  const auto text = [&](QString start) {
    for (int i = 0, n = static_cast<int>(next() % 5); i < n; ++i)
      start += letters[next() % letters.size()];
    return start;
  };
  std::vector<std::pair<QString, QString>> pairs;
  for (int round = 0; round < 3000; ++round) {
    const QString a = text({});
    const QString shared = round % 2 ? a.left(static_cast<qsizetype>(next() % 5)) : QString();
    QString first = text(a);  // in order: the generator's sequence is the pairs
    QString second = text(shared);
    pairs.emplace_back(std::move(first), std::move(second));
  }
  return pairs;
}

// Codes and numbers, hyphens and apostrophes among them, take a path without ICU: it must order
// as ICU does.
TEST(JetOrder, TheFastPathOrdersAsTheCollator) {
  for (const auto& [a, b] : RandomTextPairs(QStringLiteral("0129aAbBmMzZ-'"), 12345)) {
    // A space forces ICU's path; it sorts first, so appending it keeps the order of a and b.
    const int fast = CompareJet(SortOrder::General, a, b);
    const int icu = CompareJet(SortOrder::General, a + u' ', b + u' ');
    ASSERT_EQ(fast, icu) << a.toStdString() << " / " << b.toStdString();
  }
}

// SQLite hands the collations UTF-8: read as it is, it must order as the same texts in UTF-16,
// whether the fast path takes them or not.
TEST(JetOrder, Utf8TextsOrderAsTheirUtf16) {
  const auto sign = [](int x) { return (x > 0) - (x < 0); };
  for (const auto& [a, b] : RandomTextPairs(QStringLiteral("09aAzZ-'é中 "), 54321)) {
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    for (const SortOrder order : {SortOrder::General, SortOrder::TraditionalChineseStroke}) {
      ASSERT_EQ(sign(CompareJetUtf8(order, false, x.toStdString(), y.toStdString())),
                sign(CompareJet(order, a, b)))
          << a.toStdString() << " / " << b.toStdString();
      ASSERT_EQ(sign(CompareJetUtf8(order, true, x.toStdString(), y.toStdString())),
                sign(CompareJetTotal(order, a, b)))
          << a.toStdString() << " / " << b.toStdString();
    }
  }
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
      {"SELECT a FROM T /* no comment", "第 17 個字元"},
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
    } catch (const SqlError& e) {
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
