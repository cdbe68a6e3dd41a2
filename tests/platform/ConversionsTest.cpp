#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "support/CaseFile.h"

namespace tarvel {
namespace {

TEST(Conversions, ValReadsTheLeadingNumber) {
  for (const QStringList& c : test::ReadCases("val.txt"))
    EXPECT_DOUBLE_EQ(Val(c[0]), c[1].toDouble()) << c[0].toStdString();
}

TEST(Conversions, ValRaisesOverflowBeyondTheRange) {
  // Just past the largest double's own text (1.79769313486232E+308) is the overflow again.
  for (const char* text : {"1e400", "-1e309", "&H100000000", "1.79769313486233E+308",
                           "1.797693134862320001E+308", "-1.8e308", "17976931348623201e292"}) {
    try {
      Val(QString::fromLatin1(text));
      ADD_FAILURE() << text << " did not raise";
    } catch (const Error& error) {
      EXPECT_EQ(error.Description(), QStringLiteral("溢位")) << text;
    }
  }
}

// NumberText rounds the largest double up past the range; that text still reads as a number.
TEST(Conversions, TheLargestDoubleTextReadsAsTheLargestDouble) {
  constexpr double kMax = std::numeric_limits<double>::max();
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1.79769313486232E+308", kMax},
      {"-1.79769313486232E+308", -kMax},
      {" 1.7976931348623200000e308 ", kMax},
      {"179769313486232e294", kMax},
      {"0.000179769313486232E+312", kMax},
      {"1.7976931348623158e308", kMax},                  // past the largest double, below its text
      {"1.797693134862315e308", 1.797693134862315e308},  // in range: read as usual
  };
  for (const auto& c : cases) {
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(Val(text), c.value) << c.text;
    EXPECT_TRUE(IsNumeric(text)) << c.text;
    EXPECT_EQ(NumericValue(text), c.value) << c.text;
  }
  EXPECT_FALSE(IsNumeric(QStringLiteral("1.79769313486233E+308")));
  EXPECT_EQ(NumericValue(QStringLiteral("1.79769313486233E+308")), 0);
}

// A number's own text is numeric and reads back to the same 15 significant digits: at the ends
// of the double range, around the switch to scientific form, and over random bit patterns; its
// grouped form is the one FormatNumber gives.
TEST(Conversions, NumberTextReadsBack) {
  using Limits = std::numeric_limits<double>;
  std::vector<double> values = {Limits::max(),
                                -Limits::max(),
                                Limits::min(),
                                -Limits::min(),
                                Limits::denorm_min(),
                                -Limits::denorm_min(),
                                3 * Limits::denorm_min(),
                                1e308,
                                1.7976931348623e308,
                                1.797693134862315e308,
                                0.1,
                                1.0 / 3.0,
                                -2.0 / 3.0,
                                1e15,
                                999999999999999.9,
                                999999999999999.4,
                                1e-4,
                                9.99999999999999e-5,
                                0.000099999999999999999,
                                123456789012345678.0,
                                -1234567.125,
                                5e-324,
                                2.2250738585072009e-308,
                                4503599627370495.5};
  std::mt19937_64 random(20240229);
  while (values.size() < 4000) {
    const double value = std::bit_cast<double>(random());
    if (std::isfinite(value)) values.push_back(value);
  }
  for (const double value : values) {
    const QString text = NumberText(value);
    ASSERT_TRUE(IsNumeric(text)) << text.toStdString();
    const double back = Val(text);
    EXPECT_EQ(NumberText(back), text);
    EXPECT_EQ(NumericValue(text), back) << text.toStdString();
    EXPECT_LE(std::fabs(back - value), 6e-15 * std::fabs(value)) << text.toStdString();
    // The grouped form made straight from the digits is the pattern's.
    for (const int decimals : {0, 2, 7})
      EXPECT_EQ(FormatGroupedDecimals(value, decimals),
                FormatNumber(value, decimals == 0 ? QStringLiteral("###,###,##0")
                                                  : "###,###,##0." + QString(decimals, u'0')))
          << text.toStdString();
  }
  EXPECT_EQ(Val(NumberText(Limits::max())), Limits::max());
}

TEST(Conversions, IsNumericAcceptsOnlyWholeNumbers) {
  for (const QStringList& c : test::ReadCases("is-numeric.txt")) {
    EXPECT_EQ(IsNumeric(c[0]), c[1] == "1") << c[0].toStdString();
    EXPECT_DOUBLE_EQ(NumericValue(c[0]), c[2].toDouble()) << c[0].toStdString();
  }
}

TEST(Conversions, NumberTextKeepsFifteenSignificantDigits) {
  for (const QStringList& c : test::ReadCases("number-text.txt"))
    EXPECT_EQ(NumberText(c[0].toDouble()), c[1]) << c[0].toStdString();
}

TEST(Conversions, FormatWithDigitPatterns) {
  for (const QStringList& c : test::ReadCases("format.txt"))
    EXPECT_EQ(Format(c[0], c[1]), c[2])
        << '"' << c[0].toStdString() << "\" with \"" << c[1].toStdString() << '"';
}

TEST(Conversions, FormatNumberOfDoubles) {
  EXPECT_EQ(FormatNumber(1234, "#,##0"), "1,234");
  EXPECT_EQ(FormatNumber(-0.0, "0.00"), "0.00");
  EXPECT_EQ(FormatNumber(1e20, "#,##0"), "100,000,000,000,000,000,000");
  EXPECT_EQ(FormatNumber(0.1 + 0.2, "0.0000000000000000"), "0.3000000000000000");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), "0"), "Infinity");
  // 1/3 × 100 as the margin layouts compute it
  EXPECT_EQ(FormatNumber(100.0 / 3.0, "0"), "33");
  EXPECT_EQ(FormatNumber(-200.0 / 3.0, "0"), "-67");
}

}  // namespace
}  // namespace tarvel
