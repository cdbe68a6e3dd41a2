// frm工單一覽表轉Excel: the proposed file name, the file dialog, the start button's checks and
// states, the stages of a run and what stops it, and an export from the window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QThread>

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

  /// Waits for the window's export to end (its message shown, the window idle again).
  static bool WaitForEnd(const WorkOrderExportWindow& window) {
    return QTest::qWaitFor([&] { return !window.IsRunning(); }, 120000);
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

  // Converted by LibreOffice, which the export starts from its own thread.
  const QString path = folder.File("表一.xls");
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
  EXPECT_TRUE(window.IsRunning());
  EXPECT_EQ(window.StageText(), "計算筆數");
  ASSERT_TRUE(WaitForEnd(window));
  EXPECT_EQ(window.LastOutcome(), excel::ExportOutcome::Written);
  EXPECT_TRUE(lockedWhileWorking);
  EXPECT_TRUE(statusWhileWorking.startsWith("轉檔中請稍候!!"));
  EXPECT_EQ(ui.messages.back(),
            (test::ShownMessage{"檔案存放在：" + path, kExclamation, "轉Excel成功"}));
  EXPECT_EQ(test::ReadFile(path).left(8), QByteArray::fromHex("d0cf11e0a1b11ae1")) << "an .xls";
  EXPECT_TRUE(start->isEnabled() && leave->isEnabled());
  EXPECT_EQ(window.StatusText(), "請輸入Excel檔存放路徑及檔名!!");
  EXPECT_EQ(window.StageText(), "");

  QTest::mouseClick(leave, Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Rejected);
}

// The window shows each stage the run reports and stays live meanwhile: 取消轉檔, Esc and the
// close button reach a run that is busy (here one that waits to be stopped), which stops it and
// leaves the window open; idle, Esc closes it.
TEST_F(ExportWindowTest, TheStagesShowAndCancelEscAndCloseStopARunningExport) {
  const auto waitingJob = [](std::vector<excel::ExportStatus> statuses) {
    WorkOrderExportWindow::ExportJob job{
        .title = "工單一覽表", .objectName = "frm", .labelName = "L"};
    job.run = [statuses](const QString&, const excel::ExportWatch& watch, excel::ExportStop& stop) {
      for (const excel::ExportStatus& status : statuses)
        watch(status);
      while (!stop.Requested())
        QThread::msleep(5);
      return excel::ExportResult{.outcome = excel::ExportOutcome::Cancelled,
                                 .message = "stopped",
                                 .style = kInformation,
                                 .title = "訊息"};
    };
    return job;
  };
  using excel::ExportStage;
  using excel::WorkbookFormat;
  const struct {
    excel::ExportStatus status;
    const char* stage;
    const char* bar;  // the bar's text, "" for a busy bar
  } stages[] = {
      {{ExportStage::Counting, 12, 0, WorkbookFormat::Xlsx}, "計算筆數", ""},
      {{ExportStage::Rows, 200, 1000, WorkbookFormat::Xlsx}, "寫入資料", "200 / 1000 筆"},
      {{ExportStage::Saving, 1000, 1000, WorkbookFormat::Xlsx}, "儲存活頁簿", ""},
      {{ExportStage::Converting, 1000, 1000, WorkbookFormat::Xls}, "轉換為 .xls 格式", ""},
      {{ExportStage::Converting, 1000, 1000, WorkbookFormat::Ods}, "轉換為 .ods 格式", ""},
      {{ExportStage::Checking, 1000, 1000, WorkbookFormat::Ods}, "檢查轉出的檔案", ""},
  };
  for (const auto& stage : stages) {
    SCOPED_TRACE(stage.stage);
    WorkOrderExportWindow window(context, waitingJob({stage.status}));
    window.show();
    Control<QLineEdit>(window, "txt存放Excel檔路徑")->setText(folder.File("a.xlsx"));
    QTest::mouseClick(Control<QAbstractButton>(window, "scmd開始"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.StageText() == stage.stage; }, 10000))
        << window.StageText().toStdString();
    auto* bar = Control<QProgressBar>(window, "prg轉檔進度");
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum() == 0, std::string(stage.bar).empty()) << "busy";
    if (bar->maximum() > 0) {
      EXPECT_EQ(bar->text(), stage.bar);
      EXPECT_EQ(bar->value(), 200);
    }
    auto* cancel = Control<QAbstractButton>(window, "scmd取消");
    ASSERT_TRUE(cancel->isVisible() && cancel->isEnabled());
    EXPECT_FALSE(Control<QAbstractButton>(window, "scmd開始")->isEnabled());
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(window.StageText(), "取消轉檔中…");
    EXPECT_FALSE(cancel->isEnabled()) << "asked once";
    ASSERT_TRUE(WaitForEnd(window));
    EXPECT_EQ(window.LastOutcome(), excel::ExportOutcome::Cancelled);
    EXPECT_EQ(ui.messages.back().text, "stopped");
    EXPECT_FALSE(cancel->isVisible()) << "idle again";
    EXPECT_TRUE(window.isVisible());
  }

  // Esc and the window's close button during a run cancel it and leave the window open; Esc
  // when idle closes it.
  for (const bool byEsc : {true, false}) {
    WorkOrderExportWindow window(context, waitingJob({}));
    window.show();
    Control<QLineEdit>(window, "txt存放Excel檔路徑")->setText(folder.File("a.xlsx"));
    QTest::mouseClick(Control<QAbstractButton>(window, "scmd開始"), Qt::LeftButton);
    ASSERT_TRUE(window.IsRunning());
    if (byEsc)
      QTest::keyClick(&window, Qt::Key_Escape);
    else
      window.close();
    ASSERT_TRUE(WaitForEnd(window));
    EXPECT_EQ(window.LastOutcome(), excel::ExportOutcome::Cancelled);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
  }

  // A window closed under a running export (the program ending) stops it and waits for it.
  auto window = std::make_unique<WorkOrderExportWindow>(context, waitingJob({}));
  Control<QLineEdit>(*window, "txt存放Excel檔路徑")->setText(folder.File("a.xlsx"));
  ASSERT_TRUE(window->StartExport());
  window.reset();
}

TEST_F(ExportWindowTest, ChoicesWithoutAnExportWriteNothing) {
  form.sopt選擇報表 = k未送總表;
  WorkOrderExportWindow window(context, RowFor(form), request);
  Control<QLineEdit>(window, "txt存放Excel檔路徑")->setText(folder.File("none.xlsx"));
  EXPECT_FALSE(window.StartExport());
  EXPECT_FALSE(window.IsRunning());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(QFile::exists(folder.File("none.xlsx")));
}

}  // namespace
}  // namespace tarvel
