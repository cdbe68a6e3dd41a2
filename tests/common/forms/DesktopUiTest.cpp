// What the desktop shows around the program's own texts: Qt's dialogs in Chinese, message boxes
// with the icon of their style, and the hourglass that a message box must not keep.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

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

// A DSN file's data source can run to megabytes; its message must still come up at once: the box
// shows the text cut in the middle, standard error gets it whole.
TEST(DesktopUi, ALongMessageIsCutInTheMiddleAndWrittenWholeToStandardError) {
  QString path = QStringLiteral("/srv/");
  while (path.size() < 1024 * 1024)
    path += QStringLiteral("資料夾%1/").arg(path.size());
  const QString text = QStringLiteral("找不到資料庫檔案：") + path + QStringLiteral("KORV.mdb");

  QTemporaryDir dir;
  const QString log = dir.filePath("stderr.txt");
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  const int file = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  ::dup2(file, STDERR_FILENO);
  ::close(file);
  QString shown;
  QTimer::singleShot(0, [&shown] {
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  MessageBoxUi().ShowMessage(text, kCritical, "取得系統相關設定資料錯誤");
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);

  EXPECT_LE(shown.size(), 160);
  EXPECT_TRUE(shown.startsWith("找不到資料庫檔案：/srv/資料夾5/")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("/KORV.mdb")) << shown.toStdString();
  EXPECT_TRUE(shown.contains(u'…'));
  QFile written(log);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(QString::fromUtf8(written.readAll()).contains(text)) << "the whole text";

  // Many lines keep their first and last fourteen; short texts stay as they are.
  QStringList lines;
  for (int i = 1; i <= 40; ++i)
    lines << QString::number(i);
  const QStringList kept = ElideMessageText(lines.join('\n')).split('\n');
  ASSERT_EQ(kept.size(), 29);
  EXPECT_EQ(kept[13], "14");
  EXPECT_EQ(kept[14], "…");
  EXPECT_EQ(kept[15], "27");
  EXPECT_EQ(kept.back(), "40");
  const QString ordinary = QStringLiteral("資料庫中沒有符合條件的資料!\n請重新輸入條件。");
  EXPECT_EQ(ElideMessageText(ordinary), ordinary);
}

}  // namespace
}  // namespace tarvel
