#include <gtest/gtest.h>

#include "common/DisplayWidth.h"
#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "platform/Error.h"
#include "support/CaseFile.h"

namespace tarvel {
namespace {

TEST(GroupedNumber, KeepsTheDecimalsTheValueHas) {
  for (const QStringList& c : test::ReadCases("grouped-number.txt")) {
    EXPECT_EQ(FormatGrouped(c[0]), c[1]) << c[0].toStdString();
    EXPECT_EQ(GroupedNumberFormat(c[0]), c[2]) << c[0].toStdString();
  }
}

TEST(ReamSheet, ReamsAndRemainingSheets) {
  struct Case {
    double sheets;
    const char* style;
    const char* expected;
  };
  const Case cases[] = {
      {1234, "Y", "2令 234張"},    {1000, "Y", "2令"},
      {234, "Y", " 234張"},        {0, "Y", ""},
      {-1234, "Y", "-2令 -234張"}, {499.5, "Y", "1令"},
      {499.4, "Y", " 499張"},      {-0.4, "Y", ""},
      {-500.5, "Y", "-1令 -1張"},  {500, "Y", "1令"},
      {501, "Y", "1令 1張"},       {2147483647, "Y", "4294967令 147張"},
      {1234, "", "2 令 234 張"},   {234, "", " 234 張"},
      {1234, "N", "2令 234張"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatReamSheet(c.sheets, QString::fromLatin1(c.style)),
              QString::fromUtf8(c.expected))
        << c.sheets << " '" << c.style << "'";
  }
}

TEST(ReamSheet, OverflowBeyondThe32BitRange) {
  for (const double sheets : {2147483647.5, -2147483648.5, 1e12, std::nan("")}) {
    try {
      FormatReamSheet(sheets, QStringLiteral("Y"));
      ADD_FAILURE() << sheets << " did not raise";
    } catch (const Error& error) {
      EXPECT_EQ(error.Description(), QStringLiteral("溢位")) << sheets;
    }
  }
  EXPECT_EQ(FormatReamSheet(-2147483648.0, QStringLiteral("Y")),
            QStringLiteral("-4294967令 -148張"));
}

TEST(DisplayWidth, CountsCodePage950Bytes) {
  struct Case {
    const char* text;
    int width;
  };
  const Case cases[] = {
      {"", 0},      {"abc 123", 7}, {"工單", 4}, {"ＡＢ", 4},  // full-width forms
      {"ㄅㄆ", 4},  {"€", 2},       {"é", 1},                  // not in the code page: "?"
      {"令a張", 5}, {"𠀀", 1},  // a surrogate pair is one character, not in the page
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DisplayWidth(QString::fromUtf8(c.text)), c.width) << c.text;
  }
}

TEST(DisplayWidth, LeftByBytesCutsAtTheLimit) {
  const QString eleven = QStringLiteral("一二三四五六七八九十百");
  const QString mixed = QStringLiteral("abcdefghi一二三四五六");
  struct Case {
    QString text;
    int limit;
    QString expected;
  };
  const Case cases[] = {
      {eleven, 20, eleven.left(10)},
      {mixed, 20, mixed.left(14)},  // 9 + 5×2 = 19; the next would make 21
      {QStringLiteral("abcdefghij一二三四五"), 20, QStringLiteral("abcdefghij一二三四五")},
      {QStringLiteral("abcdefghijk一二三四五"), 20, QStringLiteral("abcdefghijk一二三四")},
      {QStringLiteral("short"), 20, QStringLiteral("short")},
      {QString(), 20, QString()},
      {QStringLiteral("一"), 1, QString()},  // the first character already passes the limit
      {QStringLiteral("a一"), 2, QStringLiteral("a")},
      {QStringLiteral("abc"), 0, QString()},
      {QStringLiteral("𠀀𠀀x"), 2, QStringLiteral("𠀀𠀀")},  // pairs are never split
  };
  for (const Case& c : cases) {
    const QString result = LeftByBytes(c.text, c.limit);
    EXPECT_EQ(result, c.expected) << c.text.toStdString() << " limit " << c.limit;
    EXPECT_LE(DisplayWidth(result), std::max(c.limit, 0));
  }
}

}  // namespace
}  // namespace tarvel
