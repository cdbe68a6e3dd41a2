#include "excel/PageBlockSheet.h"

#include "common/GroupedNumber.h"
#include "excel/workbook/ModExcel.h"
#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel::excel {
namespace {

constexpr double kSheetRowHeight = 20;
constexpr double kCompanyRowHeight = 23;
constexpr double kCompanyFontSize = 20;
// 1 cm, as the layouts give it in inches.
constexpr double kMarginInches = 0.393700787401575;

}  // namespace

PageBlockSheet::PageBlockSheet(SheetDesign design, const AppContext& context)
    : context_(context), design_(design), blocks_(design.pageRows, design.headingRowCount) {}

bool PageBlockSheet::Write(db::Cursor& rows, Workbook& book, const ExportProgress& progress,
                           qint64 total) {
  book_ = &book;
  sheet_ = &book.ActiveSheet();
  blocks_ = PageBlocks(design_.pageRows, design_.headingRowCount);
  totals_ = {};
  if (!rows.HasRow() && !rows.Next()) throw Error(QStringLiteral("沒有資料可以轉出。"));
  SetColumnLayout();
  WritePageHeading(rows);
  do {
    BeforeRecord(rows);
    WriteRecord(rows);
    // Rows above the current block's heading can no longer change.
    Sheet().FlushRowsBefore(blocks_.HeadingRows().front());
    if (progress && !progress(rows.Position(), total)) return false;
  } while (rows.Next());
  AfterLastRecord(rows);
  // The cursor keeps the last record: a heading for the totals alone shows its values.
  if (blocks_.TotalsNeedNewBlock()) {
    blocks_.StartNextBlock();
    WritePageHeading(rows);
  }
  WriteTotalsRow(blocks_.TotalsRow());
  SetPageSetup();
  return true;
}

void PageBlockSheet::SetColumnLayout() {
  const std::vector<double> widths = ColumnWidths();
  for (size_t i = 0; i < widths.size(); ++i) {
    if (widths[i] <= 0) continue;
    const QString column(QLatin1Char(static_cast<char>('A' + i)));
    Sheet().Columns(column + QLatin1Char(':') + column).SetColumnWidth(widths[i]);
  }
  const excel::Range cells = Sheet().Cells();
  cells.SetRowHeight(kSheetRowHeight);
  cells.SetVerticalAlignment(XlVAlign::kCenter);
  if (design_.sheetFontSize > 0) cells.Font().SetSize(design_.sheetFontSize);
}

void PageBlockSheet::SetPageSetup() {
  PageSetup& setup = Sheet().PageSetup();
  setup.SetOrientation(design_.orientation);
  // The page blocks were measured in Excel's metrics for its fonts: another program, or another
  // font, fits other numbers of rows and columns on a page. Scaled to the paper's width, with a
  // manual break above every heading block, each block prints on a page of its own anywhere.
  setup.FitToPages(1, 0);
  const double margin = InchesToPoints(kMarginInches);
  setup.SetLeftMargin(margin);
  setup.SetRightMargin(margin);
  setup.SetTopMargin(margin);
  setup.SetBottomMargin(margin);
  setup.SetHeaderMargin(InchesToPoints(0));
  setup.SetFooterMargin(InchesToPoints(0));
}

void PageBlockSheet::ContinueOnNewSheet() {
  SetPageSetup();
  sheet_ = &book_->AddSheet();
  blocks_.MoveBlockToTop();
  SetColumnLayout();
}

void PageBlockSheet::WritePageHeading(const db::Cursor& record) {
  // A sheet ends where its rows end, or where it can take no more page breaks.
  const bool breaksFull = static_cast<int>(Sheet().PageBreaks().size()) >= kMaxPageBreaks;
  if (blocks_.BlockEnd() > sheetRowLimit_ || (blocks_.HeadingRows().front() > 1 && breaksFull))
    ContinueOnNewSheet();
  const int top = blocks_.HeadingRows().front();
  if (top > 1) Sheet().AddPageBreak(top);
  ++totals_.pageCount;
  WriteHeadingRows(record);
}

int PageBlockSheet::NewLine(const db::Cursor& record, bool workOrder) {
  if (blocks_.BreakIfFull()) WritePageHeading(record);
  if (workOrder) ++totals_.dataRowCount;
  return blocks_.NextLine();
}

void PageBlockSheet::CloseBlock(const db::Cursor& record, const std::function<void()>& nextBlock) {
  if (blocks_.NoRoomForTotals()) {
    blocks_.StartNextBlock();
    WritePageHeading(record);
  }
  WriteTotalsRow(blocks_.TotalsRow());
  blocks_.StartNextBlock();
  totals_ = {};
  nextBlock();
  WritePageHeading(record);
}

// Areas are built from numbers: an export makes a dozen of them per line, and reading addresses
// back from text would cost more than the writing.
excel::Range PageBlockSheet::Cell(char column, int row) const {
  return Span(column, column, row);
}

excel::Range PageBlockSheet::Span(char first, char last, int row) const {
  return Sheet().Range(CellArea{row, first - 'A' + 1, row, last - 'A' + 1});
}

void PageBlockSheet::Text(char column, int row, const QString& text) const {
  Cell(column, row).SetQuotedText(text.trimmed());
}

double PageBlockSheet::Number(char column, int row, const QString& fieldText) const {
  const double value = Val(fieldText);
  Number(column, row, value);
  return value;
}

void PageBlockSheet::Number(char column, int row, double value) const {
  const excel::Range cell = Cell(column, row);
  cell.SetValue(value);
  cell.SetNumberFormatLocal(GroupedNumberFormatOf(value));
}

void PageBlockSheet::CompanyRow(int row) const {
  const excel::Range line = Line(row);
  MergeCenter(line);
  line.SetRowHeight(kCompanyRowHeight);
  line.Font().SetName(QStringLiteral("標楷體"));
  line.Font().SetSize(kCompanyFontSize);
  line.Font().SetBold(true);
  Cell('A', row).SetValue(context_.CompanyName);
}

void PageBlockSheet::ThinBottom(int row) const {
  const RangeBorder bottom = Line(row).Borders(XlBordersIndex::kEdgeBottom);
  bottom.SetLineStyle(XlLineStyle::kContinuous);
  bottom.SetWeight(XlBorderWeight::kThin);
  bottom.SetColorIndex(XlColorIndex::kAutomatic);
}

void PageBlockSheet::TotalsBorders(int row, bool doubleTop) const {
  const RangeBorder bottom = Line(row).Borders(XlBordersIndex::kEdgeBottom);
  bottom.SetLineStyle(XlLineStyle::kContinuous);
  bottom.SetWeight(XlBorderWeight::kMedium);
  bottom.SetColorIndex(XlColorIndex::kAutomatic);
  if (!doubleTop) return;
  const RangeBorder top = Line(row).Borders(XlBordersIndex::kEdgeTop);
  top.SetLineStyle(XlLineStyle::kDouble);
  top.SetWeight(XlBorderWeight::kThick);
  top.SetColorIndex(XlColorIndex::kAutomatic);
}

}  // namespace tarvel::excel
