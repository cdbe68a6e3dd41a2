// tarvel-cli as scripting users run it: a demo database, statements, and every layout of the
// dispatch table rendered from the command line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <cstring>

#include "support/CaseFile.h"
#include "support/Cli.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"

namespace tarvel::cli {
namespace {

using Output = test::CliRun;
using test::RunCli;

class CliOnDemo : public ::testing::Test {
 protected:
  static QStringList Db() {
    return {"--db", test::DemoDatabasePath(), "--today", test::DemoToday().toString(Qt::ISODate)};
  }
};

TEST_F(CliOnDemo, DemoDbRefusesToOverwriteUnlessForced) {
  test::TempDir existing;
  const QString path = test::CopyDemoDatabase(existing.Path());
  const QByteArray before = [&] {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  const Output refused = RunCli(RunDemoDbCommand, {existing.Path(), "--orders", "50"});
  EXPECT_NE(refused.code, 0);
  EXPECT_FALSE(refused.err.isEmpty());
  QFile after(path);
  after.open(QIODevice::ReadOnly);
  EXPECT_EQ(after.readAll(), before) << "the existing database is left alone";

  test::TempDir other;
  const Output forced = RunCli(RunDemoDbCommand, {other.Path(), "--orders", "50", "--seed", "3"});
  EXPECT_EQ(forced.code, 0);
  EXPECT_TRUE(forced.out.contains("歷史工單明細"));
  EXPECT_EQ(RunCli(RunDemoDbCommand, {other.Path(), "--orders", "50", "--force"}).code, 0);
  EXPECT_EQ(RunCli(RunDemoDbCommand, {other.Path(), "--orders", "zero", "--force"}).code, 2);
}

TEST_F(CliOnDemo, SqlPrintsTheStatementWithWindowDefaults) {
  const Output sql =
      RunCli(RunSqlCommand, QStringList{"--choice", "0", "--customer", "O'Neil"} + Db());
  ASSERT_EQ(sql.code, 0) << sql.err.toStdString();
  EXPECT_TRUE(sql.out.startsWith("select * from [歷史工單明細] where (CUST like '%O''Neil%'"));
  // This month as the window proposes it, and the first to last customer of the database.
  EXPECT_TRUE(sql.out.contains("And (ODATE between '1151201' and '1151231')"));
  EXPECT_TRUE(sql.out.contains(" and (CUST between 'C"));

  test::TempDir files;
  const QString json =
      files.Write("criteria.json",
                  R"({"DateFrom": "1150101", "DateTo": "", "chk印合版資料": true, "sopt發票": 0,
                          "UserName": "王小明", "EmployeeId": "A001"})");
  const Output fromFile =
      RunCli(RunSqlCommand, QStringList{"--choice", "0", "--criteria", json} + Db());
  ASSERT_EQ(fromFile.code, 0) << fromFile.err.toStdString();
  EXPECT_TRUE(fromFile.out.startsWith("select * from [歷史工單明細4]"));
  EXPECT_TRUE(fromFile.out.contains("And (發票日期 between '1150101' and '9999999')"));
  EXPECT_TRUE(fromFile.out.contains("EMPNO = 'A001' or CUST in (select ID from [CUSTE]"))
      << "the restricted user's rights come from the database";

  EXPECT_EQ(RunCli(RunSqlCommand, QStringList{"--choice", "9"} + Db()).code, 2);
  EXPECT_EQ(
      RunCli(RunSqlCommand, QStringList{"--choice", "1", "--completion", "maybe"} + Db()).code, 2);
}

TEST_F(CliOnDemo, ReportOptionsLeadToEveryLayout) {
  const struct {
    const char* choice;
    QStringList boxes;
    const char* layout;
  } table[] = {
      {"0", {}, "rptTarvel_1"},
      {"0", {"--customer-po-layout", "--no-amounts"}, "rptTarvel2"},
      {"0", {"--die-code"}, "rptTarvel5"},
      {"0", {"--combined-plates"}, "rptTarvel6_1"},
      {"0", {"--no-amounts"}, "rptTarvel7"},
      {"1", {}, "rptTarvel3"},
      {"1", {"--by-salesperson"}, "rptTarvel3_1"},
      {"2", {}, "rptTarvel4"},
      {"2", {"--by-salesperson-range"}, "rptTarvel4_1"},
      {"3", {}, "rptTarvel8"},
      {"4", {}, "rptTarvel9"},
      {"5", {}, "rpt工單未出明細_橫"},
      {"6", {}, "rptTarvel10"},
  };
  test::TempDir out;
  for (const auto& row : table) {
    const QString text = out.File(QString("%1.txt").arg(row.layout));
    const Output report =
        RunCli(RunReportCommand,
               QStringList{"--choice", row.choice, "--date-from", "1150101", "--text", text} +
                   row.boxes + Db());
    EXPECT_EQ(report.code, 0) << row.layout << ": " << report.err.toStdString();
    EXPECT_TRUE(report.err.startsWith(QString(row.layout) + ":")) << report.err.toStdString();
    QFile dump(text);
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly)) << row.layout;
    EXPECT_TRUE(QString::fromUtf8(dump.readAll()).startsWith("=== page 1/")) << row.layout;
  }
  // The PDF of one, read back.
  const QString pdf = out.File("overview.pdf");
  ASSERT_EQ(RunCli(RunReportCommand, QStringList{"--choice", "0", "--pdf", pdf} + Db()).code, 0);
  EXPECT_TRUE(test::PdfText(pdf).contains("工單一覽表"));
}

TEST_F(CliOnDemo, ReportWithoutRowsSaysSo) {
  test::RecordingUi ui;
  const Output none =
      RunCli(RunReportCommand, QStringList{"--choice", "0", "--po-from", "ZZZZZZZZZZ"} + Db());
  EXPECT_EQ(none.code, 1);
  EXPECT_TRUE(none.out.isEmpty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (test::ShownMessage{"查無任何資料!", 48, "訊息"}));
}

// A criteria file's values have the types of the program's names and lie in their range; anything
// else is refused naming the name, never converted: the text "1" would have read as 0, finished
// instead of unfinished.
TEST_F(CliOnDemo, CriteriaOfAnotherTypeOrOutOfRangeAreRefusedNamingTheField) {
  test::TempDir files;
  for (const QStringList& c : test::ReadCases("refused-criteria.txt")) {
    const QString json = files.Write("criteria.json", c[1].toUtf8());
    QStringList args = {"--choice", "0", "--criteria", json};
    if (c[0] == "rework") args.prepend("sql");
    const Output run = RunCli(c[0] == "rework" ? RunReworkCommand : RunSqlCommand, args + Db());
    EXPECT_EQ(run.code, 2) << c[1].toStdString();
    EXPECT_TRUE(run.err.contains("「" + c[2] + "」"))
        << c[1].toStdString() << ": " << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << c[1].toStdString();
  }
  for (const char* date : {"-1", "991231", "1151101x"}) {
    EXPECT_EQ(RunCli(RunSqlCommand, QStringList{"--choice", "0", "--date-from", date} + Db()).code,
              2)
        << date;
    EXPECT_EQ(
        RunCli(RunReworkCommand, QStringList{"sql", "--choice", "0", "--date-to", date} + Db())
            .code,
        2)
        << date;
  }

  // The option's index as a number means what the option word means.
  const QString unfinished = files.Write("criteria.json", R"({"sopt完工": 1, "DateTo": ""})");
  const Output fromFile =
      RunCli(RunSqlCommand, QStringList{"--choice", "0", "--criteria", unfinished} + Db());
  ASSERT_EQ(fromFile.code, 0) << fromFile.err.toStdString();
  EXPECT_EQ(fromFile.out, RunCli(RunSqlCommand, QStringList{"--choice", "0", "--completion",
                                                            "unfinished", "--date-to", ""} +
                                                    Db())
                              .out);
}

// The right the site set holds for every Excel output: the rework export too, and for a name the
// menu passed with a stray blank.
TEST_F(CliOnDemo, ARestrictedUserGetsNoWorkbookFromAnyCommand) {
  test::TempDir out;
  for (const char* user : {"王小明", "王小明 "}) {
    test::RecordingUi ui;
    const QString overview = out.File("表1.xlsx");
    const QString rework = out.File("重工明細表.xlsx");
    const QStringList who = {"--user", user, "--employee", "A001"};
    EXPECT_EQ(RunCli(RunExcelCommand,
                     QStringList{"--choice", "0", "--date-from", "1150101", "--xlsx", overview} +
                         who + Db())
                  .code,
              1);
    EXPECT_EQ(RunCli(RunReworkCommand, QStringList{"excel", "--choice", "0", "--date-from",
                                                   "1150101", "--xlsx", rework} +
                                           who + Db())
                  .code,
              1);
    EXPECT_FALSE(QFileInfo::exists(overview));
    EXPECT_FALSE(QFileInfo::exists(rework));
    ASSERT_EQ(ui.messages.size(), 2u) << user;
    for (const test::ShownMessage& message : ui.messages)
      EXPECT_EQ(message, (test::ShownMessage{"您的權限不可以轉Excel！", 48, "警告"}));
  }
  // A name the rights table does not know is restricted in nothing, as the program always had it
  // (a site may rely on that).
  test::RecordingUi ui;
  const QString unknown = out.File("unknown.xlsx");
  EXPECT_EQ(RunCli(RunReworkCommand, QStringList{"excel", "--choice", "0", "--date-from", "1150101",
                                                 "--xlsx", unknown, "--user", "訪客"} +
                                         Db())
                .code,
            0);
  EXPECT_TRUE(QFileInfo::exists(unknown));
}

// A rights text or groups given on the command line would lift the restrictions the site set for
// a user it knows; for a name it does not know they are the only restrictions there are.
TEST_F(CliOnDemo, TheDatabasesRightsHoldForAUserItKnows) {
  test::TempDir files;
  const QString ownCustomers = QString(39, '0') + "1";
  const QStringList wang = {"--choice", "0", "--user", "王小明", "--employee", "A001"};
  const struct {
    const char* what;
    QStringList args;
  } refused[] = {
      {"--rights", wang + QStringList{"--rights", ""}},
      {"--rights", wang + QStringList{"--rights", ownCustomers}},
      {"WorkOrderRights",
       QStringList{"--choice", "0", "--criteria",
                   files.Write("rights.json", R"({"UserName": "王小明", "WorkOrderRights": ""})")}},
      {"--groups", QStringList{"--choice", "0", "--employee", "A001", "--groups", ""}},
  };
  for (const auto& c : refused) {
    const Output run = RunCli(RunSqlCommand, c.args + Db());
    EXPECT_EQ(run.code, 2) << c.what;
    EXPECT_TRUE(run.err.contains(c.what)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << c.what;
  }
  const Output guest =
      RunCli(RunSqlCommand, QStringList{"--choice", "0", "--user", "訪客", "--employee", "Z999",
                                        "--rights", ownCustomers, "--groups", "北區"} +
                                Db());
  ASSERT_EQ(guest.code, 0) << guest.err.toStdString();
  EXPECT_TRUE(guest.out.contains("EMPNO = 'Z999' or CUST in (select ID from [CUSTE]"));
  EXPECT_TRUE(guest.out.contains("'北區'")) << guest.out.toStdString();
}

// A full disk is reported in the system's words, as a PDF's is; a device is written into, never
// replaced by a file renamed over it (which root may do to /dev/full).
TEST_F(CliOnDemo, TextOntoAFullDiskSaysWhyAndTheDeviceStays) {
  test::TempDir dir;
  QString full = QStringLiteral("/dev/full");
  if (::geteuid() == 0) {  // a node of the test's own, should the device be replaced after all
    full = dir.File("full");
    ASSERT_EQ(::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)), 0);
  }
  test::RecordingUi ui;
  const Output run =
      RunCli(RunReportCommand,
             QStringList{"--choice", "0", "--date-from", "1150101", "--text", full} + Db());
  EXPECT_EQ(run.code, 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "印表錯誤");
  EXPECT_TRUE(ui.messages[0].text.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
      << ui.messages[0].text.toStdString();
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(full).constData(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

// The tool's arguments are its own: Qt takes none of them for its options ("-platform NAME"
// aborted the run, "-reverse" vanished from the criteria).
TEST_F(CliOnDemo, ArgumentsThatLookLikeQtsOptionsAreTheTools) {
  QProcess cli;
  cli.setProcessChannelMode(QProcess::SeparateChannels);
  cli.start(
      QStringLiteral(TARVEL_CLI),
      QStringList{"sql", "--choice", "0", "--customer", "-platform", "--item", "-reverse"} + Db());
  ASSERT_TRUE(cli.waitForFinished(60000));
  const QString out = QString::fromUtf8(cli.readAllStandardOutput());
  EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  EXPECT_TRUE(out.contains("CUST like '%-platform%'")) << out.toStdString();
  EXPECT_TRUE(out.contains("'%-reverse%'")) << out.toStdString();
}

}  // namespace
}  // namespace tarvel::cli
