// What every work-order overview layout shares: the statement from the criteria, the title block,
// and the row texts (finished flag, day count, month/day, grouped amounts).
#pragma once

#include <vector>

#include "overview/criteria/WorkOrderCriteria.h"
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
};

/// One total of an overview footer line.
struct FooterTotal {
  const char* field;
  /// The column the engine sums over GroupHeader1; "" for a total the layout keeps itself.
  const char* column;
  int left;   ///< twips
  int width;  ///< twips
  bool visible = true;
};

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

/// The title block controls of `spec` (company, title, status lines, salesperson block, date range
/// on top 810 and the print date), for a GroupHeader1 whose column headings start at 1215.
std::vector<ControlDef> OverviewTitleBlock(const TitleBlockSpec& spec);

/// The heading labels (each underlined by a rule of its width) and the detail fields of `columns`.
/// A column whose `field` is null is a heading with nothing under it.
void AddColumns(SectionDef& headings, int headingTop, SectionDef& detail, int detailTop,
                const std::vector<OverviewColumn>& columns, FontSpec font, int height);

/// The footer line between two rules `ruleWidth` long: "合        計：", the count field (the
/// engine's count of PO, or unbound when `engineCount` is false) with "件", then `totals`.
std::vector<ControlDef> OverviewFooter(int ruleWidth, const char* countField, bool engineCount,
                                       const std::vector<FooterTotal>& totals,
                                       FontSpec font = FontSpec{QStringLiteral("新細明體"), 12});

/// The per-salesperson form of a list: GroupHeader1 starts a page of its own, with its title
/// block and its totals, for every EMPNO (the rows come ordered by EMPNO).
void GroupBySalesperson(SectionDef& header);
/// Drops the 業務員 (NAME) column: the salesperson stands in the title block instead.
void DropSalespersonColumn(std::vector<OverviewColumn>& columns);

/// A layout named `name` with the given bands between the empty page header and page footer that
/// every overview layout has.
LayoutDefinition OverviewDesign(const QString& name, Orientation orientation,
                                std::vector<SectionDef> bands);

class OverviewReport : public Report {
 public:
  /// Takes a copy of the criteria and the context as they are at the request: the instance shows
  /// exactly that request's rows, whatever happens to the process-wide records afterwards.
  OverviewReport(LayoutDefinition layout, const WorkOrderCriteria& criteria,
                 const AppContext& context);

 protected:
  /// DataControl1 := the connection string and "select * from [table] " + the overview rule +
  /// `orderBy`; with the invoice date as date basis, txtODATE shows 發票日期.
  void BindOverview(const QString& table, const QString& orderBy, bool withCustomerRange,
                    bool withPositiveAmount);
  /// DataControl1 := the connection string and `statement`.
  void Bind(const QString& statement);

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
  /// The date texts of a work-order line: txtFDATE := FinishedFlag, `dayCountField` (unless null)
  /// := DayCount from txtODATE's value (order or invoice date), then txtODATE := MonthDay.
  void WriteWorkOrderDates(const char* dayCountField = "txt天數");

  /// Writes FormatGrouped of each named field's value as its text.
  void WriteGrouped(std::initializer_list<const char*> fields);
  /// Sets an unbound field's value and shows it through the field's output format.
  void SetFormattedValue(const char* field, const QString& value);

  const WorkOrderCriteria criteria_;
  const AppContext context_;
};

}  // namespace tarvel
