#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "ShownWindow.h"
#include "common/forms/KeyRules.h"

namespace tarvel {
namespace {

TEST(FilterKey, DigitsModeKeepsWhatANumberNeeds) {
  const struct {
    int key;
    int mode;
    int expected;
  } cases[] = {
      {'7', 1, '7'}, {'0', 1, '0'}, {'9', 1, '9'},  {'-', 1, '-'}, {8, 1, 8},
      {13, 1, 13},   {'.', 1, 0},   {'a', 1, 0},    {' ', 1, 0},   {'/', 1, 0},
      {':', 1, 0},   {9, 1, 0},     {0x4E2D, 1, 0}, {'a', 2, 'a'},  // no rule in other modes
  };
  for (const auto& c : cases)
    EXPECT_EQ(FilterKey(c.key, c.mode), c.expected) << c.key;
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
