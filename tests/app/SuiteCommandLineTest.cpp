// The suite's command line is the program's own, never Qt's: given to Qt, "-platform xcb" in it
// aborted the program and "-stylesheet FILE" had Qt read the file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>

#include "InstalledProgram.h"

namespace tarvel {
namespace {

using test::TempDir;

TEST(SuiteCommandLine, QtTakesNoneOfItsOptionsFromIt) {
  TempDir dir;
  test::InstallProgram(dir);
  // A pipe as the style sheet: whoever opens it to read shows, as a writer then opens it at once.
  const QByteArray sheet = QFile::encodeName(dir.File("sheet.qss"));
  ASSERT_EQ(::mkfifo(sheet.constData(), 0600), 0);
  bool sheetRead = false;
  const auto sheetUnread = [&] {
    const int fd = ::open(sheet.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return true;
    ::close(fd);  // the reader gets an empty sheet and goes on
    sheetRead = true;
    return false;
  };

  QProcess tarvel;
  test::StartAsTheMenuDoes(tarvel, dir,
                           {"-platform", "xcb", "-stylesheet", QFile::decodeName(sheet)});
  const bool registered = test::WaitForRegistration(tarvel, dir, sheetUnread);
  EXPECT_FALSE(sheetRead) << "the style sheet named on the command line was opened";
  ASSERT_TRUE(registered) << "exit " << tarvel.exitCode() << ": " << tarvel.readAll().toStdString();
  EXPECT_TRUE(sheetUnread());

  ::kill(static_cast<pid_t>(tarvel.processId()), SIGTERM);
  ASSERT_TRUE(tarvel.waitForFinished(60000));
  EXPECT_EQ(tarvel.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(tarvel.exitCode(), 0) << tarvel.readAll().toStdString();
}

}  // namespace
}  // namespace tarvel
