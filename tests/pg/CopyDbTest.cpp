// tarvel-cli copy-db: the SQLite demo and a Jet file copied into scratch databases of the server.
#include <gtest/gtest.h>

#include "support/Cli.h"
#include "support/Demo.h"
#include "support/Server.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

TEST(CopyDb, CopiesEveryTableAndViewAndRefusesToOverwriteUnasked) {
  TARVEL_REQUIRE_SERVER();
  test::ScratchServerDb target;
  const QStringList args{test::DemoDatabasePath(), target.uri};
  const test::CliRun run = test::RunCli(cli::RunCopyDbCommand, args);
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("工單製程: ")) << "progress, table by table";
  EXPECT_TRUE(run.out.startsWith("Copied 25 tables and 11 views")) << run.out.toStdString();

  // The copy answers the program's texts as the file does.
  auto sqlite = test::OpenDemo();
  for (const char* sql : {"select * from [歷史工單明細4] where CUST like '%c00%' order by PO, [NO]",
                          "select EMPNO, count(*) as n, sum(AMT) as amt from [工單主檔] group by "
                          "EMPNO order by EMPNO",
                          "select * from [SYSUSER1]"}) {
    const auto want = sqlite->OpenRecordset(QString::fromUtf8(sql)).GetRows();
    const auto got = target.connection->OpenRecordset(QString::fromUtf8(sql)).GetRows();
    EXPECT_TRUE(got == want) << sql;
  }

  const test::CliRun again = test::RunCli(cli::RunCopyDbCommand, args);
  EXPECT_EQ(again.code, 1);
  EXPECT_TRUE(again.err.contains("--force")) << again.err.toStdString();
  const test::CliRun forced = test::RunCli(cli::RunCopyDbCommand, args + QStringList{"--force"});
  EXPECT_EQ(forced.code, 0) << forced.err.toStdString();
  EXPECT_EQ(test::RunCli(cli::RunCopyDbCommand, {target.uri, test::DemoDatabasePath()}).code, 2);
}

TEST(CopyDb, AJetFileWithItsStoredQueries) {
  TARVEL_REQUIRE_SERVER();
  test::ScratchServerDb target;
  const test::CliRun run = test::RunCli(
      cli::RunCopyDbCommand, {test::SourceDir() + "/tests/db/jet/queryTestV2003.mdb", target.uri});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  // The select query becomes a view of the server, translated from its Access SQL; the queries
  // the server cannot have are listed with their reasons.
  EXPECT_TRUE(run.out.startsWith("Copied 3 tables and 1 views")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("not copied: UnionQuery: ")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("not copied: CrosstabQuery: WHERE")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("not copied: UpdateQuery: ")) << run.out.toStdString();
  // Its columns are named as Access names them, in Access's spelling (kept beside the folded
  // names the server stores).
  EXPECT_EQ(target.connection->OpenRecordset("select * from SelectQuery").FieldNames(),
            QStringList({"Table1.col1", "Table1.col2", "Table1.col3", "Table2.col1", "Table2.col2",
                         "Table3.col3"}));
}

}  // namespace
}  // namespace tarvel
