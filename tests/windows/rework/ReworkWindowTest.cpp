// frm重工明細表: its defaults, the report choice's arrangement, the lookups with their vendor
// kinds, key rules, the outputs and their criteria, the export window it opens, and the main
// window's toolbar button that opens it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "windows/export/WorkOrderExportWindow.h"
#include "windows/overview/MainWindowFixture.h"
#include "windows/rework/ReworkWindow.h"

namespace tarvel::test {
namespace {

struct ReworkOutputCall {
  int choice;
  OutputMode mode;
  bool operator==(const ReworkOutputCall&) const = default;
};

class ReworkWindowTest : public WindowFixture {
 protected:
  void SetUp() override {
    context.ConnectionString = DemoConnectionString();
    ASSERT_TRUE(LoadAppContext(
        context, CommandLineOf(QStringLiteral("系統管理員"), QStringLiteral("系統管理員"))));
  }
  void TearDown() override { window.reset(); }

  void Open() {
    ReworkWindowSeams seams;
    seams.openLookup = RecordingLookup();
    seams.output = [this](CheckedRequest& request) {
      outputs.push_back({request.row.Choice(), request.mode});
      outputCriteria.push_back(criteria);
    };
    window = std::make_unique<ReworkWindow>(context, lookup, criteria, std::move(seams));
    driven = window.get();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->FirstActivationDone(); }));
    QApplication::processEvents();
  }

  LookupValues lookup;
  ReworkCriteria criteria;
  std::unique_ptr<ReworkWindow> window;
  std::vector<ReworkOutputCall> outputs;
  std::vector<ReworkCriteria> outputCriteria;
};

TEST_F(ReworkWindowTest, TheFirstActivationSetsThisMonthAndFocusesTheFirstNumber) {
  Open();
  EXPECT_EQ(window->objectName(), "frm重工明細表");
  EXPECT_EQ(window->windowTitle(), "重工打樣明細");
  EXPECT_EQ(Box("txt單號_起")->text(), "");
  EXPECT_EQ(Box("txt單號_末")->text(), "zzzzzzzzz");
  EXPECT_EQ(Box("txt日期_起")->text(), "1151201");
  EXPECT_EQ(Box("txt日期_末")->text(), "1151231");
  EXPECT_EQ(QApplication::focusWidget(), Box("txt單號_起"));
  EXPECT_TRUE(Get<QRadioButton>("sopt選擇報表_0")->isChecked());
  EXPECT_TRUE(Get<QRadioButton>("sopt選擇_3")->isChecked());
  EXPECT_TRUE(Get<QRadioButton>("sopt排序_7")->isChecked()) << "軋工廠商 when created";
  EXPECT_EQ(Get<QLabel>("Label21")->text(), "條件設定");
  EXPECT_EQ(Get<QLabel>("Label22")->text(), "選擇報表");
  const char* captions[][2] = {{"ssc列印", "列印"},
                               {"ssc預覽列印", "預覽列印"},
                               {"ssc轉Excel檔", "轉Excel檔"},
                               {"ssc回前畫面_列印", "離　　開"},
                               {"sopt選擇報表_1", "打樣明細表"},
                               {"sopt選擇報表_3", "刀模明細表"},
                               {"sopt排序_0", "刀模廠商"},
                               {"sopt排序_7", "軋工廠商"},
                               {"chk選項", "選項"}};
  for (const auto& [name, caption] : captions)
    EXPECT_EQ(Get<QAbstractButton>(name)->text(), caption) << name;
  const auto* toolbar = Get<QToolBar>("Toolbar1");
  ASSERT_EQ(toolbar->actions().size(), 1);
  EXPECT_EQ(toolbar->actions()[0]->objectName(), "exit");
  EXPECT_EQ(toolbar->actions()[0]->text(), "   離開   ");
}

TEST_F(ReworkWindowTest, TheReportChoiceArrangesTheCriteria) {
  Open();
  const auto state = [&] {
    return std::vector<bool>{Shown("pic工單單號"),
                             Shown("pic客戶"),
                             Shown("pic廠商"),
                             Shown("pic廠商1"),
                             Shown("pic排序"),
                             Shown("chk選項"),
                             Get("ssc轉Excel檔")->isEnabled()};
  };
  // 重工明細表 as it opens: number range, customer, kind filter, Excel.
  EXPECT_EQ(state(), (std::vector<bool>{true, true, false, false, false, true, true}));
  EXPECT_EQ(TopTwips(Get("pic工單日期")), 1260);

  Click("chk選項");
  EXPECT_TRUE(Shown("pic選項"));
  Box("txt廠商代號")->setText("V01");
  Click("sopt選擇報表_1");  // 打樣明細表: no kind filter
  EXPECT_EQ(state(), (std::vector<bool>{true, true, false, false, false, false, true}));
  EXPECT_FALSE(Shown("pic選項"));
  EXPECT_EQ(Box("txt廠商代號")->text(), "") << "every switch clears the vendor box";

  Box("txt廠商代號")->setText("V01");
  Click("sopt選擇報表_2");  // 留版明細表: the vendor, the kind filter again, no Excel
  EXPECT_EQ(state(), (std::vector<bool>{true, true, true, false, false, true, false}));
  EXPECT_EQ(Get<QLabel>("lbl廠商")->text(), "廠       商:");
  EXPECT_EQ(TopTwips(Get("pic廠商")), 2460);
  EXPECT_EQ(Box("txt廠商代號")->text(), "");

  Box("txt廠商代號")->setText("V01");
  Click("sopt選擇報表_3");  // 刀模明細表: no numbers, no customer; both vendors and the order
  EXPECT_EQ(state(), (std::vector<bool>{false, false, true, true, true, false, false}));
  EXPECT_EQ(Get<QLabel>("lbl廠商")->text(), "刀模廠商:");
  EXPECT_EQ(TopTwips(Get("pic工單日期")), 660);
  EXPECT_EQ(TopTwips(Get("pic廠商")), 1260);
  EXPECT_EQ(Box("txt廠商代號")->text(), "");
  // The groups that remain do not overlap.
  for (const char* a : {"pic工單日期", "pic廠商", "pic廠商1", "pic排序", "pic業務員"}) {
    for (const char* b : {"pic工單日期", "pic廠商", "pic廠商1", "pic排序", "pic業務員"}) {
      if (std::string_view(a) == b) continue;
      EXPECT_FALSE(Get(a)->geometry().intersects(Get(b)->geometry())) << a << " " << b;
    }
  }

  Click("sopt選擇報表_0");
  EXPECT_EQ(state(), (std::vector<bool>{true, true, false, false, false, true, true}));
  EXPECT_EQ(TopTwips(Get("pic工單日期")), 1260);
  EXPECT_EQ(Get<QLabel>("lbl廠商")->text(), "廠       商:");
  Click("chk選項");
  EXPECT_FALSE(Shown("pic選項"));
}

TEST_F(ReworkWindowTest, TheLookupsOpenTheirPickerWithTheVendorKindOfTheChoice) {
  Open();
  lookupAnswer = {"C001", "台和印刷"};
  Type("txt客戶代號", "台");
  Click("scmd客戶代號");
  EXPECT_EQ(Box("txt客戶代號")->text(), "台和印刷");
  EXPECT_EQ(QApplication::focusWidget(), Box("txt客戶代號"));
  lookupAnswer = {"A001", "王小明"};
  Click("scmd業務員");
  EXPECT_EQ(Box("txt業務員")->text(), "王小明");

  Click("sopt選擇報表_2");
  lookupAnswer = {"V04", "大興製版"};
  Box("txt廠商代號")->setText(" 大 ");
  Click("scmd廠商代號");
  EXPECT_EQ(Box("txt廠商代號")->text(), "大興製版");
  Click("sopt選擇報表_3");
  lookupAnswer = {};  // nothing chosen: the box keeps what it held
  Box("txt廠商代號")->setText("刀");
  Click("scmd廠商代號");
  EXPECT_EQ(Box("txt廠商代號")->text(), "刀");
  Click("scmd廠商代號1");

  ASSERT_EQ(lookups.size(), 5u);
  EXPECT_EQ(lookups[0].kind, LookupKind::Customer);
  EXPECT_EQ(lookups[0].seed, "台");
  EXPECT_EQ(lookups[1].kind, LookupKind::Employee);
  EXPECT_EQ(lookups[2].kind, LookupKind::Vendor);
  EXPECT_EQ(lookups[2].seed, "大");
  EXPECT_EQ(lookups[2].vendorKind, "印刷");
  EXPECT_EQ(lookups[3].vendorKind, "刀模");
  EXPECT_EQ(lookups[4].vendorKind, "軋工");
}

TEST_F(ReworkWindowTest, KeyRulesEnterAndEscape) {
  Open();
  Type("txt日期_起", "99a12.31");
  EXPECT_EQ(Box("txt日期_起")->text(), "991231");
  Type("txt單號_起", "ab12");
  EXPECT_EQ(Box("txt單號_起")->text(), "AB12");
  Box("txt日期_起")->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(Box("txt日期_起"), Qt::Key_Return);
  EXPECT_EQ(Box("txt日期_起")->text(), "0991231") << "padded when left";
  EXPECT_EQ(QApplication::focusWidget(), Box("txt日期_末")) << "Enter moves on";
  QTest::keyClick(Box("txt日期_末"), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(ReworkWindowTest, TheButtonsRunTheQueryAndHandOnTheirCriteria) {
  Open();
  Type("txt日期_起", "1150701");
  Type("txt業務員", " 王 ");
  Click("ssc列印");
  Click("sopt選擇報表_1");
  Click("ssc預覽列印");
  Click("ssc轉Excel檔");
  Click("sopt選擇報表_3");
  Click("sopt排序_0");
  Type("txt單號_起", "999");  // hidden for the die list
  Click("ssc預覽列印");
  ASSERT_EQ(outputs, (std::vector<ReworkOutputCall>{{k重工明細表, OutputMode::Print},
                                                    {k打樣明細表, OutputMode::Preview},
                                                    {k打樣明細表, OutputMode::Excel},
                                                    {k刀模明細表, OutputMode::Preview}}));
  EXPECT_EQ(outputCriteria[0].DateFrom, "1150701");
  EXPECT_EQ(outputCriteria[0].SalesKeyword, "王");
  EXPECT_EQ(outputCriteria[0].KindFilter, kKindAll);
  EXPECT_EQ(outputCriteria[1].ReportName, "");
  EXPECT_EQ(outputCriteria[2].ReportName, "打樣明細表");
  EXPECT_EQ(outputCriteria[3].VendorOrder, kByDieMaker);
  EXPECT_EQ(outputCriteria[3].ReportName, "打樣明細表") << "kept from the Excel output";
  EXPECT_EQ(Get("ssc預覽列印")->cursor().shape(), Qt::PointingHandCursor)
      << "the button's own pointer is back";
  EXPECT_TRUE(ui.messages.empty());

  // No rows: the message, no output.
  Click("sopt選擇報表_0");
  Type("txt日期_起", "0100101");
  Type("txt日期_末", "0100102");
  Click("ssc列印");
  EXPECT_EQ(outputs.size(), 4u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (ShownMessage{"查無任何資料!", kExclamation, "訊息"}));
  EXPECT_EQ(ui.busyDepth, 0);
}

// The site's "no Excel" right holds here as in the main window: the button answers as its does,
// and nothing runs, though the user's rows are there.
TEST_F(ReworkWindowTest, ARestrictedUsersExportIsRefused) {
  context = AppContext{};
  context.ConnectionString = DemoConnectionString();
  ASSERT_TRUE(LoadAppContext(context, CommandLineOf(QStringLiteral("王小明"), QString())));
  Open();
  Type("txt日期_起", "1150101");
  Click("ssc轉Excel檔");
  EXPECT_TRUE(outputs.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (ShownMessage{"您的權限不可以轉Excel！", kExclamation, "警告"}));
}

TEST_F(ReworkWindowTest, TheKindFilterReachesTheStatement) {
  Open();
  Type("txt日期_起", "1140101");
  Click("chk選項");
  Click("sopt選擇_0");
  Click("ssc列印");
  ASSERT_EQ(outputs.size(), 1u);
  EXPECT_EQ(outputCriteria[0].KindFilter, kKindPrinting);
  Click("sopt選擇_2");
  Click("sopt選擇報表_2");
  Click("ssc列印");
  ASSERT_EQ(outputs.size(), 2u);
  EXPECT_EQ(outputCriteria[1].KindFilter, kKindPlate);
}

TEST_F(ReworkWindowTest, TheExportWindowIsNamedAfterTheReportAndWritesIt) {
  TempDir folder;
  context.ExcelFolder = folder.Path() + "/";
  criteria.ReportName = "打樣明細表";
  ReworkFormState form = ReworkWindowDefaults();
  form.txt日期_起 = "1150701";
  CaptureReworkCriteria(form, criteria);
  const RequestCriteria request{.context = context, .rework = &criteria};
  const auto exporter =
      std::make_unique<WorkOrderExportWindow>(context, ReworkRowFor(k打樣明細表), request);
  EXPECT_EQ(exporter->objectName(), "frm重工明細表轉Excel");
  EXPECT_EQ(exporter->windowTitle(), "打樣明細表轉Excel");
  EXPECT_EQ(Find<QLabel>(*exporter, "lbl名稱")->text(), "將打樣明細表轉成Excel檔格式");
  EXPECT_EQ(Find<QLabel>(*exporter, "Label1")->text(), "請輸入Excel檔存放路徑及檔名:");
  auto* target = Find<QLineEdit>(*exporter, "txt存放Excel檔路徑");
  EXPECT_EQ(target->text(), folder.Path() + "/打樣明細表-1151204.xlsx");
  QTest::mouseClick(Find<QAbstractButton>(*exporter, "scmd開始"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !exporter->IsRunning(); }, 60000));
  EXPECT_TRUE(QFile::exists(folder.Path() + "/打樣明細表-1151204.xlsx"));
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().title, "轉Excel成功");
}

class MainWindowRework : public MainWindowTest {};

TEST_F(MainWindowRework, TheToolbarButtonOpensTheReworkWindowModally) {
  MainWindowSeams seams = RecordingSeams();
  seams.openRework = nullptr;  // the real window
  Open(std::move(seams));
  QString opened, title;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    opened = dialog->objectName();
    title = dialog->windowTitle();
    modal = dialog->isModal();
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  QAction* button = window->findChild<QAction*>("重工表");
  ASSERT_NE(button, nullptr);
  button->trigger();
  EXPECT_EQ(opened, "frm重工明細表");
  EXPECT_EQ(title, "重工打樣明細");
  EXPECT_TRUE(modal);
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace tarvel::test
