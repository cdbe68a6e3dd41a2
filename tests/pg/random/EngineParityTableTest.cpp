// The table of statements that once gave different rows on the two engines
// (tests/data/engine-parity.txt), each with the rows Access gives: both engines give exactly
// those, printed as the program prints them.
#include <gtest/gtest.h>

#include <QFile>

#include "pg/random/EngineOutcome.h"
#include "support/Demo.h"
#include "support/Server.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

struct ParityCase {
  QString sql;
  QList<QPair<QString, QString>> parameters;
  QStringList rows;  ///< the header line, then one line per row
  int line = 0;
};

// "query: SQL", any "param: NAME=VALUE", "rows:", then lines up to a blank one (or one line
// "error: MESSAGE"); "#" comments.
std::vector<ParityCase> ReadParityCases() {
  QFile file(test::SourceDir() + QStringLiteral("/tests/data/engine-parity.txt"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  std::vector<ParityCase> cases;
  bool readingRows = false;
  int number = 0;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
    ++number;
    if (readingRows) {
      if (line.isEmpty())
        readingRows = false;
      else
        cases.back().rows << line;
    } else if (line.startsWith(QLatin1String("query: "))) {
      cases.push_back({line.mid(7), {}, {}, number});
    } else if (line.startsWith(QLatin1String("param: ")) && !cases.empty()) {
      const qsizetype equals = line.indexOf(u'=');
      cases.back().parameters.append({line.mid(7, equals - 7), line.mid(equals + 1)});
    } else if (line == QLatin1String("rows:") && !cases.empty()) {
      readingRows = true;
    }
  }
  return cases;
}

QStringList Printed(const test::Outcome& o) {
  if (o.failed) return {QStringLiteral("error: ") + o.error};
  QStringList lines{o.header};
  for (const QStringList& row : o.rows)
    lines << u'[' + row.join(u',') + u']';
  return lines;
}

TEST(EngineParityTable, EveryCaseGivesAccessRowsOnBothEngines) {
  TARVEL_REQUIRE_SERVER();
  const std::vector<ParityCase> cases = ReadParityCases();
  ASSERT_GE(cases.size(), 30u);
  auto sqlite = test::OpenDemo();
  auto server = db::Connection::OpenFile(test::ServerUri());
  for (const ParityCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("engine-parity.txt:%1: %2").arg(c.line).arg(c.sql).toStdString());
    ASSERT_GE(c.rows.size(), 1) << "a case needs its header line";
    // An error is Access's message, the engine's own words after it where it adds them.
    const auto same = [&](const QStringList& printed) {
      if (c.rows.size() == 1 && c.rows[0].startsWith(QLatin1String("error: ")))
        return printed.size() == 1 && printed[0].startsWith(c.rows[0]);
      return printed == c.rows;
    };
    const QStringList onSqlite = Printed(test::RunStatement(*sqlite, c.sql, c.parameters));
    const QStringList onServer = Printed(test::RunStatement(*server, c.sql, c.parameters));
    EXPECT_TRUE(same(onSqlite)) << "on SQLite: " << onSqlite.join(u'\n').toStdString();
    EXPECT_TRUE(same(onServer)) << "on the server: " << onServer.join(u'\n').toStdString();
  }
}

}  // namespace
}  // namespace tarvel
