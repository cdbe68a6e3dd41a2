#include <gtest/gtest.h>

#include <cmath>

#include "excel/workbook/TypedText.h"

namespace tarvel::excel {
namespace {

TEST(TypedText, NumbersBecomeNumbersWithTheFormatTypingGives) {
  struct Case {
    const char* text;
    double value;
    const char* format;
  };
  const Case cases[] = {
      {"123", 123, ""},
      {"00123", 123, ""},  // leading zeros are lost, as in Excel
      {" 12 ", 12, ""},
      {"-1.5", -1.5, ""},
      {"+7", 7, ""},
      {".5", 0.5, ""},
      {"5.", 5, ""},
      {"(123)", -123, ""},
      {"1,234", 1234, "#,##0"},
      {"12,345,678", 12345678, "#,##0"},
      {"-1,234.5", -1234.5, "#,##0.00"},
      {"1E3", 1000, "0.00E+00"},
      {"2.5e-2", 0.025, "0.00E+00"},
      {"12%", 0.12, "0%"},
      {"12.5%", 0.125, "0.00%"},
      {"-0", 0, ""},
      {"1234567890123456789", 1234567890123450000.0, ""},  // 15 significant digits kept
      {"0.000123456789012345678", 0.000123456789012345, ""},
  };
  for (const Case& c : cases) {
    const TypedEntry entry = TypedTextValue(QString::fromUtf8(c.text));
    ASSERT_EQ(entry.value.type, CellValue::Type::kNumber) << c.text;
    EXPECT_DOUBLE_EQ(entry.value.number, c.value) << c.text;
    EXPECT_FALSE(std::signbit(entry.value.number) && entry.value.number == 0) << c.text;
    EXPECT_EQ(entry.numberFormat, QString::fromUtf8(c.format)) << c.text;
  }
}

TEST(TypedText, EverythingElseStaysTheTextAsGiven) {
  for (const char* text :
       {"abc",  "Y",    "N",  "12abc", "1,23",    "1234,567",  ",123", "1,234,56", "1.2.3",
        "--1",  "(-1)", "1E", "1E3%",  "1,000E3", "115/12/04", "1:30", "$12",      "１２３",
        "TRUE", "=A1",  " ",  "(",     "()",      "1E999",     "+",    "."}) {
    const QString given = QString::fromUtf8(text);
    const TypedEntry entry = TypedTextValue(given);
    EXPECT_EQ(entry.value, CellValue::Text(given)) << text;
    EXPECT_TRUE(entry.numberFormat.isEmpty()) << text;
  }
}

TEST(TypedText, ApostropheKeepsTextAndEmptyClears) {
  EXPECT_EQ(TypedTextValue(QStringLiteral("'00123")).value,
            CellValue::Text(QStringLiteral("00123"), true));
  EXPECT_EQ(TypedTextValue(QStringLiteral("''x")).value,
            CellValue::Text(QStringLiteral("'x"), true));
  EXPECT_EQ(TypedTextValue(QStringLiteral("'")).value, CellValue::Text(QString(), true));
  EXPECT_EQ(TypedTextValue(QString()).value.type, CellValue::Type::kEmpty);
}

}  // namespace
}  // namespace tarvel::excel
