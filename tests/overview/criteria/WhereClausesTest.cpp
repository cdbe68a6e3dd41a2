// Whole statements against hand-written texts: the layouts and exports rebuild the same texts,
// so a missing blank is a fault.
#include <gtest/gtest.h>

#include "overview/criteria/WhereClauses.h"
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

const QString kHead =
    "where (CUST like '%%' or SNAME like '%%' ) and ( EMPNO like '%%' or NAME like '%%' ) and ( "
    "PO between '' and 'zzzzzzzzz') and ( CODE like '%%' or [DESC] like '%%') and ( "
    "EMPNO1 like '%%' or EMPNAME1 like '%%' ) and ( KIND like '%%') and ( "
    "工務人員代號 like '%%' or 工務人員 like '%%' ) and CUSTNO like '%%' ";

TEST(ReportStatement, EmptyCriteriaPerChoice) {
  AppContext ctx;
  const struct {
    int choice;
    QString expected;
  } cases[] = {
      {k表1, "select * from [歷史工單明細]   " + kHead +
                 " and (CUST between '' and '')  And (ODATE between '' and '9999999')  "},
      {k表2, "select * from [歷史工單明細1]   " + kHead +
                 " and (CUST between '' and '')  And (ODATE between '' and '9999999')  "},
      {k表4含合版, "select * from [歷史工單明細4]   " + kHead +
                       " and (CUST between '' and '')  And (ODATE between '' and '9999999')  "},
      {k未送總表,
       "select * from [工單未出明細]   " + kHead + " And (ODATE between '' and '9999999')  "},
      {k表3,
       "select * from [歷史工單明細2] where ODATE between '' and '9999999' and ( "
       "CUST like '%%' or SNAME like '%%' ) and ( EMPNO between '' and '') and ( "
       "PO between '' and 'zzzzzzzzz') and ( CODE like '%%' or [DESC] like '%%') and ( "
       "EMPNO1 like '%%' or EMPNAME1 like '%%' ) and ( KIND like '%%') and ( "
       "工務人員代號 like '%%' or 工務人員 like '%%' ) and CUSTNO like '%%'  and (CUST between '' "
       "and '') "},
      {k表5,
       "select * from [工單生產報表] where ODATE between '' and '9999999' order by PO, [NO] "},
      {k補版明細,
       "select * from [歷史工單明細] where (CUST like '%%' or SNAME like '%%' ) and ( "
       "EMPNO like '%%' or NAME like '%%' ) and ( CODE like '%%' or [DESC] like '%%') and "
       "ODATE between '' and '9999999' and PO in (select PO from [PLATE] where SPEC like "
       "'%補版%' group by PO) order by PO "},
  };
  for (const auto& tc : cases) {
    const WorkOrderCriteria c = Captured(EmptyForm(tc.choice));
    EXPECT_EQ(ReportStatement(tc.choice, c, ctx), tc.expected) << "choice " << tc.choice;
  }
}

TEST(ReportStatement, EveryOverviewPieceFilled) {
  AppContext ctx;
  ctx.ProfitRateBase = "1";
  OverviewFormState form = EmptyForm(k表2);
  form.txt日期_起 = " 1151101 ";
  form.txt日期_末 = "1151130";
  form.txt單號_起 = "A100";
  form.txt單號_末 = "A199";
  form.txt客戶代號 = "C01";
  form.txt業務員 = "A001";
  form.txt客戶代號1 = {"C01", "C09"};
  form.txt印件名稱 = "DM";
  form.txt鍵機人員 = "K";
  form.txt工務人員 = "S";
  form.cbo種類 = "一般";
  form.txt客戶單號 = "PO-7";
  form.cbo分類 = "書刊";
  form.chk只印未審單 = true;
  form.chk金額異常 = true;
  form.chk只印金額大於零 = true;
  form.sopt完工 = 0;
  form.sopt送貨 = 1;
  form.sopt發票 = 0;
  const WorkOrderCriteria c = Captured(form);
  const QString expected =
      "select * from [歷史工單明細1]   where (CUST like '%C01%' or SNAME like '%C01%' ) and ( "
      "EMPNO like '%A001%' or NAME like '%A001%' ) and ( PO between 'A100' and 'A199') and ( "
      "CODE like '%DM%' or [DESC] like '%DM%') and ( EMPNO1 like '%K%' or EMPNAME1 like '%K%' ) "
      "and ( KIND like '%一般%') and ( 工務人員代號 like '%S%' or 工務人員 like '%S%' ) and "
      "CUSTNO like '%PO-7%'  and (CUST between 'C01' and 'C09')  And (發票日期 between '1151101' "
      "and '1151130')   And (FDATE <> '' and FDATE is not NULL)   And (FSEND <> 'Y') and (不送貨 "
      "<> 1) "
      " And (發票號碼 <> '' and 發票號碼 is not NULL)   And (AMT > 0)  And (YN = '' or YN is null) "
      " and 分類 like '%書刊%'  and (YN = '' or YN is NULL) and (AMT = 0 or   "
      "(iif(稅前金額+OTAMT=0,0,"
      "format((稅前金額+OTAMT-COST)/(稅前金額+OTAMT)*100,'0.00'))<=0)) ";
  EXPECT_EQ(ReportStatement(k表2, c, ctx), expected);
}

TEST(ReportStatement, DateBasisAndFilterTexts) {
  AppContext ctx;
  const struct {
    int done, sent, invoice;
    const char* piece;
  } cases[] = {
      {0, 2, 2,
       " And (FDATE between '' and '9999999')   And (FDATE <> '' and FDATE is not NULL)  "},
      {1, 0, 2,
       " And (ODATE between '' and '9999999')   And (FDATE = '' or FDATE is NULL)  And (FSEND = "
       "'Y') "},
      {2, 2, 1, " And (ODATE between '' and '9999999')   And (發票號碼 = '' or 發票號碼 is NULL) "},
      {0, 2, 0,
       " And (發票日期 between '' and '9999999')   And (FDATE <> '' and FDATE is not NULL)  "},
  };
  for (const auto& tc : cases) {
    OverviewFormState form = EmptyForm(k表1);
    form.sopt完工 = tc.done;
    form.sopt送貨 = tc.sent;
    form.sopt發票 = tc.invoice;
    const QString statement = ReportStatement(k表1, Captured(form), ctx);
    EXPECT_TRUE(statement.contains(QString::fromUtf8(tc.piece)))
        << tc.done << tc.sent << tc.invoice << " " << statement.toStdString();
  }
}

TEST(ReportStatement, MarginTestFollowsProfitRateBase) {
  const QString onCost = "(iif(COST=0,0,format((稅前金額+OTAMT-COST)/COST*100,'0.00'))<=0)) ";
  const QString onSales =
      "(iif(稅前金額+OTAMT=0,0,format((稅前金額+OTAMT-COST)/(稅前金額+OTAMT)*100,'0.00'))<=0)) ";
  for (const auto& [base, expected] : std::initializer_list<std::pair<QString, QString>>{
           {"0", onCost}, {"", onCost}, {"abc", onCost}, {"1", onSales}}) {
    AppContext ctx;
    ctx.ProfitRateBase = base;
    OverviewFormState form = EmptyForm(k表1);
    form.chk金額異常 = true;
    const QString statement = ReportStatement(k表1, Captured(form), ctx);
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
      "select * from [工單生產報表] where ODATE between '' and '9999999'  and (EMPNO = 'A001' or "
      "CUST in (select ID from [CUSTE] where EMPNO ='A001' group by ID) ";
  expected += " or [GROUP] = 'G1' ";
  for (int i = 1; i < 20; ++i)
    expected += QString(" or [GROUP%1] = 'G1' ").arg(i);
  expected += " ) order by PO, [NO] ";
  EXPECT_EQ(ReportStatement(k表5, c, ctx), expected);

  // The administrator mark equal to the user's name lifts the restriction, whatever the rights.
  ctx.AdminName = ctx.UserName;
  EXPECT_FALSE(ReportStatement(k表5, c, ctx).contains("CUSTE"));
  // Rights shorter than 40 characters never restrict.
  ctx.AdminName.clear();
  ctx.WorkOrderRights = QString(39, '1');
  EXPECT_FALSE(ReportStatement(k表5, c, ctx).contains("CUSTE"));
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

TEST(ReportStatement, ApostrophesAreDoubled) {
  AppContext ctx;
  ctx.UserName = "O'Brien";
  ctx.EmployeeId = "A'1";
  ctx.WorkOrderRights = QString(40, '1');
  ctx.Groups[0] = "G'1";
  OverviewFormState form = EmptyForm(k表1);
  form.txt客戶代號 = "O'Neil";
  form.txt印件名稱 = "%' or '1'='1";
  const QString statement = ReportStatement(k表1, Captured(form), ctx);
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
  form.chk印合版資料 = true;
  form.chk印刀模代號 = true;  // both ticked: the combined-plate source wins
  CaptureCriteria(form, c);
  EXPECT_EQ(c.ReportKind, 3);
  EXPECT_EQ(c.DateBasis, 1);

  OverviewFormState table3 = EmptyForm(k表3);
  table3.sopt完工 = 2;
  table3.sopt發票 = 2;
  table3.txt日期_起 = "1150101";
  CaptureCriteria(table3, c);
  EXPECT_EQ(c.ReportKind, 3);
  EXPECT_EQ(c.DateBasis, 1);
  EXPECT_EQ(c.CompletionFilter, "1");
  EXPECT_EQ(c.DeliveryFilter, 2);
  EXPECT_EQ(c.InvoiceFilter, 1);
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
  EXPECT_EQ(c.UnreviewedOnly, 1);
  unreviewed.chk只印未審單1 = true;
  CaptureCriteria(unreviewed, c);
  EXPECT_EQ(c.UnreviewedOnly, 2);
}

}  // namespace
}  // namespace tarvel
