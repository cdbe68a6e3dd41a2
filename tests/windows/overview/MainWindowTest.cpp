// MainWindow driven as a clerk drives it: first activation, typing, the check-box interlocks, the
// report choices, the lookups, the rights test, the dispatch and the exit.
#include <QShortcut>
#include <QTimer>

#include "MainWindowFixture.h"
#include "criteria/WindowDefaults.h"
#include "db/Connection.h"
#include "reports/preview/PreviewWindow.h"
#include "support/Golden.h"
#include "windows/export/WorkOrderExportWindow.h"
#include "windows/overview/CustomerRangeDialog.h"

namespace tarvel::test {
namespace {

double RegistryRows(const QString& path) {
  auto connection = db::Connection::OpenFile(path);
  return Scalar(*connection,
                QStringLiteral("select count(*) from [SYSUSER1] where FUNC = 'Tarvel'"));
}

TEST_F(MainWindowTest, FirstActivationRegistersAndFillsTheDefaults) {
  Open();
  const auto demo = OpenDemo();
  const std::vector<CodeName> salespeople = LoadSalespeople(*demo);
  const std::vector<CodeName> customers = LoadCustomers(*demo);

  EXPECT_EQ(window->windowTitle(), "Tarvel");
  EXPECT_EQ(Box("txt日期_起")->text(), "1151201");
  EXPECT_EQ(Box("txt日期_末")->text(), "1151231");
  EXPECT_EQ(Box("txt日期_0")->text(), "1150101");
  EXPECT_EQ(Box("txt日期_1")->text(), "1150630");
  EXPECT_EQ(Box("txt單號_起")->text(), "");
  EXPECT_EQ(Box("txt單號_末")->text(), "zzzzzzzzz");
  EXPECT_EQ(Box("txt業務員代號_0")->text(), salespeople.front().code);
  EXPECT_EQ(Get<QLabel>("lbl業務員名稱_0")->text(), salespeople.front().name);
  EXPECT_EQ(Box("txt業務員代號_1")->text(), salespeople.back().code);
  EXPECT_EQ(Get<QLabel>("lbl業務員名稱_1")->text(), salespeople.back().name);
  EXPECT_EQ(window->CustomerRangeBox(0)->text(), customers.front().code);
  EXPECT_EQ(window->CustomerRangeName(1)->text(), customers.back().name);

  const QStringList categories = LoadPhraseList(*demo, "Q-工單類別", "類別");
  auto* category = Get<QComboBox>("cbo種類");
  ASSERT_EQ(category->count(), categories.size());
  EXPECT_EQ(category->itemText(0), "");
  EXPECT_EQ(category->itemText(1), categories[1]);
  EXPECT_GT(Get<QComboBox>("cbo分類")->count(), 1);

  EXPECT_TRUE(Get<QRadioButton>("sopt選擇報表_0")->isChecked());
  EXPECT_TRUE(Shown("ssc轉Excel檔"));
  EXPECT_EQ(TopTwips(Get("ssc回前畫面_列印")), 5340);
  EXPECT_EQ(QApplication::focusWidget(), Box("txt日期_起"));
  EXPECT_EQ(Box("txt日期_起")->selectedText(), "1151201");
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_EQ(Get<QLabel>("lbl系統日期")->text(), "2026/12/4");
  EXPECT_EQ(Get<QLabel>("lbl系統日期")->toolTip(), "系統日期");
  EXPECT_NE(context.MainWindowHandle, 0);
  EXPECT_EQ(RegistryRows(databasePath), 1);
  window->close();
  EXPECT_EQ(RegistryRows(databasePath), 0) << "closing the window removes its registry row";
}

TEST_F(MainWindowTest, AGoneLauncherEndsTheProgramBeforeAnythingLoads) {
  context.LauncherWindow = 0;
  Open();
  EXPECT_EQ(programEnded, 1);
  EXPECT_EQ(RegistryRows(databasePath), 0);
  EXPECT_EQ(Box("txt業務員代號_0")->text(), "");
}

TEST_F(MainWindowTest, WithoutSalespeopleTheWindowStaysWithoutDefaults) {
  db::Connection::OpenFile(databasePath)->Execute("delete from [EMPLOYEE]");
  Open();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (ShownMessage{"請先新增「業務員資料」!", kInformation, "訊息"}));
  EXPECT_EQ(Box("txt日期_起")->text(), "");
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(MainWindowTest, ListErrorsAreShownWithTheirTitlesAndLeaveTheWindowUsable) {
  db::Connection::OpenFile(databasePath)->Execute("drop table [PHRASE]");
  Open();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "取得所有類別資料錯誤");
  EXPECT_EQ(ui.messages[0].style, kCritical);
  EXPECT_EQ(Box("txt日期_起")->text(), "1151201") << "the steps before the lists still ran";
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_TRUE(Get<QRadioButton>("sopt選擇報表_0")->isChecked());
}

TEST_F(MainWindowTest, BoxesTakeOnlyWhatTheirRulesAllow) {
  Open();
  Type("txt日期_起", "ab9912x31");
  EXPECT_EQ(Box("txt日期_起")->text(), "991231") << "letters are refused in a date box";
  QTest::keyClick(Box("txt日期_起"), Qt::Key_Tab);
  EXPECT_EQ(Box("txt日期_起")->text(), "0991231") << "six digits are padded on leaving";
  EXPECT_EQ(QApplication::focusWidget(), Box("txt日期_末"));
  Type("txt日期_末", "11512");
  QTest::keyClick(Box("txt日期_末"), Qt::Key_Return);
  EXPECT_EQ(Box("txt日期_末")->text(), "11512") << "five digits stay as typed";
  EXPECT_EQ(QApplication::focusWidget(), Box("txt客戶代號")) << "Enter moves to the next control";

  Click("chk選項");
  Type("txt單號_起", "ab-12");
  EXPECT_EQ(Box("txt單號_起")->text(), "AB-12");
}

TEST_F(MainWindowTest, DieCodesHideTheExcelButtonUntilUntickedByTheUser) {
  Open();
  Click("chk選項");
  Click("chk印刀模代號");
  EXPECT_FALSE(Shown("ssc轉Excel檔"));
  EXPECT_EQ(TopTwips(Get("ssc回前畫面_列印")), 4140);

  Click("chk客戶單號");
  EXPECT_FALSE(Get<QCheckBox>("chk印刀模代號")->isChecked());
  EXPECT_FALSE(Shown("ssc轉Excel檔")) << "unticked by a rule, not by the user";

  Click("chk不印金額");
  EXPECT_FALSE(Get<QCheckBox>("chk客戶單號")->isChecked());
  Click("chk不印金額");
  EXPECT_TRUE(Shown("ssc轉Excel檔"));
  EXPECT_EQ(TopTwips(Get("ssc回前畫面_列印")), 5340);

  Click("chk印合版資料");
  Click("chk客戶單號");
  EXPECT_FALSE(Get<QCheckBox>("chk印合版資料")->isChecked());
  EXPECT_TRUE(Shown("ssc轉Excel檔"));

  // Chosen again while the die codes are ticked: the box is offered again, Excel is not.
  Get<QCheckBox>("chk客戶單號")->setChecked(false);
  Click("chk印刀模代號");
  Click("sopt選擇報表_1");
  Click("sopt選擇報表_0");
  EXPECT_TRUE(Shown("chk印刀模代號"));
  EXPECT_FALSE(Shown("ssc轉Excel檔"));

  Click("sopt選擇報表_1");
  Click("chk只印金額大於零");
  Click("chk金額異常");
  EXPECT_FALSE(Get<QCheckBox>("chk只印金額大於零")->isChecked());
  Click("chk只印金額大於零");
  EXPECT_FALSE(Get<QCheckBox>("chk金額異常")->isChecked());
}

// Every line of the option-box table, a box added later included: its caption, the choices that
// show it, the boxes its click unticks and what the click does to 轉Excel檔.
TEST_F(MainWindowTest, EveryOptionBoxFollowsItsLineOfTheTable) {
  Open();
  Click("chk選項");
  for (int choice = 0; choice < kReportChoiceCount; ++choice) {
    if (choice == k表5) continue;  // not offered to this company
    Click(QStringLiteral("sopt選擇報表_%1").arg(choice).toUtf8().constData());
    for (const OptionBox& box : OptionBoxes()) {
      SCOPED_TRACE(std::string(box.name) + " on choice " + std::to_string(choice));
      const auto* check = Get<QCheckBox>(box.name);
      EXPECT_EQ(check->text(), QString::fromUtf8(box.caption));
      EXPECT_EQ(!check->isHidden(), box.Offered(choice));
    }
  }
  Click("sopt選擇報表_0");
  for (const OptionBox& box : OptionBoxes()) {
    if (!box.Offered(k表1)) continue;
    SCOPED_TRACE(box.name);
    for (const OptionBox& other : OptionBoxes())
      Get<QCheckBox>(other.name)->setChecked(other.Offered(k表1) && &other != &box);
    Click(box.name);
    for (const OptionBox& other : OptionBoxes()) {
      if (&other == &box || !other.Offered(k表1)) continue;
      const bool excluded = box.exclusive != kNotExclusive && other.exclusive == box.exclusive;
      EXPECT_EQ(Get<QCheckBox>(other.name)->isChecked(), !excluded) << other.name;
    }
    const bool hides = box.excel == HidesExcel::WhenClicked || box.excel == HidesExcel::Always;
    Get<QAbstractButton>("ssc轉Excel檔")->show();
    Click(box.name);  // unticked again
    EXPECT_TRUE(Shown("ssc轉Excel檔"));
    Click(box.name);
    EXPECT_EQ(Shown("ssc轉Excel檔"), !hides);
    Click(box.name);
    EXPECT_EQ(Shown("ssc轉Excel檔"), true);
  }
}

// What each report choice shows, read from the controls after choosing it with 選項 ticked.
TEST_F(MainWindowTest, EachChoiceShowsItsControls) {
  Open();
  Click("chk選項");
  const char* controls[] = {
      "chk客戶單號",       "chk印刀模代號", "chk印合版資料", "chk不印金額", "chk依業務印表",
      "chk只印金額大於零", "chk金額異常",   "pic送清",       "txt業務員",   "txt工務人員",
      "cbo種類",           "txt客戶單號",   "cbo分類",       "chk選項",     "pic選項",
      "pic選項1",          "spn1",          "spn2",          "scmd客戶",    "ssc轉Excel檔"};
  // One character per control above: 1 shown, 0 hidden.
  const char* expected[kReportChoiceCount] = {
      "11110011111111101011",  // 表1
      "00001111111111101011",  // 表2
      "00000000011111011011",  // 表3: the options of 表1/表2 are in the closed panel
      "00000011111111101011",  // 表4
      "00000000000000000101",  // 表5 (chosen last, after 補版明細)
      "00000000111111101000",  // 未送總表
      "00000000100000001000",  // 補版明細
  };
  for (int choice = 0; choice < kReportChoiceCount; ++choice) {
    if (choice == k表5) continue;  // not offered to this company
    Click(QStringLiteral("sopt選擇報表_%1").arg(choice).toUtf8().constData());
    QString seen;
    for (const char* name : controls)
      seen += Shown(name) ? u'1' : u'0';
    EXPECT_EQ(seen, QString::fromLatin1(expected[choice])) << "choice " << choice;
    EXPECT_EQ(TopTwips(Get("ssc回前畫面_列印")), Shown("ssc轉Excel檔") ? 5340 : 4140);
  }
  window->ChooseReport(k表5);
  QString seen;
  for (const char* name : controls)
    seen += Shown(name) ? u'1' : u'0';
  EXPECT_EQ(seen, QString::fromLatin1(expected[k表5]));
  EXPECT_EQ(QApplication::focusWidget(), Box("txt日期_0"));

  // After 補版明細, 表1 brings the criteria back but leaves the options closed.
  Click("sopt選擇報表_6");
  EXPECT_FALSE(Get<QCheckBox>("chk選項")->isChecked());
  Click("sopt選擇報表_0");
  EXPECT_TRUE(Shown("chk選項") && Shown("txt工務人員"));
  EXPECT_FALSE(Get<QCheckBox>("chk選項")->isChecked());
  EXPECT_FALSE(Shown("pic選項") || Shown("pic選項1"));
  Click("chk選項");
  EXPECT_TRUE(Shown("pic選項"));
  Click("chk選項");
  EXPECT_FALSE(Shown("pic選項"));
}

TEST_F(MainWindowTest, Table3MovesTheCategoryAndChoosesAllCompletions) {
  Open();
  Click("chk選項");
  Click("sopt完工_0");
  EXPECT_EQ(Get<QLabel>("lbl日期")->text(), "完工日期:");
  Click("sopt發票_0");
  EXPECT_EQ(Get<QLabel>("lbl日期")->text(), "發票日期:");
  Click("sopt完工_1");
  EXPECT_EQ(Get<QLabel>("lbl日期")->text(), "發票日期:") << "the invoice date takes precedence";

  Click("sopt選擇報表_2");
  EXPECT_EQ(Get("cbo種類")->y(), Get("txt業務員")->y());
  EXPECT_EQ(Get("lbl類別")->y(), Get("lbl業務員")->y());
  EXPECT_TRUE(Get<QRadioButton>("sopt完工_2")->isChecked());
  EXPECT_TRUE(Get<QRadioButton>("sopt發票_2")->isChecked());
  EXPECT_EQ(Get<QLabel>("lbl日期")->text(), "工單日期:");

  Click("sopt選擇報表_0");
  EXPECT_EQ(Get("cbo種類")->y(), Get("txt鍵機人員")->y());
}

TEST_F(MainWindowTest, Table5IsOfferedOnlyToTheCompanyItWasMadeFor) {
  context.CompanyName = "台和印刷";
  MainWindow other(context, RecordingSeams());
  EXPECT_TRUE(Find(other, "sopt選擇報表_4")->isHidden());
  const int otherTop = Find(other, "sopt選擇報表_0")->y();

  context.CompanyName = "翠峰彩色印刷";
  MainWindow chosen(context, RecordingSeams());
  EXPECT_FALSE(Find(chosen, "sopt選擇報表_4")->isHidden());
  EXPECT_EQ(PixelsToTwips(otherTop - Find(chosen, "sopt選擇報表_0")->y(), chosen.screen()), 120);
}

TEST_F(MainWindowTest, SalespersonCodesAreFoundInTheListOrThroughTheLookup) {
  Open();
  Click("chk選項");
  Click("sopt選擇報表_2");
  const CodeName third = window->SalespersonList().at(2);
  Type("txt業務員代號_0", " " + third.code);
  EXPECT_EQ(Get<QLabel>("lbl業務員名稱_0")->text(), "") << "typing clears the name";
  QTest::keyClick(Box("txt業務員代號_0"), Qt::Key_Return);
  EXPECT_EQ(Box("txt業務員代號_0")->text(), third.code);
  EXPECT_EQ(Get<QLabel>("lbl業務員名稱_0")->text(), third.name);
  EXPECT_TRUE(lookups.empty()) << "an existing code needs no window";

  Type("txt業務員代號_1", third.name);
  QTest::keyClick(Box("txt業務員代號_1"), Qt::Key_Return);
  EXPECT_EQ(Box("txt業務員代號_1")->text(), third.code) << "a name finds its row too";

  lookupAnswer = {"A009", "新來的"};
  Type("txt業務員代號_1", "Z'9");
  QTest::keyClick(Box("txt業務員代號_1"), Qt::Key_Return);
  ASSERT_EQ(lookups.size(), 1u);
  EXPECT_EQ(lookups[0].kind, LookupKind::Employee);
  EXPECT_EQ(lookups[0].seed, "Z'9");
  EXPECT_EQ(Box("txt業務員代號_1")->text(), "A009");
  EXPECT_EQ(Get<QLabel>("lbl業務員名稱_1")->text(), "新來的");

  lookupAnswer = {"", "kept"};
  Type("txt業務員代號_1", "Q");
  QTest::keyClick(Box("txt業務員代號_1"), Qt::Key_Return);
  EXPECT_EQ(Box("txt業務員代號_1")->text(), "Q") << "no choice but a second value: unchanged";

  lookupAnswer = {};
  QTest::keyClick(Box("txt業務員代號_1"), Qt::Key_Return);
  EXPECT_EQ(Box("txt業務員代號_1")->text(), "") << "nothing at all: cleared";
}

TEST_F(MainWindowTest, LookupButtonsSeedFromTheirBoxAndTakeTheName) {
  Open();
  Box("txt客戶代號")->setText(" 台 ");
  lookupAnswer = {"C0012", "台和紙器"};
  Click("scmd客戶代號");
  ASSERT_EQ(lookups.size(), 1u);
  EXPECT_EQ(lookups[0].kind, LookupKind::Customer);
  EXPECT_EQ(lookups[0].seed, "台");
  EXPECT_EQ(Box("txt客戶代號")->text(), "台和紙器");
  EXPECT_EQ(QApplication::focusWidget(), Box("txt客戶代號"));

  lookupAnswer = {};
  Box("txt工務人員")->setText("陳");
  Click("scmd工務人員");
  EXPECT_EQ(lookups.back().kind, LookupKind::Employee);
  EXPECT_EQ(Box("txt工務人員")->text(), "陳") << "cancelled: the box keeps its text";
}

TEST_F(MainWindowTest, OutputsGoThroughTheQueryBuilderToTheCatalogue) {
  Open();
  Click("ssc列印");
  Click("chk選項");
  Click("chk客戶單號");
  Click("chk不印金額");
  Click("chk客戶單號");
  Click("ssc預覽列印");
  Click("sopt選擇報表_5");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return outputs.size() == 3; }))
      << "the button's animated click";
  EXPECT_EQ(outputs, (std::vector<OutputCall>{{"rptTarvel_1", OutputMode::Print},
                                              {"rptTarvel2", OutputMode::Preview},
                                              {"rpt工單未出明細_橫", OutputMode::Print}}))
      << (ui.messages.empty() ? QString() : ui.messages.back().text).toStdString();
  EXPECT_EQ(window->Criteria().DateFrom, "1151201");

  outputs.clear();
  Click("sopt選擇報表_0");
  Type("txt日期_起", "0100101");
  Type("txt日期_末", "0100131");
  Click("ssc列印");
  EXPECT_TRUE(outputs.empty());
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back(), (ShownMessage{"查無任何資料!", kExclamation, "訊息"}));
}

TEST_F(MainWindowTest, ExcelIsRefusedToUsersWithoutTheRight) {
  context.AdminName.clear();
  context.WorkOrderRights = QString(40, u'0') + u'1';
  Open();
  Click("ssc轉Excel檔");
  EXPECT_TRUE(outputs.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (ShownMessage{"您的權限不可以轉Excel！", kExclamation, "警告"}));

  context.WorkOrderRights = QString(40, u'0') + u'0';
  Click("ssc轉Excel檔");
  context.AdminName = "系統管理員";
  context.WorkOrderRights = QString(40, u'0') + u'1';
  Click("ssc轉Excel檔");
  EXPECT_EQ(outputs, (std::vector<OutputCall>{{"rptTarvel_1", OutputMode::Excel},
                                              {"rptTarvel_1", OutputMode::Excel}}));
}

TEST_F(MainWindowTest, EscapeAndTheExitButtonsCloseTheWindow) {
  Open();
  QTest::keyClick(Box("txt業務員"), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(RegistryRows(databasePath), 0);

  window.reset();
  Open();
  Click("ssc回前畫面_列印");
  EXPECT_FALSE(window->isVisible());

  window.reset();
  Open();
  window->findChild<QAction*>("重工表")->trigger();
  EXPECT_EQ(reworkOpened, 1);
  window->findChild<QAction*>("exit")->trigger();
  EXPECT_FALSE(window->isVisible());
}

/// Runs `step` on the modal window that opens next, once it is up.
template <typename Step>
void WhenModalOpens(Step step) {
  QTimer::singleShot(0, [step] {
    if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; })) {
      ADD_FAILURE() << "no modal window opened";
      return;
    }
    step(QApplication::activeModalWidget());
  });
}

TEST_F(MainWindowTest, TheRealPreviewAndTheCustomerRangeDialogRunFromTheWindow) {
  MainWindowSeams seams = RecordingSeams();
  seams.output = {};
  seams.openCustomerRange = {};
  std::function<bool(QPrinter&, int, QWidget*)> seamsPrintTo;
  seams.printDialog = [&](QPrinter& printer, int pages, QWidget* parent) {
    return seamsPrintTo(printer, pages, parent);
  };
  Open(std::move(seams));

  int previewPages = 0;
  WhenModalOpens([&](QWidget* modal) {
    auto* preview = qobject_cast<PreviewWindow*>(modal);
    ASSERT_NE(preview, nullptr);
    previewPages = preview->PageCount();
    preview->close();
  });
  Click("ssc預覽列印");
  EXPECT_GT(previewPages, 0);
  EXPECT_TRUE(ui.messages.empty());

  // Printing asks for the printer first; here the printer is a PDF file.
  const QString pdf = folder.File("表1.pdf");
  int dialogs = 0;
  seamsPrintTo = [&](QPrinter& printer, int, QWidget*) {
    ++dialogs;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  };
  Click("ssc列印");
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(PdfText(pdf).contains("工單一覽表"));

  // Excel opens the export window for the window's choice.
  QString proposed;
  WhenModalOpens([&](QWidget* modal) {
    auto* exporter = qobject_cast<WorkOrderExportWindow*>(modal);
    ASSERT_NE(exporter, nullptr);
    proposed = exporter->TargetText();
    exporter->reject();
  });
  Click("ssc轉Excel檔");
  EXPECT_TRUE(proposed.endsWith("工單一覽表-1151204.xlsx")) << proposed.toStdString();

  // The customer range: edited and confirmed, it replaces the keyword.
  Box("txt客戶代號")->setText("台");
  const CodeName last = window->CustomerList().back();
  WhenModalOpens([&](QWidget* modal) {
    auto* dialog = qobject_cast<CustomerRangeDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->CodeBox(1)->text(), last.code) << "starts from the window's range";
    dialog->CodeBox(0)->setFocus();
    dialog->CodeBox(0)->selectAll();
    TypeInto(dialog->CodeBox(0), last.code);
    QTest::keyClick(dialog->CodeBox(0), Qt::Key_Return);
    ClickOn(Find<QAbstractButton>(*dialog, "scmd確定"));
  });
  Click("scmd客戶");
  EXPECT_EQ(window->CustomerRangeBox(0)->text(), last.code);
  EXPECT_EQ(window->CustomerRangeName(0)->text(), last.name);
  EXPECT_EQ(Box("txt客戶代號")->text(), "");

  // Cancelled: nothing changes.
  Box("txt客戶代號")->setText("台");
  WhenModalOpens([](QWidget* modal) { ClickOn(Find<QAbstractButton>(*modal, "scmd取消")); });
  Click("scmd客戶");
  EXPECT_EQ(Box("txt客戶代號")->text(), "台");
}

}  // namespace
}  // namespace tarvel::test
