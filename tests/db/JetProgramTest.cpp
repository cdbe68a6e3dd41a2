// What the program does around a Jet file: no registry row, and tarvel-cli jet-info on every
// fixture.
#include <gtest/gtest.h>

#include <QDir>

#include "JetTestSupport.h"
#include "startup/RunningWindowRegistry.h"
#include "support/Cli.h"
#include "support/RecordingUi.h"

namespace tarvel {
namespace {

TEST(JetProgram, TheRegistryStepIsSkippedAndSaysSoOnAJetFile) {
  const QString path = db::test::JetFixture(QStringLiteral("testV2003.mdb"));
  const QByteArray before = db::test::ReadFixture(QStringLiteral("testV2003.mdb"));
  test::RecordingUi ui;
  EXPECT_EQ(RegisterRunningWindow(db::test::JetConnectionString(path), "HOST1\\tester", 4321, 100,
                                  "Tarvel"),
            RegistryOutcome::ReadOnly);
  UnregisterRunningWindow(db::test::JetConnectionString(path), "HOST1\\tester", "Tarvel", true);
  // No message box (the status bar says it instead), and the file is untouched.
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(db::test::ReadFixture(QStringLiteral("testV2003.mdb")), before);
  EXPECT_TRUE(kReadOnlyDatabaseStatus.contains(QStringLiteral("只讀取")));
}

TEST(JetProgram, JetInfoListsTablesQueriesAndWhatTheProgramMisses) {
  const QStringList fixtures =
      QDir(db::test::JetFixture(QString())).entryList({QStringLiteral("*.mdb")}, QDir::Files);
  ASSERT_EQ(fixtures.size(), 10);
  for (const QString& fixture : fixtures) {
    SCOPED_TRACE(fixture.toStdString());
    const test::CliRun run = test::RunCli(cli::RunJetInfoCommand, {db::test::JetFixture(fixture)});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("tables:\n")));
    // None of them is the suite's database: its first table is reported missing.
    EXPECT_TRUE(run.out.contains(QStringLiteral("  COMPANY (whole table or query)\n")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("SYSUSER1")));
  }
  const test::CliRun query =
      test::RunCli(cli::RunJetInfoCommand, {db::test::JetFixture("queryTestV1997.mdb")});
  EXPECT_TRUE(query.out.contains(QStringLiteral("  Table1  0 rows\n")));
  EXPECT_TRUE(query.out.contains(
      QStringLiteral("  SelectQuery (Select): offered as a view\n    SELECT DISTINCT "
                     "Table1.*, Table2.col1, Table2.col2, Table3.col3\n")));
  EXPECT_TRUE(query.out.contains(QStringLiteral("  CrosstabQuery (Crosstab): not offered: ")));
  EXPECT_TRUE(query.out.contains(QStringLiteral("  UpdateQuery (Update): not offered: ")));
  const test::CliRun rows =
      test::RunCli(cli::RunJetInfoCommand, {db::test::JetFixture("overflowTestV2003.mdb")});
  EXPECT_TRUE(rows.out.contains(QStringLiteral("  Table1  7 rows\n")));

  // Not a Jet file, or no file: a failure on the error stream.
  test::TempDir dir;
  const test::CliRun garbage =
      test::RunCli(cli::RunJetInfoCommand, {dir.Write("x.mdb", QByteArray(5000, 'x'))});
  EXPECT_EQ(garbage.code, 1);
  EXPECT_FALSE(garbage.err.isEmpty());
  EXPECT_EQ(test::RunCli(cli::RunJetInfoCommand, {}).code, 2);
}

}  // namespace
}  // namespace tarvel
