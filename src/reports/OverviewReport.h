// What every work-order overview layout shares: the statement from the criteria, the title block,
// and the row texts (finished flag, day count, month/day, grouped amounts).
#pragma once

#include <vector>

#include "criteria/WorkOrderCriteria.h"
#include "reports/LayoutDesign.h"
#include "reports/engine/Report.h"
#include "startup/AppContext.h"

namespace tarvel {

/// One column of an overview list: its heading label and the detail field under it.
struct OverviewColumn {
  const char* heading;  ///< heading label name ("Label3")
  const char* caption;  ///< heading text
  const char* field;    ///< detail field name ("txtPO")
  const char* column;   ///< bound column; "" for an unbound field
  int left;             ///< twips
  int width;            ///< twips
  Alignment alignment = Alignment::Left;
  const char* outputFormat = "";
  bool fieldVisible = true;  ///< false: the field is hidden in the design (still bound)

  /// The same column under another heading caption.
  OverviewColumn Titled(const char* heading_caption) const {
    OverviewColumn c = *this;
    c.caption = heading_caption;
    return c;
  }
};

/// The columns that recur across the overview lists, with the control names and captions every
/// layout gives them; `left` and `width` in twips (0 when FlowColumns places them).
namespace columns {
OverviewColumn WorkOrderNo(int left, int width);   ///< 工單單號: Label3, txtPO = PO
OverviewColumn OrderDate(int left, int width);     ///< 日期: Label28, txtODATE = ODATE, centred
OverviewColumn Customer(int left, int width);      ///< 客戶: Label11, txtSNAME = SNAME
OverviewColumn ItemCode(int left, int width);      ///< 印件代號: Label35, txtCODE = CODE
OverviewColumn ItemName(int left, int width);      ///< 印件名稱: Label2, txtDESC = DESC
OverviewColumn Quantity(int left, int width);      ///< 數量: Label12, txtQTY = QTY, right
OverviewColumn Price(int left, int width);         ///< 單價: Label29, txtPRICE = PRICE, right
OverviewColumn Amount(int left, int width);        ///< 金額: Label15, txtAMT = AMT, right
OverviewColumn Salesperson(int left, int width);   ///< 業務員: Label19, txtNAME = NAME
OverviewColumn PromisedDate(int left, int width);  ///< 預交日: Label34, Field4 = PDATE, yyy/mm/dd
OverviewColumn Finished(int left, int width);      ///< 完工: Label21, txtFDATE = FDATE (Y/N)
OverviewColumn Days(int left, int width);          ///< 天數: Label30, txt天數 (unbound), right
OverviewColumn Kind(int left, int width);          ///< 單別: Label31, Field3 = KIND
}  // namespace columns

/// The column whose detail field is `field`; throws tarvel::Error when there is none.
const OverviewColumn& ColumnOf(const std::vector<OverviewColumn>& columns, const char* field);

/// Places `columns` side by side from `left`, `gap` twips apart; returns the right edge of the
/// last.
int FlowColumns(std::vector<OverviewColumn>& columns, int left = 90, int gap = 45);

/// One total of an overview footer line.
struct FooterTotal {
  const char* field;
  /// The column the engine sums over GroupHeader1; "" for a total the layout keeps itself.
  const char* column;
  int left;   ///< twips
  int width;  ///< twips
  bool visible = true;

  /// A total right-aligned to the right edge of `under`, `width` twips wide (it may reach into
  /// the empty footer space of the columns before it).
  static FooterTotal Under(const OverviewColumn& under, const char* field, const char* column,
                           int width = 1545) {
    return {field, column, under.left + under.width - width, width};
  }
};

/// How an overview footer counts its lines: the engine counts PO, or the layout writes the count
/// into an unbound field itself.
enum class FooterCount { Engine, Layout };

/// The footer line of an overview.
struct FooterSpec {
  int ruleWidth;                      ///< twips, from the left of the first column
  const char* countField = "Field1";  ///< the count's field
  FooterCount count = FooterCount::Engine;
  const char* unit = "件";  ///< after the count
  std::vector<FooterTotal> totals;
};

/// One list of the rows, or one list per salesperson.
enum class Listing { Whole, PerSalesperson };

/// Where the parts of the common title block stand, and which of them a layout has.
struct TitleBlockSpec {
  const char* title = "工單一覽表";  ///< Label1
  int titleLeft = 6135;              ///< twips; the title is 18 points 標楷體
  bool titleVisible = true;
  bool companyVisible = false;  ///< txt公司名稱 (20 points 標楷體, top left) printed or hidden
  int rightLeft = 12570;  ///< left of the right-hand captions (完工狀態, 送清狀態, 列表日期)
  bool statusLines = true;  ///< 完工狀態 and 送清狀態
  /// The salesperson block (業  務  員：[EMPNO] NAME): absent, hidden, or shown (layouts grouped
  /// per salesperson). `salesNameField` names its NAME field.
  enum class Salesperson { Absent, Hidden, Shown } salesperson = Salesperson::Hidden;
  const char* salesNameField = "Field2";
  const char* printDateField = "txt列印日期";
  const char* printDateCaption = "列表日期：";
  /// The design caption of lbl日期: FillTitleBlock replaces it, FillTitleDates keeps it.
  const char* dateCaption = "日期起迄：";
  FontSpec font = FontSpec{QStringLiteral("新細明體"), 12};
};

/// The salesperson block of a list's title: shown per salesperson, hidden in the whole list.
inline TitleBlockSpec::Salesperson SalespersonBlockOf(Listing listing) {
  return listing == Listing::PerSalesperson ? TitleBlockSpec::Salesperson::Shown
                                            : TitleBlockSpec::Salesperson::Hidden;
}

/// The title block controls of `spec` (company, title, status lines, salesperson block, date range
/// on top 810 and the print date), for a GroupHeader1 whose column headings start at 1215.
std::vector<ControlDef> OverviewTitleBlock(const TitleBlockSpec& spec);

/// The heading labels (each underlined by a rule of its width) and the detail fields of `columns`.
/// A column whose `field` is null is a heading with nothing under it.
void AddColumns(SectionDef& headings, int headingTop, SectionDef& detail, int detailTop,
                const std::vector<OverviewColumn>& columns, FontSpec font, int height);

/// The GroupFooter1 band: the line between two rules, "合        計：", the count with its unit,
/// then the totals, all in 新細明體 12.
SectionDef OverviewFooter(const FooterSpec& spec);

/// The measures of an overview list (twips, but the font).
struct ListDesign {
  int ruleWidth;  ///< from the first column's left to the last column's right
  Listing listing = Listing::Whole;
  int headerHeight = 1560;
  int detailHeight = 345;  ///< the rule under each line is 15 twips above its bottom
  int detailTop = 45;      ///< top of the detail fields
  FontSpec font = FontSpec{QStringLiteral("新細明體"), 11};
  int lineHeight = 255;  ///< height of the headings and of the detail fields
};

/// GroupHeader1 and Detail of an overview list: the header (repeated on every page) holds
/// `titleBlock`, a rule on top 1170 and the headings of `columns` from top 1215; the detail holds
/// their fields and the rule under the line. Per salesperson, GroupHeader1 is the EMPNO group:
/// every salesperson starts a page of his own with his own title block and totals (the rows come
/// ordered by EMPNO).
struct ListBands {
  SectionDef header;
  SectionDef detail;
};
ListBands OverviewList(const ListDesign& design, std::vector<ControlDef> titleBlock,
                       const std::vector<OverviewColumn>& columns);

/// Drops the 業務員 (NAME) column of a per-salesperson list: the salesperson stands in the title
/// block instead.
void DropSalespersonColumn(std::vector<OverviewColumn>& columns);

/// What OverviewReport::WriteWorkOrderDates writes besides the finished flag.
struct WorkOrderDates {
  bool dayCount = true;  ///< txt天數 := the day count
  bool monthDay = true;  ///< txtODATE := mm/dd
};

class OverviewReport : public Report {
 public:
  /// Takes a copy of the criteria and the context as they are at the request: the instance shows
  /// exactly that request's rows, whatever happens to the process-wide records afterwards.
  /// The design is `design`'s name and page with `bands` between the empty page header and page
  /// footer every overview layout has.
  OverviewReport(const LayoutDesign& design, std::vector<SectionDef> bands,
                 const WorkOrderCriteria& criteria, const AppContext& context);

  /// DataControl1 := the connection string and the catalogue's statement of this layout; under
  /// the overview rule with the invoice date as date basis, txtODATE shows 發票日期.
  void ActiveReport_Initialize() override;

  const LayoutDesign& Design() const { return design_; }

 protected:
  /// The common title block: company, print date, date range, date caption, delivery and
  /// completion texts; controls the layout lacks are passed over.
  void FillTitleBlock();
  /// Only company, print date and date range: for the layouts whose date caption keeps its design
  /// text and that print no criteria texts.
  void FillTitleDates();

  /// "N" when the field's trimmed value is empty, else "Y".
  static QString FinishedFlag(const db::Value& finishDate);
  /// Days from the order date to the finish date (or today); empty without an order date.
  static QString DayCount(const db::Value& orderDate, const db::Value& finishDate);
  /// The last four characters of a date value as mm/dd.
  static QString MonthDay(const db::Value& date);

  /// The date texts of a work-order line: txtFDATE := FinishedFlag, then what `dates` asks for,
  /// from txtODATE's value (the order or invoice date).
  void WriteWorkOrderDates(WorkOrderDates dates = {});

  /// Writes FormatGrouped of each named field's value as its text.
  void WriteGrouped(std::initializer_list<const char*> fields);
  /// Writes FormatGrouped of the plain number text of Val of each named field's value: " 1234.50"
  /// and "1234.5" both give 1,234.5.
  void WriteGroupedValues(std::initializer_list<const char*> fields);
  /// Sets an unbound field's value and shows it through the field's output format.
  void SetFormattedValue(const char* field, const QString& value);

  const WorkOrderCriteria criteria_;
  const AppContext context_;

 private:
  const LayoutDesign design_;
};

}  // namespace tarvel
