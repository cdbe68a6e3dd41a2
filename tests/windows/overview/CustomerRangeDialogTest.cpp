// frmTarvel_客戶起迄: codes found directly or through the customer lookup, the end following the
// start, and the database errors it reports.
#include "MainWindowFixture.h"
#include "criteria/WindowDefaults.h"
#include "windows/overview/CustomerRangeDialog.h"

namespace tarvel::test {
namespace {

class CustomerRangeDialogTest : public WindowFixture {
 protected:
  void SetUp() override {
    context.ConnectionString = DemoConnectionString();
    customers = LoadCustomers(*OpenDemo());
    dialog = std::make_unique<CustomerRangeDialog>(context, values, RecordingLookup());
    driven = dialog.get();
    dialog->SetRange({{"C1", "C2"}, {"one", "two"}});
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  }

  void Enter(int index, const QString& text) {
    QLineEdit* box = dialog->CodeBox(index);
    box->setFocus();
    box->selectAll();
    TypeInto(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }

  LookupValues values;
  std::vector<CodeName> customers;
  std::unique_ptr<CustomerRangeDialog> dialog;
};

TEST_F(CustomerRangeDialogTest, AnExistingCodeFillsBothEnds) {
  const CodeName& customer = customers.at(3);
  Enter(0, customer.code);
  EXPECT_EQ(dialog->Range(),
            (CustomerRange{{customer.code, customer.code}, {customer.name, customer.name}}));
  EXPECT_TRUE(lookups.empty());
  EXPECT_EQ(QApplication::focusWidget(), dialog->CodeBox(1)) << "Enter moves on";
  EXPECT_TRUE(dialog->isVisible()) << "Enter in a box does not confirm the dialog";

  const CodeName& other = customers.at(5);
  Enter(1, other.code);
  EXPECT_EQ(dialog->Range().codes[0], customer.code) << "only the start drags the end along";
  EXPECT_EQ(dialog->Range().names[1], other.name);
}

TEST_F(CustomerRangeDialogTest, AnUnknownCodeOpensTheLookupSeededWithIt) {
  lookupAnswer = {customers.at(1).code, customers.at(1).name};
  Enter(0, " x'y ");
  ASSERT_EQ(lookups.size(), 1u);
  EXPECT_EQ(lookups[0].kind, LookupKind::Customer);
  EXPECT_EQ(lookups[0].seed, "x'y") << "the apostrophe is looked up, not spliced";
  EXPECT_EQ(dialog->Range().codes, (std::array<QString, 2>{customers[1].code, customers[1].code}));
  EXPECT_TRUE(ui.messages.empty());

  lookupAnswer = {"", "something"};
  Enter(1, "nosuch");
  EXPECT_EQ(dialog->CodeBox(1)->text(), "nosuch") << "a second value keeps the typed text";
  lookupAnswer = {};
  Enter(1, "nosuch");
  EXPECT_EQ(dialog->CodeBox(1)->text(), "");
  EXPECT_EQ(dialog->NameLabel(1)->text(), "");
}

TEST_F(CustomerRangeDialogTest, DatabaseErrorsAreShownAndTheLookupFollows) {
  context.ConnectionString = ComposeConnectionString("/nonexistent/KORV.mdb");
  Enter(0, customers.at(0).code);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "依客戶代號取得客戶資料錯誤");
  EXPECT_EQ(ui.messages[0].style, kCritical);
  EXPECT_EQ(lookups.size(), 1u);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(CustomerRangeDialogTest, ConfirmAcceptsCancelAndEscapeReject) {
  ClickOn(Find<QAbstractButton>(*dialog, "scmd確定"));
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Range(), (CustomerRange{{"C1", "C2"}, {"one", "two"}}));
  dialog->show();
  QTest::keyClick(dialog->CodeBox(0), Qt::Key_Escape);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(dialog->windowTitle(), "客戶");
}

}  // namespace
}  // namespace tarvel::test
