#include "windows/overview/CustomerRangeDialog.h"

#include "common/forms/FocusRules.h"
#include "common/forms/WindowSetup.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqlText.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"
#include "ui_CustomerRangeDialog.h"

namespace tarvel {

CustomerRangeDialog::CustomerRangeDialog(const AppContext& context, LookupValues& lookup,
                                         LookupOpener openLookup, QWidget* parent)
    : QDialog(parent),
      context_(context),
      lookup_(lookup),
      openLookup_(std::move(openLookup)),
      ui_(new Ui::CustomerRangeDialog) {
  ui_->setupUi(this);
  codes_ = {ui_->txt客戶代號_0, ui_->txt客戶代號_1};
  names_ = {ui_->lbl客戶簡稱_0, ui_->lbl客戶簡稱_1};
  setFixedSize(size());
  PrepareControls(this);
  CenterWindow(this);

  for (int i = 0; i < 2; ++i) {
    InstallSelectAllOnFocus(codes_[i]);
    connect(codes_[i], &QLineEdit::textChanged, names_[i], &QLabel::clear);
    connect(codes_[i], &QLineEdit::returnPressed, this, [this, i] { OnCodeEnter(i); });
  }
  connect(ui_->scmd確定, &QAbstractButton::clicked, this, &QDialog::accept);
  connect(ui_->scmd取消, &QAbstractButton::clicked, this, &QDialog::reject);
  MoveFocusOnEnter(this);
}

CustomerRangeDialog::~CustomerRangeDialog() = default;

void CustomerRangeDialog::SetRange(const CustomerRange& range) {
  for (int i = 0; i < 2; ++i) {
    codes_[i]->setText(range.codes[i]);
    names_[i]->setText(range.names[i]);
  }
}

CustomerRange CustomerRangeDialog::Range() const {
  CustomerRange range;
  for (int i = 0; i < 2; ++i) {
    range.codes[i] = codes_[i]->text();
    range.names[i] = names_[i]->text();
  }
  return range;
}

void CustomerRangeDialog::FindCustomer(const QString& code) {
  BusyPointer busy;
  lookup_.ClearResult();
  try {
    const auto connection = db::Connection::Open(context_.ConnectionString);
    const db::Recordset rows =
        connection->OpenRecordset(QStringLiteral("select ID, SNAME from [CUST] where ID = '") +
                                  db::SqlEscape(code) + QLatin1Char('\''));
    if (rows.RecordCount() > 0) {
      lookup_.LookupResult[0] = rows.Text(QStringLiteral("ID"));
      lookup_.LookupResult[1] = rows.Text(QStringLiteral("SNAME"));
    }
  } catch (const db::DbError& error) {
    lookup_.ClearResult();
    ShowMessage(error.Description(), kCritical, QStringLiteral("依客戶代號取得客戶資料錯誤"));
  }
}

void CustomerRangeDialog::OnCodeEnter(int index) {
  QLineEdit* box = codes_[index];
  QLabel* name = names_[index];
  FindCustomer(box->text().trimmed());
  if (lookup_.HasSelection()) {
    box->setText(lookup_.LookupResult[0].trimmed());
    name->setText(lookup_.LookupResult[1].trimmed());
  } else {
    LookUpCode(LookupKind::Customer, openLookup_, lookup_, box, name, this);
  }
  // The end of the range follows its start.
  if (index == 0) {
    codes_[1]->setText(codes_[0]->text());
    names_[1]->setText(names_[0]->text());
  }
}

}  // namespace tarvel
