#include "InstalledProgram.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include "db/Connection.h"
#include "support/Demo.h"

namespace tarvel::test {

QString InstallProgram(const TempDir& dir) {
  QDir().mkpath(dir.File("prog"));
  QDir().mkpath(dir.File("data"));
  QDir().mkpath(dir.File("home"));
  QDir().mkpath(dir.File("run"));
  QFile::setPermissions(dir.File("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString program = dir.File("prog/tarvel");
  // A hard link where the file system allows one (the program folder is where the executable
  // appears to be); a symbolic link would lead to the build folder.
  if (::link(TARVEL_APP, QFile::encodeName(program).constData()) != 0) {
    EXPECT_TRUE(QFile::copy(QStringLiteral(TARVEL_APP), program));
  }
  CopyDemoDatabase(dir.File("data"));
  dir.Write("prog/KORV.DSN", ("SITE=C\r\nDBQ=" + dir.File("data/KORV.mdb") + "\r\n").toUtf8());
  return program;
}

double RegistryRows(const TempDir& dir) {
  const auto connection = db::Connection::OpenFile(dir.File("data/KORV.mdb"));
  return Scalar(*connection, "select count(*) from [SYSUSER1] where FUNC = 'Tarvel'");
}

void StartAsTheMenuDoes(QProcess& tarvel, const TempDir& dir, const QStringList& extra) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("HOME", dir.File("home"));
  environment.insert("XDG_RUNTIME_DIR", dir.File("run"));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  tarvel.setProcessEnvironment(environment);
  tarvel.setProcessChannelMode(QProcess::MergedChannels);
  tarvel.start(
      dir.File("prog/tarvel"),
      QStringList{"-qdx5170", "-AD=", "-NAME=王小明", "-ID=A001", "-XLS=.xlsx", "-DOC=.docx"} +
          extra + QStringList{QStringLiteral("-PID=%1").arg(::getpid())});
}

bool WaitForRegistration(QProcess& tarvel, const TempDir& dir,
                         const std::function<bool()>& keepWaiting) {
  if (!tarvel.waitForStarted(30000)) return false;
  const QDeadlineTimer deadline(120000);
  while (RegistryRows(dir) == 0) {
    if (deadline.hasExpired() || (keepWaiting && !keepWaiting())) return false;
    // Waiting on the process is what notices that it ended (an abort, a refused start).
    if (tarvel.state() != QProcess::Running || tarvel.waitForFinished(50)) return false;
  }
  return true;
}

}  // namespace tarvel::test
