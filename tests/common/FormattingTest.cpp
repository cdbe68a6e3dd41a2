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
  for (const QStringList& c : test::ReadCases(QStringLiteral("ream-sheet.txt"))) {
    EXPECT_EQ(FormatReamSheet(c[0].toDouble(), c[1]), c[2])
        << c[0].toStdString() << " '" << c[1].toStdString() << "'";
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
  for (const QStringList& c : test::ReadCases(QStringLiteral("display-width.txt")))
    EXPECT_EQ(DisplayWidth(c[0]), c[1].toInt()) << c[0].toStdString();
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
