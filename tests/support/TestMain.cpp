// GoogleTest entry shared by every test program: a QApplication (offscreen) so that widget,
// printing and font code can run, and the Traditional Chinese locale the program runs in.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
