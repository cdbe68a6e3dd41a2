// The windows driven through their controls by design name (WindowFixture, which every window test
// stands on), and the main window on a private copy of the demo database, shown and through its
// first activation, with every window it would open replaced by a recorder.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "common/forms/ScreenTwips.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "startup/AppContext.h"
#include "startup/AppContextLoader.h"
#include "startup/DatabaseLocation.h"
#include "support/Demo.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"
#include "windows/overview/MainWindow.h"

namespace tarvel::test {

/// The suite's command line of a signed-in user whose menu is this test process.
inline QString CommandLineOf(const QString& user, const QString& admin) {
  return QStringLiteral("-qdx5170 -AD=%1 -NAME=%2 -ID= -XLS=.xlsx -DOC=.docx -PID=%3")
      .arg(admin, user)
      .arg(::getpid());
}

/// A control of `window` by its design name; fails the test when there is none.
template <typename Control = QWidget>
Control* Find(const QWidget& window, const char* name) {
  auto* control = window.findChild<Control*>(QString::fromUtf8(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

/// Top of `widget` in its parent, in twips (the design's unit).
inline int TopTwips(const QWidget* widget) {
  return PixelsToTwips(widget->y(), widget->screen());
}

/// Clicks `button` where a user would: beside the indicator of a check box or an option.
inline void ClickOn(QAbstractButton* button) {
  const QPoint where = qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)
                           ? button->rect().center()
                           : QPoint(6, button->height() / 2);
  QTest::mouseClick(button, Qt::LeftButton, {}, where);
}

/// Types `keys` into `box`: key by key for ASCII, Chinese committed as an input method does.
inline void TypeInto(QLineEdit* box, const QString& keys) {
  for (const QChar c : keys) {
    if (c.unicode() < 0x80)
      QTest::keyClicks(box, QString(c));
    else
      box->insert(QString(c));
  }
}

struct OutputCall {
  QString layout;
  OutputMode mode;
  bool operator==(const OutputCall&) const = default;
  friend void PrintTo(const OutputCall& call, std::ostream* out) {
    *out << call.layout.toStdString() << "/" << static_cast<int>(call.mode);
  }
};

struct LookupCall {
  LookupKind kind;
  QString seed;
  QString vendorKind;
};

/// A window under test (`driven`, set by the test once it exists) driven by its controls' design
/// names, on the demo's clock, with its messages recorded and its pickers replaced by a recorder.
class WindowFixture : public ::testing::Test {
 protected:
  template <typename Control = QWidget>
  Control* Get(const char* name) const {
    return Find<Control>(*driven, name);
  }
  QLineEdit* Box(const char* name) const { return Get<QLineEdit>(name); }
  /// Clicks a button, check box or option where its caption is (an option's widget may be wider
  /// than what takes a click).
  void Click(const char* name) const { ClickOn(Get<QAbstractButton>(name)); }
  bool Shown(const char* name) const { return Get(name)->isVisibleTo(driven); }
  /// Types `keys` into the box called `name` after giving it the focus.
  void Type(const char* name, const QString& keys) const {
    QLineEdit* box = Box(name);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    TypeInto(box, keys);
  }
  /// A picker that records what it was asked and hands back `lookupAnswer`.
  LookupOpener RecordingLookup() {
    return [this](LookupKind kind, LookupValues& values, QWidget*) {
      lookups.push_back({kind, values.LookupSeed, values.VendorKind});
      values.ClearResult();
      for (size_t i = 0; i < lookupAnswer.size(); ++i)
        values.LookupResult[i] = lookupAnswer[i];
    };
  }

  ScopedToday today{DemoToday()};
  RecordingUi ui;
  AppContext context;
  QWidget* driven = nullptr;
  std::vector<LookupCall> lookups;
  std::vector<QString> lookupAnswer;  ///< the row the recorded picker hands back
};

class MainWindowTest : public WindowFixture {
 protected:
  void SetUp() override {
    databasePath = CopyDemoDatabase(folder.Path());
    context.ConnectionString = ComposeConnectionString(databasePath);
    context.MachineUserName = QStringLiteral("TEST\\clerk");
    ASSERT_TRUE(LoadAppContext(
        context, CommandLineOf(QStringLiteral("系統管理員"), QStringLiteral("系統管理員"))));
  }

  void TearDown() override {
    if (window) window->close();
    window.reset();
  }

  MainWindowSeams RecordingSeams() {
    MainWindowSeams seams;
    seams.openLookup = RecordingLookup();
    seams.output = [this](CheckedRequest& request) {
      outputs.push_back({request.row.Name(), request.mode});
    };
    seams.openRework = [this] { ++reworkOpened; };
    seams.endProgram = [this] { ++programEnded; };
    return seams;
  }

  /// Creates the window, shows it and waits for its first activation.
  void Open(MainWindowSeams seams) {
    window = std::make_unique<MainWindow>(context, std::move(seams));
    driven = window.get();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->FirstActivationDone(); }));
    QApplication::processEvents();
  }
  void Open() { Open(RecordingSeams()); }

  TempDir folder;
  QString databasePath;
  std::unique_ptr<MainWindow> window;
  std::vector<OutputCall> outputs;
  int reworkOpened = 0;
  int programEnded = 0;
};

}  // namespace tarvel::test
