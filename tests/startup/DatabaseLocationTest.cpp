#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "StartupFixture.h"
#include "db/Connection.h"
#include "db/pg/ServerUri.h"
#include "platform/HiddenAttribute.h"
#include "startup/DatabaseLocation.h"
#include "support/CaseFile.h"
#include "support/RecordingUi.h"

namespace tarvel {
namespace {

using test::FakeSystem;
using test::RecordingUi;
using test::TempDir;

// Every rule of KORV.DSN (tests/data/korv-dsn.txt), down to the connection string: a server's URI
// is its data source unchanged, a folder's data source is KORV.mdb in it.
TEST(LocateDatabase, DsnFileRules) {
  for (const QStringList& c : test::ReadCases(QStringLiteral("korv-dsn.txt"))) {
    ASSERT_EQ(c.size(), 5);
    SCOPED_TRACE(c[0].toStdString());
    TempDir dir;
    FakeSystem system(dir);
    const QString profile = dir.File("home");
    QDir().mkpath(profile);
    system.environment["USERPROFILE"] = profile;
    if (c[1] != u"-") dir.Write("prog/KORV.DSN", c[1].toUtf8());

    AppContext context;
    context.Site = "stale";
    LocateDatabase(context);

    QString expectedFolder = c[3];
    expectedFolder.replace("<P>", system.programFolder);
    EXPECT_EQ(context.DatabaseFolder, expectedFolder);
    if (c[2] != u"*") {
      EXPECT_EQ(context.Site, c[2]);
    }
    if (c[4] != u"*") {
      EXPECT_EQ(context.TempFolder,
                c[4] == u"1" ? profile + "\\Temp\\" : system.programFolder + "\\");
    }
    EXPECT_EQ(context.MachineUserName, "HOST1\\tester");
    BuildConnectionString(context);
    EXPECT_EQ(db::ConnectionString::Parse(context.ConnectionString).dataSource,
              db::IsServerUri(expectedFolder) ? expectedFolder : expectedFolder + "KORV.mdb");
  }
}

TEST(LocateDatabase, DsnFileNameAndContentAreMatchedWithoutCase) {
  TempDir dir;
  FakeSystem system(dir);
  dir.Write("prog/korv.dsn", "Site=C\nDbq=\\\\srv\\erp\\Korv.Mdb\n");
  AppContext context;
  LocateDatabase(context);
  EXPECT_EQ(context.DatabaseFolder, "\\\\SRV\\ERP\\");
  BuildConnectionString(context);
  EXPECT_EQ(context.ConnectionString,
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\\\\SRV\\ERP\\KORV.mdb;"
            "Jet OLEDB:Database Password=tqlv5218tqlv5218");
  EXPECT_EQ(context.DatabasePassword, "tqlv5218tqlv5218");
}

// Whatever a folder holds, the connection string gives back exactly the path it was made from;
// folders without ";" or quotes keep the plain text.
TEST(ComposeConnectionString, EveryPathReadsBack) {
  for (const QStringList& c : test::ReadCases(QStringLiteral("connection-string-paths.txt"))) {
    ASSERT_EQ(c.size(), 2);
    const QString& dataSource = c[0];
    const QString text = ComposeConnectionString(dataSource);
    SCOPED_TRACE(text.toStdString());
    if (c[1] != u"*") {
      EXPECT_EQ(text, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + c[1] +
                          ";Jet OLEDB:Database Password=tqlv5218tqlv5218");
    }
    const auto keys = db::ConnectionString::Parse(text);
    EXPECT_EQ(keys.dataSource, dataSource);
    EXPECT_EQ(keys.provider, "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(keys.password, "tqlv5218tqlv5218");
    // Shown anywhere, the password is masked, however the data source is quoted.
    const QString shown = ConnectionStringForDisplay(text);
    EXPECT_FALSE(shown.contains("tqlv5218")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(";Jet OLEDB:Database Password=***")) << shown.toStdString();
  }
}

// From the DSN file to an open database, in a folder whose name holds ";" and a quote.
TEST(ComposeConnectionString, OpensADatabaseInAnAwkwardFolder) {
  TempDir dir;
  FakeSystem system(dir);
  const QString folder = dir.File("A;B\"C");
  QDir().mkpath(folder);
  db::Connection::OpenFile(folder + "/KORV.mdb", true)
      ->ExecuteScript("create table T (X text); insert into T values ('ok');");
  dir.Write("prog/KORV.DSN", ("SITE=C\nDBQ=" + folder + "/KORV.MDB\n").toUtf8());

  AppContext context;
  LocateDatabase(context);
  EXPECT_EQ(context.DatabaseFolder, folder.toUpper() + "/");
  BuildConnectionString(context);
  EXPECT_EQ(
      db::Connection::Open(context.ConnectionString)->OpenRecordset("select X from T").Text("X"),
      "ok");
}

TEST(LocateDatabase, ProfileTempFolderIsCreatedOnceAndHidden) {
  TempDir dir;
  FakeSystem system(dir);
  const QString profile = dir.File("home");
  QDir().mkpath(profile);
  system.environment["userprofile"] = profile;
  dir.Write("prog/KORV.DSN", "SITE=S\n");

  AppContext context;
  LocateDatabase(context);
  EXPECT_EQ(context.TempFolder, profile + "\\Temp\\");
  EXPECT_TRUE(QFileInfo(profile + "/Temp").isDir());
  EXPECT_TRUE(IsHidden(profile + "/Temp"));

  LocateDatabase(context);  // a second start finds it and lists it only once
  QFile list(profile + "/.hidden");
  ASSERT_TRUE(list.open(QIODevice::ReadOnly));
  EXPECT_EQ(list.readAll(), "Temp\n");

  // A profile whose folder cannot be made still gives the text; the failure is silent.
  RecordingUi ui;
  system.environment["userprofile"] = dir.File("missing/deeper");
  LocateDatabase(context);
  EXPECT_EQ(context.TempFolder, dir.File("missing/deeper") + "\\Temp\\");
  EXPECT_FALSE(QFileInfo(dir.File("missing")).exists());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(LocateDatabase, WithoutProfileTheMarkerGoesToTheProgramFolder) {
  TempDir dir;
  FakeSystem system(dir);
  dir.Write("prog/KORV.DSN", "SITE=C\nDBQ=D:\\KORV.MDB\n");
  AppContext context;
  LocateDatabase(context);
  EXPECT_EQ(context.TempFolder, system.programFolder + "\\");
  EXPECT_EQ(context.DatabaseFolder, "D:\\");
}

// A program in the root folder: the platform reports the folder with its separator ("C:\" there,
// "/" here), so none is added where the rule appends one "unless it already ends in one", while
// the DSN path and the failure path always add one.
TEST(LocateDatabase, ProgramInTheRootFolder) {
  {
    SCOPED_TRACE("drive root, nothing readable there");
    TempDir dir;
    FakeSystem system(dir);
    system.programFolder = "C:\\";
    AppContext context;
    LocateDatabase(context);
    EXPECT_EQ(context.TempFolder, "C:\\");
    EXPECT_EQ(context.DatabaseFolder, "C:\\\\");
  }
  {
    SCOPED_TRACE("root-like folder with a DSN file");
    TempDir dir;
    FakeSystem system(dir);
    system.programFolder = dir.Path() + "/";
    dir.Write("KORV.DSN", "SITE=S\n");
    AppContext context;
    LocateDatabase(context);
    EXPECT_EQ(context.Site, "S");
    EXPECT_EQ(context.TempFolder, dir.Path() + "/");
    EXPECT_EQ(context.DatabaseFolder, dir.Path() + "/");
  }
  {
    SCOPED_TRACE("root-like folder, failure path");
    TempDir dir;
    FakeSystem system(dir);
    system.programFolder = dir.Path() + "/";
    AppContext context;
    LocateDatabase(context);
    EXPECT_EQ(context.TempFolder, dir.Path() + "/");
    EXPECT_EQ(context.DatabaseFolder, dir.Path() + "/\\");
  }
}

TEST(CreateMarkerFile, EmptiesTheFileOrReportsWhyNot) {
  TempDir dir;
  FakeSystem system(dir);
  RecordingUi ui;
  AppContext context;
  context.TempFolder = system.programFolder + "\\";

  dir.Write("prog/korv.txt", "left over");  // an existing file in another case is rewritten
  CreateMarkerFile(context);
  EXPECT_EQ(QFileInfo(dir.File("prog/korv.txt")).size(), 0);
  EXPECT_FALSE(QFileInfo::exists(dir.File("prog/KORV.TXT")));
  QFile::remove(dir.File("prog/korv.txt"));
  CreateMarkerFile(context);
  EXPECT_TRUE(QFileInfo(dir.File("prog/KORV.TXT")).isFile());
  EXPECT_TRUE(ui.messages.empty());

  context.TempFolder = dir.File("no such folder") + "\\";
  CreateMarkerFile(context);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "建立暫存檔錯誤");
  EXPECT_EQ(ui.messages[0].style, 16);
  EXPECT_TRUE(ui.messages[0].text.startsWith("找不到路徑"));
}

// A link at the marker's name is replaced by the empty marker: the file it named keeps its bytes
// (emptying it through the link lost the user's data), a dangling one makes no file elsewhere.
TEST(CreateMarkerFile, ALinkAtTheNameIsReplacedAndItsTargetKeepsItsBytes) {
  TempDir dir;
  FakeSystem system(dir);
  RecordingUi ui;
  AppContext context;
  context.TempFolder = system.programFolder + "\\";
  const QString marker = dir.File("prog/KORV.TXT");
  const QString document = dir.Write("report.ods", "a month of work");
  for (const QString& target : {document, dir.File("planted")}) {
    QFile::remove(marker);
    ASSERT_TRUE(QFile::link(target, marker));
    CreateMarkerFile(context);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(QFileInfo(marker).isSymLink());
    EXPECT_EQ(QFileInfo(marker).size(), 0);
  }
  QFile kept(document);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "a month of work");
  EXPECT_FALSE(QFileInfo::exists(dir.File("planted")));
}

}  // namespace
}  // namespace tarvel
