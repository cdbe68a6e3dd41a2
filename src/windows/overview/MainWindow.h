// The main window: the criteria of a work-order overview, the report choice and its outputs.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "criteria/WindowDefaults.h"
#include "criteria/WorkOrderCriteria.h"
#include "output/OutputRun.h"
#include "output/ReportCatalogue.h"
#include "reports/preview/ReportPrinter.h"
#include "windows/lookup/LookupValues.h"
#include "windows/lookup/LookupWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace Ui {
class MainWindow;
}

namespace tarvel {

struct AppContext;

/// What the main window hands on to other windows and to the output. The defaults are the real
/// windows; tests and tools replace what they drive themselves.
struct MainWindowSeams {
  /// Opens a picker modally (default: the lookup windows).
  LookupOpener openLookup;
  /// Produces an output once the check has found rows (default: print after the print dialog,
  /// the modal preview window, or the export window).
  OutputStep output;
  /// Opens the customer range dialog modally (default: frmTarvel_客戶起迄).
  std::function<void()> openCustomerRange;
  /// Opens the rework, proof, plate and die report window modally (default: frm重工明細表).
  std::function<void()> openRework;
  /// Ends the program at once, without the window's unload (the launcher has gone).
  std::function<void()> endProgram;
  /// The print dialog the default output shows before printing (default: Qt's, in Chinese).
  PrintDialogFunction printDialog;
};

/// MainWindow, the program's only top-level window. Every control carries its design name as its
/// object name; control arrays are named with their index (txt客戶代號1_0, txt客戶代號1_1).
///
/// Positions the design states in twips (the button column, the moves of the category box) are
/// converted with TwipsToPixels; the rest of the layout is the Designer form's.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  /// `context` (the loaded application context) must outlive the window. Runs the window's load:
  /// centring, clearing, the report options for the company.
  explicit MainWindow(AppContext& context, MainWindowSeams seams = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  /// The first activation's work (registry row, launcher check, salesperson list, lists and
  /// defaults, choice 表1). Runs once, queued after the window is first shown; later calls do
  /// nothing.
  void FirstActivation();
  bool FirstActivationDone() const { return !firstActivation_; }

  /// The state of the criteria controls, as the query builder captures it.
  OverviewFormState FormState() const;

  /// The report choice handler: what the window shows for choice `index` (0 表1 … 6 補版明細).
  /// Choosing an option with the mouse or the keyboard runs it too.
  void ChooseReport(int index);
  /// The report choice chosen now, -1 before the first activation.
  int ReportChoice() const;

  /// The three output buttons.
  void Print();
  void Preview();
  void ExportToExcel();

  /// The window's records: the criteria of the last request and the lookup values it shares with
  /// the windows it opens.
  const WorkOrderCriteria& Criteria() const { return criteria_; }
  LookupValues& Lookup() { return lookup_; }
  const std::vector<CodeName>& SalespersonList() const { return salespeople_; }
  const std::vector<CodeName>& CustomerList() const { return customers_; }

  /// The customer range boxes and the labels beside them (0 start, 1 end).
  QLineEdit* CustomerRangeBox(int index) const;
  QLabel* CustomerRangeName(int index) const;
  QLineEdit* CustomerKeywordBox() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class LoadResult { Rows, Empty, Failed };

  void WireControls();
  void InstallKeyRules();
  LoadResult LoadSalespersonList();
  void LoadListsAndDefaults();
  void ApplyDateDefaults();
  void RunRequest(OutputMode mode);
  void Output(CheckedRequest& request);

  /// An option box clicked: the others of its group unticked, the Excel button as the box says.
  void OnBoxClicked(size_t box, bool ticked);
  void OnOptionsClicked(bool ticked);
  /// The catalogue's check against this window and the database; what is wrong is told once.
  void CheckCatalogue();
  /// The control of that object name, or nullptr (the catalogue's check has named it).
  QWidget* Control(const char* name) const;
  void OnCompletionClicked(int index);
  void OnInvoiceClicked(int index);
  void ChooseCompletion(int index);
  void ChooseInvoices(int index);
  void ShowExcelButton(bool shown);
  void OpenLookupFor(LookupKind kind, QLineEdit* box);
  void OnSalespersonCodeEnter(int index);
  void OnCustomerRange();

  AppContext& context_;
  MainWindowSeams seams_;
  std::unique_ptr<Ui::MainWindow> ui_;
  WorkOrderCriteria criteria_;
  LookupValues lookup_;
  std::vector<CodeName> salespeople_;
  std::vector<CodeName> customers_;
  bool firstActivation_ = true;
  bool closing_ = false;

  /// The option boxes by their place in the box table (nullptr where the form lacks one).
  std::vector<QCheckBox*> boxes_;
  std::array<QRadioButton*, kReportChoiceCount> reportOptions_{};
  std::array<QRadioButton*, 3> completionOptions_{};
  std::array<QRadioButton*, 3> deliveryOptions_{};
  std::array<QRadioButton*, 3> invoiceOptions_{};
  std::array<QLineEdit*, 2> salesCodes_{};
  std::array<QLabel*, 2> salesNames_{};
  std::array<QLineEdit*, 2> customerCodes_{};
  std::array<QLabel*, 2> customerNames_{};
  std::array<QLineEdit*, 2> productionDates_{};
};

}  // namespace tarvel
