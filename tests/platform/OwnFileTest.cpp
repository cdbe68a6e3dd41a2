// The files the program writes in the user's folders never carry a write through a link: whatever
// stands at the name gives way to a plain file of the user's, and what it led to is left as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <functional>

#include "platform/HiddenAttribute.h"
#include "platform/OwnFile.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::TempDir;

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What stands at the name before the program writes there, and what must be left of it.
struct Planted {
  const char* what;
  std::function<void(const TempDir&, const QString& name)> plant;
  const char* target;  ///< the other name whose bytes must stay, or nullptr
  bool targetExists;   ///< false: a dangling link, whose target must not appear
};

const std::vector<Planted>& PlantedEntries() {
  static const std::vector<Planted> entries = {
      {"link to one of the user's files",
       [](const TempDir& dir, const QString& name) {
         dir.Write("document.odt", "the user's work");
         ASSERT_TRUE(QFile::link(dir.File("document.odt"), name));
       },
       "document.odt", true},
      {"dangling link",
       [](const TempDir& dir, const QString& name) {
         ASSERT_TRUE(QFile::link(dir.File("not yet there"), name));
       },
       "not yet there", false},
      {"hard link sharing the file",
       [](const TempDir& dir, const QString& name) {
         dir.Write("document.odt", "the user's work");
         ASSERT_EQ(::link(QFile::encodeName(dir.File("document.odt")).constData(),
                          QFile::encodeName(name).constData()),
                   0);
       },
       "document.odt", true},
      {"pipe nobody reads",
       [](const TempDir&, const QString& name) {
         ASSERT_EQ(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
       },
       nullptr, false},
  };
  return entries;
}

bool IsPlainFileOfOurs(const QString& path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_nlink == 1 && info.st_uid == ::geteuid();
}

TEST(OwnFile, WhatStandsAtTheNameIsReplacedNotWrittenThrough) {
  for (const Planted& entry : PlantedEntries()) {
    for (const OwnFileStart start : {OwnFileStart::kEmpty, OwnFileStart::kAppend}) {
      SCOPED_TRACE(std::string(entry.what) + (start == OwnFileStart::kEmpty ? ", emptied" : ""));
      TempDir dir;
      const QString name = dir.File("KORV.TXT");
      entry.plant(dir, name);
      const OwnFileOpening opened = OpenOwnFile(name, start);
      ASSERT_TRUE(opened.file.IsOpen()) << opened.error;
      ASSERT_TRUE(WriteAll(opened.file.Get(), "mark"));
      EXPECT_TRUE(IsPlainFileOfOurs(name));
      if (entry.target && entry.targetExists) {
        EXPECT_EQ(Bytes(dir.File(entry.target)), "the user's work");
        // A hard link's bytes are the file's own: appending starts from them, in a copy.
        const bool carried = start == OwnFileStart::kAppend && QString(entry.what).contains("hard");
        EXPECT_EQ(Bytes(name), carried ? "the user's workmark" : "mark");
      } else {
        EXPECT_EQ(Bytes(name), "mark");
      }
      if (entry.target && !entry.targetExists) {
        EXPECT_FALSE(QFile::exists(dir.File(entry.target)));
      }
      // Nothing of the work is left beside it.
      EXPECT_EQ(
          QDir(dir.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
          entry.target && entry.targetExists ? 2 : 1);
    }
  }
}

// The desktop's list of hidden names: the other file keeps its bytes, and a pipe there is neither
// read (the start waited on it for ever) nor written.
TEST(HiddenAttribute, AListThatIsALinkIsReplacedNotAppendedTo) {
  for (const Planted& entry : PlantedEntries()) {
    SCOPED_TRACE(entry.what);
    TempDir dir;
    QDir().mkpath(dir.File("Temp"));
    entry.plant(dir, dir.File(".hidden"));
    EXPECT_TRUE(SetHidden(dir.File("Temp")));
    EXPECT_TRUE(IsHidden(dir.File("Temp")));
    EXPECT_TRUE(IsPlainFileOfOurs(dir.File(".hidden")));
    if (entry.target && entry.targetExists) {
      EXPECT_EQ(Bytes(dir.File(entry.target)), "the user's work");
    }
    if (entry.target && !entry.targetExists) {
      EXPECT_FALSE(QFile::exists(dir.File(entry.target)));
    }
  }
}

}  // namespace
}  // namespace tarvel
