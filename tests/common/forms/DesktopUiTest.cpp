// What the desktop shows around the program's own texts: Qt's dialogs in Chinese, message boxes
// with the icon of their style, and the hourglass that a message box must not keep.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "common/forms/MessageBoxUi.h"
#include "common/forms/QtTranslations.h"

namespace tarvel {
namespace {

TEST(DesktopUi, QtsOwnButtonsSpeakTraditionalChinese) {
  ASSERT_TRUE(LoadQtTranslations());
  EXPECT_TRUE(LoadQtTranslations()) << "a second call changes nothing";
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "取消");
  EXPECT_EQ(QLocale().name(), "zh_TW");
}

TEST(DesktopUi, MessageBoxesCarryTheirStyleAndGiveTheArrowBack) {
  MessageBoxUi ui;
  struct Seen {
    QMessageBox::Icon icon;
    QString title, text;
    bool waitCursor;
  };
  std::vector<Seen> seen;
  const auto answerNextBox = [&seen] {
    QTimer::singleShot(0, [&seen] {
      ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen.push_back({box->icon(), box->windowTitle(), box->text(),
                      QApplication::overrideCursor() != nullptr});
      box->button(QMessageBox::Ok)->click();
    });
  };

  ui.SetBusy(true);
  ui.SetBusy(true);
  answerNextBox();
  ui.ShowMessage("查無任何資料!", kExclamation, "訊息");
  answerNextBox();
  ui.ShowMessage("權限", kCritical, "錯誤");
  answerNextBox();
  ui.ShowMessage("完成", kInformation, "訊息");
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].icon, QMessageBox::Warning);
  EXPECT_EQ(seen[0].title, "訊息");
  EXPECT_EQ(seen[0].text, "查無任何資料!");
  EXPECT_FALSE(seen[0].waitCursor) << "the user must see an arrow over the button";
  EXPECT_EQ(seen[1].icon, QMessageBox::Critical);
  EXPECT_EQ(seen[2].icon, QMessageBox::Information);

  ASSERT_NE(QApplication::overrideCursor(), nullptr) << "the hourglass comes back afterwards";
  ui.SetBusy(false);
  EXPECT_NE(QApplication::overrideCursor(), nullptr) << "still one level deep";
  ui.SetBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ui.SetBusy(false);  // one too many is harmless
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tarvel
