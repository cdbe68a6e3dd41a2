// The report catalogue: every report choice of both windows, the layouts each leads to and their
// exports, gathered from the definitions that register themselves (design/ReportRegistry.h) and
// the main window's option boxes (criteria/OptionBoxes.h). The windows, the output run and
// tarvel-cli ask a row; nothing else knows which layout, statement, page or export a choice has.
//
// Adding a report is its definition's file (and, when an option box picks it, the box's line and
// its place in the window's .ui file); docs/adding-a-report.md walks through it.
#pragma once

#include <QString>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>

#include "criteria/OptionBoxes.h"
#include "criteria/RequestCriteria.h"
#include "criteria/Statement.h"
#include "design/ReportDefinition.h"
#include "excel/PageBlockSheet.h"
#include "reports/LayoutDesign.h"
#include "reports/engine/Report.h"

namespace tarvel {

/// What a statement is composed for.
enum class StatementUse {
  Layout,  ///< the rows a layout prints, and the check before a print or preview
  Check,   ///< the check before an export (the proof list's leaves out its ORDER BY)
  Export,  ///< the rows an export writes
};

/// An export of a layout's rows to a workbook: a definition's sheet (several layouts may share
/// one: 表1's die-code and no-amount layouts export the item-code overview's).
struct ExportRow {
  const char* name;        ///< what it writes, "ItemCode": its golden sheet's name
  const char* errorTitle;  ///< the failure message's title, "表八轉Excel錯誤"
  excel::SheetDesign sheet;
  /// The statement it writes (overview exports; a rework list's comes from its choice).
  std::optional<StatementSpec> statement;
  const ReportDefinition* definition;  ///< whose sheet it is
};

/// One layout of a report choice, with its export when it has one.
struct ReportRow {
  ReportFamily family;
  /// Overview rows: the option box that picks this layout among its choice's (the first ticked
  /// box of the choice in the box table's order wins); null: the choice's layout when no box
  /// picks another.
  const OptionBox* box = nullptr;
  LayoutDesign layout;
  const ExportRow* exporter = nullptr;
  const ReportDefinition* definition = nullptr;

  /// The layout's name ("rptTarvel_1").
  QString Name() const { return QString::fromUtf8(layout.name); }
  int Choice() const { return layout.choice; }
  /// Whether the main window's state leads to this row among its choice's.
  bool Picks(const OverviewFormState& form) const;

  /// The statement of this row for `request`'s criteria. Export asks the export's statement
  /// (throws tarvel::Error when the row has no export).
  QString Statement(const RequestCriteria& request, StatementUse use) const;
  /// A new instance of the layout for one request, ActiveReport_Initialize raised with the
  /// request's criteria as they are now (the statement composed from them).
  std::unique_ptr<Report> CreateLayout(const RequestCriteria& request) const;
  /// The export's sheet for one request; throws tarvel::Error when the row has no export.
  std::unique_ptr<excel::PageBlockSheet> CreateExport(const RequestCriteria& request) const;
};

/// The option panel a main-window choice shows when 選項 is ticked.
enum class OptionPanel { None, Options, SalesRange };

/// What choosing a main-window report shows and hides, by control name, besides what every
/// choice resets first and the option boxes it offers (criteria/OptionBoxes.h).
struct WindowRule {
  std::initializer_list<const char*> shown;
  std::initializer_list<const char*> hidden;
  OptionPanel panel = OptionPanel::None;
  bool allCompletion = false;    ///< 完工狀態 "全部" is chosen
  bool allInvoices = false;      ///< 發票狀態 "全部" is chosen
  bool customerRange = false;    ///< the 客戶 range button is offered
  bool untickOptions = false;    ///< 選項 is unticked (its panels hidden) before anything else
  bool kindBesideSales = false;  ///< 類別 moves up beside 業務員
  const char* focus = nullptr;   ///< the box that takes the focus
};

/// The controls every main-window choice shows again before its own rule applies.
std::span<const char* const> ShownByEveryChoice();

/// A report choice: an option button of its window and what choosing it shows and hides (the main
/// window's; the rework window moves its criteria groups itself).
struct ChoiceRow {
  ReportFamily family;
  int index;  ///< the option's index (sopt選擇報表_N)
  WindowRule window;
};

/// Every layout row, grouped by family and choice, a choice's rows in their precedence (the
/// option boxes' order, the layout no box picks last).
std::span<const ReportRow> ReportRows();
/// Every choice of both windows.
std::span<const ChoiceRow> ChoiceRows();

/// The row the main window's choice and check boxes lead to. Throws tarvel::Error for a choice the
/// catalogue does not know.
const ReportRow& RowFor(const OverviewFormState& form);
/// The row of a rework-window choice. Throws tarvel::Error for a number that is no choice.
const ReportRow& ReworkRowFor(int choice);
/// The layout row called `name` ("rptTarvel_1", "rpt重工明細表"), or nullptr.
const ReportRow* FindRow(const QString& name);
/// The choice row of `family`'s option `index`. Throws tarvel::Error for an unknown one.
const ChoiceRow& ChoiceFor(ReportFamily family, int index);
/// Whether any layout of the choice exports to Excel.
bool ChoiceExports(ReportFamily family, int index);

}  // namespace tarvel
