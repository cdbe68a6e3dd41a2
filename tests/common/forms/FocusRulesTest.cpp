#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "ShownWindow.h"
#include "common/forms/FocusRules.h"

namespace tarvel {
namespace {

TEST(SelectAllOnFocus, SelectsTheWholeText) {
  QLineEdit box("工單 12345");
  box.setCursorPosition(3);
  SelectAllOnFocus(&box);
  EXPECT_EQ(box.selectionStart(), 0);
  EXPECT_EQ(box.selectedText(), box.text());
}

TEST(InstallSelectAllOnFocus, SelectsOnArrivalByTabClickOrProgram) {
  enum class Arrival { kTab, kClick, kProgram };
  const struct {
    Arrival arrival;
    bool installed;
    bool selected;
  } cases[] = {
      {Arrival::kTab, true, true},       {Arrival::kClick, true, true},
      {Arrival::kProgram, true, true},   {Arrival::kClick, false, false},
      {Arrival::kProgram, false, false},
  };
  for (const auto& c : cases) {
    ShownWindow window;
    auto* first = window.Add(new QLineEdit("first"));
    auto* box = window.Add(new QLineEdit("115100001"));
    if (c.installed) InstallSelectAllOnFocus(box);
    window.ShowActive();
    first->setFocus();
    switch (c.arrival) {
      case Arrival::kTab:
        QTest::keyClick(first, Qt::Key_Tab);
        break;
      case Arrival::kClick:
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        break;
      case Arrival::kProgram:
        box->setFocus();
        break;
    }
    QCoreApplication::processEvents();
    ASSERT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), c.selected ? box->text() : QString())
        << static_cast<int>(c.arrival) << " installed " << c.installed;
  }
}

TEST(MoveFocusOnEnter, EnterMovesOnAfterTheBoxHandledIt) {
  QDialog window;  // a dialog, so that Enter could also press its default button
  auto* layout = new QVBoxLayout(&window);
  auto* order = new QLineEdit;
  auto* customer = new QLineEdit;
  auto* combo = new QComboBox;
  combo->addItems({"A", "B"});
  auto* notes = new QPlainTextEdit;
  auto* ok = new QPushButton("確定");
  ok->setDefault(true);
  for (QWidget* w : std::initializer_list<QWidget*>{order, customer, combo, notes, ok}) {
    layout->addWidget(w);
  }
  QWidget* focusInHandler = nullptr;
  QObject::connect(order, &QLineEdit::returnPressed,
                   [&] { focusInHandler = QApplication::focusWidget(); });
  bool clicked = false;
  QObject::connect(ok, &QPushButton::clicked, [&] { clicked = true; });
  MoveFocusOnEnter(&window);
  MoveFocusOnEnter(&window);  // a second filter would skip a control
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  const struct {
    QWidget* from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QWidget* to;
  } cases[] = {
      {order, Qt::Key_Return, Qt::NoModifier, customer},
      {customer, Qt::Key_Enter, Qt::KeypadModifier, combo},
      {combo, Qt::Key_Return, Qt::NoModifier, notes},
      {notes, Qt::Key_Return, Qt::NoModifier, notes},  // a new line instead
      {customer, Qt::Key_Return, Qt::ControlModifier, customer},
  };
  for (const auto& c : cases) {
    c.from->setFocus();
    QTest::keyClick(c.from, c.key, c.modifiers);
    EXPECT_EQ(QApplication::focusWidget(), c.to) << c.from->metaObject()->className();
  }
  EXPECT_EQ(focusInHandler, order) << "returnPressed ran before the focus moved";
  EXPECT_EQ(notes->toPlainText(), "\n");
  EXPECT_FALSE(clicked);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.result(), 0);
}

}  // namespace
}  // namespace tarvel
