// frm工單一覽表轉Excel: the proposed file name, the file dialog, the start button's checks and
// states, and an export from the window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include "platform/Clock.h"
#include "startup/AppContext.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"
#include "windows/export/WorkOrderExportWindow.h"

namespace tarvel {
namespace {

class ExportWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    ASSERT_TRUE(LoadAppContext(
        context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
    form = test::DemoForm("1151101", "1151105");
    CaptureCriteria(form, criteria);
  }

  template <typename T = QWidget>
  T* Control(const QWidget& window, const char* name) {
    auto* control = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  ScopedToday today{test::DemoToday()};
  test::RecordingUi ui;
  test::TempDir folder;
  AppContext context;
  OverviewFormState form;
  WorkOrderCriteria criteria;
  const RequestCriteria request{.context = context, .overview = &criteria};
};

TEST_F(ExportWindowTest, TheProposedNameIsGluedFromTheFolderTheTitleAndTheDate) {
  context.ExcelFolder = "/srv/excel";  // no trailing separator: glued as it is
  WorkOrderExportWindow window(context, RowFor(form), request);
  EXPECT_EQ(window.objectName(), "frm工單一覽表轉Excel");
  EXPECT_EQ(window.windowTitle(), "工單一覽表轉Excel");
  EXPECT_EQ(window.TargetText(), "/srv/excel工單一覽表-1151204.xlsx");
  EXPECT_EQ(window.StatusText(), "請輸入Excel檔存放路徑及檔名!!");
  EXPECT_EQ(window.Row(), FindRow("rptTarvel_1"));

  QString filter;
  window.SetSaveFileDialog([&](QWidget*, const QString& suggested, const QString& f) {
    filter = f;
    return suggested == window.TargetText() ? QString() : QStringLiteral("x");
  });
  QTest::mouseClick(Control<QAbstractButton>(window, "cmd開啟舊資料庫檔案"), Qt::LeftButton);
  EXPECT_EQ(filter, "Microsoft Excel 資料庫(*.xlsx)");
  EXPECT_EQ(window.TargetText(), "/srv/excel工單一覽表-1151204.xlsx") << "cancelled";
  window.SetSaveFileDialog([](QWidget*, const QString&, const QString&) { return "/tmp/a.xlsx"; });
  window.ChooseFile();
  EXPECT_EQ(window.TargetText(), "/tmp/a.xlsx");
}

// The status line sits right under the frame of the controls, however the window is sized.
TEST_F(ExportWindowTest, NoEmptyBandAboveTheStatusLine) {
  WorkOrderExportWindow window(context, RowFor(form), request);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.resize(window.width() + 200, window.height() + 200);
  QApplication::processEvents();
  const QWidget* frame = Control(window, "Picture1");
  const QWidget* status = Control(window, "StatusBar1");
  EXPECT_EQ(status->geometry().top(), frame->geometry().bottom() + 1);
  EXPECT_EQ(status->height(), status->sizeHint().height());
  EXPECT_EQ(status->geometry().bottom(), window.height() - 1);
  const QWidget* start = Control(window, "scmd開始");
  EXPECT_LE(frame->height() - (start->geometry().bottom() + 1), 24)
      << "the buttons end the frame, with its margin";
}

TEST_F(ExportWindowTest, StartExportsWithTheButtonsLockedAndRefusesABlankTarget) {
  WorkOrderExportWindow window(context, RowFor(form), request);
  auto* target = Control<QLineEdit>(window, "txt存放Excel檔路徑");
  target->setText("   ");
  EXPECT_FALSE(window.StartExport());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0],
            (test::ShownMessage{"請先選擇轉好之Excel檔存放路徑及檔名!", kCritical, "訊息"}));

  const QString path = folder.File("表一.xlsx");
  target->setText("  " + path + " ");
  auto* start = Control<QAbstractButton>(window, "scmd開始");
  auto* leave = Control<QAbstractButton>(window, "scmd離開");
  bool lockedWhileWorking = false;
  QString statusWhileWorking;
  ui.onMessage = [&] {
    lockedWhileWorking = !start->isEnabled() && !leave->isEnabled();
    statusWhileWorking = window.StatusText();
  };
  QTest::mouseClick(start, Qt::LeftButton);
  EXPECT_TRUE(lockedWhileWorking);
  EXPECT_TRUE(statusWhileWorking.startsWith("轉檔中請稍候!!"));
  EXPECT_EQ(ui.messages.back(),
            (test::ShownMessage{"檔案存放在：" + path, kExclamation, "轉Excel成功"}));
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_TRUE(start->isEnabled() && leave->isEnabled());
  EXPECT_EQ(window.StatusText(), "請輸入Excel檔存放路徑及檔名!!");

  QTest::mouseClick(leave, Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(ExportWindowTest, CancelAndEscStopARunningExportWithoutClosingTheWindow) {
  WorkOrderExportWindow::ExportJob job{
      .title = "工單一覽表", .objectName = "frm", .labelName = "L"};
  WorkOrderExportWindow* window = nullptr;
  std::vector<bool> answers;
  bool barShown = false, cancelShown = false;
  job.run = [&](const QString&, const excel::ExportProgress& progress) {
    auto* bar = Control<QProgressBar>(*window, "prg轉檔進度");
    auto* cancel = Control<QAbstractButton>(*window, "scmd取消");
    answers.push_back(progress(200, 1000));
    barShown = bar->isVisible() && bar->value() == 200 && bar->maximum() == 1000;
    cancelShown = cancel->isVisible() && cancel->isEnabled();
    QTest::mouseClick(cancel, Qt::LeftButton);  // as the event loop would deliver it
    answers.push_back(progress(201, 1000));
    return excel::ExportOutcome::Cancelled;
  };
  WorkOrderExportWindow owned(context, std::move(job));
  window = &owned;
  owned.show();
  Control<QLineEdit>(owned, "txt存放Excel檔路徑")->setText(folder.File("a.xlsx"));
  EXPECT_EQ(owned.StartExport(), excel::ExportOutcome::Cancelled);
  EXPECT_EQ(answers, (std::vector<bool>{true, false}));
  EXPECT_TRUE(barShown);
  EXPECT_TRUE(cancelShown);
  EXPECT_FALSE(Control<QAbstractButton>(owned, "scmd取消")->isVisible()) << "idle again";

  // Esc during a run cancels it and leaves the window open; Esc when idle closes it.
  WorkOrderExportWindow::ExportJob escJob{
      .title = "工單一覽表", .objectName = "f", .labelName = "L"};
  escJob.run = [&](const QString&, const excel::ExportProgress& progress) {
    QTest::keyClick(window, Qt::Key_Escape);
    return progress(1, 2) ? excel::ExportOutcome::Written : excel::ExportOutcome::Cancelled;
  };
  WorkOrderExportWindow escWindow(context, std::move(escJob));
  window = &escWindow;
  escWindow.show();
  EXPECT_EQ(escWindow.StartExport(), excel::ExportOutcome::Cancelled);
  EXPECT_TRUE(escWindow.isVisible());
  QTest::keyClick(&escWindow, Qt::Key_Escape);
  EXPECT_FALSE(escWindow.isVisible());
}

TEST_F(ExportWindowTest, ChoicesWithoutAnExportWriteNothing) {
  form.sopt選擇報表 = k未送總表;
  WorkOrderExportWindow window(context, RowFor(form), request);
  Control<QLineEdit>(window, "txt存放Excel檔路徑")->setText(folder.File("none.xlsx"));
  EXPECT_FALSE(window.StartExport());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(QFile::exists(folder.File("none.xlsx")));
}

}  // namespace
}  // namespace tarvel
