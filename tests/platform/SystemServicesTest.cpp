#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cmath>
#include <limits>

#include "platform/HiddenAttribute.h"
#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "platform/SystemServices.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::TempDir;

TEST(InstanceLock, ASecondLockFailsWhileTheFirstIsHeldAndSucceedsAfter) {
  TempDir dir;
  const QString path = dir.File("tarvel.lock");
  std::unique_ptr<InstanceLock> first = InstanceLock::TryAcquire(path);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Holds());
  EXPECT_EQ(InstanceLock::TryAcquire(path), nullptr);
  first.reset();
  std::unique_ptr<InstanceLock> again = InstanceLock::TryAcquire(path);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->Holds());
}

TEST(InstanceLock, AnUnusableLockFileDoesNotBlockTheStart) {
  TempDir dir;
  // A symbolic link planted where the lock belongs is not followed.
  QFile::link(dir.File("elsewhere"), dir.File("link.lock"));
  std::unique_ptr<InstanceLock> lock = InstanceLock::TryAcquire(dir.File("link.lock"));
  ASSERT_NE(lock, nullptr);
  EXPECT_FALSE(lock->Holds());
  EXPECT_FALSE(QFile::exists(dir.File("elsewhere")));
}

TEST(InstanceLock, DefaultPathIsPerUser) {
  const QString path = DefaultInstanceLockPath("Tarvel");
  EXPECT_TRUE(path.endsWith(".lock"));
  EXPECT_TRUE(path.contains("tarvel"));
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    EXPECT_TRUE(path.contains(QString::number(::getuid())));
  }
}

TEST(IsProcessAlive, NumbersThatNameNoProcess) {
  const double self = ::getpid();
  EXPECT_TRUE(IsProcessAlive(self));
  EXPECT_TRUE(IsProcessAlive(self + 0.4));  // rounded like a 32-bit handle
  EXPECT_TRUE(IsProcessAlive(1));           // another user's process still exists
  for (double none :
       {0.0, -1.0, 0.4, 0.5, 2147483648.0, 1e20, -1e20, std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity()})
    EXPECT_FALSE(IsProcessAlive(none)) << none;

  // A launcher that has ended (and been reaped) is no longer alive.
  QProcess child;
  child.start("/bin/sleep", {"0.2"});
  ASSERT_TRUE(child.waitForStarted(10000));
  const double pid = static_cast<double>(child.processId());
  EXPECT_TRUE(IsProcessAlive(pid));
  ASSERT_TRUE(child.waitForFinished(10000));
  EXPECT_FALSE(IsProcessAlive(pid));
}

TEST(HiddenAttribute, ListedInTheParentsHiddenFile) {
  TempDir dir;
  QDir().mkpath(dir.File("Temp"));
  QDir().mkpath(dir.File("Other"));
  dir.Write(".hidden", "Other");  // no final line break
  EXPECT_FALSE(IsHidden(dir.File("Temp")));
  EXPECT_TRUE(IsHidden(dir.File("Other/")));
  EXPECT_TRUE(IsHidden(dir.File(".config")));

  EXPECT_TRUE(SetHidden(dir.File("Temp/")));
  EXPECT_TRUE(SetHidden(dir.File("Temp")));
  EXPECT_TRUE(IsHidden(dir.File("Temp")));
  QFile list(dir.File(".hidden"));
  ASSERT_TRUE(list.open(QIODevice::ReadOnly));
  EXPECT_EQ(list.readAll(), "Other\nTemp\n");

  EXPECT_FALSE(SetHidden(dir.File("no such folder/x")));
}

TEST(LinuxSystemServices, ReportsThisMachine) {
  LinuxSystemServices machine;
  EXPECT_EQ(machine.ProgramFolder(), QCoreApplication::applicationDirPath());
  EXPECT_FALSE(machine.UserName().isEmpty());
  EXPECT_FALSE(machine.ComputerName().contains('.'));
  EXPECT_TRUE(machine.DocumentsFolder().endsWith('/'));
  EXPECT_TRUE(machine.IsLauncherAlive(::getpid()));

  qputenv("TARVEL_TEST_Variable", "value");
  EXPECT_EQ(machine.EnvironmentVariable("tarvel_test_variable"), "value");
  qunsetenv("TARVEL_TEST_Variable");
  EXPECT_EQ(machine.EnvironmentVariable("tarvel_test_variable"), "");

  const QByteArray profile = qgetenv("USERPROFILE");
  qunsetenv("USERPROFILE");
  EXPECT_EQ(machine.EnvironmentVariable("userprofile"), qEnvironmentVariable("HOME"));
  if (!profile.isNull()) qputenv("USERPROFILE", profile);
}

TEST(SystemServices, InstallingReplacesAndRestores) {
  struct Fake : LinuxSystemServices {
    QString ComputerName() const override { return "FAKE"; }
  } fake;
  const QString real = System().ComputerName();
  {
    ScopedSystemServices installed(fake);
    EXPECT_EQ(System().ComputerName(), "FAKE");
  }
  EXPECT_EQ(System().ComputerName(), real);
}

}  // namespace
}  // namespace tarvel
