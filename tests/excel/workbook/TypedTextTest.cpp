#include <gtest/gtest.h>

#include <cmath>

#include "excel/workbook/TypedText.h"
#include "support/CaseFile.h"

namespace tarvel::excel {
namespace {

TEST(TypedText, NumbersBecomeNumbersWithTheFormatTypingGives) {
  for (const QStringList& c : tarvel::test::ReadCases("typed-numbers.txt")) {
    const TypedEntry entry = TypedTextValue(c[0]);
    ASSERT_EQ(entry.value.type, CellValue::Type::kNumber) << c[0].toStdString();
    EXPECT_DOUBLE_EQ(entry.value.number, c[1].toDouble()) << c[0].toStdString();
    EXPECT_FALSE(std::signbit(entry.value.number) && entry.value.number == 0);
    EXPECT_EQ(entry.numberFormat, c[2]) << c[0].toStdString();
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
