#include <gtest/gtest.h>

#include "excel/workbook/CellFormat.h"
#include "excel/workbook/ColumnWidth.h"
#include "excel/workbook/StylesPatch.h"
#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

TEST(ColumnWidth, ShowsTheWidthsOfANormalFontWithEightPixelDigits) {
  // Pixels a Traditional Chinese Excel shows for the widths the export routines set.
  struct Case {
    double width;
    int pixels;
  };
  for (const Case c : {Case{9, 77}, Case{8.38, 72}, Case{35, 285}, Case{3.75, 35}, Case{6.5, 57},
                       Case{22.63, 186}, Case{33.5, 273}, Case{0.5, 7}}) {
    EXPECT_EQ(ColumnPixels(c.width, 8), c.pixels) << c.width;
    const double stored = LibxlsxwriterStoredWidth(LibxlsxwriterColumnWidth(c.width, 8));
    EXPECT_NEAR(StoredWidthPixels(stored, 8), c.pixels, 1) << c.width;
  }
  int exact = 0;
  int all = 0;
  for (int eighths = 1; eighths <= 255 * 8; ++eighths) {
    const double width = eighths / 8.0;
    const double stored = LibxlsxwriterStoredWidth(LibxlsxwriterColumnWidth(width, 8));
    const int shown = StoredWidthPixels(stored, 8);
    const int wanted = ColumnPixels(width, 8);
    ASSERT_NEAR(shown, wanted, 1) << width;
    exact += shown == wanted;
    ++all;
  }
  EXPECT_GE(exact * 10, all * 8);  // one width in eight cannot be hit exactly
  // With libxlsxwriter's own Calibri digits nothing is converted.
  EXPECT_EQ(LibxlsxwriterColumnWidth(9, 7), 9);
  EXPECT_EQ(LibxlsxwriterColumnWidth(0, 8), 0);
}

TEST(StylesPatch, GivesTheNormalFontTheDefaultFormatAndQuotePrefixes) {
  const QByteArray styles =
      "<styleSheet><fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/>"
      "<scheme val=\"minor\"/></font><font><b/><name val=\"x\"/></font></fonts>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\"/></cellStyleXfs>"
      "<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"1\"><alignment/></xf>"
      "<xf numFmtId=\"2\"/><xf numFmtId=\"3\"/></cellXfs></styleSheet>";
  const QByteArray patched = PatchStyles(styles, QStringLiteral("新<細>明體"), 12, 1, {3, 1, 3});
  EXPECT_EQ(
      QString::fromUtf8(patched),
      QStringLiteral("<styleSheet><fonts count=\"2\"><font><sz val=\"12\"/><color theme=\"1\"/>"
                     "<name val=\"新&lt;細&gt;明體\"/><family val=\"2\"/></font><font><b/>"
                     "<name val=\"x\"/></font></fonts>"
                     "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\"/></cellStyleXfs>"
                     "<cellXfs count=\"4\"><xf numFmtId=\"1\"><alignment/></xf>"
                     "<xf quotePrefix=\"1\" numFmtId=\"1\"><alignment/></xf><xf numFmtId=\"2\"/>"
                     "<xf quotePrefix=\"1\" numFmtId=\"3\"/></cellXfs></styleSheet>"));
  EXPECT_TRUE(PatchStyles(styles, QStringLiteral("a"), 12, 0, {})
                  .contains("<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"1\">"));
  EXPECT_EQ(PatchStyles(styles, QStringLiteral("a"), 12, 2, {}).count("<xf numFmtId=\"2\"/>"), 2);
  EXPECT_THROW(PatchStyles(styles, QStringLiteral("a"), 12, 0, {4}), WorkbookError);
  EXPECT_THROW(PatchStyles(styles, QStringLiteral("a"), 12, 4, {}), WorkbookError);
  EXPECT_THROW(PatchStyles("<styleSheet/>", QStringLiteral("a"), 12, 0, {}), WorkbookError);
}

TEST(CellFormat, OverlayAndKeyTellFormatsApart) {
  CellFormat base;
  base.fontName = QStringLiteral("新細明體");
  base.fontSize = 12;
  CellFormat over;
  over.fontSize = 20;
  over.bottomBorder = Border{XlLineStyle::kDouble, XlBorderWeight::kThick};
  const CellFormat both = base.OverlaidWith(over);
  EXPECT_EQ(both.fontName, base.fontName);
  EXPECT_EQ(both.fontSize, 20);
  EXPECT_EQ(both.bottomBorder, over.bottomBorder);
  EXPECT_EQ(both.Description(), QStringLiteral("新細明體 20; bottom double"));

  // Formats that differ in any property, or only in whether it is set, have different keys.
  CellFormat unsetBold;
  CellFormat notBold;
  notBold.bold = false;
  CellFormat red;
  red.fontColor = XlColorIndex::kRed;
  CellFormat redBorder;
  redBorder.topBorder = Border{XlLineStyle::kContinuous, XlBorderWeight::kThin, XlColorIndex::kRed};
  CellFormat thinBorder;
  thinBorder.topBorder = Border{};
  const QStringList keys{unsetBold.Key(),  notBold.Key(), red.Key(), redBorder.Key(),
                         thinBorder.Key(), base.Key(),    both.Key()};
  for (qsizetype i = 0; i < keys.size(); ++i)
    for (qsizetype j = i + 1; j < keys.size(); ++j)
      EXPECT_NE(keys[i], keys[j]) << i << " " << j;
  EXPECT_EQ(both.Key(), base.OverlaidWith(over).Key());
  EXPECT_TRUE(IsGeneralNumberFormat(QStringLiteral("G/通用格式")));
  EXPECT_TRUE(IsGeneralNumberFormat(QStringLiteral("general")));
  EXPECT_FALSE(IsGeneralNumberFormat(QStringLiteral("#,##0")));
}

}  // namespace
}  // namespace tarvel::excel
