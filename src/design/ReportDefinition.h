// A report as one value: the rows it reads, the columns it shows (with their place on the page
// and on the sheet), its groups and totals, its page and its sheet. The banded layout
// (reports/DefinedReport.h) and the page-block sheet (excel/DefinedSheet.h) are both built from
// it, as every exporter of a JasperReports design builds from the one design: a report is written
// once, and where its sheet differs from its print the definition says so here, as data.
#pragma once

#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "criteria/Statement.h"
#include "db/Value.h"
#include "excel/workbook/XlConstants.h"
#include "reports/engine/ReportLayout.h"
#include "startup/AppContext.h"

namespace tarvel {

class Report;
struct RequestCriteria;
struct ReportDefinition;

/// Which window's report choices a definition belongs to.
enum class ReportFamily { Overview, Rework };

/// How a cell shows its value. One rule serves the printed field and the sheet's cell, each
/// writing it its own way.
enum class Shows : std::uint8_t {
  Stored,        ///< as the row holds it: the engine's text (through the field's output format);
                 ///< on the sheet "'" and the trimmed text
  Typed,         ///< printed as Stored; on the sheet without the apostrophe (a number stays one)
  MonthDay,      ///< mm/dd of a 7-digit ROC date
  FullDate,      ///< yyy/mm/dd of a 7-digit ROC date (printed through the output format)
  Grouped,       ///< thousands separators and its own decimals; on the sheet the number with
                 ///< that number format
  GroupedValue,  ///< printed as Grouped of Val of the text; on the sheet as Grouped
  Plain,         ///< printed as Grouped; on the sheet the number without a format
  Finished,      ///< "Y" when the column holds a date, else "N"
  Computed,      ///< the cell's function of its inputs
  Caption,       ///< printed as a fixed label; on the sheet the caption and the column's text
  Blank,         ///< nothing: on the sheet an empty cell that takes its column's alignment
};

/// The most inputs a computed cell reads.
inline constexpr size_t kMaxInputs = 8;

/// The values a computed cell reads: its inputs, in the order the cell names them.
class CellInputs {
 public:
  CellInputs() = default;
  const db::Value& operator[](size_t i) const { return *values_[i]; }
  size_t size() const { return size_; }
  void Add(const db::Value& value) { values_[size_++] = &value; }
  void Clear() { size_ = 0; }

 private:
  std::array<const db::Value*, kMaxInputs> values_{};
  size_t size_ = 0;
};

/// A computed cell's value: text, a number, or null (an empty cell).
using Compute = db::Value (*)(const CellInputs& in, const AppContext& context);

/// What a cell shows and where its value comes from.
struct Cell {
  Shows shows = Shows::Stored;
  /// The column shown (every kind but Computed); a printed field is bound to it.
  const char* column = "";
  /// Computed: the columns it reads (at most kMaxInputs), and its function.
  std::vector<const char*> inputs;
  Compute compute = nullptr;
  /// Caption: the fixed text.
  const char* caption = "";
};

/// Cells by kind, as the definitions write them.
inline Cell Stored(const char* column) {
  return {.shows = Shows::Stored, .column = column};
}
inline Cell Shown(Shows shows, const char* column) {
  return {.shows = shows, .column = column};
}
/// `compute` of `inputs`; a printed field stays bound to `column` ("" unbound).
inline Cell Computed(Compute compute, std::vector<const char*> inputs, const char* column = "") {
  return {
      .shows = Shows::Computed, .column = column, .inputs = std::move(inputs), .compute = compute};
}
/// The days from the order date (ODATE, or what the date column shows) to the finish date
/// (FDATE, or today).
Cell DaysToFinish();

/// Where a sheet cell stands in its column.
enum class SheetAlign : std::uint8_t { Keep, Left, Center, Right };

/// A column on the sheet: its letter, width and heading, and how its cells are set apart.
struct SheetColumn {
  char letter = 0;                ///< 'A' …; 0: the column is not on the sheet
  double width = 0;               ///< characters; 0 leaves the column's width to Excel
  const char* caption = nullptr;  ///< nullptr: the printed caption
  SheetAlign alignment = SheetAlign::Keep;
  char mergeThrough = 0;  ///< the cell merges with the columns after it up to this letter
  excel::XlColorIndex colour = excel::XlColorIndex::kAutomatic;
  std::optional<Cell> cell;  ///< what the sheet shows where it is not what the page shows
};

/// One column of a list: the heading over it and the field under it on the page, its cell on the
/// sheet, and what both show.
struct Column {
  const char* heading = nullptr;  ///< the heading label ("Label3"); nullptr: no heading
  const char* caption = "";       ///< its caption
  const char* field = nullptr;    ///< the field under it ("txtPO"); nullptr: a heading only
  int left = 0;                   ///< twips (FlowColumns places a list side by side)
  int width = 0;                  ///< twips
  Alignment alignment = Alignment::Left;
  bool fieldVisible = true;  ///< false: the field is bound but hidden in the design
  Cell cell;
  /// The order-date column: under the invoice date as date basis (the overview rule) it shows
  /// 發票日期, on the page (the field rebound) and on the sheet.
  bool followsDateBasis = false;
  /// The heading reads 發票日期 under the invoice date as date basis, else 工單日期.
  bool captionByDateBasis = false;
  SheetColumn sheet;

  // Short changes, so a definition reads as its table.
  Column Titled(const char* heading_caption) const;
  Column Sheet(char letter, double width, SheetAlign alignment = SheetAlign::Keep,
               const char* sheetCaption = nullptr) const;
  Column SheetShows(Cell sheetCell) const;
  Column At(int left_twips) const;
};

/// A cell of a line of its own (a combined-plate line, a group's heading or subtotal line),
/// under one of the columns.
struct LineCell {
  const char* under = "";       ///< the column it stands under, by the column's own column name
  const char* field = nullptr;  ///< the printed field or label; nullptr: the sheet's only
  Cell cell;
  /// The sheet's cell where it differs; a Blank cell with the column's alignment when the line
  /// writes nothing there; nullopt and `field` set: `cell`.
  std::optional<Cell> sheet;
  Alignment alignment = Alignment::Left;
  /// Placed on the page by itself (twips) rather than under its column's heading: a second line
  /// of a band. `left` < 0: under the column.
  int left = -1;
  int top = 0;
  int width = 0;
};

/// A field a band binds but does not print (a value a computed cell or a total reads).
struct HiddenField {
  const char* field;
  const char* column;
};

/// A line besides the columns' own: its band, its cells, and when it is left out.
struct Line {
  SectionKind band = SectionKind::Detail;
  std::vector<LineCell> cells;
  /// A column the line needs: where it is empty the line is left out (on the page its band is
  /// hidden).
  const char* shownWhen = nullptr;
  std::vector<HiddenField> hidden;
};

/// A group of rows: where it starts and whether it starts a page.
struct Group {
  const char* key = "";  ///< the column whose change starts a group; "": one group of all rows
  bool newPage = false;  ///< each group on a page (page block) of its own
};

/// What a total adds up, and how it is shown.
enum class TotalKind : std::uint8_t {
  Sum,       ///< Val of its columns over the lines that show them
  Computed,  ///< a function of the other totals of its group
  Hook,      ///< kept by the layout's own hook (printed only)
};

/// A computed total from the other totals of its group, in their order (its own place 0).
using TotalCompute = db::Value (*)(std::span<const double> totals, const AppContext& context);

/// One total of a group's footer line.
struct Total {
  const char* field;  ///< the printed field ("txt數量合計")
  TotalKind kind = TotalKind::Sum;
  std::vector<const char*> columns;  ///< Sum: the columns it adds
  /// Sum: the engine's summary field over the group (the design's); false: the layout adds the
  /// lines it shows itself (a total over more than one line's columns).
  bool engine = true;
  TotalCompute compute = nullptr;       ///< Computed, on the page
  TotalCompute sheetCompute = nullptr;  ///< Computed, on the sheet (nullptr: `compute`)
  Shows shows = Shows::Grouped;         ///< Grouped, GroupedValue or Computed
  int left = 0;                         ///< twips
  int width = 0;                        ///< twips
  bool visible = true;
  /// On the sheet: its letter (0: not written), how (Grouped with its format, Plain, or
  /// Typed: the grouped text, merged right through `mergeThrough`).
  char sheetLetter = 0;
  Shows sheetShows = Shows::Grouped;
  char mergeThrough = 0;
};

/// A group's totals line: the count of its lines and its totals.
struct Footer {
  const char* caption = "合        計：";  ///< printed
  const char* countField = "Field1";
  bool countByEngine = true;  ///< the engine counts PO; false: the layout counts its lines
  const char* unit = "件";
  std::vector<Total> totals;
  // The sheet's line.
  const char* sheetCaption = "合　　計：";
  bool countMerged = true;       ///< the count on A to C merged left; false: A alone
  bool rightAlignTotals = true;  ///< the totals' columns right-aligned, first to last
  bool doubleTop = false;        ///< a double rule over the line
};

/// The title block of the page: which of its parts a layout has and where they stand.
struct TitleBlock {
  enum class Form { Overview, Rework } form = Form::Overview;
  const char* title = "工單一覽表";  ///< Label1, 18 points 標楷體
  int titleLeft = 6135;              ///< twips (overview form)
  bool titleVisible = true;
  bool titleCentred = false;
  bool companyVisible = false;    ///< txt公司名稱, 20 points 標楷體, top left
  bool companyHeadsPage = false;  ///< without a title: the company centred over the columns
  int rightLeft = 12570;          ///< left of the right-hand captions (twips)
  bool statusLines = true;        ///< 完工狀態 and 送清狀態
  bool salespersonBlock = true;   ///< 業  務  員：[EMPNO] NAME: shown in a list per salesperson
  const char* salesNameField = "Field2";
  const char* printDateField = "txt列印日期";
  const char* printDateCaption = "列表日期：";
  const char* dateCaption = "日期起迄：";  ///< the design caption of the date range
  const char* dateCaptionName = "lbl日期";
  bool dateCaptionByBasis = true;  ///< the caption says which date the range is of
  bool pageNumber = false;         ///< 頁次 counted by the layout on every page
  FontSpec font = FontSpec{QStringLiteral("新細明體"), 12};
};

/// The measures of a list on the page (twips, but the font).
struct ListMeasures {
  int ruleWidth = 0;  ///< the rules' width; 0: from 90 twips to the last column's right edge
  int headerHeight = 1560;
  int headingTop = 1215;   ///< the column headings; the rule over them 45 twips higher
  int detailHeight = 345;  ///< the rule under each line is 15 twips above its bottom
  int detailTop = 45;
  FontSpec font = FontSpec{QStringLiteral("新細明體"), 11};
  int lineHeight = 255;
};

/// A row of the sheet's heading block.
struct HeadingRow {
  enum class Piece { Company, Title, Completion, Delivery, Dates, Salesperson, Headings } piece;
  double size = 18;            ///< Title: points
  bool underline = false;      ///< Title: underlined on a taller row
  const char* text = nullptr;  ///< Title: nullptr "工單一覽表"; Dates: the label, nullptr by basis
  char first = 0;              ///< Completion, Delivery: the letter; Dates: the list date's
  bool merged = true;          ///< Completion, Delivery, Salesperson: merged left to the end
  char datesThrough = 0;       ///< Dates: the range merged left from A through it; 0: A alone
  SheetAlign listAlign = SheetAlign::Left;  ///< Dates: the list date's alignment
  const char* listCaption = "列表日期：";
  bool ruled = true;  ///< Headings: a medium rule above; Dates: a medium rule below
};

/// The pieces of a heading block.
HeadingRow CompanyRow();
HeadingRow TitleRow(double size, bool underline = false, const char* text = nullptr);
HeadingRow CompletionRow(char first, bool merged = true);
HeadingRow DeliveryRow(char first, bool merged = true);
/// The date range on A (merged through `datesThrough`) under `label` (nullptr: by the date
/// basis), the list date on `listFirst` (merged left to the last column when it is not the last).
HeadingRow DatesRow(const char* label, char datesThrough, char listFirst,
                    SheetAlign listAlign = SheetAlign::Left);
/// The block's salesperson: "業  務  員：" on A and "[EMPNO]  NAME" on B, or merged on A to C
/// as "業務員：[EMPNO]  NAME".
HeadingRow SalespersonRow(bool merged);
HeadingRow HeadingsRow(bool ruledAbove = true);

/// The sheet of a definition: its page blocks, heading block and totals line.
struct SheetForm {
  const char* name = "";        ///< what it writes ("ItemCode": its golden sheet's name)
  const char* errorTitle = "";  ///< the failure message's title, "表八轉Excel錯誤"
  excel::XlPageOrientation orientation = excel::XlPageOrientation::kLandscape;
  double fontSize = 0;  ///< points of the whole sheet; 0 leaves the Normal font's
  int pageRows = 28;    ///< rows of one printed page block
  std::vector<HeadingRow> heading;
  double lineHeight = 0;   ///< points of every line's row; 0 leaves the sheet's
  bool wrapLines = false;  ///< the lines wrap their text
  /// The statement it writes, where it is not the layout's own.
  std::optional<StatementSpec> statement;
};

/// A layout with handlers of its own (a lookup per row): its factory. Null: the layout is built
/// from the definition alone.
using LayoutHook = std::unique_ptr<Report> (*)(const ReportDefinition& definition,
                                               const RequestCriteria& request);

struct ReportDefinition {
  /// The design's name ("rptTarvel_1", "rpt重工明細表"): what users, stored settings and the
  /// golden files know the layout by.
  const char* name = "";
  ReportFamily family = ReportFamily::Overview;
  int choice = 0;  ///< the report choice (option index) of its window that prints it
  /// The command-line flag of the option box (criteria/OptionBoxes.h) that picks it among its
  /// choice's layouts; nullptr: the choice's layout when no box picks another.
  const char* pickedBy = nullptr;
  /// The statement of an overview layout; a rework layout composes its own from the choice.
  StatementSpec statement;
  PageSettings page;

  TitleBlock title;
  ListMeasures measures;
  std::vector<Column> columns;
  std::vector<HiddenField> hidden;  ///< bound but unprinted fields of the columns' band
  Group outer;                      ///< GroupHeader1: the title block and headings
  std::optional<Group> inner;       ///< GroupHeader2
  /// The band of the columns' line: Detail, or GroupHeader2 when each inner group is one line
  /// with lines of its own under it.
  SectionKind columnsBand = SectionKind::Detail;
  std::vector<Line> lines;
  Footer footer;                      ///< GroupFooter1
  std::optional<Footer> innerFooter;  ///< GroupFooter2

  /// The sheet it exports, or the definition whose sheet it exports (its name), or neither.
  std::optional<SheetForm> sheet;
  const char* sheetOf = nullptr;
  LayoutHook layoutHook = nullptr;

  /// The column whose cell shows `column` (its own column name); nullptr when there is none.
  const Column* ColumnShowing(const char* column) const;
};

/// A page of `orientation` with the four margins in the engine's order (left, right, top,
/// bottom), twips, and the paper of the printer unless `paper` names one.
PageSettings PrintedPage(Orientation orientation, float left, float right, float top, float bottom,
                         std::optional<int> paper = std::nullopt);

/// Places the printed `columns` side by side from `left`, `gap` twips apart; returns the right
/// edge of the last.
int FlowColumns(std::vector<Column>& columns, int left = 90, int gap = 45);

}  // namespace tarvel
