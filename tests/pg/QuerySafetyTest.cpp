// tarvel-cli query and the connections for reading reach nothing but the database's rows, on a
// SQLite file and on the server alike: no engine function by its own name, no write, no input
// that crashes, no statement that runs on after the time given or after Ctrl+C.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "cli/Command.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "support/Cli.h"
#include "support/Demo.h"
#include "support/Server.h"

namespace tarvel {
namespace {

using test::RunCli;

// Both engines' databases, for reading as the query command opens them.
std::vector<QString> Databases() {
  std::vector<QString> databases{test::DemoDatabasePath()};
  if (!test::ServerUri().isEmpty()) databases.push_back(test::ServerUri());
  return databases;
}

// Functions of the engines, dangerous or costly, are no Access function: refused by name before
// anything runs, on both engines.
TEST(QuerySafety, NoEngineFunctionIsReachable) {
  TARVEL_REQUIRE_SERVER();
  const char* calls[] = {"lo_from_bytea(0, 'x')",
                         "pg_read_file('/etc/passwd')",
                         "lo_import('/etc/passwd')",
                         "pg_sleep(30)",
                         "pg_terminate_backend(1)",
                         "randomblob(1000000000)",
                         "fts3_tokenizer('simple')",
                         "load_extension('x')",
                         "current_setting('data_directory')"};
  for (const QString& database : Databases()) {
    for (const char* call : calls) {
      SCOPED_TRACE(database.toStdString() + ": " + call);
      const auto run =
          RunCli(cli::RunQueryCommand, {"--db", database, QStringLiteral("SELECT ") + call});
      EXPECT_EQ(run.code, 1);
      EXPECT_TRUE(run.err.contains(QStringLiteral("運算式中有未定義的函數")))
          << run.err.toStdString();
    }
  }
  // Nothing was made on the server.
  auto server = db::Connection::OpenFile(test::ServerUri());
  EXPECT_EQ(server->ReadNative(QStringLiteral("select count(*) from pg_largeobject_metadata"))
                .Field(0)
                .AsInteger(),
            0);
}

// A connection for reading refuses writes and the engine's own functions even in the engine's
// own words: read-only by construction, not by the translation alone.
TEST(QuerySafety, AConnectionForReadingCannotWrite) {
  TARVEL_REQUIRE_SERVER();
  auto sqlite =
      db::Connection::OpenFile(test::DemoDatabasePath(), false, db::Connection::Access::Read);
  EXPECT_THROW(sqlite->Execute(QStringLiteral("CREATE TABLE x (a)")), db::DbError);
  EXPECT_THROW(sqlite->ReadNative(QStringLiteral("select randomblob(10)")), db::DbError);
  EXPECT_THROW(sqlite->ReadNative(QStringLiteral("select fts3_tokenizer('simple')")), db::DbError);
  EXPECT_NO_THROW(sqlite->ReadNative(QStringLiteral("select count(*) from [CUST]")));
  // Options in the URI replace the program's own; they cannot make a reading session write.
  for (const QString& uri :
       {test::ServerUri(),
        test::ServerUri() + QStringLiteral("&options=-c%20default_transaction_read_only%3Doff")}) {
    auto server = db::Connection::OpenFile(uri, false, db::Connection::Access::Read);
    const QString refused = [&] {
      try {
        server->ReadNative(QStringLiteral("create table tarvel_written (a integer)"));
      } catch (const db::DbError& e) {
        return e.Description();
      }
      return QString();
    }();
    EXPECT_TRUE(refused.contains(QStringLiteral("read-only"))) << refused.toStdString();
  }
}

// Deep nesting is Access's "query too complex", exit status 2, on both engines, never a crash.
TEST(QuerySafety, DeepNestingIsTooComplex) {
  TARVEL_REQUIRE_SERVER();
  QString parentheses =
      QStringLiteral("SELECT ") + QString(5000, u'(') + u'1' + QString(5000, u')');
  QString terms = QStringLiteral("SELECT 1");
  for (int i = 0; i < 30000; ++i)
    terms += QStringLiteral("+1");
  QString nots = QStringLiteral("SELECT ");
  for (int i = 0; i < 30000; ++i)
    nots += QStringLiteral("Not ");
  nots += QStringLiteral("True");
  QString subqueries = QStringLiteral("SELECT 1");
  for (int i = 0; i < 300; ++i)
    subqueries = QStringLiteral("SELECT * FROM (") + subqueries + QStringLiteral(") AS q");
  for (const QString& database : Databases()) {
    for (const QString& sql : {parentheses, terms, nots, subqueries}) {
      const auto run = RunCli(cli::RunQueryCommand, {"--db", database, sql});
      EXPECT_EQ(run.code, 2) << sql.left(40).toStdString() << ": " << run.err.toStdString();
      EXPECT_TRUE(run.err.contains(QStringLiteral("查詢太複雜"))) << run.err.toStdString();
    }
  }
}

// A statement that runs too long is cancelled when its time is up, on the server too.
TEST(QuerySafety, ATimeoutCancelsTheStatement) {
  TARVEL_REQUIRE_SERVER();
  const QString endless = QStringLiteral(
      "SELECT Count(*) FROM [工單主檔] AS a, [工單主檔] AS b, [工單主檔] AS c WHERE a.PO <> c.PO");
  for (const QString& database : Databases()) {
    const auto run = RunCli(cli::RunQueryCommand, {"--db", database, "--timeout", "1", endless});
    EXPECT_EQ(run.code, 1) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("時限"))) << run.err.toStdString();
  }
  EXPECT_EQ(
      RunCli(cli::RunQueryCommand, {"--db", test::DemoDatabasePath(), "--timeout", "x", "SELECT 1"})
          .code,
      2);
}

// Ctrl+C ends the tool and the server's statement with it.
TEST(QuerySafety, CtrlCCancelsTheServersStatement) {
  TARVEL_REQUIRE_SERVER();
  // Other tests may be busy on the same server: the session is told apart by a name of its own.
  const QString mark = QStringLiteral("cancel_me_%1").arg(QCoreApplication::applicationPid());
  QProcess tool;
  tool.start(QStringLiteral(TARVEL_CLI),
             {"query", "--db", test::ServerUri() + QStringLiteral("&application_name=") + mark,
              "SELECT Count(*) FROM [工單主檔] AS a, [工單主檔] AS b, [工單主檔] AS c"});
  ASSERT_TRUE(tool.waitForStarted());
  auto server = db::Connection::OpenFile(test::ServerUri());
  const auto running = [&] {
    return server
        ->ReadNative(QStringLiteral("select count(*) from pg_stat_activity where state = 'active' "
                                    "and application_name = '%1'")
                         .arg(mark))
        .Field(0)
        .AsInteger();
  };
  QElapsedTimer waited;
  waited.start();
  while (running() == 0 && waited.elapsed() < 20000)
    QThread::msleep(50);
  ASSERT_EQ(running(), 1) << "the statement never started";
  ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
  ASSERT_TRUE(tool.waitForFinished(20000));
  EXPECT_EQ(tool.exitStatus(), QProcess::CrashExit);  // ended by the signal, as before
  EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError()).contains(QStringLiteral("已取消")));
  waited.restart();
  while (running() != 0 && waited.elapsed() < 20000)
    QThread::msleep(50);
  EXPECT_EQ(running(), 0) << "the server went on with the statement";
}

}  // namespace
}  // namespace tarvel
