#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "StartupFixture.h"
#include "db/Connection.h"
#include "db/ServerUri.h"
#include "platform/HiddenAttribute.h"
#include "startup/DatabaseLocation.h"
#include "support/RecordingUi.h"

namespace tarvel {
namespace {

using test::FakeSystem;
using test::RecordingUi;
using test::TempDir;

struct DsnCase {
  const char* name;
  const char* dsn;  ///< content of KORV.DSN, or nullptr for no file
  const char* site;
  const char* databaseFolder;  ///< "<P>" stands for the program folder
  bool tempInProfile;          ///< TempFolder under the profile (else the program folder)
};

TEST(LocateDatabase, DsnFileRules) {
  const DsnCase cases[] = {
      {"no file", nullptr, "", "<P>\\", false},
      {"UNC path", "SITE=C\r\nDBQ=\\\\SRV\\ERP\\KORV.MDB\r\n", "C", "\\\\SRV\\ERP\\", true},
      {"lower case", "site=c\r\ndbq=d:\\data\\korv.mdb\r\n", "C", "D:\\DATA\\", true},
      {"other site ignores DBQ", "SITE=S\r\nDBQ=D:\\DATA\\KORV.MDB\r\n", "S", "<P>\\", true},
      {"comment mark", "'SITE=C\r\nDBQ=D:\\DATA\\KORV.MDB\r\n", "", "<P>\\", true},
      {"text after the file name", "SITE=C\r\nDBQ=E:\\ERP\\KORV.MDB;UID=ADMIN\r\n", "C",
       "E:\\ERP\\", true},
      {"keys in any order", "DBQ=F:\\A\\KORV.MDB\nSITE=C\n", "C", "F:\\A\\", true},
      {"first occurrence counts", "SITE=S\nSITE=C\nDBQ=G:\\1\\KORV.MDB\nDBQ=G:\\2\\KORV.MDB\n", "S",
       "<P>\\", true},
      {"first DBQ counts", "SITE=C\nDBQ=G:\\1\\KORV.MDB\nDBQ=G:\\2\\KORV.MDB\n", "C", "G:\\1\\",
       true},
      // No KORV.MDB after DBQ=: the failure path, temporary folder back in the program folder.
      {"other file name", "SITE=C\r\nDBQ=E:\\ERP\\DATA.MDB\r\n", "C", "<P>\\", false},
      {"DBQ without a folder", "SITE=C\nDBQ=KORV.MDB\n", "C", "<P>\\", true},
      // SITE=C without DBQ: the whole upper-cased text stands as the folder.
      {"no DBQ", "site=c\n", "C", "SITE=C\n", true},
      {"SITE= at the end", "DBQ=H:\\KORV.MDB SITE=", "", "<P>\\", true},
      {"empty file", "", "", "<P>\\", true},
  };
  for (const DsnCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    FakeSystem system(dir);
    const QString profile = dir.File("home");
    QDir().mkpath(profile);
    system.environment["USERPROFILE"] = profile;
    if (c.dsn) dir.Write("prog/KORV.DSN", QByteArray(c.dsn));

    AppContext context;
    context.Site = "stale";
    LocateDatabase(context);

    QString expectedFolder = QString::fromUtf8(c.databaseFolder);
    expectedFolder.replace("<P>", system.programFolder);
    EXPECT_EQ(context.DatabaseFolder, expectedFolder);
    EXPECT_EQ(context.Site, QString::fromUtf8(c.site));
    EXPECT_EQ(context.TempFolder,
              c.tempInProfile ? profile + "\\Temp\\" : system.programFolder + "\\");
    EXPECT_EQ(context.MachineUserName, "HOST1\\tester");
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

// DBQ= may name a PostgreSQL server: the URI keeps its letter case and runs to the end of its
// line; the connection string carries it as its data source, unchanged.
TEST(LocateDatabase, DbqNamingAServer) {
  const struct {
    const char* name;
    const char* dsn;
    const char* databaseFolder;  ///< "<P>" stands for the program folder
  } cases[] = {
      {"server", "SITE=C\r\nDBQ=postgresql://Clerk:PW@DbHost/Korv?sslmode=require\r\n",
       "postgresql://Clerk:PW@DbHost/Korv?sslmode=require"},
      {"any case, blanks, keys in any order", "dbq=  Postgres://u@/Korv?host=/run/pg  \nsite=c\n",
       "Postgres://u@/Korv?host=/run/pg"},
      {"other site", "SITE=S\nDBQ=postgresql://u@h/Korv\n", "<P>\\"},
      {"comment mark", "'SITE=C\nDBQ=postgresql://u@h/Korv\n", "<P>\\"},
      {"a file still works", "SITE=C\nDBQ=\\\\SRV\\POSTGRESQL\\KORV.MDB\n",
       "\\\\SRV\\POSTGRESQL\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    FakeSystem system(dir);
    dir.Write("prog/KORV.DSN", QByteArray(c.dsn));
    AppContext context;
    LocateDatabase(context);
    QString expected = QString::fromUtf8(c.databaseFolder);
    expected.replace("<P>", system.programFolder);
    EXPECT_EQ(context.DatabaseFolder, expected);
    BuildConnectionString(context);
    const QString dataSource = db::ConnectionString::Parse(context.ConnectionString).dataSource;
    EXPECT_EQ(dataSource, db::IsServerUri(expected) ? expected : expected + "KORV.mdb");
  }
}

// Whatever a folder holds, the connection string gives back exactly the path it was made from;
// folders without ";" or quotes keep the plain text.
TEST(ComposeConnectionString, EveryPathReadsBack) {
  const struct {
    const char* dataSource;
    const char* dataSourceText;  ///< as written; nullptr when only the round trip counts
  } cases[] = {
      {"\\\\SRV\\ERP\\KORV.mdb", "\\\\SRV\\ERP\\KORV.mdb"},
      {"D:\\資料 庫\\KORV.mdb", "D:\\資料 庫\\KORV.mdb"},
      {"/srv/a=b/KORV.mdb", "/srv/a=b/KORV.mdb"},
      {"", ""},
      {"\\\\SRV\\A;B\\KORV.mdb", "\"\\\\SRV\\A;B\\KORV.mdb\""},
      {"D:\\a\"b\\KORV.mdb", "\"D:\\a\"\"b\\KORV.mdb\""},
      {"D:\\O'Brien\\KORV.mdb", "\"D:\\O'Brien\\KORV.mdb\""},
      {" D:\\KORV.mdb", "\" D:\\KORV.mdb\""},
      {"KORV.mdb\t", "\"KORV.mdb\t\""},
      {"\"", nullptr},
      {"'", nullptr},
      {";", nullptr},
      {"\"\"", nullptr},
      {"';\";Jet OLEDB:Database Password=x", nullptr},
      {"\"x\";Password=y;", nullptr},
      {"\u3000全形空白\u3000", nullptr},
  };
  for (const auto& c : cases) {
    const QString dataSource = QString::fromUtf8(c.dataSource);
    const QString text = ComposeConnectionString(dataSource);
    SCOPED_TRACE(text.toStdString());
    if (c.dataSourceText) {
      EXPECT_EQ(text, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                          QString::fromUtf8(c.dataSourceText) +
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

}  // namespace
}  // namespace tarvel
