// GoogleTest entry shared by every test program: a core application, or with TARVEL_TEST_GUI a
// widget application (offscreen) for widget, printing and font code, in the Traditional Chinese
// locale the program runs in.
#include <gtest/gtest.h>

#include <QLocale>

#ifdef TARVEL_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));
  TestApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
