#include <gtest/gtest.h>

#include "excel/workbook/CellArea.h"
#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

TEST(CellAddress, ReadsTheFormsRangeColumnsAndRowsTake) {
  EXPECT_EQ(ParseAddress(QStringLiteral("F6")), (CellArea{6, 6, 6, 6}));
  EXPECT_EQ(ParseAddress(QStringLiteral("a1:m1")), (CellArea{1, 1, 1, 13}));
  EXPECT_EQ(ParseAddress(QStringLiteral(" M5:A1 ")), (CellArea{1, 1, 5, 13}));
  EXPECT_EQ(ParseAddress(QStringLiteral("$A$1:$C2")), (CellArea{1, 1, 2, 3}));
  EXPECT_EQ(ParseAddress(QStringLiteral("XFD1048576")),
            (CellArea{kMaxRows, kMaxColumns, kMaxRows, kMaxColumns}));
  EXPECT_EQ(ParseAddress(QStringLiteral("A:M")), (CellArea{1, 1, kMaxRows, 13}));
  EXPECT_EQ(ParseAddress(QStringLiteral("3:5")), (CellArea{3, 1, 5, kMaxColumns}));
  EXPECT_EQ(ParseAddress(QStringLiteral("$3:$3")), (CellArea{3, 1, 3, kMaxColumns}));
  EXPECT_EQ(ParseColumns(QStringLiteral("AA")), (CellArea{1, 27, kMaxRows, 27}));
  EXPECT_EQ(ParseColumns(QStringLiteral("A:A")), (CellArea{1, 1, kMaxRows, 1}));
  EXPECT_EQ(ParseRows(QStringLiteral("28")), (CellArea{28, 1, 28, kMaxColumns}));
  EXPECT_EQ(ParseRows(QStringLiteral("1:5")), (CellArea{1, 1, 5, kMaxColumns}));

  for (const char* bad : {"", "A", "3", "A0", "XFE1", "A1048577", "A1:", ":A1", "A1:B", "A:3", "1A",
                          "A$", "$$3", "A1:B2:C3", "Ａ1", "A 1"}) {
    EXPECT_THROW(ParseAddress(QString::fromUtf8(bad)), WorkbookError) << bad;
  }
  EXPECT_THROW(ParseColumns(QStringLiteral("A1")), WorkbookError);
  EXPECT_THROW(ParseColumns(QStringLiteral("3:3")), WorkbookError);
  EXPECT_THROW(ParseRows(QStringLiteral("A:A")), WorkbookError);
  EXPECT_THROW(ParseRows(QStringLiteral("A1:B2")), WorkbookError);
}

TEST(CellAddress, WritesAddressesBack) {
  EXPECT_EQ(ColumnLetters(1), QStringLiteral("A"));
  EXPECT_EQ(ColumnLetters(26), QStringLiteral("Z"));
  EXPECT_EQ(ColumnLetters(27), QStringLiteral("AA"));
  EXPECT_EQ(ColumnLetters(702), QStringLiteral("ZZ"));
  EXPECT_EQ(ColumnLetters(703), QStringLiteral("AAA"));
  EXPECT_EQ(ColumnLetters(kMaxColumns), QStringLiteral("XFD"));
  for (const char* address : {"F6", "A1:M1", "A:M", "3:5", "AA10:XFD1048576"}) {
    const QString text = QString::fromLatin1(address);
    EXPECT_EQ(AddressText(ParseAddress(text)), text);
  }
}

}  // namespace
}  // namespace tarvel::excel
