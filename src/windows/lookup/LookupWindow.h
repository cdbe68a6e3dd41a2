// The three picker windows (customers, employees, vendors): one design, a grid of the query's rows
// from which Enter or the right mouse button picks one.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "db/Recordset.h"
#include "windows/lookup/LookupStatements.h"
#include "windows/lookup/LookupValues.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace Ui {
class LookupWindow;
}

namespace tarvel {

struct AppContext;
class LookupRowsModel;

/// One picker. Its load (the constructor) empties values.LookupResult, centres the window and then
/// places it beside the caller's window; its first activation runs the query (FillLookupGrid).
/// Enter in the grid copies the current row's texts (every column, hidden ones too) into
/// values.LookupResult and accepts; the right mouse button does the same for the row under the
/// pointer (the current row when it is below the last row). Without rows both do nothing. Escape
/// or the close box rejects, leaving LookupResult empty.
///
/// Colours come from AppContext::LookupColours (decimal red + 256 × green + 65536 × blue; an
/// entry that is empty or no number leaves that part in the style's colour):
///   colour 1 (LookupColours[0]): the lines between the cells;
///   colour 2: the grid's background;
///   colours 3 / 4: background / text of the chosen (current) row, with or without the focus;
///   colours 5 / 6: background / text of the heading;
///   colour 7: the lines between and below the headings.
class LookupWindow : public QDialog {
  Q_OBJECT

 public:
  /// The window's design size in twips (the width is the visible columns' and the scroll bar's).
  static constexpr int kHeightTwips = 6000;
  /// Placement beside the caller's window, in twips from its left or right edge and its top.
  static constexpr int kBesideLeftTwips = 11850;
  static constexpr int kBesideTopTwips = 1150;
  static constexpr int kVendorRightMarginTwips = 200;
  static constexpr int kVendorTopTwips = 1300;
  /// The window whose picker is placed beside the window below it.
  static constexpr char16_t kCustomerRangeDialog[] = u"frmTarvel_客戶起迄";

  /// `caller` is the control or window that opens the picker (may be null); it becomes the
  /// dialog's parent. `context` and `values` must outlive the window.
  LookupWindow(LookupKind kind, const AppContext& context, LookupValues& values,
               QWidget* caller = nullptr);
  ~LookupWindow() override;

  LookupKind Kind() const { return kind_; }
  /// The grid (MSHFlexGrid1) and its rows.
  QTableView* Grid() const;
  const LookupRowsModel& Rows() const { return *model_; }
  /// Whether the first activation has come (and with it the fill).
  bool Activated() const { return activated_; }

  /// The grid's column widths in twips, by query column; 0 hides the column.
  static std::vector<int> ColumnWidthsTwips(LookupKind kind);
  /// The title of the message box when the fill fails.
  static QString FillErrorTitle(LookupKind kind);

  /// Runs the picker's query (the fallback when the search finds nothing) and shows its rows, the
  /// first one current. A database error is shown in a message box; the window stays open.
  void FillLookupGrid();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FirstActivation();
  db::Recordset QueryRows();
  void ShowRows(db::Recordset rows);
  void PlaceBeside(const QWidget* caller);
  void ApplyColours(const std::array<QString, 7>& colours);
  void KeepCurrentRowSelected();
  /// Copies the current row into LookupResult and accepts; without a current row, nothing.
  void PickCurrentRow();

  std::unique_ptr<Ui::LookupWindow> ui_;
  LookupKind kind_;
  const AppContext& context_;
  LookupValues& values_;
  LookupRowsModel* model_;  // owned by the window
  bool activated_ = false;
};

/// Opens a picker modally: sets nothing itself; the caller has put the seed (and the vendor kind)
/// into `values`. Returns when the picker has closed; values.LookupResult holds the choice.
using LookupOpener = std::function<void(LookupKind kind, LookupValues& values, QWidget* caller)>;

/// Looks a typed code up in a picker seeded with it, for a code box with its name beside it: the
/// picker's choice fills both (trimmed); a picker closed without a choice and without a second
/// value empties both; otherwise both stay as typed.
void LookUpCode(LookupKind kind, const LookupOpener& open, LookupValues& values, QLineEdit* box,
                QLabel* name, QWidget* caller);

/// The real opener: a LookupWindow beside `caller`, run with exec().
void OpenLookupWindow(LookupKind kind, const AppContext& context, LookupValues& values,
                      QWidget* caller);

}  // namespace tarvel
