#include "excel/workbook/Worksheet.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "excel/workbook/ColumnWidth.h"
#include "excel/workbook/LibxlsxwriterGaps.h"
#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/RowWriter.h"
#include "excel/workbook/Workbook.h"
#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

// Applies one change to many cells: neighbouring cells mostly share a format, so the outcome is
// looked up once per run of equal formats.
class FormatChanger {
 public:
  FormatChanger(FormatTable& table, const FormatChange& change) : table_(table), change_(change) {}

  FormatTable::Id operator()(FormatTable::Id from) {
    if (from != lastFrom_) {
      lastFrom_ = from;
      lastTo_ = table_.Apply(from, change_);
    }
    return lastTo_;
  }

 private:
  FormatTable& table_;
  const FormatChange& change_;
  FormatTable::Id lastFrom_ = std::numeric_limits<FormatTable::Id>::max();
  FormatTable::Id lastTo_ = 0;
};

[[noreturn]] void Fail(lxw_error error, const QString& what) {
  throw WorkbookError(what + QStringLiteral("：") + QString::fromUtf8(lxw_strerror(error)));
}

void Check(lxw_error error, const QString& what) {
  if (error != LXW_NO_ERROR) Fail(error, what);
}

CellArea Union(const CellArea& a, const CellArea& b) {
  return {std::min(a.firstRow, b.firstRow), std::min(a.firstColumn, b.firstColumn),
          std::max(a.lastRow, b.lastRow), std::max(a.lastColumn, b.lastColumn)};
}

}  // namespace

Worksheet::Worksheet(Workbook& book, lxw_worksheet* sheet, int index, const QString& name)
    : book_(book), sheet_(sheet), index_(index), name_(name) {
  pageSetup_.SetPaperSize(book.Options().paperSize);
}

Worksheet::~Worksheet() = default;

excel::Range Worksheet::Range(const QString& address) {
  return Range(ParseAddress(address));
}

excel::Range Worksheet::Range(const CellArea& area) {
  if (area.firstRow < 1 || area.firstColumn < 1 || area.lastRow > kMaxRows ||
      area.lastColumn > kMaxColumns || area.firstRow > area.lastRow ||
      area.firstColumn > area.lastColumn)
    throw WorkbookError(QStringLiteral("儲存格範圍超出工作表：第 %1 至 %2 列、第 %3 至 %4 欄")
                            .arg(area.firstRow)
                            .arg(area.lastRow)
                            .arg(area.firstColumn)
                            .arg(area.lastColumn));
  return excel::Range(*this, area);
}

excel::Range Worksheet::Cells() {
  return excel::Range(*this, kWholeSheet);
}

excel::Range Worksheet::Cells(int row, int column) {
  return Range(CellArea{row, column, row, column});
}

excel::Range Worksheet::Columns(const QString& address) {
  return excel::Range(*this, ParseColumns(address));
}

excel::Range Worksheet::Rows(const QString& address) {
  return excel::Range(*this, ParseRows(address));
}

excel::PageSetup& Worksheet::PageSetup() {
  return pageSetup_;
}

void Worksheet::AddPageBreak(int row) {
  CheckUsable();
  if (row < 2 || row > kMaxRows)
    throw WorkbookError(QStringLiteral("工作表「%1」第 %2 列之前不能分頁").arg(name_).arg(row));
  if (pageBreaks_.contains(row)) return;
  if (static_cast<int>(pageBreaks_.size()) >= kMaxPageBreaks)
    throw WorkbookError(
        QStringLiteral("工作表「%1」已有 %2 個分頁，不能再多").arg(name_).arg(kMaxPageBreaks));
  pageBreaks_.insert(row);
}

int Worksheet::LastColumn() const {
  const int widths = columnWidths_.empty() ? 0 : columnWidths_.rbegin()->first;
  return std::max(lastCellColumn_, widths);
}

void Worksheet::FlushRowsBefore(int row) {
  CheckUsable();
  Flush(row);
}

void Worksheet::FlushAll() {
  CheckUsable();
  // Every change, merged areas included, reaches no lower than lastRow_.
  Flush(lastRow_ + 1);
  if (RecordedWorkbook* recorder = book_.Recorder()) recorder->SettingsWritten(index_, Settings());
}

// ---- changes ------------------------------------------------------------------------------

void Worksheet::SetValue(const CellArea& area, const CellValue& value, const QString& typedFormat) {
  CheckUsable();
  CheckCellBlock(area, QStringLiteral("值"));
  CheckRowsOpen(area);
  const FormatChange numberFormat{FormatChange::Property::kNumberFormat,
                                  XlBordersIndex::kEdgeBottom, 0, 0, typedFormat};
  FormatChanger general(book_.Formats(), numberFormat);
  for (int r = area.firstRow; r <= area.lastRow; ++r) {
    Row& row = RowAt(r);
    for (int c = area.firstColumn; c <= area.lastColumn; ++c) {
      Cell& cell = CellAt(row, c);
      cell.value = value;
      // Typing "1,234" into a General cell gives it "#,##0"; a cell with a format keeps it.
      if (!typedFormat.isEmpty() && NumberFormatIsGeneral(cell.format))
        cell.format = general(cell.format);
    }
  }
  Touched(area);
}

void Worksheet::EditFormat(const CellArea& area, const FormatChange& change) {
  CheckUsable();
  FormatChanger editor(book_.Formats(), change);
  if (area.WholeSheet()) {
    // Excel sets the property on every cell: the sheet's default, and each cell collected so
    // far whatever it had.
    CheckSheetSettingsOpen();
    sheetFormat_ = editor(sheetFormat_);
    for (auto& [number, row] : rows_)
      for (Cell& cell : row.cells)
        cell.format = editor(cell.format);
    return;
  }
  CheckCellBlock(area, QStringLiteral("格式"));
  CheckRowsOpen(area);
  for (int r = area.firstRow; r <= area.lastRow; ++r) {
    Row& row = RowAt(r);
    for (int c = area.firstColumn; c <= area.lastColumn; ++c) {
      Cell& cell = CellAt(row, c);
      cell.format = editor(cell.format);
    }
  }
  Touched(area);
}

void Worksheet::SetMerged(const CellArea& area, bool merged) {
  CheckUsable();
  CheckCellBlock(area, QStringLiteral("合併儲存格"));
  CheckRowsOpen(area);
  if (!merged) {
    for (const CellArea& merge : merges_)
      if (merge.Intersects(area)) CheckRowsOpen(merge);
    std::erase_if(merges_, [&](const CellArea& merge) { return merge.Intersects(area); });
    return;
  }
  if (area.IsSingleCell()) return;
  CellArea whole = area;
  for (bool grew = true; grew;) {
    grew = false;
    for (auto it = merges_.begin(); it != merges_.end(); ++it) {
      if (!it->Intersects(whole)) continue;
      whole = Union(whole, *it);
      merges_.erase(it);
      grew = true;
      break;
    }
  }
  CheckRowsOpen(whole);
  merges_.push_back(whole);
  // Excel keeps only the upper-left value of a merged area.
  for (auto it = rows_.lower_bound(whole.firstRow); it != rows_.end() && it->first <= whole.lastRow;
       ++it) {
    for (Cell& cell : it->second.cells) {
      const bool upperLeft = it->first == whole.firstRow && cell.column == whole.firstColumn;
      if (!upperLeft && whole.Contains(it->first, cell.column)) cell.value = CellValue{};
    }
  }
  Touched(whole);
}

void Worksheet::SetRowHeight(const CellArea& area, double points) {
  CheckUsable();
  if (area.AllRows()) {
    CheckSheetSettingsOpen();
    rowHeight_ = points;
    for (auto& [number, row] : rows_)
      row.height.reset();
    return;
  }
  CheckRowsOpen(area);
  for (int r = area.firstRow; r <= area.lastRow; ++r)
    rows_[r].height = points;
  Touched(area);
}

void Worksheet::SetColumnWidth(const CellArea& area, double characters) {
  CheckUsable();
  if (area.AllColumns()) {
    columnWidth_ = characters;
    columnWidths_.clear();
    return;
  }
  for (int c = area.firstColumn; c <= area.lastColumn; ++c)
    columnWidths_[c] = characters;
}

// ---- checks -------------------------------------------------------------------------------

void Worksheet::CheckUsable() const {
  if (finished_ || !book_.IsOpen())
    throw WorkbookError(QStringLiteral("活頁簿已經儲存或關閉，工作表「%1」不能再變更").arg(name_));
}

void Worksheet::CheckCellBlock(const CellArea& area, const QString& what) const {
  if (!area.IsCellBlock())
    throw WorkbookError(QStringLiteral("%1只能設定在儲存格範圍，不能設定在整欄或整列（%2）")
                            .arg(what, AddressText(area)));
}

void Worksheet::CheckRowsOpen(const CellArea& area) const {
  if (area.firstRow < firstOpenRow_)
    throw WorkbookError(QStringLiteral("工作表「%1」第 %2 列已寫入檔案，不能再變更（%3）")
                            .arg(name_)
                            .arg(area.firstRow)
                            .arg(AddressText(area)));
}

void Worksheet::CheckSheetSettingsOpen() const {
  if (settingsCommitted_)
    throw WorkbookError(
        QStringLiteral("工作表「%1」已有資料列寫入檔案，整張工作表的格式、列高必須在這之前設定")
            .arg(name_));
}

void Worksheet::Touched(const CellArea& area) {
  lastRow_ = std::max(lastRow_, area.lastRow);
  if (area.IsCellBlock()) lastCellColumn_ = std::max(lastCellColumn_, area.lastColumn);
  // The rows of the range just changed stay open: the routines set several properties of one
  // range in a row (MergeCenter is four settings).
  const int window = std::max(1, book_.Options().rowWindow);
  const int limit = std::min(lastRow_ - window, area.firstRow);
  if (limit > firstOpenRow_) Flush(limit);
}

Worksheet::Row& Worksheet::RowAt(int number) {
  if (number != cachedRowNumber_ || !cachedRow_) {
    // A new row mostly holds as many cells as the one before: room for them at once.
    const std::size_t likely = cachedRow_ ? cachedRow_->cells.size() : 0;
    cachedRow_ = &rows_[number];
    cachedRowNumber_ = number;
    if (cachedRow_->cells.empty()) cachedRow_->cells.reserve(likely);
  }
  return *cachedRow_;
}

Worksheet::Cell& Worksheet::CellAt(Row& row, int column) {
  auto it = std::lower_bound(row.cells.begin(), row.cells.end(), column,
                             [](const Cell& cell, int c) { return cell.column < c; });
  if (it == row.cells.end() || it->column != column) it = row.cells.insert(it, Cell{column});
  return *it;
}

bool Worksheet::NumberFormatIsGeneral(FormatTable::Id format) const {
  const std::optional<QString>& own = book_.Formats().Get(format).numberFormat;
  if (own) return IsGeneralNumberFormat(*own);
  const std::optional<QString>& sheets = book_.Formats().Get(sheetFormat_).numberFormat;
  return !sheets || IsGeneralNumberFormat(*sheets);
}

// ---- handing rows to libxlsxwriter ----------------------------------------------------------

void Worksheet::Flush(int limit) {
  limit = std::min(limit, kMaxRows + 1);
  if (limit <= firstOpenRow_) return;
  CommitSettings();
  cachedRow_ = nullptr;
  for (auto it = rows_.begin(); it != rows_.end() && it->first < limit; it = rows_.erase(it)) {
    // libxlsxwriter checks a merged area against the row it is writing: an area ending above
    // this row must be registered before the row goes out.
    RegisterMergesThrough(it->first);
    WriteRow(it->first, it->second);
  }
  RegisterMergesThrough(limit - 1);
  firstOpenRow_ = limit;
  book_.Writer().Commit();
}

void Worksheet::CommitSettings() {
  if (settingsCommitted_) return;
  book_.Writer().SetDefaultRow(sheet_, rowHeight_.value_or(book_.Options().standardRowHeight));
  settingsCommitted_ = true;
}

void Worksheet::RegisterMergesThrough(int row) {
  std::vector<CellArea> due;
  std::erase_if(merges_, [&](const CellArea& merge) {
    if (merge.lastRow > row) return false;
    due.push_back(merge);
    return true;
  });
  std::sort(due.begin(), due.end(), [](const CellArea& a, const CellArea& b) {
    return std::pair(a.firstRow, a.firstColumn) < std::pair(b.firstRow, b.firstColumn);
  });
  for (const CellArea& merge : due) {
    // Without a format libxlsxwriter only records the area; its cells are written as they are.
    book_.Writer().Merge(sheet_, merge);
    if (RecordedWorkbook* recorder = book_.Recorder()) recorder->MergeWritten(index_, merge);
  }
}

void Worksheet::WriteRow(int number, const Row& row) {
  const lxw_row_t r = static_cast<lxw_row_t>(number - 1);
  RowWriter& writer = book_.Writer();
  bool wrote = false;
  bool value = false;
  if (row.height) {
    writer.SetRow(sheet_, &name_, r, *row.height);
    wrote = true;
  }
  for (const Cell& cell : row.cells) {
    const lxw_col_t c = static_cast<lxw_col_t>(cell.column - 1);
    const bool hasText = cell.value.type == CellValue::Type::kText && !cell.value.text.isEmpty();
    lxw_format* format = FormatFor(cell.format, hasText && cell.value.quotePrefix);
    if (cell.value.type == CellValue::Type::kNumber) {
      writer.WriteNumber(sheet_, &name_, r, c, cell.value.number, format);
      value = true;
    } else if (hasText) {
      writer.WriteString(sheet_, &name_, r, c, cell.value.text, format);
      value = true;
    } else if (format) {
      writer.WriteBlank(sheet_, &name_, r, c, format);
    } else {
      continue;  // nothing to show: no cell in the file
    }
    wrote = true;
  }
  if (wrote) {
    ++rowsWritten_;
    lastRowWritten_ = number;
  }
  if (value) {
    ++values_.rows;
    values_.lastRow = number;
  }
  if (RecordedWorkbook* recorder = book_.Recorder()) {
    RecordedRow record{number, row.height, {}};
    record.cells.reserve(row.cells.size());
    for (const Cell& cell : row.cells)
      record.cells.push_back({cell.column, cell.value, book_.Formats().Get(cell.format)});
    recorder->RowWritten(index_, std::move(record));
  }
}

lxw_format* Worksheet::FormatFor(FormatTable::Id format, bool quotePrefix) {
  const std::size_t slot = std::size_t{format} * 2 + (quotePrefix ? 1 : 0);
  if (slot >= xlsxFormats_.size()) xlsxFormats_.resize(std::max(slot + 1, xlsxFormats_.size() * 2));
  XlsxFormat& known = xlsxFormats_[slot];
  if (!known.known) {
    const CellFormat complete = book_.Normal()
                                    .OverlaidWith(book_.Formats().Get(sheetFormat_))
                                    .OverlaidWith(book_.Formats().Get(format));
    known.format = book_.XlsxFormats().For(complete, quotePrefix);
    known.known = true;
  }
  return known.format;
}

void Worksheet::Finish(FormatTable::Id bookDefault) {
  if (finished_) return;
  FlushAll();
  CommitSettings();
  // The rows are written out before the sheet's own calls: libxlsxwriter is this thread's again.
  book_.Writer().Drain();
  WriteColumns(bookDefault);
  WritePageSetup();
  if (RecordedWorkbook* recorder = book_.Recorder()) recorder->SettingsWritten(index_, Settings());
  finished_ = true;
}

void Worksheet::WriteColumns(FormatTable::Id bookDefault) {
  // Whole-sheet formats show on cells never written through the columns' styles, as Excel
  // stores Cells formats, but only as far as the sheet's last column: beyond it the workbook's
  // default format carries them when this sheet's are the workbook's. A whole-sheet width
  // likewise reaches the sheet's columns.
  lxw_format* style = sheetFormat_ == bookDefault ? nullptr : FormatFor(FormatTable::kEmpty, false);
  const bool everyColumn = style != nullptr || columnWidth_.has_value();
  const double standard = columnWidth_.value_or(book_.Options().standardColumnWidth);
  const int digit = book_.Options().normalDigitPixels;
  const int lastColumn = LastColumn();
  const auto write = [&](int first, int last, double width) {
    Check(worksheet_set_column(sheet_, static_cast<lxw_col_t>(first - 1),
                               static_cast<lxw_col_t>(last - 1),
                               LibxlsxwriterColumnWidth(width, digit), style),
          QStringLiteral("無法設定欄寬"));
  };
  int next = 1;  // the first column not yet written
  for (auto it = columnWidths_.begin(); it != columnWidths_.end();) {
    if (everyColumn && it->first > next) write(next, it->first - 1, standard);
    // Neighbouring columns of one width go out as one run.
    int last = it->first;
    const double width = it->second;
    auto run = std::next(it);
    while (run != columnWidths_.end() && run->first == last + 1 && run->second == width) {
      last = run->first;
      ++run;
    }
    write(it->first, last, width);
    next = last + 1;
    it = run;
  }
  if (everyColumn && next <= lastColumn) write(next, lastColumn, standard);
}

void Worksheet::WritePageSetup() {
  if (pageSetup_.Orientation() == XlPageOrientation::kLandscape)
    worksheet_set_landscape(sheet_);
  else
    worksheet_set_portrait(sheet_);
  if (pageSetup_.PaperSize() > 0)
    worksheet_set_paper(sheet_, static_cast<uint8_t>(pageSetup_.PaperSize()));
  worksheet_set_margins(sheet_, pageSetup_.LeftMargin() / 72.0, pageSetup_.RightMargin() / 72.0,
                        pageSetup_.TopMargin() / 72.0, pageSetup_.BottomMargin() / 72.0);
  detail::SetHeaderFooterMargins(sheet_, pageSetup_.HeaderMargin() / 72.0,
                                 pageSetup_.FooterMargin() / 72.0);
  if (pageSetup_.FitsToPages())
    worksheet_fit_to_pages(sheet_, static_cast<uint16_t>(pageSetup_.FitToPagesWide()),
                           static_cast<uint16_t>(pageSetup_.FitToPagesTall()));
  if (pageBreaks_.empty()) return;
  // libxlsxwriter numbers rows from 0 and ends the list with 0: a break before row r (from 1)
  // is r - 1, never 0.
  pageBreakRows_.assign(pageBreaks_.begin(), pageBreaks_.end());
  for (lxw_row_t& row : pageBreakRows_)
    --row;
  pageBreakRows_.push_back(0);
  Check(worksheet_set_h_pagebreaks(sheet_, pageBreakRows_.data()), QStringLiteral("無法設定分頁"));
}

SheetSettings Worksheet::Settings() const {
  return {book_.Formats().Get(sheetFormat_), rowHeight_, columnWidth_, columnWidths_, pageSetup_};
}

}  // namespace tarvel::excel
