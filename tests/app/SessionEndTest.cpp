// tarvel itself, started as the suite's menu starts it: the session ending it (logout, shutdown,
// a closed terminal, Ctrl+C) closes it as its user would, so its running-window row goes.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "db/Connection.h"
#include "support/Demo.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::TempDir;

// The program folder holds the executable and KORV.DSN naming a copy of the demo database.
QString InstallProgram(const TempDir& dir) {
  QDir().mkpath(dir.File("prog"));
  QDir().mkpath(dir.File("data"));
  const QString program = dir.File("prog/tarvel");
  // A hard link where the file system allows one (the program folder is where the executable
  // appears to be); a symbolic link would lead to the build folder.
  if (::link(TARVEL_APP, QFile::encodeName(program).constData()) != 0) {
    EXPECT_TRUE(QFile::copy(QStringLiteral(TARVEL_APP), program));
  }
  test::CopyDemoDatabase(dir.File("data"));
  dir.Write("prog/KORV.DSN", ("SITE=C\r\nDBQ=" + dir.File("data/KORV.mdb") + "\r\n").toUtf8());
  return program;
}

double RegistryRows(const TempDir& dir) {
  const auto connection = db::Connection::OpenFile(dir.File("data/KORV.mdb"));
  return test::Scalar(*connection, "select count(*) from [SYSUSER1] where FUNC = 'Tarvel'");
}

TEST(SessionEnd, ASignalClosesTheProgramAndItsRegistryRowGoes) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    const QString program = InstallProgram(dir);
    QDir().mkpath(dir.File("home"));
    QDir().mkpath(dir.File("run"));
    QFile::setPermissions(dir.File("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.File("home"));
    environment.insert("XDG_RUNTIME_DIR", dir.File("run"));
    QProcess tarvel;
    tarvel.setProcessEnvironment(environment);
    tarvel.setProcessChannelMode(QProcess::MergedChannels);
    // This test stands for the suite's menu: its process id is the launcher's.
    tarvel.start(program, {"-qdx5170", "-AD=", "-NAME=王小明", "-ID=A001", "-XLS=.xlsx",
                           "-DOC=.docx", QStringLiteral("-PID=%1").arg(::getpid())});
    ASSERT_TRUE(tarvel.waitForStarted(30000));
    const QDeadlineTimer deadline(120000);
    while (RegistryRows(dir) == 0 && !deadline.hasExpired() && tarvel.state() == QProcess::Running)
      QThread::msleep(50);
    ASSERT_EQ(RegistryRows(dir), 1) << tarvel.readAll().toStdString();

    ::kill(static_cast<pid_t>(tarvel.processId()), signal);
    ASSERT_TRUE(tarvel.waitForFinished(60000));
    EXPECT_EQ(tarvel.exitStatus(), QProcess::NormalExit) << tarvel.readAll().toStdString();
    EXPECT_EQ(tarvel.exitCode(), 0);
    EXPECT_EQ(RegistryRows(dir), 0) << "the row of a closed program stayed";
  }
}

}  // namespace
}  // namespace tarvel
