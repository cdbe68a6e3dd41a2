// Work folders beside a target and what a killed run leaves; libraries' warnings on standard error.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "platform/StderrCapture.h"
#include "platform/WorkFolder.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::TempDir;

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A folder as a killed run leaves it: a lock file nobody holds, a half-written part, a profile.
QString LeftBehind(const TempDir& dir, const QString& name, bool withLock) {
  const QString folder = dir.File(name);
  QDir().mkpath(folder + "/profile/user/extensions");
  dir.Write(name + "/book.xlsx", QByteArray(4096, 'x'));
  dir.Write(name + "/profile/user/registrymodifications.xcu", "<x/>");
  if (withLock) dir.Write(name + "/.lock", "");
  return folder;
}

void MakeOld(const QString& path) {
  const timeval old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), old), 0);
}

TEST(WorkFolder, IsPrivateAndLockedWhileItLivesAndGoneAfter) {
  TempDir dir;
  QString path;
  {
    const WorkFolder work(dir.Path(), "xlsx");
    ASSERT_TRUE(work.IsValid()) << work.ErrorString().toStdString();
    path = work.Path();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(".tarvel-xlsx-"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(Entries(path), QStringList{".lock"});
    dir.Write(QFileInfo(path).fileName() + "/book.xlsx", "rows");
    EXPECT_EQ(RemoveStaleWorkFolders(dir.Path()), 0) << "a folder in use is not stale";
    EXPECT_TRUE(QFileInfo::exists(path + "/book.xlsx"));
  }
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_TRUE(Entries(dir.Path()).isEmpty());
}

// What killed runs left goes with the next work folder made beside it; whatever another copy may
// still use, or another user owns, stays.
TEST(WorkFolder, TheNextOneRemovesWhatKilledRunsLeft) {
  TempDir dir;
  LeftBehind(dir, ".tarvel-xlsx-Ab12Cd", true);
  MakeOld(LeftBehind(dir, ".tarvel-convert-Zz99Yy", false));  // an older copy's, without a lock
  const QString young = LeftBehind(dir, ".tarvel-xlsx-Young1", false);
  const QString busy = LeftBehind(dir, ".tarvel-convert-Busy22", true);
  const QString other = LeftBehind(dir, ".tarvel-notes", true);
  dir.Write("工單一覽表.xlsx", "old workbook");
  // Another copy of the program holds its folder's lock.
  const int held = ::open(QFile::encodeName(busy + "/.lock").constData(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  QString foreign;
  if (::geteuid() == 0) {
    foreign = LeftBehind(dir, ".tarvel-xlsx-Other7", true);
    for (const QString& path : {foreign, foreign + "/.lock"})
      ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
  }

  const WorkFolder work(dir.Path(), "convert");
  ASSERT_TRUE(work.IsValid());
  QStringList expected = {".tarvel-convert-Busy22", ".tarvel-notes", ".tarvel-xlsx-Young1",
                          QFileInfo(work.Path()).fileName(), "工單一覽表.xlsx"};
  if (!foreign.isEmpty()) expected << ".tarvel-xlsx-Other7";
  expected.sort();
  EXPECT_EQ(Entries(dir.Path()), expected);
  EXPECT_TRUE(QFileInfo::exists(busy + "/book.xlsx"));
  ::close(held);
  EXPECT_EQ(RemoveStaleWorkFolders(dir.Path()), 1) << "released: the busy one is stale now";
  EXPECT_TRUE(QFileInfo::exists(young)) << "may be one being made this moment";
  EXPECT_TRUE(QFileInfo::exists(other));
}

// libmdb writes a warning for every damaged row at every read: each line reaches standard error
// once, named, and nothing is lost of what else was written meanwhile.
TEST(StderrCapture, EachLineReachesStandardErrorOnce) {
  TempDir dir;
  const QString log = dir.File("stderr.txt");
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  const int file = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  ::dup2(file, STDERR_FILENO);
  ::close(file);
  for (int read = 0; read < 3; ++read) {
    const StderrCapture capture("libmdb");
    {
      const StderrCapture nested("libmdb");
      std::fprintf(stderr, "warning: Invalid data location detected in mdb_crack_row.\n");
    }
    std::fprintf(stderr, "warning: Invalid data location detected in mdb_crack_row.\n");
    if (read == 2) std::fprintf(stderr, "Unknown Jet version: 7\n");
  }
  std::fprintf(stderr, "not captured\n");
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  QFile written(log);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(written.readAll()),
            "libmdb: warning: Invalid data location detected in mdb_crack_row.\n"
            "libmdb: Unknown Jet version: 7\n"
            "not captured\n");
}

}  // namespace
}  // namespace tarvel
