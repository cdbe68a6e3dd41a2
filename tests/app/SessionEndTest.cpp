// tarvel itself, started as the suite's menu starts it: the session ending it (logout, shutdown,
// a closed terminal, Ctrl+C) closes it as its user would, so its running-window row goes.
#include <gtest/gtest.h>

#include <signal.h>
#include <QProcess>

#include "InstalledProgram.h"

namespace tarvel {
namespace {

using test::TempDir;

TEST(SessionEnd, ASignalClosesTheProgramAndItsRegistryRowGoes) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    test::InstallProgram(dir);
    QProcess tarvel;
    test::StartAsTheMenuDoes(tarvel, dir);
    ASSERT_TRUE(test::WaitForRegistration(tarvel, dir)) << tarvel.readAll().toStdString();

    ::kill(static_cast<pid_t>(tarvel.processId()), signal);
    ASSERT_TRUE(tarvel.waitForFinished(60000));
    EXPECT_EQ(tarvel.exitStatus(), QProcess::NormalExit) << tarvel.readAll().toStdString();
    EXPECT_EQ(tarvel.exitCode(), 0);
    EXPECT_EQ(test::RegistryRows(dir), 0) << "the row of a closed program stayed";
  }
}

}  // namespace
}  // namespace tarvel
