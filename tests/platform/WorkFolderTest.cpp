// Work folders beside a target and what a killed run leaves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

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

}  // namespace
}  // namespace tarvel
