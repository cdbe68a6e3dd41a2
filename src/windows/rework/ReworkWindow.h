// The rework, proof, plate and die report window: its criteria, the report choice and the outputs.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "criteria/ReworkCriteria.h"
#include "output/OutputRun.h"
#include "reports/engine/Report.h"
#include "windows/lookup/LookupValues.h"
#include "windows/lookup/LookupWindow.h"

class QAbstractButton;
class QLineEdit;
class QRadioButton;

namespace Ui {
class ReworkWindow;
}

namespace tarvel {

struct AppContext;

/// What the rework window hands on to other windows and to the output. The defaults are the real
/// windows; tests replace what they drive themselves.
struct ReworkWindowSeams {
  /// Opens a picker modally (default: the lookup windows).
  LookupOpener openLookup;
  /// Produces an output once the query found rows (default: print after the print dialog, the
  /// modal preview window, or the modal export window frm重工明細表轉Excel).
  OutputStep output;
};

/// The dialog frm重工明細表 (its object name; the class has an ASCII name because Qt's
/// meta-object compiler reads only ASCII identifiers), shown modally by the main window's 重工表
/// button. Every control carries its design name; control arrays are named with their index
/// (sopt選擇報表_0 … _3, sopt選擇_0 … _3, sopt排序_0 and _7).
///
/// The tops the design gives in twips (the criteria groups the report choice moves) are
/// converted with TwipsToPixels; the rest of the layout is the Designer form's.
class ReworkWindow : public QDialog {
  Q_OBJECT

 public:
  /// `context`, `lookup` and `criteria` (the process-wide records) must outlive the window. Runs
  /// the window's load: clearing and centring.
  ReworkWindow(AppContext& context, LookupValues& lookup, ReworkCriteria& criteria,
               ReworkWindowSeams seams = {}, QWidget* parent = nullptr);
  ~ReworkWindow() override;

  /// The first activation's defaults (order numbers "" to nine "z", this month), then the focus
  /// on txt單號_起. Runs once, queued after the window is first shown; later calls do nothing.
  void FirstActivation();
  bool FirstActivationDone() const { return !firstActivation_; }

  /// The state of the criteria controls, as the query run captures it.
  ReworkFormState FormState() const;

  /// The report choice handler: what the window shows for choice `index` (ReworkChoice).
  /// Choosing an option with the mouse or the keyboard runs it too.
  void ChooseReport(int index);
  /// The report choice chosen now.
  int ReportChoice() const;

  /// The three output buttons: each shows the hourglass on itself while the query runs.
  void Print();
  void Preview();
  void ExportToExcel();

  const ReworkCriteria& Criteria() const { return criteria_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void WireControls();
  void InstallKeyRules();
  void RunRequest(OutputMode mode, QAbstractButton* button);
  void Output(CheckedRequest& request);
  void OpenLookupFor(LookupKind kind, QLineEdit* box, const QString& vendorKind = {});
  void MoveTop(QWidget* widget, int twips);

  AppContext& context_;
  LookupValues& lookup_;
  ReworkCriteria& criteria_;
  ReworkWindowSeams seams_;
  std::unique_ptr<Ui::ReworkWindow> ui_;
  bool firstActivation_ = true;

  std::array<QRadioButton*, kReworkChoiceCount> reportOptions_{};
  std::array<QRadioButton*, 4> kindOptions_{};
};

}  // namespace tarvel
