#include "excel/DefinedSheet.h"

#include <algorithm>

#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "excel/workbook/ModExcel.h"
#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel::excel {

// A cell of a line: where it goes and what it shows, its columns resolved on the first record.
struct DefinedSheet::SheetCell {
  char letter;
  char through;  ///< merged left up to this letter, or 0
  ::tarvel::Cell cell;
  XlColorIndex colour = XlColorIndex::kAutomatic;
  int column = -1;  ///< the column shown
  std::vector<int> inputs;
};

// Runs of letters aligned alike, set in one call each.
struct DefinedSheet::Run {
  char first, last;
  SheetAlign alignment;
};

struct DefinedSheet::SheetLine {
  SectionKind band;
  bool counts;  ///< a work-order line: counted in DataRowCount and the inner group's count
  std::vector<SheetCell> cells;
  std::vector<Run> runs;
  const char* shownWhen = nullptr;
  int shownWhenColumn = -1;
  /// Totals the line adds to: level, place, and the column whose value it adds.
  struct Add {
    int level;
    size_t total;
    const char* column;
    int index = -1;
  };
  std::vector<Add> adds;
};

namespace {

constexpr double kTitleRowHeight = 23;

/// What a field's text reads as (Val of its text): a whole number of the database is that
/// number, read without writing it out first; any other value goes by its text, as the
/// runtime read it (a real number by its 15 significant digits).
double FieldNumber(const db::Value& field) {
  constexpr qint64 kExact = qint64{1} << 53;  // beyond it a double skips whole numbers
  if (field.IsInteger() && field.AsInteger() > -kExact && field.AsInteger() < kExact)
    return static_cast<double>(field.AsInteger());
  return Val(field.Text());
}

/// The letters a definition's sheet uses, A to the last.
char LastLetter(const ReportDefinition& d) {
  char last = 'A';
  for (const Column& c : d.columns)
    last = std::max({last, c.sheet.letter, c.sheet.mergeThrough});
  return last;
}

void Align(const Range& range, SheetAlign alignment) {
  switch (alignment) {
    case SheetAlign::Left:
      AlignLeft(range);
      break;
    case SheetAlign::Center:
      AlignCenter(range);
      break;
    case SheetAlign::Right:
      AlignRight(range);
      break;
    case SheetAlign::Keep:
      break;
  }
}

}  // namespace

/// The line's alignment runs: adjacent letters aligned alike, in one call.
std::vector<DefinedSheet::Run> DefinedSheet::RunsOf(
    std::vector<std::pair<char, SheetAlign>> aligned) {
  std::sort(aligned.begin(), aligned.end());
  std::vector<Run> runs;
  for (const auto& [letter, alignment] : aligned) {
    if (alignment == SheetAlign::Keep) continue;
    if (!runs.empty() && runs.back().alignment == alignment && runs.back().last + 1 == letter)
      runs.back().last = letter;
    else
      runs.push_back({letter, letter, alignment});
  }
  return runs;
}

SheetDesign DefinedSheet::DesignOf(const ReportDefinition& d) {
  const SheetForm& form = *d.sheet;
  return {.orientation = form.orientation,
          .sheetFontSize = form.fontSize,
          .pageRows = form.pageRows,
          .headingRowCount = static_cast<int>(form.heading.size()),
          .lastColumn = LastLetter(d)};
}

DefinedSheet::DefinedSheet(const ReportDefinition& definition, const RequestCriteria& request)
    : PageBlockSheet(DesignOf(definition), request.context),
      definition_(definition),
      form_(*definition.sheet) {
  if (definition.family == ReportFamily::Overview) {
    overview_ = &request.Overview();
    const StatementSpec& statement = form_.statement ? *form_.statement : definition.statement;
    // Only the overview rule has a date basis; the other rules select on the order date.
    invoiceDates_ =
        statement.where == WhereRule::Overview && overview_->DateBasis == DateBasis::Invoice;
  } else {
    rework_ = &request.Rework();
  }
  Plan();
}

DefinedSheet::~DefinedSheet() = default;

void DefinedSheet::Plan() {
  const int letters = LastLetter(definition_) - 'A' + 1;
  captions_.assign(static_cast<size_t>(letters), QString());
  widths_.assign(static_cast<size_t>(letters), 0);
  merges_.assign(static_cast<size_t>(letters), 0);
  std::vector<std::pair<char, SheetAlign>> aligned;
  SheetLine columns{.band = definition_.columnsBand, .counts = true};
  for (const Column& c : definition_.columns) {
    const SheetColumn& s = c.sheet;
    if (s.letter == 0) continue;
    const auto at = static_cast<size_t>(s.letter - 'A');
    captions_[at] = QString::fromUtf8(s.caption ? s.caption : c.caption);
    widths_[at] = s.width;
    merges_[at] = s.mergeThrough;
    ::tarvel::Cell cell = s.cell ? *s.cell : c.cell;
    // The order-date column follows the date basis; its inputs stay as they are.
    if (c.followsDateBasis && invoiceDates_) cell.column = "發票日期";
    columns.cells.push_back({s.letter, s.mergeThrough, cell, s.colour});
    aligned.emplace_back(s.letter, s.alignment);
  }
  columns.runs = RunsOf(aligned);
  lines_.push_back(std::move(columns));

  for (const ::tarvel::Line& line : definition_.lines) {
    SheetLine sheetLine{.band = line.band, .counts = false, .shownWhen = line.shownWhen};
    aligned.clear();
    for (const LineCell& lc : line.cells) {
      const Column* under = definition_.ColumnShowing(lc.under);
      if (under == nullptr || under->sheet.letter == 0) continue;
      const std::optional<::tarvel::Cell> cell = lc.sheet   ? lc.sheet
                                                 : lc.field ? std::optional(lc.cell)
                                                            : std::nullopt;
      if (!cell) continue;
      sheetLine.cells.push_back({under->sheet.letter, 0, *cell});
      aligned.emplace_back(under->sheet.letter, under->sheet.alignment);
    }
    sheetLine.runs = RunsOf(aligned);
    lines_.push_back(std::move(sheetLine));
  }

  // Each total adds its columns on the lines that show them.
  const auto plan = [&](const Footer& footer, int level) {
    sums_[level].assign(footer.totals.size(), 0);
    for (size_t t = 0; t < footer.totals.size(); ++t) {
      if (footer.totals[t].kind != TotalKind::Sum) continue;
      for (const char* column : footer.totals[t].columns) {
        for (size_t l = 0; l < lines_.size(); ++l) {
          const auto shows = [&](const char* c) { return std::string_view(c) == column; };
          bool has = false;
          if (l == 0) {
            has = definition_.ColumnShowing(column) != nullptr ||
                  std::any_of(definition_.hidden.begin(), definition_.hidden.end(),
                              [&](const HiddenField& h) { return shows(h.column); });
          } else {
            const ::tarvel::Line& line = definition_.lines[l - 1];
            has = std::any_of(line.cells.begin(), line.cells.end(),
                              [&](const LineCell& c) { return shows(c.cell.column); });
          }
          if (has) lines_[l].adds.push_back({level, t, column});
        }
      }
    }
  };
  plan(definition_.footer, 1);
  if (definition_.innerFooter) plan(*definition_.innerFooter, 2);
}

int DefinedSheet::Index(const db::Cursor& record, const char* column) const {
  const int index = record.FieldIndex(QString::fromUtf8(column));
  if (index < 0)
    throw Error(QStringLiteral("「%1」的資料沒有欄位 %2")
                    .arg(QString::fromUtf8(definition_.name), QString::fromUtf8(column)));
  return index;
}

void DefinedSheet::Resolve(const db::Cursor& record) {
  resolved_ = true;
  for (SheetLine& line : lines_) {
    for (SheetCell& cell : line.cells) {
      if (*cell.cell.column != '\0') cell.column = Index(record, cell.cell.column);
      for (const char* input : cell.cell.inputs)
        cell.inputs.push_back(Index(record, input));
    }
    if (line.shownWhen != nullptr) line.shownWhenColumn = Index(record, line.shownWhen);
    for (SheetLine::Add& add : line.adds)
      add.index = Index(record, add.column);
  }
  if (*definition_.outer.key != '\0') outerKey_ = Index(record, definition_.outer.key);
  if (definition_.inner) innerKey_ = Index(record, definition_.inner->key);
  for (const ::tarvel::HeadingRow& heading : form_.heading) {
    if (heading.piece != ::tarvel::HeadingRow::Piece::Salesperson) continue;
    empno_ = Index(record, "EMPNO");
    name_ = Index(record, "NAME");
  }
}

std::vector<double> DefinedSheet::ColumnWidths() const {
  return widths_;
}

QString DefinedSheet::Salesperson(const db::Cursor& record) const {
  return QLatin1Char('[') + record.Field(empno_).Text() + QStringLiteral("]  ") +
         record.Field(name_).Text();
}

void DefinedSheet::BeforeRecord(const db::Cursor& record) {
  if (!resolved_) Resolve(record);
  if (outerKey_ < 0) return;
  // A change of the outer key closes the block (the salesperson's) with its totals; the next
  // starts at the top of a new page block.
  const QString value = record.Field(outerKey_).Text();
  if (started_ && value != outerValue_) {
    // The inner group closes inside its outer one, before the block's totals.
    CloseInnerGroup(record);
    CloseBlock(record, [&] {
      std::fill(sums_[1].begin(), sums_[1].end(), 0);
      salesperson_ = empno_ >= 0 ? Salesperson(record) : QString();
    });
  }
  started_ = true;
  outerValue_ = value;
}

void DefinedSheet::WriteRecord(const db::Cursor& record) {
  if (innerKey_ >= 0) {
    const QString value = record.Field(innerKey_).Text();
    const bool starts = !innerStarted_ || value != innerValue_;
    if (starts) CloseInnerGroup(record);
    innerStarted_ = true;
    innerValue_ = value;
    if (starts)
      for (const SheetLine& line : lines_)
        if (line.band == SectionKind::GroupHeader2) WriteLine(line, record);
  }
  for (const SheetLine& line : lines_)
    if (line.band == SectionKind::Detail) WriteLine(line, record);
}

void DefinedSheet::AfterLastRecord(const db::Cursor& record) {
  CloseInnerGroup(record);
}

void DefinedSheet::CloseInnerGroup(const db::Cursor& record) {
  if (!innerStarted_) return;
  innerStarted_ = false;
  if (definition_.innerFooter)
    WriteFooter(*definition_.innerFooter, 2, NewLine(record, false), innerLines_);
  innerLines_ = 0;
}

void DefinedSheet::WriteLine(const SheetLine& line, const db::Cursor& record) {
  if (line.shownWhenColumn >= 0 && record.Field(line.shownWhenColumn).Text().isEmpty()) return;
  const int row = NewLine(record, line.counts);
  if (line.counts) ++innerLines_;
  for (const SheetCell& cell : line.cells) {
    if (cell.through != 0) MergeLeft(Span(cell.letter, cell.through, row));
    WriteCell(cell, row, record);
    if (cell.colour != XlColorIndex::kAutomatic)
      Cell(cell.letter, row).Font().SetColorIndex(cell.colour);
  }
  for (const Run& run : line.runs)
    Align(Span(run.first, run.last, row), run.alignment);
  if (form_.lineHeight > 0) Line(row).SetRowHeight(form_.lineHeight);
  ThinBottom(row);
  if (form_.wrapLines) Line(row).SetWrapText(true);
  for (const SheetLine::Add& add : line.adds)
    sums_[add.level][add.total] += FieldNumber(record.Field(add.index));
}

void DefinedSheet::WriteCell(const SheetCell& sheetCell, int row, const db::Cursor& record) const {
  const char letter = sheetCell.letter;
  const excel::Range cell = Cell(letter, row);
  const auto text = [&] { return record.Field(sheetCell.column).Text(); };
  switch (sheetCell.cell.shows) {
    case Shows::Stored:
      Text(letter, row, text());
      break;
    case Shows::Typed:
      cell.SetValue(text());
      break;
    case Shows::MonthDay:
      cell.SetQuotedText(Format(text().trimmed().right(4), QStringLiteral("00/00")));
      break;
    case Shows::FullDate:
      cell.SetQuotedText(Format(text().trimmed(), QStringLiteral("###/##/##")));
      break;
    case Shows::Grouped:
    case Shows::GroupedValue:
      Number(letter, row, FieldNumber(record.Field(sheetCell.column)));
      break;
    case Shows::Plain:
      cell.SetValue(FieldNumber(record.Field(sheetCell.column)));
      break;
    case Shows::Finished:
      cell.SetValue(text().isEmpty() ? QStringLiteral("N") : QStringLiteral("Y"));
      break;
    case Shows::Caption:
      cell.SetQuotedText(QString::fromUtf8(sheetCell.cell.caption) + text());
      break;
    case Shows::Computed: {
      CellInputs in;
      for (const int input : sheetCell.inputs)
        in.Add(record.Field(input));
      const db::Value value = sheetCell.cell.compute(in, context_);
      if (value.IsNull())
        cell.SetValue(QString());
      else if (value.IsNumber())
        cell.SetValue(value.IsInteger() ? static_cast<double>(value.AsInteger()) : value.AsReal());
      else
        Text(letter, row, value.ToText());
      break;
    }
    case Shows::Blank:
      break;
  }
}

void DefinedSheet::WriteTotalsRow(int row) {
  WriteFooter(definition_.footer, 1, row, Totals().dataRowCount);
}

void DefinedSheet::WriteFooter(const Footer& footer, int level, int row, qint64 count) {
  const QString countText = QString::fromUtf8(footer.sheetCaption) + QString::number(count) + u' ' +
                            QString::fromUtf8(footer.unit);
  if (footer.countMerged) MergeLeft(Span('A', 'C', row));
  Cell('A', row).SetValue(countText);
  std::vector<double>& sums = sums_[level];
  char first = 0;
  char last = 0;
  for (size_t t = 0; t < footer.totals.size(); ++t) {
    const Total& total = footer.totals[t];
    if (total.sheetLetter == 0) continue;
    const char letter = total.sheetLetter;
    first = first == 0 ? letter : std::min(first, letter);
    last = std::max(last, letter);
    switch (total.sheetShows) {
      case Shows::Plain:
        Cell(letter, row).SetValue(sums[t]);
        break;
      case Shows::Typed:
        if (total.mergeThrough != 0) MergeRight(Span(letter, total.mergeThrough, row));
        Cell(letter, row).SetValue(FormatGroupedNumber(sums[t]));
        break;
      case Shows::Computed: {
        const TotalCompute compute = total.sheetCompute ? total.sheetCompute : total.compute;
        Text(letter, row, compute(sums, context_).ToText());
        break;
      }
      default:
        Number(letter, row, sums[t]);
        break;
    }
  }
  if (footer.rightAlignTotals && first != 0) AlignRight(Span(first, last, row));
  TotalsBorders(row, footer.doubleTop);
  if (level == 2) std::fill(sums.begin(), sums.end(), 0);
}

void DefinedSheet::WriteHeadingRows(const db::Cursor& record) {
  using Piece = ::tarvel::HeadingRow::Piece;
  if (!resolved_) Resolve(record);
  if (empno_ >= 0 && salesperson_.isEmpty()) salesperson_ = Salesperson(record);
  for (size_t i = 0; i < form_.heading.size(); ++i) {
    const ::tarvel::HeadingRow& heading = form_.heading[i];
    const int row = HeadingRow(static_cast<int>(i));
    switch (heading.piece) {
      case Piece::Company:
        CompanyRow(row);
        break;
      case Piece::Title: {
        const excel::Range line = Line(row);
        MergeCenter(line);
        line.Font().SetName(QStringLiteral("標楷體"));
        line.Font().SetSize(heading.size);
        line.Font().SetBold(true);
        if (heading.underline) {
          line.Font().SetUnderline(XlUnderlineStyle::kSingle);
          line.SetRowHeight(kTitleRowHeight);
        }
        Cell('A', row).SetValue(QString::fromUtf8(heading.text ? heading.text : "工單一覽表"));
        break;
      }
      case Piece::Completion:
      case Piece::Delivery: {
        const bool completion = heading.piece == Piece::Completion;
        QString state = QStringLiteral("全　部");
        if (completion && overview_->CompletionFilter == CompletionFilter::Finished)
          state = QStringLiteral("已完工");
        else if (completion && overview_->CompletionFilter == CompletionFilter::Unfinished)
          state = QStringLiteral("未完工");
        else if (!completion && overview_->DeliveryFilter == DeliveryFilter::Cleared)
          state = QStringLiteral("已送清");
        else if (!completion && overview_->DeliveryFilter == DeliveryFilter::NotCleared)
          state = QStringLiteral("未送清");
        if (heading.merged) MergeLeft(Span(heading.first, Design().lastColumn, row));
        Cell(heading.first, row)
            .SetValue((completion ? QStringLiteral("完工狀態：") : QStringLiteral("送清狀態：")) +
                      state);
        if (heading.merged) AlignLeft(Cell(heading.first, row));
        break;
      }
      case Piece::Dates:
        WriteDates(heading, row);
        break;
      case Piece::Salesperson:
        if (heading.merged) {
          MergeLeft(Span('A', 'C', row));
          Cell('A', row).SetValue(QStringLiteral("業務員：") + salesperson_);
        } else {
          Cell('A', row).SetValue(QStringLiteral("業  務  員："));
          Cell('B', row).SetValue(salesperson_);
        }
        break;
      case Piece::Headings:
        WriteColumnHeadings(heading, row);
        break;
    }
  }
}

void DefinedSheet::WriteDates(const ::tarvel::HeadingRow& heading, int row) const {
  QString label = QString::fromUtf8(heading.text ? heading.text : "");
  if (heading.text == nullptr) {
    const DateBasis basis = overview_ ? overview_->DateBasis : DateBasis::Unset;
    label = basis == DateBasis::Invoice  ? QStringLiteral("發票日期：")
            : basis == DateBasis::Finish ? QStringLiteral("完工日期：")
                                         : QStringLiteral("工單日期：");
  }
  const QString& from = overview_ ? overview_->DateFrom : rework_->DateFrom;
  const QString& to = overview_ ? overview_->DateTo : rework_->DateTo;
  if (heading.datesThrough != 0) MergeLeft(Span('A', heading.datesThrough, row));
  const QString pattern = QStringLiteral("###/##/##");
  Cell('A', row).SetValue(label + Format(from, pattern) + QStringLiteral(" ～ ") +
                          Format(to, pattern));
  const char list = heading.first;
  if (heading.merged && list != Design().lastColumn)
    MergeLeft(Span(list, Design().lastColumn, row));
  Cell(list, row).SetValue(QString::fromUtf8(heading.listCaption) + RocToday());
  Align(Cell(list, row), heading.listAlign);
  if (heading.ruled) {
    const RangeBorder below = Line(row).Borders(XlBordersIndex::kEdgeBottom);
    below.SetLineStyle(XlLineStyle::kContinuous);
    below.SetWeight(XlBorderWeight::kMedium);
    below.SetColorIndex(XlColorIndex::kAutomatic);
  }
}

void DefinedSheet::WriteColumnHeadings(const ::tarvel::HeadingRow& heading, int row) const {
  const excel::Range line = Line(row);
  AlignCenter(line);
  if (heading.ruled) {
    line.Borders(XlBordersIndex::kEdgeTop).SetLineStyle(XlLineStyle::kContinuous);
    line.Borders(XlBordersIndex::kEdgeTop).SetWeight(XlBorderWeight::kMedium);
    line.Borders(XlBordersIndex::kEdgeTop).SetColorIndex(XlColorIndex::kAutomatic);
  }
  ThinBottom(row);
  for (size_t i = 0; i < captions_.size(); ++i) {
    const char letter = static_cast<char>('A' + i);
    if (!captions_[i].isEmpty()) Cell(letter, row).SetValue(captions_[i]);
    if (merges_[i] != 0) MergeCenter(Span(letter, merges_[i], row));
  }
}

}  // namespace tarvel::excel
