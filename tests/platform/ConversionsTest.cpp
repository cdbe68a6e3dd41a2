#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel {
namespace {

TEST(Conversions, ValReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"12abc", 12},
      {" 1 2.5", 12.5},
      {"1,234", 1},
      {"-3.5e2", -350},
      {"&H1F", 31},
      {"&h1f", 31},
      {"&O17", 15},
      {"&HFFFF", -1},
      {"&H10000", 65536},
      {"&HFFFFFFFF", -1},
      {"&H", 0},
      {"&Hxyz", 0},
      {"", 0},
      {"abc", 0},
      {"1.2.3", 1.2},
      {"  -  4\t2", -42},
      {"+7", 7},
      {"--3", 0},
      {".5", 0.5},
      {".", 0},
      {"1e", 1},
      {"1e+", 1},
      {"2E3x", 2000},
      {"2D2", 200},
      {"1 e 2", 100},
      {"1e-400", 0},
      {"0900512", 900512},
      {"1151204 ", 1151204},
      {"１２", 0},  // full-width digits are not read
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.text)), c.expected) << c.text;
  }
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
// of the double range, around the switch to scientific form, and over random bit patterns.
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
  }
  EXPECT_EQ(Val(NumberText(Limits::max())), Limits::max());
}

TEST(Conversions, IsNumericAcceptsOnlyWholeNumbers) {
  struct Case {
    const char* text;
    bool numeric;
    double value;  // NumericValue when numeric
  };
  const Case cases[] = {
      {"12", true, 12},
      {"  12  ", true, 12},
      {"\t-12\n", true, -12},
      {"+1.5", true, 1.5},
      {"- 3", true, -3},
      {"1,234", true, 1234},
      {"1,234,567.125", true, 1234567.125},
      {"1,2", true, 12},
      {"-1.5E+3", true, -1500},
      {"2e-2", true, 0.02},
      {"1.", true, 1},
      {".5", true, 0.5},
      {"0900512", true, 900512},
      {"", false, 0},
      {"   ", false, 0},
      {".", false, 0},
      {"-", false, 0},
      {"1e", false, 0},
      {"1e+", false, 0},
      {"e5", false, 0},
      {"abc", false, 0},
      {"12abc", false, 0},
      {"1.2.3", false, 0},
      {",1", false, 0},
      {"1,", false, 0},
      {"1,.5", false, 0},
      {"1 2", false, 0},
      {"--1", false, 0},
      {"&H1F", false, 0},
      {"1e400", false, 0},
  };
  for (const Case& c : cases) {
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(IsNumeric(text), c.numeric) << c.text;
    EXPECT_DOUBLE_EQ(NumericValue(text), c.value) << c.text;
  }
}

TEST(Conversions, NumberTextKeepsFifteenSignificantDigits) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {1234.5, "1234.5"},
      {0.1, "0.1"},
      {-0.0, "0"},
      {0.0, "0"},
      {-2.5, "-2.5"},
      {1e15, "1E+15"},
      {1e16, "1E+16"},
      {999999999999999.0, "999999999999999"},
      {999999999999999.9, "1E+15"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E+15"},
      {1.5e20, "1.5E+20"},
      {1e100, "1E+100"},
      {1e-5, "1E-05"},
      {-1.25e-7, "-1.25E-07"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {0.1 + 0.2, "0.3"},
      {100, "100"},
      {-1234567.125, "-1234567.125"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumberText(c.value), QString::fromLatin1(c.expected)) << c.expected;
  }
}

TEST(Conversions, FormatWithDigitPatterns) {
  struct Case {
    const char* text;
    const char* pattern;
    const char* expected;
  };
  const Case cases[] = {
      // ROC dates through slashed and zero-padded patterns
      {"0900512", "###/##/##", "90/05/12"},
      {"1151204", "###/##/##", "115/12/04"},
      {"0512", "00/00", "05/12"},
      {"1204", "00/00", "12/04"},
      {"990105", "0000000", "0990105"},
      {"12345678", "0000000", "12345678"},  // surplus digits before the leftmost placeholder
      {"512", "###/##/##", "/5/12"},        // literals are written even without digits
      // rounding half away from zero
      {"2.5", "0", "3"},
      {"-2.5", "0", "-3"},
      {"-0.4", "0", "0"},
      {"-0.004", "0.00", "0.00"},
      {"0.5", "#", "1"},
      {"0.4", "#", ""},
      {"12.345", "0.00", "12.35"},
      {"1.005", "0.00", "1.01"},
      {"2.675", "0.00", "2.68"},
      {"9.995", "0.00", "10.00"},
      {"999.5", "#,##0", "1,000"},
      // grouping
      {"-1234567.125", "###,###,##0.000", "-1,234,567.125"},
      {"1234567890", "###,###,##0", "1,234,567,890"},
      {"1234", "#,##0", "1,234"},
      {"0", "#,##0", "0"},
      {"123", "#,##0", "123"},
      {"5", "000,000", "000,005"},
      {"1,234.5", "###,###,##0.0", "1,234.5"},
      {"1234", "0,", "1234,"},  // a trailing comma is a literal
      // fraction placeholders
      {"1.5", "0.0#", "1.5"},
      {"1.25", "0.0#", "1.25"},
      {"5", "#.##", "5."},
      {"0.5", ".00", ".50"},
      {"1.5", ".00", "1.50"},
      {"1234.5", "", "1234.5"},
      // texts that are not numbers pass through
      {"abc", "0.00", "abc"},
      {"", "###/##/##", ""},
      {"12abc", "0", "12abc"},
      {"  ", "0", "  "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(QString::fromLatin1(c.text), QString::fromLatin1(c.pattern)),
              QString::fromLatin1(c.expected))
        << '"' << c.text << "\" with \"" << c.pattern << '"';
  }
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
