// Grammar-built Access statements (support/AccessGrammar.h) on the demo, run on SQLite and on the
// run's server through the program's own connection: both engines give the same rows, or both
// refuse the statement, or one refuses it naming the construct it does not serve. Every difference
// is printed with both outcomes and the smallest statement that still shows it.
//
// For exploring: TARVEL_RANDOM_STATEMENTS=N runs N statements instead of the suite's few hundred,
// TARVEL_RANDOM_SEED=S other ones, TARVEL_RANDOM_REPORT=FILE writes every difference to FILE too.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <iostream>
#include <map>

#include "db/sql/Parser.h"
#include "pg/random/StatementCheck.h"
#include "support/Demo.h"
#include "support/Server.h"

namespace tarvel {
namespace {

using test::Outcome;
using test::Verdict;

constexpr std::uint64_t kSeed = 20261204;
constexpr int kStatements = 300;

QString Report(int number, const test::StatementCheck& found, const test::StatementCheck& cut) {
  QString text = QStringLiteral("difference %1 (%2):\n  %3\n")
                     .arg(number)
                     .arg(found.verdict.what, found.statement.Sql());
  for (const auto& p : found.statement.parameters)
    text += QStringLiteral("  parameter %1 = %2\n").arg(p.name, p.value);
  text += test::DescribeOutcomes(found.sqlite, found.server);
  if (cut.statement.Sql() != found.statement.Sql()) {
    text += QStringLiteral("  smallest:\n  %1\n").arg(cut.statement.Sql());
    for (const auto& p : cut.statement.parameters)
      text += QStringLiteral("  parameter %1 = %2\n").arg(p.name, p.value);
    text += test::DescribeOutcomes(cut.sqlite, cut.server);
  }
  return text;
}

TEST(RandomStatements, GiveTheSameRowsOnBothEngines) {
  TARVEL_REQUIRE_SERVER();
  const QString seedText = qEnvironmentVariable("TARVEL_RANDOM_SEED");
  const std::uint64_t seed = seedText.isEmpty() ? kSeed : seedText.toULongLong();
  const int count = qEnvironmentVariableIsSet("TARVEL_RANDOM_STATEMENTS")
                        ? qEnvironmentVariableIntValue("TARVEL_RANDOM_STATEMENTS")
                        : kStatements;
  QFile reportFile(qEnvironmentVariable("TARVEL_RANDOM_REPORT"));
  if (!reportFile.fileName().isEmpty()) {
    ASSERT_TRUE(reportFile.open(QIODevice::WriteOnly));
  }
  QTextStream report(&reportFile);

  auto sqlite = test::OpenDemo();
  auto server = db::Connection::OpenFile(test::ServerUri());
  // A statement the grammar makes too costly must not hold the run up.
  server->ExecuteScript(QStringLiteral("SET statement_timeout = '20s'"));
  const test::EnginePair engines{*sqlite, *server};

  test::AccessGrammar grammar(seed);
  QElapsedTimer clock, cutting;
  clock.start();
  qint64 cuttingMs = 0;
  int same = 0, bothFailed = 0, differences = 0;
  QStringList refusals;
  // SQLite's message, digits hidden: how often, and the shortest statement refused so.
  std::map<QString, std::pair<int, QString>> bothFailedFor;
  for (int i = 0; i < count; ++i) {
    const test::StatementCheck check = test::Check(grammar.Next(), engines);
    switch (check.verdict.kind) {
      case Verdict::Kind::Same:
        ++same;
        break;
      case Verdict::Kind::BothFailed: {
        ++bothFailed;
        auto& [times, example] =
            bothFailedFor[check.sqlite.error.left(60).replace(QRegularExpression("[0-9]+"), "#")];
        const QString sql = check.statement.Sql();
        if (times++ == 0 || sql.size() < example.size()) example = sql;
        break;
      }
      case Verdict::Kind::Refused: {
        const Outcome& refused = check.sqlite.failed ? check.sqlite : check.server;
        refusals << refused.error + QStringLiteral("\n    ") + check.statement.Sql();
        break;
      }
      case Verdict::Kind::Different: {
        cutting.start();
        const QString text = Report(++differences, check, test::Minimise(check, engines));
        cuttingMs += cutting.elapsed();
        std::cout << text.toStdString() << std::endl;
        if (reportFile.isOpen()) report << text << "\n" << Qt::flush;
        break;
      }
    }
  }
  std::cout << "seed " << seed << ", " << count << " statements: " << same << " the same, "
            << bothFailed << " refused by both, " << refusals.size()
            << " refused by one engine naming the construct, " << differences << " different; "
            << clock.elapsed() / 1000.0 << " s (" << cuttingMs / 1000.0
            << " s of it cutting differences down)\n";
  for (const auto& [message, seen] : bothFailedFor) {
    std::cout << "  refused by both " << seen.first << "×: " << message.toStdString() << "\n    "
              << seen.second.toStdString() << "\n";
  }
  for (const QString& r : refusals)
    std::cout << "  refused: " << r.toStdString() << "\n";
  EXPECT_EQ(differences, 0) << "each difference is printed above";
  // A grammar that mostly made statements no engine takes would test nothing.
  EXPECT_GE(same + differences + refusals.size(), count * 3 / 4)
      << bothFailed << " of " << count << " statements refused by both engines";
}

// Every statement the grammar makes, and every statement it cuts one down to, is Access SQL.
TEST(RandomStatements, TheGrammarWritesAccessSqlAndCutsItDown) {
  test::AccessGrammar grammar(kSeed), again(kSeed);
  for (int i = 0; i < 300; ++i) {
    const test::GeneratedStatement statement = grammar.Next();
    const QString sql = statement.Sql();
    ASSERT_EQ(again.Next().Sql(), sql) << "the same seed makes the same statements";
    EXPECT_NO_THROW(db::sql::Parse(sql)) << sql.toStdString();
    if (i % 25 != 0) continue;
    for (const test::GeneratedStatement& smaller : statement.Smaller()) {
      EXPECT_LT(smaller.Sql().size(), sql.size() + 12) << smaller.Sql().toStdString();
      EXPECT_NO_THROW(db::sql::Parse(smaller.Sql())) << smaller.Sql().toStdString();
    }
  }
}

Outcome Rows(std::vector<QStringList> rows) {
  Outcome o;
  o.header = QStringLiteral("[\"c1\",\"c2\"]");
  o.rows = std::move(rows);
  return o;
}

Outcome Failure(const char* message) {
  Outcome o;
  o.failed = true;
  o.error = QString::fromUtf8(message);
  return o;
}

// Order counts only as far as ORDER BY fixes it, texts tying without regard to case; values
// count as printed; a refusal naming the construct is no difference, any other failure is.
TEST(RandomStatements, JudgeComparesWhatTheStatementPromises) {
  const auto judge = [](const Outcome& a, const Outcome& b, std::vector<int> order = {}) {
    const Verdict v = test::Judge(a, b, order);
    return v.kind == Verdict::Kind::Different ? v.what : QStringLiteral("same");
  };
  const Outcome ab = Rows({{"\"a\"", "1"}, {"\"b\"", "2"}});
  const Outcome ba = Rows({{"\"b\"", "2"}, {"\"a\"", "1"}});
  EXPECT_EQ(judge(ab, ba), "same");
  EXPECT_EQ(judge(ab, ba, {0}), "order");
  EXPECT_EQ(
      judge(Rows({{"\"a\"", "1"}, {"\"A\"", "2"}}), Rows({{"\"A\"", "2"}, {"\"a\"", "1"}}), {0}),
      "same");
  EXPECT_EQ(
      judge(Rows({{"\"a\"", "1"}, {"\"A\"", "2"}}), Rows({{"\"A\"", "2"}, {"\"a\"", "1"}}), {0, 1}),
      "order");
  EXPECT_EQ(judge(Rows({{"null", "1"}}), Rows({{"\"\"", "1"}})), "rows");
  EXPECT_EQ(judge(Rows({{"1", "1"}}), Rows({{"\"1\"", "1"}})), "rows");
  EXPECT_EQ(judge(ab, Rows({{"\"a\"", "1"}})), "rows");
  Outcome renamed = ab;
  renamed.header = QStringLiteral("[\"C1\",\"c2\"]");
  EXPECT_EQ(judge(ab, renamed), "column names");
  EXPECT_EQ(judge(Failure("語法錯誤"), Failure("syntax error")), "same");
  EXPECT_EQ(test::Judge(ab, Failure("PostgreSQL 資料庫上不支援 InStrRev 的起點。"), {}).kind,
            Verdict::Kind::Refused);
  EXPECT_EQ(judge(ab, Failure("integer out of range")), "the server fails");
  EXPECT_EQ(judge(Failure("no such function: hex"), ab), "SQLite fails");
}

// A crash in an engine names the statement it was running.
TEST(RandomStatements, ACrashNamesTheStatement) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        const test::StatementOnCrash note(QStringLiteral("SELECT Mid('abc', 0) AS [c1]"));
        std::abort();
      },
      "crashed while running: SELECT Mid\\('abc', 0\\) AS \\[c1\\]");
}

}  // namespace
}  // namespace tarvel
