#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "ShownWindow.h"
#include "common/forms/KeyRules.h"
#include "support/CaseFile.h"

namespace tarvel {
namespace {

TEST(FilterKey, DigitsModeKeepsWhatANumberNeeds) {
  // 'c' a character's code, else a number.
  const auto code = [](const QString& field) {
    return field.startsWith(u'\'') ? field[1].unicode() : field.toInt(nullptr, 0);
  };
  for (const QStringList& c : test::ReadCases(QStringLiteral("filter-key.txt")))
    EXPECT_EQ(FilterKey(code(c[0]), c[1].toInt()), code(c[2])) << c[0].toStdString();
}

TEST(UpperCaseKey, OnlyLatinSmallLettersChange) {
  const int cases[][2] = {{'a', 'A'}, {'z', 'Z'}, {'A', 'A'},      {'1', '1'},
                          {'`', '`'}, {'{', '{'}, {0x4E2D, 0x4E2D}};
  for (const auto& c : cases)
    EXPECT_EQ(UpperCaseKey(c[0]), c[1]) << c[0];
}

TEST(ApplyKeyFilter, TypingKeepsDigitsAndMinusAndEditingKeysStillWork) {
  ShownWindow window;
  auto* box = window.Add(new QLineEdit);
  auto* next = window.Add(new QLineEdit);
  ApplyKeyFilter(box);
  ApplyKeyFilter(box);  // once is enough; twice must not double anything
  window.ShowActive();
  box->setFocus();

  QTest::keyClicks(box, "12a3.4-x 5");
  EXPECT_EQ(box->text(), "1234-5");
  QTest::keyClick(box, Qt::Key_Home);
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClick(box, Qt::Key_Right);
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(box->text(), "34-5");
  QTest::keyClick(box, Qt::Key_End);
  QTest::keyClicks(box, "6");
  EXPECT_EQ(box->text(), "34-56");
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(box->selectedText(), "34-56");
  QTest::keyClick(box, Qt::Key_Tab);
  EXPECT_TRUE(next->hasFocus());
}

TEST(ApplyKeyFilter, PasteIsRefusedWhenTypingWouldBe) {
  const struct {
    const char* clipboard;
    const char* expected;
  } cases[] = {{"56", "1256"}, {"5x6", "12"}, {"5.6", "12"}, {"-7", "12-7"}, {"中", "12"}};
  for (const auto& c : cases) {
    ShownWindow window;
    auto* box = window.Add(new QLineEdit("12"));
    ApplyKeyFilter(box);
    window.ShowActive();
    box->setFocus();
    box->end(false);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QString::fromUtf8(c.expected)) << c.clipboard;
    EXPECT_TRUE(box->hasAcceptableInput()) << c.clipboard;  // returnPressed still fires
  }
}

TEST(ApplyUpperCase, TypedLettersGoInAsCapitalsWhereTheCursorIs) {
  ShownWindow window;
  auto* box = window.Add(new QLineEdit);
  ApplyUpperCase(box);
  ApplyUpperCase(box);
  window.ShowActive();
  box->setFocus();

  QTest::keyClicks(box, "ab1c");
  EXPECT_EQ(box->text(), "AB1C");
  EXPECT_EQ(box->cursorPosition(), 4);

  box->setCursorPosition(1);
  QTest::keyClicks(box, "x");
  EXPECT_EQ(box->text(), "AXB1C");
  EXPECT_EQ(box->cursorPosition(), 2);

  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);  // a command, not a letter
  EXPECT_EQ(box->text(), "AXB1C");
  EXPECT_EQ(box->selectedText(), "AXB1C");
  QTest::keyClicks(box, "q");  // replaces the selection like any typed key
  EXPECT_EQ(box->text(), "Q");
}

}  // namespace
}  // namespace tarvel
