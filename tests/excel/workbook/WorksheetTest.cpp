// The rows, cells and formats a worksheet collects and hands over, checked on the recorded
// sheet (no file is saved).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "ModelSheet.h"
#include "excel/workbook/ModExcel.h"
#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/WorkbookError.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace tarvel::excel {
namespace {

class WorksheetTest : public ::testing::Test {
 protected:
  Worksheet& NewSheet(int rowWindow = 1024) {
    book_ = std::make_unique<Workbook>(
        WorkbookOptions{.tempFolder = dir_.Path(), .rowWindow = rowWindow, .recorder = &record_});
    return book_->ActiveSheet();
  }
  const RecordedSheet& Recorded(int sheet = 0) const { return record_.Sheet(sheet); }
  const RecordedCell& At(const char* address, int sheet = 0) const {
    const RecordedCell* cell = Recorded(sheet).Cell(QString::fromLatin1(address));
    if (!cell) throw std::runtime_error(std::string("nothing recorded at ") + address);
    return *cell;
  }

  tarvel::test::TempDir dir_;
  RecordedWorkbook record_;
  std::unique_ptr<Workbook> book_;
};

TEST_F(WorksheetTest, TheModelSheetIsRecordedAsItWasWritten) {
  Worksheet& sheet = NewSheet();
  test::WriteModelSheet(sheet, 3);
  sheet.FlushAll();
  tarvel::test::ExpectGolden(QStringLiteral("workbook/model-record.txt"), record_.Text());
}

TEST_F(WorksheetTest, FormatsApplyWhateverOrderTheyComeIn) {
  Worksheet& sheet = NewSheet();
  // A1: the value first, formats after, as the routines write their lines.
  sheet.Range(QStringLiteral("A1")).SetValue(QStringLiteral("'0012"));
  AlignCenter(sheet.Range(QStringLiteral("A1:C1")));
  sheet.Range(QStringLiteral("A1:C1")).Font().SetBold(true);
  sheet.Range(QStringLiteral("A1:C1"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetWeight(XlBorderWeight::kThin);
  // B2: the same formats first, the value last.
  sheet.Range(QStringLiteral("B2"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetWeight(XlBorderWeight::kThin);
  sheet.Range(QStringLiteral("B2")).Font().SetBold(true);
  AlignCenter(sheet.Range(QStringLiteral("B2")));
  sheet.Range(QStringLiteral("B2")).SetValue(QStringLiteral("'0012"));
  // A later setting of a property replaces the earlier one, the others stay.
  sheet.Range(QStringLiteral("C1")).SetHorizontalAlignment(XlHAlign::kRight);
  sheet.FlushAll();

  EXPECT_EQ(At("A1").value, CellValue::Text(QStringLiteral("0012"), true));
  EXPECT_EQ(At("B2").value, At("A1").value);
  EXPECT_EQ(At("B2").format, At("A1").format);
  EXPECT_EQ(At("A1").format.Description(), QStringLiteral("bold; center/center; bottom thin"));
  EXPECT_EQ(At("C1").format.Description(), QStringLiteral("bold; right/center; bottom thin"));
  EXPECT_EQ(At("B1").value.type, CellValue::Type::kEmpty);
}

TEST_F(WorksheetTest, TypedTextsAreConvertedAndFormatOnlyGeneralCells) {
  Worksheet& sheet = NewSheet();
  sheet.Range(QStringLiteral("A1")).SetValue(QStringLiteral("1,234"));
  sheet.Range(QStringLiteral("B1")).SetNumberFormatLocal(QStringLiteral("0.0"));
  sheet.Range(QStringLiteral("B1")).SetValue(QStringLiteral("1,234"));
  sheet.Range(QStringLiteral("C1")).SetNumberFormatLocal(QStringLiteral("G/通用格式"));
  sheet.Range(QStringLiteral("C1")).SetValue(QStringLiteral("12%"));
  sheet.Range(QStringLiteral("D1")).SetValue(QStringLiteral("'1,234"));
  sheet.Range(QStringLiteral("E1")).SetValue(5);
  sheet.Range(QStringLiteral("E1")).SetValue(QString());
  sheet.Range(QStringLiteral("F1:G2")).SetValue(QStringLiteral("N"));
  sheet.Range(QStringLiteral("H1")).SetValue(-0.0);
  sheet.FlushAll();

  EXPECT_EQ(At("A1").value, CellValue::Number(1234));
  EXPECT_EQ(At("A1").format.numberFormat, QStringLiteral("#,##0"));
  EXPECT_EQ(At("B1").value, CellValue::Number(1234));
  EXPECT_EQ(At("B1").format.numberFormat, QStringLiteral("0.0"));
  EXPECT_EQ(At("C1").value, CellValue::Number(0.12));
  EXPECT_EQ(At("C1").format.numberFormat, QStringLiteral("0%"));
  EXPECT_EQ(At("D1").value, CellValue::Text(QStringLiteral("1,234"), true));
  EXPECT_FALSE(At("D1").format.numberFormat.has_value());
  EXPECT_EQ(At("E1").value.type, CellValue::Type::kEmpty);
  for (const char* address : {"F1", "G1", "F2", "G2"})
    EXPECT_EQ(At(address).value, CellValue::Text(QStringLiteral("N"))) << address;
  EXPECT_FALSE(std::signbit(At("H1").value.number));
}

TEST_F(WorksheetTest, WholeSheetSettingsReachEveryCellUntilTheFirstRowIsHandedOver) {
  Worksheet& sheet = NewSheet();
  sheet.Range(QStringLiteral("A1")).Font().SetSize(20);
  sheet.Rows(QStringLiteral("1:1")).SetRowHeight(23);
  sheet.Range(QStringLiteral("A2")).SetValue(QStringLiteral("x"));
  sheet.Columns(QStringLiteral("B:B")).SetColumnWidth(5);
  // Excel sets these on every cell, overriding what single cells had.
  sheet.Cells().Font().SetSize(11);
  sheet.Cells().SetRowHeight(20);
  sheet.Cells().SetColumnWidth(10);
  sheet.Cells().SetVerticalAlignment(XlVAlign::kCenter);
  // Later settings of single cells, rows and columns win again.
  sheet.Range(QStringLiteral("A3")).Font().SetSize(18);
  sheet.Rows(QStringLiteral("3")).SetRowHeight(30);
  sheet.Columns(QStringLiteral("C")).SetColumnWidth(3);

  // Whole columns and rows take only widths and heights.
  EXPECT_THROW(sheet.Columns(QStringLiteral("A:A")).Font().SetBold(true), WorkbookError);
  EXPECT_THROW(sheet.Rows(QStringLiteral("5:5")).SetValue(QStringLiteral("x")), WorkbookError);
  EXPECT_THROW(sheet.Cells().SetValue(1), WorkbookError);
  EXPECT_THROW(sheet.Columns(QStringLiteral("A:B")).SetMergeCells(true), WorkbookError);

  sheet.FlushRowsBefore(2);
  // They would change rows already in the file.
  EXPECT_THROW(sheet.Cells().Font().SetBold(true), WorkbookError);
  EXPECT_THROW(sheet.Cells().SetRowHeight(15), WorkbookError);
  // Widths go into the file at the end.
  sheet.Columns(QStringLiteral("D:E")).SetColumnWidth(7.5);
  sheet.FlushAll();

  const SheetSettings& settings = Recorded().settings;
  EXPECT_EQ(settings.cells.Description(), QStringLiteral("11; -/center"));
  EXPECT_EQ(settings.rowHeight, 20);
  EXPECT_EQ(At("A1").format.fontSize, 11);
  EXPECT_EQ(At("A3").format.fontSize, 18);
  EXPECT_EQ(At("A2").format.vertical, XlVAlign::kCenter);
  EXPECT_EQ(Recorded().RowHeight(1), std::nullopt);
  EXPECT_EQ(Recorded().RowHeight(3), 30);
  EXPECT_EQ(Recorded().ColumnWidth(1), 10);
  EXPECT_EQ(Recorded().ColumnWidth(2), 10);
  EXPECT_EQ(Recorded().ColumnWidth(3), 3);
  EXPECT_EQ(Recorded().ColumnWidth(5), 7.5);
}

TEST_F(WorksheetTest, BordersGoOnTheRangesEdgesAndCombineAsInExcel) {
  Worksheet& sheet = NewSheet();
  const Range block = sheet.Range(QStringLiteral("A1:B3"));
  block.Borders(XlBordersIndex::kEdgeTop).SetLineStyle(XlLineStyle::kContinuous);
  block.Borders(XlBordersIndex::kEdgeBottom).SetWeight(XlBorderWeight::kMedium);

  const auto border = [&](const char* address, XlLineStyle style, XlBorderWeight weight) {
    const RangeBorder edge =
        sheet.Range(QString::fromLatin1(address)).Borders(XlBordersIndex::kEdgeBottom);
    edge.SetLineStyle(style);
    edge.SetWeight(weight);
  };
  border("C1", XlLineStyle::kDouble, XlBorderWeight::kThick);      // double
  border("C2", XlLineStyle::kDouble, XlBorderWeight::kMedium);     // medium line
  border("C3", XlLineStyle::kContinuous, XlBorderWeight::kThick);  // thick line
  sheet.Range(QStringLiteral("C3"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetColorIndex(XlColorIndex::kBlue);
  sheet.Range(QStringLiteral("D1"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetColorIndex(XlColorIndex::kRed);  // thin red line
  sheet.Range(QStringLiteral("D2"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetWeight(XlBorderWeight::kMedium);
  sheet.Range(QStringLiteral("D2"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetLineStyle(XlLineStyle::kContinuous);  // keeps medium
  sheet.Range(QStringLiteral("D3"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetLineStyle(XlLineStyle::kDouble);
  sheet.Range(QStringLiteral("D3"))
      .Borders(XlBordersIndex::kEdgeBottom)
      .SetLineStyle(XlLineStyle::kContinuous);  // thin again
  sheet.FlushAll();

  EXPECT_EQ(At("A1").format.Description(), QStringLiteral("top thin"));
  EXPECT_EQ(At("B1").format.Description(), QStringLiteral("top thin"));
  EXPECT_EQ(Recorded().Cell(QStringLiteral("A2")), nullptr);
  EXPECT_EQ(At("B3").format.Description(), QStringLiteral("bottom medium"));
  EXPECT_EQ(At("C1").format.Description(), QStringLiteral("bottom double"));
  EXPECT_EQ(At("C2").format.Description(), QStringLiteral("bottom medium"));
  EXPECT_EQ(At("C3").format.Description(), QStringLiteral("bottom thick blue"));
  EXPECT_EQ(At("D1").format.Description(), QStringLiteral("bottom thin red"));
  EXPECT_EQ(At("D2").format.Description(), QStringLiteral("bottom medium"));
  EXPECT_EQ(At("D3").format.Description(), QStringLiteral("bottom thin"));
}

TEST_F(WorksheetTest, MergesTakeInWhatTheyOverlapAndKeepTheUpperLeftValue) {
  Worksheet& sheet = NewSheet();
  sheet.Range(QStringLiteral("A1")).SetValue(QStringLiteral("a"));
  sheet.Range(QStringLiteral("B1")).SetValue(QStringLiteral("b"));
  sheet.Range(QStringLiteral("C1")).SetValue(QStringLiteral("c"));
  MergeCenter(sheet.Range(QStringLiteral("A1:B1")));
  sheet.Range(QStringLiteral("B1:C2")).SetMergeCells(true);  // overlaps: one area A1:C2
  sheet.Range(QStringLiteral("D1")).SetMergeCells(true);     // a single cell stays as it is
  sheet.Range(QStringLiteral("E1:F1")).SetMergeCells(true);
  sheet.Range(QStringLiteral("F1")).SetMergeCells(false);
  sheet.Range(QStringLiteral("A1")).SetValue(QStringLiteral("title"));
  sheet.FlushAll();

  EXPECT_EQ(Recorded().merges, (std::vector<CellArea>{{1, 1, 2, 3}}));
  EXPECT_EQ(At("A1").value, CellValue::Text(QStringLiteral("title")));
  EXPECT_EQ(At("B1").value.type, CellValue::Type::kEmpty);
  EXPECT_EQ(At("C1").value.type, CellValue::Type::kEmpty);
  EXPECT_EQ(At("B1").format.Description(), QStringLiteral("center/center; no wrap"));
  EXPECT_THROW(sheet.Range(QStringLiteral("A:B")).SetMergeCells(true), WorkbookError);
}

TEST_F(WorksheetTest, RowsAreHandedOverOnceNothingCanReachThem) {
  Worksheet& sheet = NewSheet(/*rowWindow=*/4);
  for (int r = 1; r <= 3; ++r)
    sheet.Cells(r, 1).SetValue(double(r));
  EXPECT_EQ(sheet.FirstOpenRow(), 1);
  sheet.Cells(10, 1).SetValue(QStringLiteral("'x"));  // more than 4 rows below: rows 1 to 5 go
  EXPECT_EQ(sheet.FirstOpenRow(), 6);
  EXPECT_EQ(Recorded().rows.size(), 3u);
  EXPECT_EQ(At("A3").value, CellValue::Number(3));

  // A change to a handed-over row is refused, naming the row, rather than lost.
  try {
    sheet.Range(QStringLiteral("B5")).SetValue(1);
    ADD_FAILURE() << "a handed-over row took a value";
  } catch (const WorkbookError& error) {
    EXPECT_TRUE(error.Description().contains(QStringLiteral("第 5 列"))) << error.what();
  }
  EXPECT_THROW(sheet.Range(QStringLiteral("A5:A6")).Font().SetBold(true), WorkbookError);
  EXPECT_THROW(sheet.Rows(QStringLiteral("2")).SetRowHeight(30), WorkbookError);
  EXPECT_THROW(sheet.Range(QStringLiteral("A4:A7")).SetMergeCells(true), WorkbookError);
  sheet.Range(QStringLiteral("B6")).SetValue(6);  // still open

  // A merged area goes out with its last row, even when rows above it went before.
  MergeLeft(sheet.Range(QStringLiteral("A20:B30")));
  EXPECT_EQ(sheet.FirstOpenRow(), 20);  // the rows of the range just set stay open
  sheet.FlushRowsBefore(25);
  EXPECT_TRUE(Recorded().merges.empty());
  EXPECT_THROW(sheet.Range(QStringLiteral("B21")).SetMergeCells(false), WorkbookError);
  sheet.Range(QStringLiteral("C40")).SetValue(40);
  EXPECT_EQ(sheet.FirstOpenRow(), 36);
  EXPECT_EQ(Recorded().merges, (std::vector<CellArea>{{20, 1, 30, 2}}));

  sheet.FlushRowsBefore(3);  // already handed over: nothing happens
  sheet.FlushRowsBefore(38);
  EXPECT_THROW(sheet.Range(QStringLiteral("C37")).SetValue(1), WorkbookError);
  sheet.Range(QStringLiteral("C38")).SetValue(38);
  // Widths and the page setup are written at the end.
  sheet.Columns(QStringLiteral("A")).SetColumnWidth(12);
  sheet.PageSetup().SetOrientation(XlPageOrientation::kLandscape);
  sheet.FlushAll();
  EXPECT_EQ(At("C38").value, CellValue::Number(38));
  EXPECT_EQ(At("C40").value, CellValue::Number(40));
  EXPECT_EQ(Recorded().ColumnWidth(1), 12);
  EXPECT_EQ(Recorded().settings.page.Orientation(), XlPageOrientation::kLandscape);
  EXPECT_EQ(At("B6").value, CellValue::Number(6));
}

TEST_F(WorksheetTest, ValuesBeyondExcelsLimitsAreRefused) {
  Worksheet& sheet = NewSheet();
  const Range a1 = sheet.Range(QStringLiteral("A1"));
  EXPECT_THROW(a1.SetRowHeight(410), WorkbookError);
  EXPECT_THROW(a1.SetRowHeight(-1), WorkbookError);
  EXPECT_THROW(a1.SetRowHeight(std::nan("")), WorkbookError);
  EXPECT_THROW(a1.SetColumnWidth(256), WorkbookError);
  EXPECT_THROW(a1.Font().SetSize(0.5), WorkbookError);
  EXPECT_THROW(a1.Font().SetSize(410), WorkbookError);
  EXPECT_THROW(a1.Font().SetName(QString()), WorkbookError);
  EXPECT_THROW(a1.Font().SetName(QString(32, u'字')), WorkbookError);
  EXPECT_THROW(a1.SetValue(QString(32768, u'x')), WorkbookError);
  EXPECT_THROW(a1.SetValue(std::numeric_limits<double>::infinity()), WorkbookError);
  EXPECT_THROW(sheet.PageSetup().SetLeftMargin(-1), WorkbookError);
  EXPECT_THROW(sheet.PageSetup().SetTopMargin(InchesToPoints(50)), WorkbookError);
  EXPECT_THROW(sheet.PageSetup().SetPaperSize(256), WorkbookError);
  EXPECT_THROW(sheet.Cells(kMaxRows + 1, 1), WorkbookError);
  EXPECT_THROW(sheet.Range(CellArea{2, 1, 1, 1}), WorkbookError);
  EXPECT_THROW(sheet.Range(QStringLiteral("A1:")), WorkbookError);
  a1.SetValue(QString(32767, u'x'));
  a1.SetRowHeight(409.5);
  a1.Font().SetName(QString(31, u'字'));
  sheet.FlushAll();
  EXPECT_EQ(At("A1").value.text.size(), 32767);
  EXPECT_EQ(Recorded().RowHeight(1), 409.5);
}

TEST_F(WorksheetTest, SheetsAreAddedWithExcelsNamesAndRules) {
  NewSheet();
  Worksheet& first = book_->ActiveSheet();
  first.Range(QStringLiteral("A3")).SetValue(1);
  EXPECT_EQ(first.Name(), QStringLiteral("工作表1"));
  for (const char* refused : {"a[b]", "a:b", "'quoted'", "工作表1"})
    EXPECT_THROW(book_->AddSheet(QString::fromUtf8(refused)), WorkbookError) << refused;
  EXPECT_THROW(book_->AddSheet(QString(32, u'表')), WorkbookError);
  EXPECT_EQ(first.FirstOpenRow(), 1);  // a refused name changes nothing

  Worksheet& second = book_->AddSheet();
  EXPECT_EQ(second.Name(), QStringLiteral("工作表2"));
  EXPECT_EQ(second.Index(), 1);
  EXPECT_EQ(&book_->ActiveSheet(), &second);
  EXPECT_EQ(&book_->Sheet(0), &first);
  EXPECT_THROW(book_->Sheet(2), WorkbookError);
  // The first sheet's rows are all in the file now.
  EXPECT_EQ(first.FirstOpenRow(), 4);
  EXPECT_EQ(At("A3").value, CellValue::Number(1));
  EXPECT_EQ(book_->AddSheet(QStringLiteral("續頁")).Name(), QStringLiteral("續頁"));
  EXPECT_EQ(record_.Sheets().size(), 3u);
}

}  // namespace
}  // namespace tarvel::excel
