#include "windows/overview/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLocale>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <initializer_list>
#include <memory>

#include "common/RocDate.h"
#include "common/SuiteRules.h"
#include "common/forms/FocusRules.h"
#include "common/forms/KeyRules.h"
#include "common/forms/ScreenTwips.h"
#include "common/forms/ThemedIcon.h"
#include "common/forms/WindowSetup.h"
#include "criteria/OutputRights.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "output/CatalogueCheck.h"
#include "output/OutputRun.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "platform/SystemServices.h"
#include "platform/UserInterface.h"
#include "reports/preview/ReportOutput.h"
#include "startup/AppContext.h"
#include "startup/RunningWindowRegistry.h"
#include "startup/Startup.h"
#include "ui_MainWindow.h"
#include "windows/export/WorkOrderExportWindow.h"
#include "windows/overview/CustomerRangeDialog.h"
#include "windows/rework/ReworkWindow.h"

namespace tarvel {
namespace {

// The button column's tops, in twips. The exit button stands in the Excel button's place while
// that is hidden.
constexpr int kPrintTop = 1680;
constexpr int kPreviewTop = 2940;
constexpr int kExcelTop = 4140;
constexpr int kExitTop = 5340;
// How far the report options move up to make room for 表5.
constexpr int kReportOptionsShiftTwips = 120;

}  // namespace

MainWindow::MainWindow(AppContext& context, MainWindowSeams seams, QWidget* parent)
    : QMainWindow(parent), context_(context), seams_(std::move(seams)), ui_(new Ui::MainWindow) {
  ui_->setupUi(this);
  auto& u = *ui_;
  reportOptions_ = {u.sopt選擇報表_0, u.sopt選擇報表_1, u.sopt選擇報表_2, u.sopt選擇報表_3,
                    u.sopt選擇報表_4, u.sopt選擇報表_5, u.sopt選擇報表_6};
  completionOptions_ = {u.sopt完工_0, u.sopt完工_1, u.sopt完工_2};
  deliveryOptions_ = {u.sopt送貨_0, u.sopt送貨_1, u.sopt送貨_2};
  invoiceOptions_ = {u.sopt發票_0, u.sopt發票_1, u.sopt發票_2};
  salesCodes_ = {u.txt業務員代號_0, u.txt業務員代號_1};
  salesNames_ = {u.lbl業務員名稱_0, u.lbl業務員名稱_1};
  customerCodes_ = {u.txt客戶代號1_0, u.txt客戶代號1_1};
  customerNames_ = {u.lbl客戶簡稱1_0, u.lbl客戶簡稱1_1};
  productionDates_ = {u.txt日期_0, u.txt日期_1};
  // The boxes come from their table, and so do their captions.
  for (const OptionBox& box : OptionBoxes()) {
    auto* check = findChild<QCheckBox*>(QString::fromUtf8(box.name));
    if (check != nullptr) check->setText(QString::fromUtf8(box.caption));
    boxes_.push_back(check);
  }

  if (!seams_.openLookup)
    seams_.openLookup = [this](LookupKind kind, LookupValues& values, QWidget* caller) {
      OpenLookupWindow(kind, context_, values, caller);
    };
  if (!seams_.output) seams_.output = [this](CheckedRequest& request) { Output(request); };
  if (!seams_.openCustomerRange) seams_.openCustomerRange = [this] { OnCustomerRange(); };
  if (!seams_.openRework)
    // The rework window's criteria record lives as long as the main window, beside its own.
    seams_.openRework = [this, rework = std::make_shared<ReworkCriteria>()] {
      ReworkWindow window(context_, lookup_, *rework, {}, this);
      window.exec();
    };
  if (!seams_.endProgram) seams_.endProgram = [] { QCoreApplication::exit(0); };
  if (!seams_.printDialog) seams_.printDialog = ExecPrintDialog;

  // The design's pictures.
  u.exit->setIcon(ThemedIcon("application-exit", QStyle::SP_DialogCloseButton, this));
  u.重工表->setIcon(ThemedIcon("document-print", QStyle::SP_FileDialogDetailedView, this));
  u.ssc列印->setIcon(ThemedIcon("document-print", QStyle::SP_DialogApplyButton, this));
  u.ssc預覽列印->setIcon(
      ThemedIcon("document-print-preview", QStyle::SP_FileDialogContentsView, this));
  u.ssc轉Excel檔->setIcon(ThemedIcon("x-office-spreadsheet", QStyle::SP_DialogSaveButton, this));
  u.ssc回前畫面_列印->setIcon(ThemedIcon("application-exit", QStyle::SP_DialogCloseButton, this));
  const QIcon find = ThemedIcon("edit-find", QStyle::SP_FileDialogContentsView, this);
  for (QToolButton* button : {u.scmd客戶代號, u.scmd業務員, u.scmd鍵機人員, u.scmd工務人員})
    button->setIcon(find);
  u.scmd客戶->setIcon(ThemedIcon("view-list-details", QStyle::SP_FileDialogListView, this));

  // The captions are fixed, so the buttons' keys are Alt shortcuts named in their tool tips.
  const auto shortcut = [](QAbstractButton* button, const char* keys, const QString& tip) {
    button->setShortcut(QKeySequence(QLatin1String(keys)));
    button->setToolTip(tip + QStringLiteral(" (") + QLatin1String(keys) + QLatin1Char(')'));
  };
  shortcut(u.ssc列印, "Alt+P", QStringLiteral("列印"));
  shortcut(u.ssc預覽列印, "Alt+V", QStringLiteral("預覽列印"));
  shortcut(u.ssc轉Excel檔, "Alt+E", QStringLiteral("轉Excel檔"));
  shortcut(u.ssc回前畫面_列印, "Alt+X", QStringLiteral("離開"));

  const QScreen* screen = this->screen();
  const auto top = [screen](QWidget* widget, int twips) {
    widget->move(widget->x(), TwipsToPixels(twips, screen));
  };
  top(u.ssc列印, kPrintTop);
  top(u.ssc預覽列印, kPreviewTop);
  top(u.ssc轉Excel檔, kExcelTop);
  top(u.ssc回前畫面_列印, kExitTop);

  auto* date =
      new QLabel(QLocale(QLocale::Chinese, QLocale::Taiwan).toString(Today(), QLocale::ShortFormat),
                 u.StatusBar1);
  date->setObjectName(QStringLiteral("lbl系統日期"));
  date->setToolTip(QStringLiteral("系統日期"));
  u.StatusBar1->addPermanentWidget(date);

  WireControls();
  InstallKeyRules();

  // The window's load.
  setFixedSize(size());
  CenterWindow(this);
  PrepareControls(this);
  u.pic選項->hide();
  u.pic選項1->hide();
  u.spn2->hide();
  u.sopt選擇報表_4->hide();
  if (OffersProductionSheet(context_.CompanyName)) {
    const int shift = TwipsToPixels(kReportOptionsShiftTwips, screen);
    for (QRadioButton* option : reportOptions_)
      option->move(option->x(), option->y() - shift);
    u.sopt選擇報表_4->show();
  }
}

MainWindow::~MainWindow() = default;

void MainWindow::WireControls() {
  auto& u = *ui_;
  connect(u.ssc列印, &QAbstractButton::clicked, this, &MainWindow::Print);
  connect(u.ssc預覽列印, &QAbstractButton::clicked, this, &MainWindow::Preview);
  connect(u.ssc轉Excel檔, &QAbstractButton::clicked, this, &MainWindow::ExportToExcel);
  connect(u.ssc回前畫面_列印, &QAbstractButton::clicked, this, &QWidget::close);
  connect(u.exit, &QAction::triggered, this, &QWidget::close);
  connect(u.重工表, &QAction::triggered, this, [this] { seams_.openRework(); });
  connect(u.scmd客戶, &QAbstractButton::clicked, this, [this] { seams_.openCustomerRange(); });

  connect(u.scmd客戶代號, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Customer, ui_->txt客戶代號); });
  connect(u.scmd業務員, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Employee, ui_->txt業務員); });
  connect(u.scmd鍵機人員, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Employee, ui_->txt鍵機人員); });
  connect(u.scmd工務人員, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Employee, ui_->txt工務人員); });

  // Only the user's clicks run the interlocks: a box unticked by another box's rule leaves the
  // Excel button as that rule set it.
  for (size_t b = 0; b < boxes_.size(); ++b)
    if (boxes_[b] != nullptr)
      connect(boxes_[b], &QAbstractButton::clicked, this,
              [this, b](bool ticked) { OnBoxClicked(b, ticked); });
  connect(u.chk選項, &QAbstractButton::clicked, this, &MainWindow::OnOptionsClicked);

  for (int i = 0; i < 3; ++i) {
    connect(completionOptions_[i], &QAbstractButton::clicked, this,
            [this, i] { OnCompletionClicked(i); });
    connect(invoiceOptions_[i], &QAbstractButton::clicked, this,
            [this, i] { OnInvoiceClicked(i); });
  }
  for (int i = 0; i < kReportChoiceCount; ++i)
    connect(reportOptions_[i], &QAbstractButton::clicked, this, [this, i] { ChooseReport(i); });

  for (int i = 0; i < 2; ++i) {
    connect(salesCodes_[i], &QLineEdit::textChanged, salesNames_[i], &QLabel::clear);
    connect(salesCodes_[i], &QLineEdit::returnPressed, this,
            [this, i] { OnSalespersonCodeEnter(i); });
  }

  // Esc leaves the program from anywhere in the window.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::InstallKeyRules() {
  auto& u = *ui_;
  for (QLineEdit* box : {u.txt客戶代號, u.txt業務員, u.txt鍵機人員, u.txt工務人員, u.txt客戶單號,
                         u.txt印件名稱, u.txt單號_起, u.txt單號_末, u.txt日期_起, u.txt日期_末,
                         u.txt日期_0, u.txt日期_1, u.txt業務員代號_0, u.txt業務員代號_1})
    InstallSelectAllOnFocus(box);
  ApplyUpperCase(u.txt單號_起);
  ApplyUpperCase(u.txt單號_末);
  for (QLineEdit* box : {u.txt日期_起, u.txt日期_末, u.txt日期_0, u.txt日期_1})
    ApplyRocDateBox(box);
  MoveFocusOnEnter(this);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first activation runs once the window is on the screen, from the event loop.
  if (firstActivation_)
    QTimer::singleShot(0, this, [this] {
      if (firstActivation_) FirstActivation();
    });
}

void MainWindow::FirstActivation() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  BusyPointer busy;
  Ui().ProcessEvents();
  setEnabled(false);

  context_.MainWindowHandle = static_cast<double>(winId());
  if (RegisterRunningWindow(context_.ConnectionString, context_.MachineUserName,
                            context_.LauncherWindow, context_.MainWindowHandle,
                            QLatin1String(kApplicationTitle)) == RegistryOutcome::ReadOnly) {
    ui_->StatusBar1->showMessage(kReadOnlyDatabaseStatus);
  }
  if (!System().IsLauncherAlive(context_.LauncherWindow)) {
    seams_.endProgram();
    return;
  }

  const LoadResult salespeople = LoadSalespersonList();
  if (salespeople == LoadResult::Empty)
    ShowMessage(QStringLiteral("請先新增「業務員資料」!"), kInformation, QStringLiteral("訊息"));
  if (salespeople != LoadResult::Rows) {
    setEnabled(true);
    return;
  }
  for (int i = 0; i < 2; ++i) {
    const CodeName& end = i == 0 ? salespeople_.front() : salespeople_.back();
    salesCodes_[i]->setText(end.code);
    salesNames_[i]->setText(end.name);
  }
  ApplyDateDefaults();
  LoadListsAndDefaults();
  CheckCatalogue();

  setEnabled(true);
  ui_->txt日期_起->setFocus(Qt::OtherFocusReason);
  SelectAllOnFocus(ui_->txt日期_起);
  ChooseReport(k表1);
}

MainWindow::LoadResult MainWindow::LoadSalespersonList() {
  BusyPointer busy;
  try {
    const auto connection = db::Connection::Open(context_.ConnectionString);
    salespeople_ = LoadSalespeople(*connection);
  } catch (const db::DbError& error) {
    salespeople_.clear();
    ShowMessage(error.Description(), kCritical, QStringLiteral("取得所有業務員資料錯誤"));
    return LoadResult::Failed;
  }
  return salespeople_.empty() ? LoadResult::Empty : LoadResult::Rows;
}

void MainWindow::ApplyDateDefaults() {
  const OverviewFormState defaults = FirstActivationDefaults({}, {});
  auto& u = *ui_;
  u.txt單號_起->setText(defaults.txt單號_起);
  u.txt單號_末->setText(defaults.txt單號_末);
  u.txt日期_起->setText(defaults.txt日期_起);
  u.txt日期_末->setText(defaults.txt日期_末);
  for (int i = 0; i < 2; ++i)
    productionDates_[i]->setText(defaults.txt日期[i]);
}

void MainWindow::LoadListsAndDefaults() {
  BusyPointer busy;
  auto& u = *ui_;
  try {
    const auto connection = db::Connection::Open(context_.ConnectionString);
    u.cbo種類->clear();
    u.cbo種類->addItems(
        LoadPhraseList(*connection, QStringLiteral("Q-工單類別"), QStringLiteral("類別")));
    u.cbo分類->clear();
    u.cbo分類->addItems(
        LoadPhraseList(*connection, QStringLiteral("Z-雜項"), QStringLiteral("分類")));
    customers_ = LoadCustomers(*connection);
  } catch (const db::DbError& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("取得所有類別資料錯誤"));
    return;
  }
  for (int i = 0; i < 2; ++i) {
    const CodeName end = customers_.empty() ? CodeName{}
                         : i == 0           ? customers_.front()
                                            : customers_.back();
    customerCodes_[i]->setText(end.code);
    customerNames_[i]->setText(end.name);
  }
}

OverviewFormState MainWindow::FormState() const {
  const auto& u = *ui_;
  OverviewFormState form;
  form.txt日期_起 = u.txt日期_起->text();
  form.txt日期_末 = u.txt日期_末->text();
  form.txt日期 = {u.txt日期_0->text(), u.txt日期_1->text()};
  form.txt單號_起 = u.txt單號_起->text();
  form.txt單號_末 = u.txt單號_末->text();
  form.txt客戶代號 = u.txt客戶代號->text();
  form.txt業務員 = u.txt業務員->text();
  form.txt客戶代號1 = {u.txt客戶代號1_0->text(), u.txt客戶代號1_1->text()};
  form.txt印件名稱 = u.txt印件名稱->text();
  form.txt鍵機人員 = u.txt鍵機人員->text();
  form.txt工務人員 = u.txt工務人員->text();
  form.cbo種類 = u.cbo種類->currentText();
  form.txt業務員代號 = {u.txt業務員代號_0->text(), u.txt業務員代號_1->text()};
  form.txt客戶單號 = u.txt客戶單號->text();
  form.cbo分類 = u.cbo分類->currentText();
  for (size_t b = 0; b < boxes_.size(); ++b)
    form.*OptionBoxes()[b].ticked = boxes_[b] != nullptr && boxes_[b]->isChecked();
  const auto chosen = [](const auto& options) {
    for (size_t i = 0; i < options.size(); ++i)
      if (options[i]->isChecked()) return static_cast<int>(i);
    return -1;
  };
  form.sopt完工 = chosen(completionOptions_);
  form.sopt送貨 = chosen(deliveryOptions_);
  form.sopt發票 = chosen(invoiceOptions_);
  form.sopt選擇報表 = chosen(reportOptions_);
  return form;
}

int MainWindow::ReportChoice() const {
  for (int i = 0; i < kReportChoiceCount; ++i)
    if (reportOptions_[i]->isChecked()) return i;
  return -1;
}

QWidget* MainWindow::Control(const char* name) const {
  return findChild<QWidget*>(QString::fromUtf8(name));
}

void MainWindow::ChooseReport(int index) {
  if (index < 0 || index >= kReportChoiceCount) return;
  auto& u = *ui_;
  reportOptions_[index]->setChecked(true);

  ShowExcelButton(false);
  u.lbl類別->move(u.lbl類別->x(), u.lbl鍵機人員->y());
  u.cbo種類->move(u.cbo種類->x(), u.txt鍵機人員->y());
  u.spn1->show();
  u.spn2->hide();
  for (const char* name : ShownByEveryChoice())
    if (QWidget* control = Control(name)) control->show();
  const WindowRule& rule = ChoiceFor(ReportFamily::Overview, index).window;
  u.scmd客戶->setVisible(rule.customerRange);
  if (rule.untickOptions) {
    u.chk選項->setChecked(false);
    OnOptionsClicked(false);
  }
  for (const char* name : rule.shown)
    if (QWidget* control = Control(name)) control->show();
  for (const char* name : rule.hidden)
    if (QWidget* control = Control(name)) control->hide();
  // The boxes the choice offers, and the Excel button unless a box that hides it is ticked.
  bool excel = ChoiceExports(ReportFamily::Overview, index);
  for (size_t b = 0; b < boxes_.size(); ++b) {
    const OptionBox& box = OptionBoxes()[b];
    QCheckBox* check = boxes_[b];
    if (check == nullptr) continue;
    check->setVisible(box.Offered(index));
    if (Contains(box.untickedBy, index)) check->setChecked(false);
    const bool hides = box.excel == HidesExcel::WhenChosen || box.excel == HidesExcel::Always;
    if (hides && box.Offered(index) && check->isChecked()) excel = false;
  }
  if (rule.kindBesideSales) {
    u.lbl類別->move(u.lbl類別->x(), u.lbl業務員->y());
    u.cbo種類->move(u.cbo種類->x(), u.txt業務員->y());
  }
  ShowExcelButton(excel);
  if (rule.focus)
    if (QWidget* control = Control(rule.focus)) control->setFocus(Qt::OtherFocusReason);
  if (rule.panel != OptionPanel::None && u.chk選項->isChecked()) {
    u.pic選項->setVisible(rule.panel == OptionPanel::Options);
    u.pic選項1->setVisible(rule.panel == OptionPanel::SalesRange);
  }
  if (rule.allCompletion) ChooseCompletion(2);
  if (rule.allInvoices) ChooseInvoices(2);
}

void MainWindow::ShowExcelButton(bool shown) {
  ui_->ssc轉Excel檔->setVisible(shown);
  QWidget* exit = ui_->ssc回前畫面_列印;
  exit->move(exit->x(), TwipsToPixels(shown ? kExitTop : kExcelTop, screen()));
}

void MainWindow::OnBoxClicked(size_t index, bool ticked) {
  const OptionBox& box = OptionBoxes()[index];
  if (ticked && box.exclusive != kNotExclusive)
    for (size_t b = 0; b < boxes_.size(); ++b)
      if (b != index && boxes_[b] != nullptr && OptionBoxes()[b].exclusive == box.exclusive)
        boxes_[b]->setChecked(false);
  if (box.excel == HidesExcel::WhenClicked || box.excel == HidesExcel::Always)
    ShowExcelButton(!ticked);
}

void MainWindow::CheckCatalogue() {
  std::unique_ptr<db::Connection> connection;
  try {
    connection = db::Connection::Open(context_.ConnectionString);
  } catch (const Error&) {
    // The lists' loading has said why; the statements go unchecked.
  }
  const bool production = OffersProductionSheet(context_.CompanyName);
  CatalogueCheck check{
      .windowHas = [this](const QString& name) { return findChild<QWidget*>(name) != nullptr; },
      .offered =
          [production](ReportFamily family, int choice) {
            return family != ReportFamily::Overview || choice != k表5 || production;
          }};
  if (connection)
    check.columnsOf = [&](const QString& statement,
                          QString& problem) -> std::optional<QStringList> {
      try {
        return connection->OpenRecordset(statement).FieldNames();
      } catch (const Error& error) {
        problem = error.Description();
        return std::nullopt;
      }
    };
  const QStringList problems = CatalogueProblems(check);
  if (!problems.isEmpty())
    ShowMessage(
        QStringLiteral("報表目錄有誤，下列報表可能無法列印：\n") + problems.join(QLatin1Char('\n')),
        kExclamation, QStringLiteral("報表目錄檢查"));
}

void MainWindow::OnOptionsClicked(bool ticked) {
  auto& u = *ui_;
  if (!ticked) {
    u.pic選項->hide();
    u.pic選項1->hide();
    return;
  }
  const int choice = ReportChoice();
  const bool salesRange = choice >= 0 && ChoiceFor(ReportFamily::Overview, choice).window.panel ==
                                             OptionPanel::SalesRange;
  u.pic選項->setVisible(!salesRange);
  u.pic選項1->setVisible(salesRange);
}

void MainWindow::OnCompletionClicked(int index) {
  QString label = QStringLiteral("工單日期:");
  if (index == 0)
    label = QStringLiteral("完工日期:");
  else if (invoiceOptions_[0]->isChecked())
    label = QStringLiteral("發票日期:");
  ui_->lbl日期->setText(label);
}

void MainWindow::OnInvoiceClicked(int index) {
  QString label = QStringLiteral("工單日期:");
  if (index == 0)
    label = QStringLiteral("發票日期:");
  else if (completionOptions_[0]->isChecked())
    label = QStringLiteral("完工日期:");
  ui_->lbl日期->setText(label);
}

void MainWindow::ChooseCompletion(int index) {
  completionOptions_[index]->setChecked(true);
  OnCompletionClicked(index);
}

void MainWindow::ChooseInvoices(int index) {
  invoiceOptions_[index]->setChecked(true);
  OnInvoiceClicked(index);
}

void MainWindow::OpenLookupFor(LookupKind kind, QLineEdit* box) {
  lookup_.LookupSeed = box->text().trimmed();
  seams_.openLookup(kind, lookup_, this);
  if (lookup_.HasSelection()) box->setText(lookup_.LookupResult[1].trimmed());
  box->setFocus(Qt::OtherFocusReason);
}

void MainWindow::OnSalespersonCodeEnter(int index) {
  QLineEdit* box = salesCodes_[index];
  QLabel* name = salesNames_[index];
  const QString key = box->text().trimmed();
  std::vector<std::vector<QString>> rows;
  rows.reserve(salespeople_.size());
  for (const CodeName& person : salespeople_)
    rows.push_back({person.code, person.name});
  if (FindInList(rows, key, lookup_)) {
    box->setText(lookup_.LookupResult[0]);
    name->setText(lookup_.LookupResult[1]);
    return;
  }
  LookUpCode(LookupKind::Employee, seams_.openLookup, lookup_, box, name, this);
}

void MainWindow::OnCustomerRange() {
  CustomerRangeDialog dialog(context_, lookup_, seams_.openLookup, this);
  dialog.SetRange({{customerCodes_[0]->text(), customerCodes_[1]->text()},
                   {customerNames_[0]->text(), customerNames_[1]->text()}});
  if (dialog.exec() != QDialog::Accepted) return;
  const CustomerRange range = dialog.Range();
  for (int i = 0; i < 2; ++i) {
    customerCodes_[i]->setText(range.codes[i]);
    customerNames_[i]->setText(range.names[i]);
  }
  ui_->txt客戶代號->clear();
}

QLineEdit* MainWindow::CustomerRangeBox(int index) const {
  return customerCodes_.at(index);
}

QLabel* MainWindow::CustomerRangeName(int index) const {
  return customerNames_.at(index);
}

QLineEdit* MainWindow::CustomerKeywordBox() const {
  return ui_->txt客戶代號;
}

void MainWindow::Print() {
  RunRequest(OutputMode::Print);
}

void MainWindow::Preview() {
  RunRequest(OutputMode::Preview);
}

void MainWindow::ExportToExcel() {
  if (!CheckExcelRights(context_)) return;
  RunRequest(OutputMode::Excel);
}

void MainWindow::RunRequest(OutputMode mode) {
  RequestOverview(FormState(), mode, context_, criteria_, seams_.output);
}

void MainWindow::Output(CheckedRequest& request) {
  if (request.mode == OutputMode::Excel) {
    WorkOrderExportWindow exporter(context_, request.row, request.criteria, this);
    exporter.exec();
    return;
  }
  PrintOrPreview(request, this, seams_.printDialog);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    UnregisterRunningWindow(context_.ConnectionString, context_.MachineUserName,
                            QLatin1String(kApplicationTitle), false);
  }
  event->accept();
}

}  // namespace tarvel
