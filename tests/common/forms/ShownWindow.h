// A window shown and active on the offscreen screen, so that focus and keys reach its controls.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace tarvel {

class ShownWindow : public QWidget {
 public:
  ShownWindow() { new QVBoxLayout(this); }

  /// Adds `control` below the others (tab order follows creation order).
  template <typename Control>
  Control* Add(Control* control) {
    layout()->addWidget(control);
    return control;
  }

  void ShowActive() {
    show();
    activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(this));
  }
};

}  // namespace tarvel
