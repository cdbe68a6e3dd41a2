#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/DisplayWidth.h"
#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "platform/Conversions.h"
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

// An export picks each number's format from the number, and a report groups a number's digits
// without writing it out first: both must be those of the number's text, whose decimals are the
// digits after the point of its plain form (1.5E+20 has none, 1E-05 five).
TEST(GroupedNumber, TheFormatOfANumberIsThatOfItsText) {
  const auto ofText = [](double value) {
    const QString text = NumberText(value);
    const qsizetype e = text.indexOf(u'E');
    const QString mantissa = e < 0 ? text : text.left(e);
    const qsizetype point = mantissa.indexOf(u'.');
    const int decimals = (point < 0 ? 0 : static_cast<int>(mantissa.size() - point - 1)) -
                         (e < 0 ? 0 : text.mid(e + 1).toInt());
    return decimals > 0 ? QStringLiteral("#,##0.") + QString(decimals, u'0')
                        : QStringLiteral("#,##0");
  };
  std::vector<double> values = {0,
                                -0.0,
                                1234,
                                12.5,
                                0.1 + 0.2,
                                1e15,
                                1e15 + 0.5,
                                1.5e20,
                                1e-05,
                                -7.25,
                                1.005,
                                2.9999999999999996,
                                999999999999999.9,
                                123456789012345.0,
                                1e-300,
                                1e300};
  quint32 seed = 2718;
  const auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < 5000; ++i) {
    const double mantissa = static_cast<double>(next() % 10000000) - 5000000;
    const int exponent = static_cast<int>(next() % 17) - 8;
    values.push_back(mantissa * std::pow(10.0, exponent));
    values.push_back(mantissa / static_cast<double>(next() % 997 + 1));
  }
  for (const double value : values) {
    ASSERT_EQ(GroupedNumberFormatOf(value), ofText(value)) << value;
    // A report's amounts: the same decimals, grouped.
    const qsizetype point = ofText(value).indexOf(u'.');
    ASSERT_EQ(FormatGroupedNumber(value),
              FormatGroupedDecimals(value, point < 0 ? 0 : ofText(value).size() - point - 1))
        << value;
  }
  EXPECT_EQ(GroupedNumberFormatOf(std::nan("")), QStringLiteral("NaN"));
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
