#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "StartupFixture.h"
#include "db/Connection.h"
#include "startup/Startup.h"
#include "support/RecordingUi.h"

namespace tarvel {
namespace {

using test::FakeSystem;
using test::RecordingUi;
using test::TempDir;

const QString kLine = "-qdx5170 -AD= -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=4321";

// A program folder with a DSN file that points at a database elsewhere, in upper case.
class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : system(dir) {
    QDir().mkpath(dir.File("data"));
    test::BuildDatabase(dir.File("data/korv.mdb"), test::SuiteTables(""));
    const QString dataFolder = dir.File("data").toUpper().replace('/', '\\') + "\\";
    dir.Write("prog/KORV.DSN", ("SITE=C\r\nDBQ=" + dataFolder + "KORV.MDB\r\n").toUtf8());
    system.environment["USERPROFILE"] = dir.File("home");
    QDir().mkpath(dir.File("home"));
  }

  StartupResult Start(const QString& line) {
    return Main(context, line, [this](AppContext& shown) {
      ++windowsShown;
      EXPECT_EQ(&shown, &context);
    });
  }

  TempDir dir;
  FakeSystem system;
  AppContext context;
  int windowsShown = 0;
};

TEST_F(StartupTest, PreparesTheContextAndShowsTheMainWindow) {
  RecordingUi ui;
  StartupResult result = Start(kLine);
  EXPECT_EQ(result.outcome, StartOutcome::kRunning);
  EXPECT_EQ(windowsShown, 1);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.DatabaseFolder, dir.File("data").toUpper().replace('/', '\\') + "\\");
  EXPECT_EQ(context.CompanyName, "翠峰印刷");
  EXPECT_EQ(context.UserName, "王小明");
  EXPECT_EQ(context.ExcelFolder, system.documents);  // no [SYSLOAD] value
  EXPECT_TRUE(QFileInfo(dir.File("home/Temp/KORV.TXT")).isFile());
  EXPECT_EQ(context.LookupColours,
            (std::array<QString, 7>{"12632064", "15728381", "14221312", "16777215", "16747326",
                                    "16777215", "4868863"}));

  // The lock is held while the program runs and given back with the result.
  EXPECT_EQ(InstanceLock::TryAcquire(system.lockPath), nullptr);
  result.instanceLock.reset();
  EXPECT_NE(InstanceLock::TryAcquire(system.lockPath), nullptr);
}

TEST_F(StartupTest, ASecondCopyEndsSilentlyAfterPreparing) {
  RecordingUi ui;
  const std::unique_ptr<InstanceLock> first = InstanceLock::TryAcquire(system.lockPath);
  ASSERT_TRUE(first && first->Holds());
  StartupResult result = Start(kLine);
  EXPECT_EQ(result.outcome, StartOutcome::kSecondInstance);
  EXPECT_EQ(result.instanceLock, nullptr);
  EXPECT_EQ(windowsShown, 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.CompanyName, "翠峰印刷");  // the context was loaded once more
  EXPECT_FALSE(context.LookupColours[0].isEmpty());
}

// Whoever plants the lock file cannot keep the program from starting, and the user learns why a
// second copy may run.
TEST_F(StartupTest, APlantedLockFileIsNamedAndDoesNotStopTheStart) {
  RecordingUi ui;
  ASSERT_TRUE(QFile::link(dir.File("elsewhere"), system.lockPath));
  StartupResult result = Start(kLine);
  EXPECT_EQ(result.outcome, StartOutcome::kRunning);
  EXPECT_EQ(windowsShown, 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].text.contains(system.lockPath));
  EXPECT_EQ(ui.messages[0].style, kExclamation);
  EXPECT_FALSE(QFileInfo::exists(dir.File("elsewhere")));
}

TEST_F(StartupTest, WithoutTheTokenTheStartIsRefusedWithAMessage) {
  RecordingUi ui;
  StartupResult result = Start("-AD= -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=4321");
  EXPECT_EQ(result.outcome, StartOutcome::kMissingToken);
  EXPECT_EQ(windowsShown, 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (test::ShownMessage{"引數錯誤", 16, "錯誤"}));
  EXPECT_EQ(context.UserName, "");
  EXPECT_NE(InstanceLock::TryAcquire(system.lockPath), nullptr);  // not kept by a refused start
}

TEST_F(StartupTest, ALoaderFailureEndsTheStartAfterItsMessage) {
  RecordingUi ui;
  QFile::remove(dir.File("prog/KORV.DSN"));  // database expected in the program folder: none
  // Neither the token check nor the single-instance lock comes after the failure.
  StartupResult result = Start("-AD= -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=4321");
  EXPECT_EQ(result.outcome, StartOutcome::kContextFailed);
  EXPECT_EQ(windowsShown, 0);
  EXPECT_EQ(result.instanceLock, nullptr);
  EXPECT_NE(InstanceLock::TryAcquire(system.lockPath), nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "取得系統相關設定資料錯誤");
  // The preparation itself still ran every step.
  EXPECT_EQ(context.TempFolder, system.programFolder + "\\");
  EXPECT_TRUE(QFileInfo(dir.File("prog/KORV.TXT")).isFile());
  EXPECT_EQ(context.ExcelFolder, system.documents);
  EXPECT_EQ(ui.busyDepth, 0);
}

// SITE=C without a DBQ= line still looks for the database where the design looks (the file's
// text as the folder), but the message names the DSN file and what it lacks, not that text.
TEST_F(StartupTest, ADsnFileWithoutItsDbqLineIsNamedInTheMessage) {
  RecordingUi ui;
  dir.Write("prog/KORV.DSN", "SITE=C\r\n");
  StartupResult result = Start(kLine);
  EXPECT_EQ(result.outcome, StartOutcome::kContextFailed);
  EXPECT_EQ(context.DatabaseFolder, "SITE=C\r\n");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "取得系統相關設定資料錯誤");
  EXPECT_EQ(ui.messages[0].style, kCritical);
  const QString& text = ui.messages[0].text;
  EXPECT_TRUE(text.contains(dir.File("prog/KORV.DSN"))) << text.toStdString();
  EXPECT_TRUE(text.contains("DBQ=")) << text.toStdString();
  EXPECT_FALSE(text.contains("SITE=C\r\n")) << text.toStdString();

  // A DSN file that places the database shows the engine's own words when it is missing.
  ui.messages.clear();
  dir.Write("prog/KORV.DSN", "SITE=C\r\nDBQ=" + dir.File("gone/KORV.MDB").toUtf8() + "\r\n");
  AppContext other;
  EXPECT_FALSE(InitializeProgram(other, kLine));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].text.startsWith("找不到資料庫檔案"))
      << ui.messages[0].text.toStdString();
}

TEST_F(StartupTest, InitializeProgramSaysWhetherTheContextWasLoaded) {
  RecordingUi ui;
  EXPECT_TRUE(InitializeProgram(context, kLine));
  EXPECT_TRUE(ui.messages.empty());
  QFile::remove(dir.File("prog/KORV.DSN"));
  AppContext other;
  EXPECT_FALSE(InitializeProgram(other, kLine));
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(StartupTest, LoadsTheContextOfADatabaseGivenByItsPath) {
  RecordingUi ui;
  // A folder name holding ";" and quotes must survive the connection string.
  const QString folder = dir.File("shop;'a\"b\"");
  QDir().mkpath(folder);
  const QString path = folder + "/korv.sqlite";
  test::BuildDatabase(path, test::SuiteTables(dir.Path() + "\\"));
  ASSERT_TRUE(LoadContextForDatabase(context, path, kLine));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.MachineUserName, "HOST1\\tester");
  EXPECT_EQ(db::ConnectionString::Parse(context.ConnectionString).dataSource, path);
  EXPECT_EQ(context.DatabasePassword, "tqlv5218tqlv5218");
  EXPECT_EQ(context.UserName, "王小明");
  EXPECT_EQ(context.CompanyName, "翠峰印刷");
  EXPECT_EQ(context.Groups[1], "G01");
  EXPECT_EQ(context.ExcelFolder, dir.Path() + "/");  // [SYSLOAD] of HOST1\tester
  EXPECT_EQ(context.LookupColours[6], "4868863");

  AppContext missing;
  EXPECT_FALSE(LoadContextForDatabase(missing, dir.File("none/korv.sqlite"), kLine));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "取得系統相關設定資料錯誤");
  EXPECT_TRUE(ui.messages[0].text.contains(dir.File("none/korv.sqlite")));
  EXPECT_EQ(missing.ExcelFolder, system.documents);  // the defaults still come in
  EXPECT_FALSE(missing.LookupColours[0].isEmpty());
}

}  // namespace
}  // namespace tarvel
