#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>
#include <cmath>

#include "common/forms/ScreenTwips.h"
#include "common/forms/WindowSetup.h"

namespace tarvel {
namespace {

TEST(ScreenTwips, ConvertsByTheScreensLogicalResolution) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const double dpi = screen->logicalDotsPerInch();
  for (int twips : {0, 15, 420, 1440, 11520, -1440, 7}) {
    const int pixels = TwipsToPixels(twips, screen);
    EXPECT_EQ(pixels, std::lround(twips * dpi / 1440)) << twips;
    EXPECT_EQ(TwipsToPixels(twips, nullptr), pixels) << "null means the primary screen";
    EXPECT_EQ(PixelsToTwips(pixels, screen), std::lround(pixels * 1440 / dpi)) << twips;
  }
  EXPECT_EQ(PixelsToTwips(TwipsToPixels(1440, screen), screen), 1440);
}

TEST(PrepareControls, EmptiesBoxesExceptThoseTaggedToKeep) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* line = new QLineEdit("old");
  auto* kept = new QLineEdit("kept");
  kept->setProperty(kTagProperty, QString::fromLatin1(kKeepTag));
  auto* otherTag = new QLineEdit("old");
  otherTag->setProperty(kTagProperty, QStringLiteral("0"));
  auto* plain = new QPlainTextEdit("old");
  auto* rich = new QTextEdit("old");
  auto* combo = new QComboBox;
  combo->addItems({"A", "B"});
  auto* keptCombo = new QComboBox;
  keptCombo->setEditable(true);
  keptCombo->addItems({"A", "B"});
  keptCombo->setCurrentText("typed");
  keptCombo->setProperty(kTagProperty, QString::fromLatin1(kKeepTag));
  auto* spin = new QSpinBox;
  spin->setValue(42);
  auto* group = new QGroupBox;
  auto* nested = new QLineEdit("old", group);
  for (QWidget* w : std::initializer_list<QWidget*>{line, kept, otherTag, plain, rich, combo,
                                                    keptCombo, spin, group}) {
    layout->addWidget(w);
  }
  QWidget dialog(&window, Qt::Dialog);  // another window: not one of this window's controls
  auto* dialogBox = new QLineEdit("old", &dialog);

  PrepareControls(&window);

  EXPECT_EQ(line->text(), "");
  EXPECT_EQ(kept->text(), "kept");
  EXPECT_EQ(otherTag->text(), "");
  EXPECT_EQ(plain->toPlainText(), "");
  EXPECT_EQ(rich->toPlainText(), "");
  EXPECT_EQ(combo->count(), 0);
  EXPECT_EQ(keptCombo->count(), 2);
  EXPECT_EQ(keptCombo->currentText(), "typed");
  EXPECT_EQ(spin->value(), 42);
  EXPECT_EQ(spin->text(), "42");
  EXPECT_EQ(nested->text(), "");
  EXPECT_EQ(dialogBox->text(), "old");
}

TEST(CenterWindow, CentresAndKeepsTheTaskBarFree) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect available = screen->availableGeometry();
  const QRect whole = screen->geometry();
  const int taskBar = TwipsToPixels(420, screen);
  const QSize sizes[] = {{400, 300}, {301, 201}, whole.size() / 2};
  for (const QSize& size : sizes) {
    QWidget window;
    window.resize(size);
    window.move(3, 5);
    CenterWindow(&window);
    const QSize frame = window.frameGeometry().size();
    EXPECT_EQ(window.pos(), QPoint(available.x() + (available.width() - frame.width()) / 2,
                                   whole.y() + (whole.height() - frame.height() - taskBar) / 2))
        << size.width() << "x" << size.height();
  }
  QWidget tooLarge;
  tooLarge.resize(whole.width() + 100, whole.height());
  CenterWindow(&tooLarge);
  EXPECT_EQ(tooLarge.pos(), available.topLeft());
}

}  // namespace
}  // namespace tarvel
