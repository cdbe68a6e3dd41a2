// The WHERE rules' pieces that depend on the user and the system (the whole statements of every
// layout are golden files of the report catalogue's test), and the capture of the criteria.
#include <gtest/gtest.h>

#include "criteria/WhereClauses.h"
#include "startup/AppContext.h"

namespace tarvel {
namespace {

OverviewFormState EmptyForm(int choice) {
  OverviewFormState form;
  form.sopt選擇報表 = choice;
  return form;
}

WorkOrderCriteria Captured(const OverviewFormState& form) {
  WorkOrderCriteria c;
  CaptureCriteria(form, c);
  return c;
}

TEST(OverviewWhere, MarginTestFollowsProfitRateBase) {
  const QString onCost = "(iif(COST=0,0,format((稅前金額+OTAMT-COST)/COST*100,'0.00'))<=0)) ";
  const QString onSales =
      "(iif(稅前金額+OTAMT=0,0,format((稅前金額+OTAMT-COST)/(稅前金額+OTAMT)*100,'0.00'))<=0)) ";
  for (const auto& [base, expected] : std::initializer_list<std::pair<QString, QString>>{
           {"0", onCost}, {"", onCost}, {"abc", onCost}, {"1", onSales}}) {
    AppContext ctx;
    ctx.ProfitRateBase = base;
    OverviewFormState form = EmptyForm(k表1);
    form.chk金額異常 = true;
    const QString statement = OverviewWhere(Captured(form), ctx);
    EXPECT_TRUE(statement.endsWith(" and (YN = '' or YN is NULL) and (AMT = 0 or   " + expected))
        << base.toStdString();
  }
  // The anomaly box means nothing to 表3, 表5 and 未送總表.
  for (int choice : {k表3, k表5, k未送總表}) {
    OverviewFormState form = EmptyForm(choice);
    form.chk金額異常 = true;
    EXPECT_FALSE(Captured(form).MarginAnomaly) << choice;
  }
}

TEST(OwnCustomerScope, AppliesOnlyToRestrictedUsers) {
  AppContext ctx;
  ctx.UserName = "王小明";
  ctx.EmployeeId = "A001";
  ctx.WorkOrderRights = QString(39, '0') + "1";
  ctx.Groups[2] = "G1";
  const WorkOrderCriteria c = Captured(EmptyForm(k表5));

  QString expected =
      "where ODATE between '' and '9999999'  and (EMPNO = 'A001' or "
      "CUST in (select ID from [CUSTE] where EMPNO ='A001' group by ID) ";
  expected += " or [GROUP] = 'G1' ";
  for (int i = 1; i < 20; ++i)
    expected += QString(" or [GROUP%1] = 'G1' ").arg(i);
  expected += " ) ";
  EXPECT_EQ(ProductionWhere(c, ctx), expected);

  // The administrator mark equal to the user's name lifts the restriction, whatever the rights.
  ctx.AdminName = ctx.UserName;
  EXPECT_FALSE(ProductionWhere(c, ctx).contains("CUSTE"));
  // Rights shorter than 40 characters never restrict.
  ctx.AdminName.clear();
  ctx.WorkOrderRights = QString(39, '1');
  EXPECT_FALSE(ProductionWhere(c, ctx).contains("CUSTE"));
}

TEST(OwnCustomerScope, QualifiedForTheCrowdJoin) {
  AppContext ctx;
  ctx.UserName = "王小明";
  ctx.EmployeeId = "A001";
  ctx.WorkOrderRights = QString(40, '1');
  ctx.Groups[0] = "G1";
  const QString where = SalesRangeWhere(Captured(EmptyForm(k表3)), ctx, "歷史工單明細2");
  EXPECT_TRUE(where.startsWith(
      "where 歷史工單明細2.ODATE between '' and '9999999' and ( 歷史工單明細2.CUST like '%%'"));
  EXPECT_TRUE(
      where.contains("歷史工單明細2.EMPNO between '' and '') and ( 歷史工單明細2.PO between"));
  EXPECT_TRUE(where.contains(
      " and (歷史工單明細2.EMPNO = 'A001' or 歷史工單明細2.CUST in (select ID from [CUSTE]"));
  EXPECT_TRUE(where.contains(" or 歷史工單明細2.[GROUP19] = 'G1' "));
  EXPECT_FALSE(where.contains(" CUST like"));
}

TEST(OverviewWhere, ApostrophesAreDoubled) {
  AppContext ctx;
  ctx.UserName = "O'Brien";
  ctx.EmployeeId = "A'1";
  ctx.WorkOrderRights = QString(40, '1');
  ctx.Groups[0] = "G'1";
  OverviewFormState form = EmptyForm(k表1);
  form.txt客戶代號 = "O'Neil";
  form.txt印件名稱 = "%' or '1'='1";
  const QString statement = OverviewWhere(Captured(form), ctx);
  EXPECT_TRUE(statement.contains("CUST like '%O''Neil%' or SNAME like '%O''Neil%'"));
  EXPECT_TRUE(statement.contains("CODE like '%%'' or ''1''=''1%'"));
  EXPECT_TRUE(statement.contains("EMPNO = 'A''1'"));
  EXPECT_TRUE(statement.contains("[GROUP] = 'G''1'"));
}

TEST(CaptureCriteria, KeepsWhatAChoiceDoesNotSet) {
  WorkOrderCriteria c;
  OverviewFormState form = EmptyForm(k表1);
  form.sopt完工 = 0;
  form.sopt送貨 = 1;
  form.sopt發票 = 0;
  CaptureCriteria(form, c);
  EXPECT_EQ(c.DateBasis, DateBasis::Invoice);

  OverviewFormState table3 = EmptyForm(k表3);
  table3.sopt完工 = 2;
  table3.sopt發票 = 2;
  table3.txt日期_起 = "1150101";
  CaptureCriteria(table3, c);
  EXPECT_EQ(c.DateBasis, DateBasis::Invoice);
  EXPECT_EQ(CompletionCode(c.CompletionFilter), "1") << "the program's text code";
  EXPECT_EQ(c.DeliveryFilter, DeliveryFilter::NotCleared);
  EXPECT_EQ(c.InvoiceFilter, InvoiceFilter::Invoiced);
  EXPECT_EQ(c.DateFrom, "1150101");

  // 表5 takes its dates from its own pair of boxes.
  OverviewFormState table5 = EmptyForm(k表5);
  table5.txt日期_起 = "1150101";
  table5.txt日期 = {"1140101", ""};
  CaptureCriteria(table5, c);
  EXPECT_EQ(c.DateFrom, "1140101");
  EXPECT_EQ(c.DateTo, "9999999");

  // The second unreviewed box serves every choice but 表1, 表2 and 未送總表.
  OverviewFormState unreviewed = EmptyForm(k表4含合版);
  unreviewed.chk只印未審單 = true;
  CaptureCriteria(unreviewed, c);
  EXPECT_EQ(c.UnreviewedOnly, UnreviewedOnly::No);
  unreviewed.chk只印未審單1 = true;
  CaptureCriteria(unreviewed, c);
  EXPECT_EQ(c.UnreviewedOnly, UnreviewedOnly::Yes);
}

}  // namespace
}  // namespace tarvel
