#include <gtest/gtest.h>

#include <QDir>

#include "StartupFixture.h"
#include "db/Connection.h"
#include "startup/AppContextLoader.h"
#include "support/RecordingUi.h"

namespace tarvel {
namespace {

using test::FakeSystem;
using test::RecordingUi;
using test::TempDir;

const QString kLine = "-qdx5170 -AD= -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=4321";
const QString kTitle = "取得系統相關設定資料錯誤";

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() : system(dir) {
    QDir().mkpath(dir.File("reports"));
    // The suite stores the folder the Windows way and upper-cased; it still names ours.
    excelText = dir.Path().toUpper().replace('/', '\\') + "\\REPORTS\\";
    tables = test::SuiteTables(excelText);
    context.MachineUserName = "HOST1\\tester";
  }

  bool Load(const QString& omitTable = {}, const QString& omitColumn = {},
            const QString& line = kLine) {
    const QString path = dir.File(QStringLiteral("db%1.sqlite").arg(++databases));
    test::BuildDatabase(path, tables, omitTable, omitColumn);
    context.ConnectionString = test::ConnectionStringFor(path);
    return LoadAppContext(context, line);
  }

  TempDir dir;
  FakeSystem system;
  QString excelText;
  std::vector<test::SuiteTable> tables;
  AppContext context;
  int databases = 0;
};

TEST_F(LoaderTest, ReadsEveryFieldFromACompleteDatabase) {
  RecordingUi ui;
  EXPECT_TRUE(Load());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.UserName, "王小明");
  EXPECT_EQ(context.LauncherWindow, 4321);
  EXPECT_EQ(context.Groups[0], "G00");  // trimmed
  EXPECT_EQ(context.Groups[2], "G02");
  EXPECT_EQ(context.Groups[3], "");  // NULL keeps its position empty
  EXPECT_EQ(context.Groups[4], "G04");
  EXPECT_EQ(context.Groups[19], "G19");
  EXPECT_EQ(context.ExtensionNumber, "321");
  EXPECT_EQ(context.CompanyName, "翠峰印刷");
  EXPECT_EQ(context.ProfitRateBase, "1");
  EXPECT_EQ(context.WorkOrderRights, QString(39, '0') + "11");
  EXPECT_EQ(context.ExcelFolder, dir.File("reports") + "/");
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_GE(ui.busyCalls, 1);
}

TEST_F(LoaderTest, WithoutTokenTheEmployeeIsNotReadButTheRestIs) {
  RecordingUi ui;
  context.Groups[0] = "stale";
  Load({}, {}, "-AD= -NAME=王小明 -ID=A001 -XLS=.x -DOC=.d -PID=1");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.Groups[0], "");
  EXPECT_EQ(context.UserName, "");
  EXPECT_EQ(context.CompanyName, "翠峰印刷");
  EXPECT_EQ(context.WorkOrderRights, "");  // no user name, no rights row
}

TEST_F(LoaderTest, RowsThatAreNotFoundLeaveFieldsEmpty) {
  RecordingUi ui;
  context.MachineUserName = "OTHER\\someone";
  Load({}, {}, "-qdx5170 -AD= -NAME=陌生人 -ID=Z999 -XLS=.x -DOC=.d -PID=1");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.Groups[0], "");
  EXPECT_EQ(context.WorkOrderRights, "");
  EXPECT_EQ(context.ExcelFolder, "");  // InitializeProgram puts the default in
  EXPECT_EQ(context.CompanyName, "翠峰印刷");
}

TEST_F(LoaderTest, ApostrophesInNamesSelectExactlyTheirRows) {
  RecordingUi ui;
  system.computer = "HOST'1";
  context.MachineUserName = "HOST'1\\o'b";
  Load({}, {}, "-qdx5170 -AD= -NAME=O'Brien -ID=A'01 -XLS=.x -DOC=.d -PID=1");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.Groups[0], "QUOTED");
  EXPECT_EQ(context.WorkOrderRights, "OBRIEN");
  EXPECT_EQ(context.ExcelFolder, "/quoted/");

  // A name built to widen the condition selects nobody.
  context = AppContext{};
  context.MachineUserName = "HOST1\\tester";
  system.computer = "HOST1";
  Load({}, {}, "-qdx5170 -AD= -NAME=x' or '1'='1 -ID=x' or ''=' -XLS=.x -DOC=.d -PID=1");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(context.UserName, "x' or '1'='1");
  EXPECT_EQ(context.WorkOrderRights, "");
  EXPECT_EQ(context.Groups[0], "");
}

TEST_F(LoaderTest, BlankExcelFolderStaysEmpty) {
  RecordingUi ui;
  tables = test::SuiteTables("   ");
  Load();
  EXPECT_EQ(context.ExcelFolder, "");
}

TEST_F(LoaderTest, AMissingDatabaseIsReportedBeforeTheArgumentsAreRead) {
  RecordingUi ui;
  context.ConnectionString = test::ConnectionStringFor(dir.File("nothing/KORV.mdb"));
  EXPECT_FALSE(LoadAppContext(context, kLine));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, kTitle);
  EXPECT_EQ(ui.messages[0].style, 16);
  EXPECT_EQ(context.UserName, "");
  EXPECT_EQ(context.LauncherWindow, 0);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(LoaderTest, AMalformedCommandLineStopsTheLoading) {
  RecordingUi ui;
  EXPECT_FALSE(Load({}, {}, "-qdx5170 -AD= -NAME=王小明 -ID=A001 -XLS=.x -DOC=.d -PID=abc"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (test::ShownMessage{"型態不符合", 16, kTitle}));
  EXPECT_EQ(context.UserName, "王小明");
  EXPECT_EQ(context.CompanyName, "");
}

TEST_F(LoaderTest, ADatabaseLockedByAnotherProgramIsReportedAsLocked) {
  RecordingUi ui;
  const QString path = dir.File("locked.sqlite");
  test::BuildDatabase(path, tables);
  const auto writer = db::Connection::OpenFile(path);
  writer->ExecuteScript("BEGIN EXCLUSIVE; update [COMPANY] set COMPANY = 'x';");
  const db::ScopedBusyTimeout shortWait(50);
  context.ConnectionString = test::ConnectionStringFor(path);
  EXPECT_FALSE(LoadAppContext(context, kLine));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, kTitle);
  EXPECT_TRUE(ui.messages[0].text.contains("鎖定")) << ui.messages[0].text.toStdString();
  EXPECT_TRUE(ui.messages[0].text.contains(path)) << ui.messages[0].text.toStdString();
  EXPECT_FALSE(ui.messages[0].text.contains("不是")) << ui.messages[0].text.toStdString();
  EXPECT_EQ(ui.busyDepth, 0);
}

// Which step of the loader reads each table, and the fields each step fills.
int StepOf(const QString& table) {
  const QStringList order = {"EMPLOYEE", "COMPANY",       "COMPANY1",   "COMPANY2",
                             "SYSTEM",   "SYSTEM1",       "使用者資料", "使用者資料明細",
                             "SYSOS",    "啟用發送EAMIL", "SYSLOAD"};
  return static_cast<int>(order.indexOf(table));
}

TEST_F(LoaderTest, StopsAtEachMissingTableOrColumnKeepingWhatCameBefore) {
  struct Omission {
    QString table;
    QString column;
  };
  std::vector<Omission> omissions;
  for (const test::SuiteTable& table : tables) {
    if (table.name == "SYSUSER1") continue;
    omissions.push_back({table.name, {}});
    for (const QString& column : table.columns)
      omissions.push_back({table.name, column});
  }

  for (const Omission& o : omissions) {
    SCOPED_TRACE(("without " + o.table + " " + o.column).toStdString());
    RecordingUi ui;
    context = AppContext{};
    context.MachineUserName = "HOST1\\tester";
    const bool loaded = Load(o.table, o.column);
    EXPECT_EQ(ui.busyDepth, 0);

    // Columns the loader does not read may be missing.
    const bool unread = o.table == "SYSTEM" && (o.column == "ITEM68" || o.column == "ITEM79");
    EXPECT_EQ(loaded, unread);
    if (unread) {
      EXPECT_TRUE(ui.messages.empty());
      EXPECT_EQ(context.ExcelFolder, dir.File("reports") + "/");
      continue;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, kTitle);
    EXPECT_EQ(ui.messages[0].style, 16);
    EXPECT_FALSE(ui.messages[0].text.isEmpty());

    const int step = StepOf(o.table);
    // A field is filled when its step ran before the failing one, or ran in it and read its
    // column before the missing one (the kept column is read first; key columns fail the query).
    const auto filled = [&](const QString& table, const QString& column) {
      const int fieldStep = StepOf(table);
      if (fieldStep != step) return fieldStep < step;
      static const QStringList keys = {"ID", "使用者", "COMPUTER"};
      return !o.column.isEmpty() && o.column != column && !keys.contains(o.column);
    };
    EXPECT_EQ(context.UserName, "王小明");
    EXPECT_EQ(!context.CompanyName.isEmpty(), filled("COMPANY", "COMPANY"));
    EXPECT_EQ(!context.ProfitRateBase.isEmpty(), filled("SYSTEM", "ITEM18"));
    EXPECT_EQ(!context.WorkOrderRights.isEmpty(), filled("使用者資料明細", "工單作業細部"));
    EXPECT_EQ(!context.ExcelFolder.isEmpty(), filled("SYSLOAD", "EXCEL"));
    EXPECT_EQ(!context.ExtensionNumber.isEmpty(), step > 0);  // read after every other column
    // Groups are read one after the other: those before a missing GROUPn are kept.
    int groupsFilled = 0;
    for (const QString& group : context.Groups)
      groupsFilled += group.isEmpty() ? 0 : 1;
    int expectedGroups = 19;  // all but the NULL GROUP3
    if (step == 0 && (o.column.isEmpty() || o.column == "ID")) expectedGroups = 0;
    if (step == 0 && o.column.startsWith("GROUP")) {
      const int missing = o.column == "GROUP" ? 0 : o.column.mid(5).toInt();
      expectedGroups = missing > 3 ? missing - 1 : missing;
    }
    EXPECT_EQ(groupsFilled, expectedGroups);
  }
}

TEST(LocalFolderText, MapsSuiteFoldersToLocalOnes) {
  TempDir dir;
  QDir().mkpath(dir.File("Excel Files"));
  EXPECT_EQ(LocalFolderText(""), "");
  EXPECT_EQ(LocalFolderText(dir.Path() + "\\EXCEL FILES\\"), dir.File("Excel Files") + "/");
  EXPECT_EQ(LocalFolderText(dir.Path() + "\\excel files"), dir.File("Excel Files"));
  EXPECT_EQ(LocalFolderText("X:\\NOWHERE\\"), "/NOWHERE/");
}

}  // namespace
}  // namespace tarvel
