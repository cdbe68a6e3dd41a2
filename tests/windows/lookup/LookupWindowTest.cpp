#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "common/forms/ScreenTwips.h"
#include "common/forms/WindowSetup.h"
#include "support/RecordingUi.h"
#include "windows/lookup/LookupDatabase.h"
#include "windows/lookup/LookupRowsModel.h"
#include "windows/lookup/LookupWindow.h"

namespace tarvel {
namespace {

class LookupWindowTest : public ::testing::Test {
 protected:
  /// The picker for `seed`, shown and active: its first activation has filled the grid.
  std::unique_ptr<LookupWindow> Open(LookupKind kind, const QString& seed,
                                     const QString& vendorKind = {}) {
    values.LookupSeed = seed;
    values.VendorKind = vendorKind;
    auto window = std::make_unique<LookupWindow>(kind, db.context, values);
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(window->Activated());
    return window;
  }

  static QStringList Codes(const LookupWindow& window) {
    QStringList codes;
    for (int row = 0; row < window.Rows().rowCount(); ++row)
      codes << window.Rows().Text(row, 0);
    return codes;
  }

  static void RightClick(LookupWindow& window, int row) {
    QTableView* grid = window.Grid();
    const QPoint at = row < 0 ? QPoint(5, grid->viewport()->height() - 5)
                              : grid->visualRect(window.Rows().index(row, 0)).center();
    QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier, at);
  }

  test::RecordingUi ui;
  test::LookupDatabase db;
  LookupValues values;
};

TEST_F(LookupWindowTest, EnterOnTheThirdRowHandsBackItsFourteenTexts) {
  values.LookupResult.fill("old");
  auto window = Open(LookupKind::Customer, "ZZT");
  EXPECT_EQ(window->objectName(), "frm客戶輔助視窗");
  EXPECT_EQ(window->windowTitle(), "客戶輔助視窗");
  EXPECT_NE(window->findChild<QFrame*>("SSPanel1"), nullptr);
  const auto* status = window->findChild<QLabel*>("lbl選取說明");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), "選取時請按[ENTER]或滑鼠右鍵一下!!");
  EXPECT_FALSE(values.HasSelection()) << "the load empties the last choice";

  QTableView* grid = window->Grid();
  EXPECT_EQ(grid->objectName(), "MSHFlexGrid1");
  EXPECT_EQ(QApplication::focusWidget(), grid);
  EXPECT_EQ(window->Rows().headerData(6, Qt::Horizontal).toString(), "PAYDATE");
  const std::vector<int> widths = LookupWindow::ColumnWidthsTwips(LookupKind::Customer);
  ASSERT_EQ(window->Rows().columnCount(), 14);
  for (int column = 0; column < 14; ++column) {
    EXPECT_EQ(grid->isColumnHidden(column), widths[column] == 0) << column;
    if (widths[column] > 0) {
      EXPECT_EQ(grid->columnWidth(column), TwipsToPixels(widths[column], grid->screen()));
    }
  }
  EXPECT_EQ(Codes(*window), QStringList({"ZZT1", "ZZT2", "ZZT3"}));
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_TRUE(grid->selectionModel()->isRowSelected(0, {}));

  QTest::keyClick(grid, Qt::Key_Down);
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_TRUE(grid->selectionModel()->isRowSelected(2, {}));
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_FALSE(window->isVisible());
  const QStringList expected = {"ZZT3", "測試丙", "ZZE1", "測試業務", "02-3", "0", "貨到付款",
                                "送三", "王三",   "3",    "09-3",     "址三", "0", "丙公司"};
  for (int i = 0; i < kLookupResultSize; ++i)
    EXPECT_EQ(values.LookupResult[i], i < expected.size() ? expected[i] : "") << i;
}

TEST_F(LookupWindowTest, EmployeeAndVendorPickersHandBackTheirColumns) {
  auto employees = Open(LookupKind::Employee, "ZZE");
  EXPECT_EQ(employees->windowTitle(), "業務員輔助視窗");
  EXPECT_EQ(employees->objectName(), "frm業務員輔助視窗");
  QTest::keyClick(employees->Grid(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(values.LookupResult[0], "ZZE1");
  EXPECT_EQ(values.LookupResult[1], "測試業務");
  EXPECT_EQ(values.LookupResult[2], "");

  auto vendors = Open(LookupKind::Vendor, "ZZV", "裁摺");
  EXPECT_EQ(vendors->windowTitle(), "廠商輔助畫面");
  EXPECT_EQ(vendors->objectName(), "frm廠商輔助畫面");
  EXPECT_TRUE(vendors->Grid()->isColumnHidden(2) && vendors->Grid()->isColumnHidden(4));
  RightClick(*vendors, 0);
  EXPECT_EQ(vendors->result(), QDialog::Accepted);
  EXPECT_EQ(QStringList(values.LookupResult.begin(), values.LookupResult.begin() + 6),
            QStringList({"ZZV1", "裁切甲", "0.05", "03-1", "李一", ""}));
}

TEST_F(LookupWindowTest, RightClickPicksTheRowUnderThePointer) {
  auto window = Open(LookupKind::Customer, "ZZT");
  RightClick(*window, 1);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(values.LookupResult[0], "ZZT2");
  EXPECT_EQ(values.LookupResult[13], "乙公司");
}

TEST_F(LookupWindowTest, EscapeAndAnEmptyListChooseNothing) {
  auto window = Open(LookupKind::Customer, "ZZT");
  QTest::keyClick(window->Grid(), Qt::Key_Escape);
  EXPECT_EQ(window->result(), QDialog::Rejected);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(values.HasSelection());

  db.Execute("update CUST set 停用 = '1'");
  auto empty = Open(LookupKind::Customer, "ZZT");
  EXPECT_EQ(empty->Rows().rowCount(), 0);
  QTest::keyClick(empty->Grid(), Qt::Key_Return);
  RightClick(*empty, -1);
  EXPECT_TRUE(empty->isVisible()) << "without a row Enter and the right button do nothing";
  EXPECT_FALSE(values.HasSelection());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LookupWindowTest, ASeedThatMatchesNothingListsEveryActiveCustomer) {
  auto window = Open(LookupKind::Customer, "沒有這個客戶");
  const QStringList all = Codes(*window);
  EXPECT_EQ(all, db.Codes(LookupStatementsFor(LookupKind::Customer, "").fallback));
  EXPECT_GT(all.size(), 20);
  EXPECT_EQ(window->Grid()->currentIndex().row(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

// Every 120 eighths of a degree turned is one notch of the design's 3/2/1 rows, whether a wheel
// sends them at once or a touchpad in parts.
TEST_F(LookupWindowTest, WheelTurnsMoveTheTopRowPerNotchTheyAddUpTo) {
  auto window = Open(LookupKind::Customer, "");
  QTableView* grid = window->Grid();
  QScrollBar* bar = grid->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 14) << "the list must be longer than the grid";
  const auto turn = [&](QWidget* target, QPoint angle, Qt::KeyboardModifiers keys = {}) {
    QWheelEvent wheel(QPointF(5, 5), grid->mapToGlobal(QPoint(5, 5)), {}, angle, Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    EXPECT_TRUE(wheel.isAccepted()) << "no wheel turn goes on to the window";
    return bar->value() + 1;  // the top row as the grid numbers it
  };
  QWidget* cells = grid->viewport();
  bar->setValue(1);
  EXPECT_EQ(turn(cells, {0, 120}), 1);
  EXPECT_EQ(turn(cells, {0, 120}), 1);
  EXPECT_EQ(turn(cells, {0, -120}), 4);

  EXPECT_EQ(turn(cells, {0, 40}), 4);
  EXPECT_EQ(turn(cells, {0, 40}), 4);
  EXPECT_EQ(turn(cells, {0, 40}), 1) << "three thirds make a notch";

  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(turn(cells, {0, -15}), 1) << "part " << i + 1 << " of eight";
  EXPECT_EQ(turn(cells, {0, -15}), 4);

  // A remainder does not hold back a turn the other way.
  EXPECT_EQ(turn(cells, {0, 60}), 4);
  EXPECT_EQ(turn(cells, {0, -120}), 7);
  EXPECT_EQ(turn(cells, {0, -240}), 13) << "two notches at once";

  EXPECT_EQ(turn(cells, {0, -120}, Qt::ControlModifier), 13);
  EXPECT_EQ(turn(cells, {120, 0}), 13);
  EXPECT_EQ(turn(bar, {0, 120}), 10);
  EXPECT_EQ(turn(grid->horizontalHeader()->viewport(), {0, 120}), 7);
  bar->setValue(bar->maximum());
  EXPECT_EQ(turn(cells, {0, -120}), bar->maximum() + 1);
}

TEST_F(LookupWindowTest, ADatabaseErrorIsShownAndTheWindowStaysUsable) {
  db.context.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nowhere/KORV.mdb";
  QString description;
  try {
    db::Connection::Open(db.context.ConnectionString);
  } catch (const db::DbError& error) {
    description = error.Description();
  }
  ASSERT_FALSE(description.isEmpty());
  const std::pair<LookupKind, const char*> titles[] = {
      {LookupKind::Customer, "取得所有客戶資料錯誤"},
      {LookupKind::Employee, "取得所有業務員資料錯誤"},
      {LookupKind::Vendor, "依類別取得廠商資料錯誤"}};
  for (const auto& [kind, title] : titles) {
    ui.messages.clear();
    auto window = Open(kind, "A", "印刷");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (test::ShownMessage{description, 16, title}));
    EXPECT_TRUE(window->isVisible() && window->isEnabled());
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_GT(ui.busyCalls, 0);
    EXPECT_EQ(QApplication::focusWidget(), window->Grid());
    QTest::keyClick(window->Grid(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
  }
}

TEST_F(LookupWindowTest, StandsBesideTheCallersWindowOrCentredWhenThatLeavesTheScreen) {
  QWidget main;
  main.setObjectName("frmTarvel");
  main.setGeometry(0, 20, 700, 480);
  auto* button = new QPushButton(&main);
  QDialog range(&main);
  range.setObjectName("frmTarvel_客戶起迄");
  range.setGeometry(300, 250, 300, 200);
  const QScreen* screen = main.screen();
  const auto twips = [screen](int value) { return TwipsToPixels(value, screen); };
  const QRect available = screen->availableGeometry();

  for (LookupKind kind : {LookupKind::Customer, LookupKind::Employee, LookupKind::Vendor}) {
    const LookupWindow centred(kind, db.context, values);
    const int width = centred.frameGeometry().width();
    const QPoint beside = kind == LookupKind::Vendor
                              ? QPoint(700 - width - twips(200), 20 + twips(1300))
                              : QPoint(twips(11850) - width, 20 + twips(1150));
    for (QWidget* caller : {static_cast<QWidget*>(button), static_cast<QWidget*>(&range)}) {
      main.move(0, 20);
      const LookupWindow window(kind, db.context, values, caller);
      EXPECT_EQ(window.pos(), beside) << window.windowTitle().toStdString();
      EXPECT_TRUE(available.contains(window.frameGeometry()));

      main.move(available.right() - 100, 20);
      EXPECT_EQ(LookupWindow(kind, db.context, values, caller).pos(),
                QPoint(centred.x(), beside.y()));
      main.move(0, available.bottom() - 100);
      EXPECT_EQ(LookupWindow(kind, db.context, values, caller).pos(),
                QPoint(beside.x(), centred.y()));
    }
  }
}

TEST_F(LookupWindowTest, OpenLookupWindowReturnsTheChoiceWhenThePickerCloses) {
  QWidget main;
  main.show();
  values.LookupSeed = "ZZT";
  QTimer::singleShot(0, [] {
    auto* window = qobject_cast<LookupWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    if (!QTest::qWaitForWindowActive(window)) {
      ADD_FAILURE() << "the picker never became active";
      window->reject();
      return;
    }
    QTest::keyClick(window->Grid(), Qt::Key_Down);
    QTest::keyClick(window->Grid(), Qt::Key_Return);
  });
  OpenLookupWindow(LookupKind::Customer, db.context, values, &main);
  EXPECT_EQ(values.LookupResult[0], "ZZT2");
}

TEST_F(LookupWindowTest, PaintsTheGridInTheContextsColours) {
  auto window = Open(LookupKind::Customer, "ZZT");
  QTableView* grid = window->Grid();
  const QImage cells = grid->viewport()->grab().toImage();
  const auto emptyPart = [&](int row) {
    const QRect cell = grid->visualRect(window->Rows().index(row, 1));
    return QPoint(cell.right() - 3, cell.center().y());
  };
  EXPECT_EQ(cells.pixelColor(emptyPart(0)), QColor(0, 0, 217)) << "the chosen row";
  EXPECT_EQ(cells.pixelColor(emptyPart(1)), QColor(253, 254, 239)) << "the background";
  EXPECT_EQ(cells.pixelColor(emptyPart(1) + QPoint(4, 0)), QColor(0, 192, 192)) << "grid lines";
  QHeaderView* heading = grid->horizontalHeader();
  const QImage headings = heading->viewport()->grab().toImage();
  const int right = heading->sectionViewportPosition(1) + heading->sectionSize(1);
  EXPECT_EQ(headings.pixelColor(right - 4, heading->height() / 2), QColor(62, 139, 255));
  EXPECT_EQ(headings.pixelColor(right - 1, heading->height() / 2), QColor(255, 74, 74));
}

}  // namespace
}  // namespace tarvel
