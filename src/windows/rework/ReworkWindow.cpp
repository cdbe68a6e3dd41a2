#include "windows/rework/ReworkWindow.h"

#include <QShortcut>
#include <QStyle>
#include <QTimer>

#include "common/RocDate.h"
#include "common/forms/FocusRules.h"
#include "common/forms/KeyRules.h"
#include "common/forms/ScreenTwips.h"
#include "common/forms/ThemedIcon.h"
#include "common/forms/WindowSetup.h"
#include "criteria/OutputRights.h"
#include "platform/UserInterface.h"
#include "reports/preview/ReportOutput.h"
#include "startup/AppContext.h"
#include "ui_ReworkWindow.h"
#include "windows/export/WorkOrderExportWindow.h"

namespace tarvel {
namespace {

// Where the report choice puts the groups that move, in twips from the top of SSPanel10.
constexpr int kRowTop1 = 660;   // 工單日期 for the die list
constexpr int kRowTop2 = 1260;  // 工單日期 for the others; 刀模廠商 for the die list
constexpr int kRowTop4 = 2460;  // 廠商 for the plate list

}  // namespace

ReworkWindow::ReworkWindow(AppContext& context, LookupValues& lookup, ReworkCriteria& criteria,
                           ReworkWindowSeams seams, QWidget* parent)
    : QDialog(parent),
      context_(context),
      lookup_(lookup),
      criteria_(criteria),
      seams_(std::move(seams)),
      ui_(new Ui::ReworkWindow) {
  ui_->setupUi(this);
  auto& u = *ui_;
  reportOptions_ = {u.sopt選擇報表_0, u.sopt選擇報表_1, u.sopt選擇報表_2, u.sopt選擇報表_3};
  kindOptions_ = {u.sopt選擇_0, u.sopt選擇_1, u.sopt選擇_2, u.sopt選擇_3};

  if (!seams_.openLookup)
    seams_.openLookup = [this](LookupKind kind, LookupValues& values, QWidget* caller) {
      OpenLookupWindow(kind, context_, values, caller);
    };
  if (!seams_.output) seams_.output = [this](CheckedRequest& request) { Output(request); };

  // The design's pictures.
  u.exit->setIcon(ThemedIcon("application-exit", QStyle::SP_DialogCloseButton, this));
  u.ssc列印->setIcon(ThemedIcon("document-print", QStyle::SP_DialogApplyButton, this));
  u.ssc預覽列印->setIcon(
      ThemedIcon("document-print-preview", QStyle::SP_FileDialogContentsView, this));
  u.ssc轉Excel檔->setIcon(ThemedIcon("x-office-spreadsheet", QStyle::SP_DialogSaveButton, this));
  u.ssc回前畫面_列印->setIcon(ThemedIcon("application-exit", QStyle::SP_DialogCloseButton, this));
  const QIcon find = ThemedIcon("edit-find", QStyle::SP_FileDialogContentsView, this);
  for (QToolButton* button : {u.scmd客戶代號, u.scmd業務員, u.scmd廠商代號, u.scmd廠商代號1})
    button->setIcon(find);

  // The captions are fixed, so the buttons' keys are Alt shortcuts named in their tool tips.
  const auto shortcut = [](QAbstractButton* button, const char* keys, const QString& tip) {
    button->setShortcut(QKeySequence(QLatin1String(keys)));
    button->setToolTip(tip + QStringLiteral(" (") + QLatin1String(keys) + QLatin1Char(')'));
  };
  shortcut(u.ssc列印, "Alt+P", QStringLiteral("列印"));
  shortcut(u.ssc預覽列印, "Alt+V", QStringLiteral("預覽列印"));
  shortcut(u.ssc轉Excel檔, "Alt+E", QStringLiteral("轉Excel檔"));
  shortcut(u.ssc回前畫面_列印, "Alt+X", QStringLiteral("離開"));

  // The groups stand on their design tops in twips.
  MoveTop(u.pic工單單號, kRowTop1);
  MoveTop(u.pic工單日期, kRowTop2);
  MoveTop(u.pic廠商, kRowTop4);

  WireControls();
  InstallKeyRules();

  // The window's load.
  setFixedSize(size());
  CenterWindow(this);
  PrepareControls(this);
  ChooseReport(k重工明細表);
}

ReworkWindow::~ReworkWindow() = default;

void ReworkWindow::MoveTop(QWidget* widget, int twips) {
  widget->move(widget->x(), TwipsToPixels(twips, screen()));
}

void ReworkWindow::WireControls() {
  auto& u = *ui_;
  connect(u.ssc列印, &QAbstractButton::clicked, this, &ReworkWindow::Print);
  connect(u.ssc預覽列印, &QAbstractButton::clicked, this, &ReworkWindow::Preview);
  connect(u.ssc轉Excel檔, &QAbstractButton::clicked, this, &ReworkWindow::ExportToExcel);
  connect(u.ssc回前畫面_列印, &QAbstractButton::clicked, this, &QDialog::reject);
  connect(u.exit, &QAction::triggered, this, &QDialog::reject);

  connect(u.scmd客戶代號, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Customer, ui_->txt客戶代號); });
  connect(u.scmd業務員, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Employee, ui_->txt業務員); });
  // The plate list's vendor is the plate maker (a printer), the die list's the die maker.
  connect(u.scmd廠商代號, &QAbstractButton::clicked, this, [this] {
    OpenLookupFor(LookupKind::Vendor, ui_->txt廠商代號,
                  ReportChoice() == k留版明細表 ? QStringLiteral("印刷") : QStringLiteral("刀模"));
  });
  connect(u.scmd廠商代號1, &QAbstractButton::clicked, this,
          [this] { OpenLookupFor(LookupKind::Vendor, ui_->txt廠商代號1, QStringLiteral("軋工")); });

  connect(u.chk選項, &QAbstractButton::clicked, u.pic選項, &QWidget::setVisible);
  for (int i = 0; i < kReworkChoiceCount; ++i)
    connect(reportOptions_[i], &QAbstractButton::clicked, this, [this, i] { ChooseReport(i); });
}

void ReworkWindow::InstallKeyRules() {
  auto& u = *ui_;
  for (QLineEdit* box : {u.txt單號_起, u.txt單號_末, u.txt日期_起, u.txt日期_末, u.txt客戶代號,
                         u.txt業務員, u.txt廠商代號, u.txt廠商代號1})
    InstallSelectAllOnFocus(box);
  ApplyUpperCase(u.txt單號_起);
  ApplyUpperCase(u.txt單號_末);
  for (QLineEdit* box : {u.txt日期_起, u.txt日期_末})
    ApplyRocDateBox(box);
  MoveFocusOnEnter(this);
}

void ReworkWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (firstActivation_)
    QTimer::singleShot(0, this, [this] {
      if (firstActivation_) FirstActivation();
    });
}

void ReworkWindow::FirstActivation() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  setEnabled(false);
  const ReworkFormState defaults = ReworkWindowDefaults();
  auto& u = *ui_;
  u.txt單號_起->setText(defaults.txt單號_起);
  u.txt單號_末->setText(defaults.txt單號_末);
  u.txt日期_起->setText(defaults.txt日期_起);
  u.txt日期_末->setText(defaults.txt日期_末);
  setEnabled(true);
  u.txt單號_起->setFocus(Qt::OtherFocusReason);
  SelectAllOnFocus(u.txt單號_起);
}

ReworkFormState ReworkWindow::FormState() const {
  const auto& u = *ui_;
  ReworkFormState form;
  form.txt日期_起 = u.txt日期_起->text();
  form.txt日期_末 = u.txt日期_末->text();
  form.txt單號_起 = u.txt單號_起->text();
  form.txt單號_末 = u.txt單號_末->text();
  form.txt客戶代號 = u.txt客戶代號->text();
  form.txt業務員 = u.txt業務員->text();
  form.txt廠商代號 = u.txt廠商代號->text();
  form.txt廠商代號1 = u.txt廠商代號1->text();
  form.sopt選擇 = -1;
  for (int i = 0; i < 4; ++i)
    if (kindOptions_[i]->isChecked()) form.sopt選擇 = i;
  form.sopt排序 = u.sopt排序_0->isChecked() ? kSortByDieMaker : kSortByDieCutter;
  form.sopt選擇報表 = ReportChoice();
  return form;
}

int ReworkWindow::ReportChoice() const {
  for (int i = 0; i < kReworkChoiceCount; ++i)
    if (reportOptions_[i]->isChecked()) return i;
  return k重工明細表;
}

void ReworkWindow::ChooseReport(int index) {
  if (index < 0 || index >= kReworkChoiceCount) return;
  auto& u = *ui_;
  reportOptions_[index]->setChecked(true);

  u.pic廠商->setVisible(index == k留版明細表);
  // Only the rework and plate lists have a department to filter by.
  if (index == k重工明細表 || index == k留版明細表) {
    u.chk選項->show();
  } else {
    u.chk選項->hide();
    u.pic選項->hide();
  }
  const bool dies = index == k刀模明細表;
  u.lbl廠商->setText(dies ? QStringLiteral("刀模廠商:") : QStringLiteral("廠       商:"));
  u.pic工單單號->setVisible(!dies);
  u.pic客戶->setVisible(!dies);
  if (dies) u.pic廠商->show();
  MoveTop(u.pic工單日期, dies ? kRowTop1 : kRowTop2);
  MoveTop(u.pic廠商, dies ? kRowTop2 : kRowTop4);
  u.pic廠商1->setVisible(dies);
  u.pic排序->setVisible(dies);

  u.ssc轉Excel檔->setEnabled(ChoiceExports(ReportFamily::Rework, index));
  u.txt廠商代號->clear();
}

void ReworkWindow::OpenLookupFor(LookupKind kind, QLineEdit* box, const QString& vendorKind) {
  lookup_.LookupSeed = box->text().trimmed();
  if (kind == LookupKind::Vendor) lookup_.VendorKind = vendorKind;
  seams_.openLookup(kind, lookup_, this);
  if (lookup_.HasSelection()) box->setText(lookup_.LookupResult[1].trimmed());
  box->setFocus(Qt::OtherFocusReason);
}

void ReworkWindow::Print() {
  RunRequest(OutputMode::Print, ui_->ssc列印);
}

void ReworkWindow::Preview() {
  RunRequest(OutputMode::Preview, ui_->ssc預覽列印);
}

void ReworkWindow::ExportToExcel() {
  // A right the site set holds in every window, this one included.
  if (!CheckExcelRights(context_)) return;
  RunRequest(OutputMode::Excel, ui_->ssc轉Excel檔);
}

void ReworkWindow::RunRequest(OutputMode mode, QAbstractButton* button) {
  // The button shows the hourglass itself until the request is through, then its own pointer.
  const QCursor own = button->cursor();
  button->setCursor(Qt::WaitCursor);
  RequestRework(FormState(), mode, context_, criteria_, seams_.output);
  button->setCursor(own);
}

void ReworkWindow::Output(CheckedRequest& request) {
  if (request.mode == OutputMode::Excel) {
    WorkOrderExportWindow exporter(context_, request.row, request.criteria, this);
    exporter.exec();
    return;
  }
  PrintOrPreview(request, this);
}

}  // namespace tarvel
