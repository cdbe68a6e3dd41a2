// Both export windows stopped by the clerk's own input (a click, a double click, Esc) while a
// real export of the large demo runs: while the total is counted, while the rows are written and
// while LibreOffice converts. The old workbook stays, nothing is left beside it, no converter
// goes on running, and the window says it was cancelled and is ready again.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "criteria/WindowDefaults.h"
#include "output/OutputRun.h"
#include "platform/Clock.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/Processes.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"
#include "windows/export/WorkOrderExportWindow.h"

namespace tarvel {
namespace {

enum class Input { Click, DoubleClick, Esc };

class CancelOnLargeDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + test::LargeDemoDatabasePath();
    ASSERT_TRUE(LoadAppContext(
        context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
    const auto connection = db::Connection::OpenFile(test::LargeDemoDatabasePath());
    form = FirstActivationDefaults(LoadSalespeople(*connection), LoadCustomers(*connection));
  }

  /// The whole demo (long rows), or one month (rows soon written, then a conversion).
  void SetDates(bool wholeDemo) {
    form.txt日期_起 = form.txt日期[0] = wholeDemo ? "0010101" : "1151101";
    form.txt日期_末 = form.txt日期[1] = wholeDemo ? "9991231" : "1151130";
    CaptureCriteria(form, criteria);
  }

  /// Starts the export of `window` to `target` with its start button, waits for `stage` to be
  /// shown, stops it by `input` and waits for its end; then checks what it left.
  void CancelAt(WorkOrderExportWindow& window, const QString& target, const QString& stage,
                Input input, int settleMs = 0) {
    const QString folder = QFileInfo(target).absolutePath();
    window.show();
    window.findChild<QLineEdit*>("txt存放Excel檔路徑")->setText(target);
    QTest::mouseClick(window.findChild<QAbstractButton*>("scmd開始"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.StageText() == stage || !window.IsRunning(); },
                                300000));
    QTest::qWait(settleMs);
    ASSERT_TRUE(window.IsRunning())
        << "ended before " << stage.toStdString() << ": "
        << (ui.messages.empty() ? "" : ui.messages.back().text.toStdString());
    const excel::ExportStatus before = window.LastStatus();
    auto* cancel = window.findChild<QAbstractButton*>("scmd取消");
    switch (input) {
      case Input::Click:
        QTest::mouseClick(cancel, Qt::LeftButton);
        break;
      case Input::DoubleClick:
        // What a double click delivers: a click, then a double-click event and its release.
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::mouseDClick(cancel, Qt::LeftButton);
        QTest::mouseRelease(cancel, Qt::LeftButton);
        break;
      case Input::Esc:
        QTest::keyClick(&window, Qt::Key_Escape);
        break;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsRunning(); }, 60000));

    EXPECT_EQ(window.LastOutcome(), excel::ExportOutcome::Cancelled);
    // It stopped where it was asked to: no later stage was reached, and the rows were not all
    // written.
    EXPECT_EQ(window.LastStatus().stage, before.stage);
    if (before.stage == excel::ExportStage::Rows) {
      EXPECT_LT(window.LastStatus().written, window.LastStatus().total);
    }
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back(),
              (test::ShownMessage{"已取消轉檔，檔案沒有寫入：" + target, kInformation, "訊息"}));
    EXPECT_EQ(test::ReadFile(target), "old workbook");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QFileInfo(target).fileName()});
    EXPECT_TRUE(QTest::qWaitFor([&] { return test::ProcessesMentioning(folder) == 0; }, 10000))
        << "a converter outlived the export";
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.findChild<QAbstractButton*>("scmd開始")->isEnabled());
    EXPECT_EQ(window.StatusText(), "請輸入Excel檔存放路徑及檔名!!");
  }

  ScopedToday today{test::DemoToday()};
  test::RecordingUi ui;
  AppContext context;
  OverviewFormState form;
  WorkOrderCriteria criteria;
  const RequestCriteria request{.context = context, .overview = &criteria};
};

TEST_F(CancelOnLargeDemo, TheWorkOrderExportStopsAtEveryStage) {
  const struct {
    const char* stage;
    Input input;
    const char* file;
    bool wholeDemo;
  } cases[] = {
      {"寫入資料", Input::Click, "工單一覽表.xlsx", true},
      {"寫入資料", Input::Esc, "工單一覽表.xlsx", true},
      {"寫入資料", Input::DoubleClick, "工單一覽表.xls", true},
      {"轉換為 .xls 格式", Input::Click, "工單一覽表.xls", false},
      {"轉換為 .ods 格式", Input::Esc, "工單一覽表.ods", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.stage) + " " + c.file + " " + std::to_string(int(c.input)));
    SetDates(c.wholeDemo);
    test::TempDir folder;
    WorkOrderExportWindow window(context, RowFor(form), request);
    CancelAt(window, folder.Write(c.file, "old workbook"), c.stage, c.input);
  }
}

// While the total is counted the run may wait for the database (a sort before the first row, a
// busy server): a stop interrupts the statement. Here a statement that counts billions of
// combinations before its first row stands for such a wait.
TEST_F(CancelOnLargeDemo, AStopInterruptsAStatementStillOnItsWayToTheFirstRow) {
  SetDates(false);
  const ReportRow& row = RowFor(form);
  const QString slow =
      "select * from (" + row.Statement(request, StatementUse::Export) +
      ") as x where (select count(*) from [工單主檔] as a, [工單主檔] as b, [工單主檔] as c) > 0";
  WorkOrderExportWindow::ExportJob job{
      .title = "工單一覽表", .objectName = "frm工單一覽表轉Excel", .labelName = "Label2"};
  job.run = [&](const QString& target, const excel::ExportWatch& watch, excel::ExportStop& stop) {
    const auto sheet = row.CreateExport(request);
    return excel::RunExport(
        *sheet, [&] { return slow; }, "表八轉Excel錯誤", context, target, watch, &stop);
  };
  test::TempDir folder;
  WorkOrderExportWindow window(context, std::move(job));
  // The window shows the count's stage from the start: a moment later the statement is under
  // way.
  CancelAt(window, folder.Write("工單一覽表.xlsx", "old workbook"), "計算筆數", Input::Click, 500);
}

TEST_F(CancelOnLargeDemo, TheReworkListExportStopsWhileConverted) {
  ReworkCriteria rework;
  ReworkFormState reworkForm = ReworkWindowDefaults();
  reworkForm.txt日期_起 = "0010101";
  reworkForm.txt日期_末 = "9991231";
  CaptureReworkCriteria(reworkForm, rework);
  rework.ReportName = "重工明細表";
  const RequestCriteria reworkRequest{.context = context, .rework = &rework};
  // Its two thousand rows are written in a moment; LibreOffice takes seconds.
  const struct {
    const char* stage;
    Input input;
    const char* file;
  } cases[] = {
      {"轉換為 .xls 格式", Input::Click, "重工明細表.xls"},
      {"轉換為 .ods 格式", Input::Esc, "重工明細表.ods"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stage);
    test::TempDir folder;
    WorkOrderExportWindow window(context, ReworkRowFor(k重工明細表), reworkRequest);
    EXPECT_EQ(window.objectName(), "frm重工明細表轉Excel");
    CancelAt(window, folder.Write(c.file, "old workbook"), c.stage, c.input);
  }
}

}  // namespace
}  // namespace tarvel
