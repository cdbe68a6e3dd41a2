// The same demo on SQLite and on the run's PostgreSQL server gives the same results: every
// statement of the golden corpus returns the same rows (compared as values), every overview and
// rework layout prints the same golden text, and hostile criteria texts stay texts on both.
#include <gtest/gtest.h>

#include <QFile>

#include "criteria/Statement.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "reports/engine/TextDump.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/LayoutForms.h"
#include "support/Server.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

const char kAdministrator[] =
    "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0";

// The rows of `sql` on both engines, field names without regard to case, values as values.
void ExpectSameRows(db::Connection& sqlite, db::Connection& server, const QString& sql) {
  SCOPED_TRACE(sql.left(160).toStdString());
  db::Recordset expected, actual;
  ASSERT_NO_THROW(expected = sqlite.OpenRecordset(sql));
  try {
    actual = server.OpenRecordset(sql);
  } catch (const db::DbError& e) {
    FAIL() << e.Description().toStdString();
  }
  ASSERT_EQ(actual.RecordCount(), expected.RecordCount());
  ASSERT_EQ(actual.FieldCount(), expected.FieldCount());
  // Names of columns; an expression without a name ("count(*)") is named by each engine itself.
  for (int f = 0; f < expected.FieldCount(); ++f) {
    if (!expected.FieldNames()[f].contains(u'(')) {
      EXPECT_EQ(actual.FieldNames()[f].toCaseFolded(), expected.FieldNames()[f].toCaseFolded());
    }
  }
  for (qint64 r = 0; r < expected.RecordCount(); ++r) {
    const auto want = expected.Row(r), got = actual.Row(r);
    for (int f = 0; f < expected.FieldCount(); ++f) {
      ASSERT_TRUE(got[f] == want[f])
          << "row " << r << ", " << expected.FieldNames()[f].toStdString() << ": "
          << got[f].ToText().toStdString() << " instead of " << want[f].ToText().toStdString();
    }
  }
  EXPECT_EQ(server.HasRows(sql), expected.RecordCount() > 0);
}

class EngineParity : public ::testing::Test {
 protected:
  void SetUp() override {
    TARVEL_REQUIRE_SERVER();
    server = db::Connection::OpenFile(test::ServerUri());
  }
  std::unique_ptr<db::Connection> sqlite = test::OpenDemo();
  std::unique_ptr<db::Connection> server;
  ScopedToday today{test::DemoToday()};
};

TEST_F(EngineParity, EveryStatementOfTheCorpusReturnsTheSameRows) {
  QFile corpus(test::SourceDir() + QStringLiteral("/tests/golden/statements.sql"));
  ASSERT_TRUE(corpus.open(QIODevice::ReadOnly));
  int statements = 0;
  for (const QString& line : QString::fromUtf8(corpus.readAll()).split(u'\n')) {
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1String("--"))) continue;
    ExpectSameRows(*sqlite, *server, line);
    // What the query builder's check and the layouts' counts run on top of it.
    ExpectSameRows(*sqlite, *server, QStringLiteral("select count(*) from (") + line + u')');
    ++statements;
  }
  EXPECT_EQ(statements, 39);
}

// Texts typed into the criteria go between quotes with their apostrophes doubled: whatever they
// hold (quotes, backslashes, semicolons, comment marks, wildcards), both engines read a text and
// find the same rows, and the tables are still there.
TEST_F(EngineParity, HostileCriteriaTextsStayTexts) {
  AppContext context;
  const OverviewFormState defaults = test::GoldenOverviewDefaults();
  for (const char* hostile : {"x' or '1'='1", "\\' or 1=1 --", "'; drop table [CUST]; --",
                              "%' or ''='", "a\\'); delete from [工單主檔]; --", "O'Neil\\", "_%",
                              "C00%", "]; drop table x; --", "/* ?"}) {
    for (auto box : {&OverviewFormState::txt客戶代號, &OverviewFormState::txt印件名稱}) {
      OverviewFormState form = defaults;
      form.*box = QString::fromUtf8(hostile);
      WorkOrderCriteria criteria;
      CaptureCriteria(form, criteria);
      ExpectSameRows(*sqlite, *server,
                     RowFor(form).Statement({.context = context, .overview = &criteria},
                                            StatementUse::Layout));
    }
  }
  EXPECT_EQ(test::Scalar(*server, "select count(*) from [CUST]"),
            test::Scalar(*sqlite, "select count(*) from [CUST]"));
  EXPECT_EQ(test::Scalar(*server, "select count(*) from [工單主檔]"), test::kDemoOrders);
}

// The layouts read the server through the program's own connection string and print exactly the
// golden texts the SQLite demo prints.
TEST_F(EngineParity, EveryLayoutPrintsTheGoldenTextOnTheServer) {
  AppContext context;
  context.ConnectionString = test::ServerConnectionString();
  ASSERT_TRUE(LoadAppContext(context, kAdministrator));
  ASSERT_FALSE(context.CompanyName.isEmpty());
  const OverviewFormState defaults = test::GoldenOverviewDefaults();
  for (const ReportRow& row : ReportRows()) {
    SCOPED_TRACE(row.layout.name);
    WorkOrderCriteria overview;
    ReworkCriteria rework;
    RequestCriteria request{.context = context};
    if (row.family == ReportFamily::Rework) {
      CaptureReworkCriteria(test::GoldenReworkForm(row.Choice()), rework);
      request.rework = &rework;
    } else {
      CaptureCriteria(test::FormForLayout(row, defaults), overview);
      request.overview = &overview;
    }
    const QString folder = row.family == ReportFamily::Rework ? "rework" : "layouts";
    test::ExpectGolden(QStringLiteral("%1/%2.txt").arg(folder, row.Name()),
                       DumpText(row.CreateLayout(request)->Run(PaperSizeTwips(9))));
  }
}

}  // namespace
}  // namespace tarvel
