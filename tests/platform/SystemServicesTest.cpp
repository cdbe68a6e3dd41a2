#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cmath>
#include <functional>
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

TEST(InstanceLock, AFileNotTheUsersOwnGuardsNothingAndIsNamed) {
  TempDir dir;
  // A symbolic link planted where the lock belongs is not followed.
  QFile::link(dir.File("elsewhere"), dir.File("link.lock"));
  std::unique_ptr<InstanceLock> lock = InstanceLock::TryAcquire(dir.File("link.lock"));
  ASSERT_NE(lock, nullptr);
  EXPECT_FALSE(lock->Holds());
  EXPECT_FALSE(QFile::exists(dir.File("elsewhere")));
  EXPECT_TRUE(lock->Problem().contains(dir.File("link.lock")));

  // Another user's file, which that user could keep locked (root can make one for the test).
  if (::geteuid() != 0) GTEST_SKIP() << "making another user's file needs root";
  const QString foreign = dir.Write("foreign.lock", "");
  ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(foreign).constData(), 0666), 0);
  lock = InstanceLock::TryAcquire(foreign);
  ASSERT_NE(lock, nullptr);
  EXPECT_FALSE(lock->Holds());
  EXPECT_TRUE(lock->Problem().contains(foreign));
}

// The lock lives where no one else can create it first: the private runtime folder, else a folder
// of the user's own in the cache folder; a shared runtime folder is passed over.
TEST(InstanceLock, DefaultPathIsInAFolderOnlyTheUserCanWrite) {
  TempDir dir;
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  const QByteArray cache = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.File("cache")));
  const auto mode = [](const QString& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    EXPECT_EQ(info.st_uid, ::geteuid());
    return info.st_mode & 07777;
  };

  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(DefaultInstanceLockLocation("Tarvel").path, dir.File("cache/tarvel/tarvel.lock"));
  EXPECT_EQ(mode(dir.File("cache/tarvel")), 0700u);

  QDir().mkpath(dir.File("shared"));
  ::chmod(QFile::encodeName(dir.File("shared")).constData(), 01777);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.File("shared")));
  EXPECT_EQ(DefaultInstanceLockLocation("Tarvel").path, dir.File("cache/tarvel/tarvel.lock"));

  QDir().mkpath(dir.File("run"));
  ::chmod(QFile::encodeName(dir.File("run")).constData(), 0700);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.File("run")));
  EXPECT_EQ(DefaultInstanceLockLocation("Tarvel").path, dir.File("run/tarvel.lock"));

  // A cache folder an older copy left readable by others is closed.
  ::chmod(QFile::encodeName(dir.File("cache/tarvel")).constData(), 0755);
  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(DefaultInstanceLockLocation("Tarvel").problem, "");
  EXPECT_EQ(mode(dir.File("cache/tarvel")), 0700u);

  runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
  cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
}

// The cache's lock folder is looked at itself: a link there (to a folder anyone may write in,
// where anyone could hold the lock or plant the file), something that is no folder, another
// user's folder or one others may write in holds no lock; the user is told, naming the folder.
TEST(InstanceLock, ALockFolderThatIsNotTheUsersOwnIsRefusedNamingIt) {
  TempDir dir;
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  const QByteArray cache = qgetenv("XDG_CACHE_HOME");
  qunsetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.File("cache")));
  const QString folder = dir.File("cache/tarvel");
  const QByteArray native = QFile::encodeName(folder);
  const auto plant = [&](const std::function<void()>& make) {
    if (::unlink(native.constData()) != 0) QDir(folder).removeRecursively();  // never a link's
    QDir().mkpath(dir.File("cache"));
    make();
  };
  const auto refused = [&](const char* what) {
    SCOPED_TRACE(what);
    LinuxSystemServices machine;
    const std::unique_ptr<InstanceLock> lock = machine.LockSingleInstance("Tarvel");
    ASSERT_NE(lock, nullptr);
    EXPECT_FALSE(lock->Holds());
    EXPECT_TRUE(lock->Problem().contains(folder)) << lock->Problem().toStdString();
    EXPECT_FALSE(QFile::exists(dir.File("shared/tarvel.lock")));
  };

  QDir().mkpath(dir.File("shared"));
  ::chmod(QFile::encodeName(dir.File("shared")).constData(), 01777);
  plant([&] { ASSERT_TRUE(QFile::link(dir.File("shared"), folder)); });
  refused("a link to a shared folder");
  plant([&] { ASSERT_TRUE(QFile::link(dir.File("nowhere"), folder)); });
  refused("a dangling link");
  EXPECT_FALSE(QFile::exists(dir.File("nowhere")));
  plant([&] { dir.Write("cache/tarvel", ""); });
  refused("a file");
  plant([&] {
    ASSERT_EQ(::mkdir(native.constData(), 0700), 0);
    ASSERT_EQ(::chmod(native.constData(), 0777), 0);
  });
  refused("a folder others may write in");
  if (::geteuid() == 0) {  // making another user's folder needs root
    plant([&] {
      ASSERT_EQ(::mkdir(native.constData(), 0700), 0);
      ASSERT_EQ(::chown(native.constData(), 65534, 65534), 0);
    });
    refused("another user's folder");
  }

  // The user's own folder, closed to others, holds the lock.
  plant([&] { ASSERT_EQ(::mkdir(native.constData(), 0700), 0); });
  LinuxSystemServices machine;
  const std::unique_ptr<InstanceLock> lock = machine.LockSingleInstance("Tarvel");
  ASSERT_NE(lock, nullptr);
  EXPECT_TRUE(lock->Holds());
  EXPECT_EQ(lock->Problem(), "");
  EXPECT_TRUE(QFile::exists(dir.File("cache/tarvel/tarvel.lock")));

  runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
  cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
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

// The workbook folder proposed to a new user must exist: an account whose desktop never made
// its documents folder gets the home folder.
TEST(LinuxSystemServices, TheDocumentsFolderWhenItExistsElseTheHomeFolder) {
  const QByteArray home = qgetenv("HOME");
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  TempDir fresh;
  qputenv("HOME", QFile::encodeName(fresh.Path()));
  qunsetenv("XDG_CONFIG_HOME");
  LinuxSystemServices machine;
  EXPECT_EQ(machine.DocumentsFolder(), fresh.Path() + "/");
  ASSERT_TRUE(QDir(fresh.Path()).mkdir("Documents"));
  EXPECT_EQ(machine.DocumentsFolder(), fresh.Path() + "/Documents/");
  // A desktop in Chinese names its own folder, which is used once it exists.
  fresh.Write(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/文件\"\n");
  EXPECT_EQ(machine.DocumentsFolder(), fresh.Path() + "/");
  ASSERT_TRUE(QDir(fresh.Path()).mkdir("文件"));
  EXPECT_EQ(machine.DocumentsFolder(), fresh.Path() + "/文件/");
  qputenv("HOME", home);
  if (!config.isNull()) qputenv("XDG_CONFIG_HOME", config);
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
