// The WHERE rules on a generated database: what the statements select for hostile texts, restricted
// users and the margin anomaly, counted against the rows themselves.
#include <gtest/gtest.h>

#include <cmath>

#include "criteria/Statement.h"
#include "db/Connection.h"
#include "platform/Clock.h"
#include "startup/AppContext.h"
#include "support/Demo.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

/// The overview over [歷史工單明細], as 表1 prints it.
const StatementSpec kOverview{.source = "歷史工單明細", .orderBy = " order by PO "};

class WhereRulesOnDemo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A copy of its own: the tests change customers.
    dir_ = new test::TempDir;
    test::CopyDemoDatabase(dir_->Path());
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void SetUp() override {
    context.ConnectionString =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir_->File("KORV.mdb") +
        ";Jet OLEDB:Database Password=x";
    form = test::DemoForm("0000000", "9999999");
  }

  qint64 Count(const QString& sql) {
    return db::Connection::Open(context.ConnectionString)->OpenRecordset(sql).RecordCount();
  }
  qint64 CountChoice(const OverviewFormState& f) {
    WorkOrderCriteria c;
    CaptureCriteria(f, c);
    return Count(ComposeStatement(kOverview, c, context));
  }
  void Exec(const QString& sql) {
    db::Connection::Open(context.ConnectionString, db::Connection::Access::Write)->Execute(sql);
  }

  static test::TempDir* dir_;
  ScopedToday today_{test::DemoToday()};
  AppContext context;
  OverviewFormState form;
};

test::TempDir* WhereRulesOnDemo::dir_ = nullptr;

TEST_F(WhereRulesOnDemo, ApostrophesFindThemselvesAndNeverWiden) {
  const auto first = db::Connection::Open(context.ConnectionString)
                         ->OpenRecordset("select ID from [CUST] order by ID");
  const QString id = first.Text("ID");
  Exec("update [CUST] set SNAME = 'O''Neil' where ID = '" + id + "'");
  const qint64 ofCustomer = Count("select * from [歷史工單明細] where CUST = '" + id + "'");
  ASSERT_GT(ofCustomer, 0);

  form.txt客戶代號 = "O'Neil";
  EXPECT_EQ(CountChoice(form), ofCustomer);

  form.txt客戶代號 = "%' or '1'='1";
  EXPECT_EQ(CountChoice(form), 0);

  // A restricted user sees no more with an injection attempt than without it.
  context.UserName = "王小明";
  context.EmployeeId = "A001";
  context.WorkOrderRights = QString(40, '1');
  form.txt客戶代號.clear();
  ASSERT_GT(CountChoice(form), 0);
  form.txt印件名稱 = "%') or ('1'='1";
  EXPECT_EQ(CountChoice(form), 0);
  form.txt印件名稱.clear();
  context.EmployeeId = "A001' or '1'='1";
  EXPECT_EQ(CountChoice(form), 0);
}

TEST_F(WhereRulesOnDemo, RestrictionSelectsOwnCustomersAndGroups) {
  const qint64 everyone = CountChoice(form);
  context.UserName = "王小明";
  context.EmployeeId = "A001";
  context.WorkOrderRights = QString(40, '1');
  const qint64 own = CountChoice(form);
  EXPECT_EQ(own, Count("select * from [歷史工單明細] where EMPNO = 'A001' or CUST in "
                       "(select ID from [CUSTE] where EMPNO = 'A001')"));
  EXPECT_LT(own, everyone);
  context.Groups[5] = "北區";
  const qint64 withGroup = CountChoice(form);
  EXPECT_EQ(withGroup,
            Count("select * from [歷史工單明細] where EMPNO = 'A001' or CUST in "
                  "(select ID from [CUSTE] where EMPNO = 'A001') or [GROUP] = '北區' or "
                  "GROUP1 = '北區' or GROUP2 = '北區' or GROUP3 = '北區' or GROUP4 = '北區' "
                  "or GROUP5 = '北區' or GROUP6 = '北區' or GROUP7 = '北區' or GROUP8 = '北區' "
                  "or GROUP9 = '北區' or GROUP10 = '北區' or GROUP11 = '北區' or GROUP12 = '北區' "
                  "or GROUP13 = '北區' or GROUP14 = '北區' or GROUP15 = '北區' or GROUP16 = '北區' "
                  "or GROUP17 = '北區' or GROUP18 = '北區' or GROUP19 = '北區'"));
  EXPECT_GT(withGroup, own);
}

// The anomaly piece must select the unreviewed rows whose amount is zero or whose margin, rounded
// to two decimals, is zero or less: computed here from the rows themselves.
TEST_F(WhereRulesOnDemo, AnomalySelectsZeroAmountsAndNonPositiveMargins) {
  const auto all = db::Connection::Open(context.ConnectionString)
                       ->OpenRecordset("select YN, AMT, 稅前金額, OTAMT, COST from [歷史工單明細]");
  const auto rows = all.GetRows();
  for (const char* base : {"0", "1"}) {
    qint64 expected = 0;
    for (qint64 r = 0; r < all.RecordCount(); ++r) {
      const auto& yn = rows[0][r];
      if (!yn.Text().isEmpty()) continue;
      const double amt = rows[1][r].Number(), sales = rows[2][r].Number() + rows[3][r].Number(),
                   cost = rows[4][r].Number();
      const double divisor = QString(base) == "0" ? cost : sales;
      const double margin = divisor == 0 ? 0 : std::round((sales - cost) / divisor * 10000) / 100;
      if (amt == 0 || margin <= 0) ++expected;
    }
    ASSERT_GT(expected, 0) << "the demo data has anomalies";
    context.ProfitRateBase = base;
    form.chk金額異常 = true;
    EXPECT_EQ(CountChoice(form), expected) << "profit base " << base;
  }
}

}  // namespace
}  // namespace tarvel
