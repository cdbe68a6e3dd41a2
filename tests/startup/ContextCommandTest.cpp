#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "StartupFixture.h"
#include "support/Cli.h"

namespace tarvel {
namespace {

using test::TempDir;

struct CommandRun {
  int code;
  QJsonObject json;
  QString out;
  QString err;
};

CommandRun Context(const QStringList& args) {
  const test::CliRun run = test::RunCli(cli::RunContextCommand, args);
  return {run.code, QJsonDocument::fromJson(run.out.toUtf8()).object(), run.out, run.err};
}

TEST(ContextCommand, PrintsTheContextOfAStart) {
  TempDir dir;
  QDir().mkpath(dir.File("prog"));
  test::BuildDatabase(dir.File("prog/KORV.mdb"), test::SuiteTables(dir.Path() + "\\"));
  const CommandRun run = Context(
      {"--program-folder", dir.File("prog"), "--user", "tester", "--host", "HOST1", "--userprofile",
       "", "--", "-qdx5170 -AD= -NAME=王小明", "-ID=A001 -XLS=.xlsx -DOC=.docx -PID=0"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  const QJsonObject& json = run.json;
  EXPECT_EQ(json["MachineUserName"].toString(), "HOST1\\tester");
  EXPECT_EQ(json["UserName"].toString(), "王小明");
  EXPECT_EQ(json["EmployeeId"].toString(), "A001");
  EXPECT_EQ(json["ExcelExtension"].toString(), ".xlsx");
  EXPECT_EQ(json["DatabaseFolder"].toString(), dir.File("prog") + "\\");
  EXPECT_EQ(json["TempFolder"].toString(), dir.File("prog") + "\\");
  // The Jet file's password is masked as a server's is.
  EXPECT_EQ(json["ConnectionString"].toString(),
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.File("prog") +
                "\\KORV.mdb;Jet OLEDB:Database Password=***");
  EXPECT_EQ(json["DatabasePassword"].toString(), "***");
  EXPECT_FALSE(run.out.contains("tqlv5218"));
  EXPECT_EQ(json["CompanyName"].toString(), "翠峰印刷");
  EXPECT_EQ(json["Groups"].toArray().size(), 20);
  EXPECT_EQ(json["Groups"].toArray()[1].toString(), "G01");
  EXPECT_EQ(json["ExcelFolder"].toString(), dir.Path() + "/");
  EXPECT_EQ(json["LookupColours"].toArray()[6].toString(), "4868863");
  EXPECT_EQ(json["LauncherWindow"].toDouble(), 0);
  EXPECT_EQ(json["messages"].toArray().size(), 0);
  EXPECT_EQ(json["missingToken"].toBool(), false);
  EXPECT_EQ(json["launcherAlive"].toBool(), false);
  EXPECT_TRUE(run.out.indexOf("\"ConnectionString\"") < run.out.indexOf("\"Groups\""));
}

// A DSN naming a server with a password: the printout and the loader's message show the server
// without it (the socket folder does not exist, so the loading fails at once).
TEST(ContextCommand, NeverPrintsTheServersPassword) {
  TempDir dir;
  dir.Write(
      "prog/KORV.DSN",
      "SITE=C\nDBQ=postgresql://clerk:Pa55word@/korv?host=/nonexistent/sock&password=Pa55word\n");
  const CommandRun run = Context({"--program-folder", dir.File("prog"), "--user", "tester",
                                  "--host", "HOST1", "--", "-qdx5170 -AD= -NAME=王小明"});
  EXPECT_EQ(run.code, 1);
  EXPECT_FALSE(run.out.contains("Pa55word")) << run.out.toStdString();
  EXPECT_FALSE(run.err.contains("Pa55word")) << run.err.toStdString();
  EXPECT_EQ(run.json["DatabaseFolder"].toString(),
            "postgresql://clerk:***@/korv?host=/nonexistent/sock&password=***");
  EXPECT_TRUE(
      run.json["ConnectionString"].toString().contains("Data Source=postgresql://clerk:***@"));
  EXPECT_TRUE(run.err.contains("無法連線到資料庫伺服器")) << run.err.toStdString();
}

TEST(ContextCommand, ReportsARefusedStart) {
  TempDir dir;
  QDir().mkpath(dir.File("prog"));
  test::BuildDatabase(dir.File("prog/KORV.mdb"), test::SuiteTables(dir.Path() + "\\"));
  const CommandRun run = Context({"--program-folder", dir.File("prog"), "--userprofile", "", "--",
                                  "-AD= -NAME=x -ID=y -XLS=.x -DOC=.d -PID=1"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  const QJsonArray messages = run.json["messages"].toArray();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].toObject()["text"].toString(), "引數錯誤");
  EXPECT_EQ(messages[0].toObject()["style"].toInt(), 16);
  EXPECT_EQ(messages[0].toObject()["title"].toString(), "錯誤");
  EXPECT_EQ(run.json["missingToken"].toBool(), true);
  EXPECT_EQ(run.json["outcome"].toString(), "missingToken");
  EXPECT_EQ(run.json["mainWindowShown"].toBool(), false);
}

TEST(ContextCommand, StopsAfterTheMessageWhenTheContextCannotBeLoaded) {
  TempDir dir;  // no database in the program folder
  const CommandRun run = Context({"--program-folder", dir.Path(), "--userprofile", "", "--",
                                  "-AD= -NAME=x -ID=y -XLS=.x -DOC=.d -PID=1"});
  EXPECT_EQ(run.code, 1);
  const QJsonArray messages = run.json["messages"].toArray();
  ASSERT_EQ(messages.size(), 1);  // the token check never came
  const QString text = messages[0].toObject()["text"].toString();
  EXPECT_EQ(messages[0].toObject()["title"].toString(), "取得系統相關設定資料錯誤");
  EXPECT_EQ(run.json["outcome"].toString(), "contextFailed");
  EXPECT_EQ(run.json["missingToken"].toBool(), false);
  EXPECT_EQ(run.json["mainWindowShown"].toBool(), false);
  EXPECT_TRUE(run.err.contains(text)) << run.err.toStdString();
}

TEST(ContextCommand, UsageErrors) {
  TempDir dir;
  for (const QStringList& args :
       {QStringList{}, QStringList{"--program-folder"}, QStringList{"--bogus"},
        QStringList{"--program-folder", dir.File("missing")},
        QStringList{"--program-folder", dir.Path(), "--today", "yesterday"}}) {
    const CommandRun run = Context(args);
    EXPECT_EQ(run.code, 2) << args.join(' ').toStdString();
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_TRUE(run.out.isEmpty());
  }
}

}  // namespace
}  // namespace tarvel
