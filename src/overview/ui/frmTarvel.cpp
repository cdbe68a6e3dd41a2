#include "overview/ui/frmTarvel.h"

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
#include "db/Connection.h"
#include "db/DbError.h"
#include "excel/ui/WorkOrderExportWindow.h"
#include "overview/criteria/OutputRights.h"
#include "overview/criteria/QueryBuilder.h"
#include "overview/ui/CustomerRangeDialog.h"
#include "platform/Clock.h"
#include "platform/SystemServices.h"
#include "platform/UserInterface.h"
#include "reports/ReportCatalogue.h"
#include "reports/preview/ReportOutput.h"
#include "rework/ui/ReworkWindow.h"
#include "startup/AppContext.h"
#include "startup/RunningWindowRegistry.h"
#include "startup/Startup.h"
#include "ui_frmTarvel.h"

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

// The option panel a report choice shows when 選項 is ticked.
enum class OptionPanel { None, Options, SalesRange };

// What a report choice shows and hides besides what every choice resets, by control name.
struct ChoiceRule {
  std::initializer_list<const char*> shown;
  std::initializer_list<const char*> hidden;
  OptionPanel panel;
  bool excel;          // the Excel button is offered (choice 0 further asks its check boxes)
  bool allCompletion;  // 完工狀態 "全部" is chosen
  bool allInvoices;    // 發票狀態 "全部" is chosen
};

const ChoiceRule kChoiceRules[kReportChoiceCount] = {
    // 表1
    {{"chk客戶單號", "chk印刀模代號", "chk印合版資料", "chk不印金額"},
     {"chk依業務印表", "chk只印金額大於零"},
     OptionPanel::Options,
     true,
     false,
     true},
    // 表2
    {{"chk依業務印表", "chk只印金額大於零"},
     {"chk客戶單號", "chk印合版資料", "chk不印金額"},
     OptionPanel::Options,
     true,
     false,
     true},
    // 表3
    {{}, {"lbl業務員", "txt業務員", "scmd業務員"}, OptionPanel::SalesRange, true, true, true},
    // 表4(含合版)
    {{},
     {"chk客戶單號", "chk印合版資料", "chk不印金額", "chk依業務印表", "chk只印金額大於零"},
     OptionPanel::Options,
     true,
     false,
     true},
    // 表5
    {{"spn2"}, {"spn1"}, OptionPanel::None, true, false, false},
    // 未送總表
    {{},
     {"chk客戶單號", "chk印合版資料", "chk不印金額", "chk依業務印表", "chk只印金額大於零",
      "chk金額異常", "pic送清"},
     OptionPanel::Options,
     false,
     false,
     true},
    // 補版明細: 選項 is unticked (hiding both panels) before it is hidden.
    {{},
     {"chk客戶單號", "chk印合版資料", "chk不印金額", "chk依業務印表", "chk只印金額大於零",
      "chk選項", "lbl工務人員", "txt工務人員", "scmd工務人員", "lbl類別", "cbo種類", "lbl客戶單號",
      "txt客戶單號", "lbl分類", "cbo分類"},
     OptionPanel::None,
     false,
     false,
     true},
};

// Shown again by every choice before its own rule applies.
constexpr std::initializer_list<const char*> kShownByEveryChoice = {
    "lbl業務員", "txt業務員",   "scmd業務員",  "chk金額異常",  "pic送清",
    "chk選項",   "lbl工務人員", "txt工務人員", "scmd工務人員", "lbl類別",
    "cbo種類",   "lbl客戶單號", "txt客戶單號", "lbl分類",      "cbo分類"};

// Hands the catalogue's row of a request, and the rows its check read, to the window's output.
class WindowDispatcher final : public CatalogueDispatcher {
 public:
  WindowDispatcher(const std::function<void(const LayoutEntry&, OutputMode)>& output,
                   std::optional<CheckedRows>& checked)
      : output_(output), checked_(checked) {}

  void KeepCheckedRows(const QString& statement, db::RowStream rows) override {
    checked_ = CheckedRows{statement, std::move(rows)};
  }

 protected:
  void Output(const LayoutEntry& entry, OutputMode mode) override { output_(entry, mode); }

 private:
  const std::function<void(const LayoutEntry&, OutputMode)>& output_;
  std::optional<CheckedRows>& checked_;
};

}  // namespace

frmTarvel::frmTarvel(AppContext& context, MainWindowSeams seams, QWidget* parent)
    : QMainWindow(parent), context_(context), seams_(std::move(seams)), ui_(new Ui::frmTarvel) {
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

  if (!seams_.openLookup)
    seams_.openLookup = [this](LookupKind kind, LookupValues& values, QWidget* caller) {
      OpenLookupWindow(kind, context_, values, caller);
    };
  if (!seams_.output)
    seams_.output = [this](const LayoutEntry& entry, OutputMode mode) { Output(entry, mode); };
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

frmTarvel::~frmTarvel() = default;

void frmTarvel::WireControls() {
  auto& u = *ui_;
  connect(u.ssc列印, &QAbstractButton::clicked, this, &frmTarvel::Print);
  connect(u.ssc預覽列印, &QAbstractButton::clicked, this, &frmTarvel::Preview);
  connect(u.ssc轉Excel檔, &QAbstractButton::clicked, this, &frmTarvel::ExportToExcel);
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
  connect(u.chk不印金額, &QAbstractButton::clicked, this, &frmTarvel::OnNoAmountsClicked);
  connect(u.chk印刀模代號, &QAbstractButton::clicked, this, &frmTarvel::OnDieCodesClicked);
  connect(u.chk印合版資料, &QAbstractButton::clicked, this, &frmTarvel::OnCombinedPlatesClicked);
  connect(u.chk客戶單號, &QAbstractButton::clicked, this, &frmTarvel::OnCustomerPoClicked);
  connect(u.chk只印金額大於零, &QAbstractButton::clicked, this, &frmTarvel::OnPositiveOnlyClicked);
  connect(u.chk金額異常, &QAbstractButton::clicked, this, &frmTarvel::OnAnomalyClicked);
  connect(u.chk選項, &QAbstractButton::clicked, this, &frmTarvel::OnOptionsClicked);

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

void frmTarvel::InstallKeyRules() {
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

void frmTarvel::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first activation runs once the window is on the screen, from the event loop.
  if (firstActivation_)
    QTimer::singleShot(0, this, [this] {
      if (firstActivation_) FirstActivation();
    });
}

void frmTarvel::FirstActivation() {
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

  setEnabled(true);
  ui_->txt日期_起->setFocus(Qt::OtherFocusReason);
  SelectAllOnFocus(ui_->txt日期_起);
  ChooseReport(k表1);
}

frmTarvel::LoadResult frmTarvel::LoadSalespersonList() {
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

void frmTarvel::ApplyDateDefaults() {
  const OverviewFormState defaults = FirstActivationDefaults({}, {});
  auto& u = *ui_;
  u.txt單號_起->setText(defaults.txt單號_起);
  u.txt單號_末->setText(defaults.txt單號_末);
  u.txt日期_起->setText(defaults.txt日期_起);
  u.txt日期_末->setText(defaults.txt日期_末);
  for (int i = 0; i < 2; ++i)
    productionDates_[i]->setText(defaults.txt日期[i]);
}

void frmTarvel::LoadListsAndDefaults() {
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

OverviewFormState frmTarvel::FormState() const {
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
  form.chk依業務印表 = u.chk依業務印表->isChecked();
  form.chk依業務印表1 = u.chk依業務印表1->isChecked();
  form.chk只印未審單 = u.chk只印未審單->isChecked();
  form.chk只印未審單1 = u.chk只印未審單1->isChecked();
  form.chk金額異常 = u.chk金額異常->isChecked();
  form.chk只印金額大於零 = u.chk只印金額大於零->isChecked();
  form.chk印合版資料 = u.chk印合版資料->isChecked();
  form.chk印刀模代號 = u.chk印刀模代號->isChecked();
  form.chk客戶單號 = u.chk客戶單號->isChecked();
  form.chk不印金額 = u.chk不印金額->isChecked();
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

int frmTarvel::ReportChoice() const {
  for (int i = 0; i < kReportChoiceCount; ++i)
    if (reportOptions_[i]->isChecked()) return i;
  return -1;
}

void frmTarvel::ChooseReport(int index) {
  if (index < 0 || index >= kReportChoiceCount) return;
  auto& u = *ui_;
  reportOptions_[index]->setChecked(true);
  const auto control = [this](const char* name) {
    QWidget* widget = findChild<QWidget*>(QString::fromUtf8(name));
    Q_ASSERT_X(widget, "frmTarvel::ChooseReport", name);
    return widget;
  };

  ShowExcelButton(false);
  u.lbl類別->move(u.lbl類別->x(), u.lbl鍵機人員->y());
  u.cbo種類->move(u.cbo種類->x(), u.txt鍵機人員->y());
  u.chk印刀模代號->hide();
  u.spn1->show();
  u.spn2->hide();
  for (const char* name : kShownByEveryChoice)
    control(name)->show();
  u.scmd客戶->setVisible(index <= k表4含合版);

  const ChoiceRule& rule = kChoiceRules[index];
  if (index == k補版明細) {
    u.chk選項->setChecked(false);
    OnOptionsClicked(false);
  }
  for (const char* name : rule.shown)
    control(name)->show();
  for (const char* name : rule.hidden)
    control(name)->hide();

  switch (index) {
    case k表1:
      ShowExcelButton(!u.chk客戶單號->isChecked() && !u.chk印刀模代號->isChecked());
      break;
    case k表2:
      u.chk金額異常->setChecked(false);
      ShowExcelButton(true);
      break;
    case k表3:
      u.lbl類別->move(u.lbl類別->x(), u.lbl業務員->y());
      u.cbo種類->move(u.cbo種類->x(), u.txt業務員->y());
      ShowExcelButton(true);
      break;
    case k表5:
      ShowExcelButton(true);
      productionDates_[0]->setFocus(Qt::OtherFocusReason);
      break;
    default:
      ShowExcelButton(rule.excel);
      break;
  }
  if (rule.panel != OptionPanel::None && u.chk選項->isChecked()) {
    u.pic選項->setVisible(rule.panel == OptionPanel::Options);
    u.pic選項1->setVisible(rule.panel == OptionPanel::SalesRange);
  }
  if (rule.allCompletion) ChooseCompletion(2);
  if (rule.allInvoices) ChooseInvoices(2);
}

void frmTarvel::ShowExcelButton(bool shown) {
  ui_->ssc轉Excel檔->setVisible(shown);
  QWidget* exit = ui_->ssc回前畫面_列印;
  exit->move(exit->x(), TwipsToPixels(shown ? kExitTop : kExcelTop, screen()));
}

void frmTarvel::OnNoAmountsClicked(bool ticked) {
  auto& u = *ui_;
  if (ticked) {
    u.chk客戶單號->setChecked(false);
    u.chk印刀模代號->setChecked(false);
    u.chk印合版資料->setChecked(false);
  }
  ShowExcelButton(!ticked);
}

void frmTarvel::OnDieCodesClicked(bool ticked) {
  auto& u = *ui_;
  if (ticked) {
    u.chk客戶單號->setChecked(false);
    u.chk印合版資料->setChecked(false);
    u.chk不印金額->setChecked(false);
  }
  ShowExcelButton(!ticked);
}

void frmTarvel::OnCombinedPlatesClicked(bool ticked) {
  if (!ticked) return;
  auto& u = *ui_;
  u.chk客戶單號->setChecked(false);
  u.chk印刀模代號->setChecked(false);
  u.chk不印金額->setChecked(false);
}

void frmTarvel::OnCustomerPoClicked(bool ticked) {
  if (!ticked) return;
  auto& u = *ui_;
  u.chk印刀模代號->setChecked(false);
  u.chk印合版資料->setChecked(false);
  u.chk不印金額->setChecked(false);
}

void frmTarvel::OnPositiveOnlyClicked(bool ticked) {
  if (ticked && !ui_->chk只印金額大於零->isHidden()) ui_->chk金額異常->setChecked(false);
}

void frmTarvel::OnAnomalyClicked(bool ticked) {
  if (ticked && !ui_->chk金額異常->isHidden()) ui_->chk只印金額大於零->setChecked(false);
}

void frmTarvel::OnOptionsClicked(bool ticked) {
  auto& u = *ui_;
  if (!ticked) {
    u.pic選項->hide();
    u.pic選項1->hide();
    return;
  }
  const bool salesRange = reportOptions_[k表3]->isChecked();
  u.pic選項->setVisible(!salesRange);
  u.pic選項1->setVisible(salesRange);
}

void frmTarvel::OnCompletionClicked(int index) {
  QString label = QStringLiteral("工單日期:");
  if (index == 0)
    label = QStringLiteral("完工日期:");
  else if (invoiceOptions_[0]->isChecked())
    label = QStringLiteral("發票日期:");
  ui_->lbl日期->setText(label);
}

void frmTarvel::OnInvoiceClicked(int index) {
  QString label = QStringLiteral("工單日期:");
  if (index == 0)
    label = QStringLiteral("發票日期:");
  else if (completionOptions_[0]->isChecked())
    label = QStringLiteral("完工日期:");
  ui_->lbl日期->setText(label);
}

void frmTarvel::ChooseCompletion(int index) {
  completionOptions_[index]->setChecked(true);
  OnCompletionClicked(index);
}

void frmTarvel::ChooseInvoices(int index) {
  invoiceOptions_[index]->setChecked(true);
  OnInvoiceClicked(index);
}

void frmTarvel::OpenLookupFor(LookupKind kind, QLineEdit* box) {
  lookup_.LookupSeed = box->text().trimmed();
  seams_.openLookup(kind, lookup_, this);
  if (lookup_.HasSelection()) box->setText(lookup_.LookupResult[1].trimmed());
  box->setFocus(Qt::OtherFocusReason);
}

void frmTarvel::OnSalespersonCodeEnter(int index) {
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

void frmTarvel::OnCustomerRange() {
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

QLineEdit* frmTarvel::CustomerRangeBox(int index) const {
  return customerCodes_.at(index);
}

QLabel* frmTarvel::CustomerRangeName(int index) const {
  return customerNames_.at(index);
}

QLineEdit* frmTarvel::CustomerKeywordBox() const {
  return ui_->txt客戶代號;
}

void frmTarvel::Print() {
  RunRequest(OutputMode::Print);
}

void frmTarvel::Preview() {
  RunRequest(OutputMode::Preview);
}

void frmTarvel::ExportToExcel() {
  if (!CheckExcelRights(context_)) return;
  RunRequest(OutputMode::Excel);
}

void frmTarvel::RunRequest(OutputMode mode) {
  WindowDispatcher dispatcher(seams_.output, checkedRows_);
  BuildAndCheck(FormState(), mode, context_, criteria_, dispatcher);
  checkedRows_.reset();
}

void frmTarvel::Output(const LayoutEntry& entry, OutputMode mode) {
  if (mode == OutputMode::Excel && entry.choice <= k表5) {
    WorkOrderExportWindow exporter(context_, criteria_, FormState(), this);
    exporter.exec();
    return;
  }
  std::unique_ptr<Report> report =
      CreateLayout(entry, criteria_, context_, std::exchange(checkedRows_, std::nullopt));
  if (mode == OutputMode::Preview)
    ShowReportModal(std::move(report), this);
  else
    PrintReport(std::move(report), true, this, seams_.printDialog);
}

void frmTarvel::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    UnregisterRunningWindow(context_.ConnectionString, context_.MachineUserName,
                            QLatin1String(kApplicationTitle), false);
  }
  event->accept();
}

}  // namespace tarvel
