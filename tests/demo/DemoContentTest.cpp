// What the demo data holds: every mix the filters tell apart, one work order alike in every
// source, and the two users to sign in as.
#include <gtest/gtest.h>
#include <QHash>

#include "demo/DemoDatabase.h"
#include "support/CaseFile.h"
#include "support/Demo.h"

namespace tarvel::test {

namespace {

using namespace Qt::StringLiterals;

TEST(DemoContentTest, EveryMixTheFiltersDistinguishExists) {
  auto db = OpenDemo();
  for (const QStringList& c : ReadCases("demo-mixes.txt")) {
    const double count = Scalar(*db, u"select count(*) from "_s + c[2] + u" where "_s + c[1]);
    EXPECT_GT(count, 0) << c[0].toStdString();
  }
}

TEST(DemoContentTest, MixesStayConsistent) {
  auto db = OpenDemo();
  struct Case {
    const char* what;
    QString sql;  // counts rows that must not exist
  };
  const std::vector<Case> cases = {
      {"finished after today", u"select count(*) from [工單主檔] where FDATE > '1151204'"_s},
      {"ordered after today", u"select count(*) from [工單主檔] where ODATE > '1151204'"_s},
      {"ordered before the window", u"select count(*) from [工單主檔] where ODATE < '1131201'"_s},
      {"finished before ordered",
       u"select count(*) from [工單主檔] where FDATE <> '' and FDATE < ODATE"_s},
      {"cleared but not all delivered",
       u"select count(*) from [工單主檔] where FSEND = 'Y' and 已出數量 < QTY"_s},
      {"never delivered but cleared",
       u"select count(*) from [工單主檔] where 不送貨 = 1 and FSEND = 'Y'"_s},
      {"invoice number without date",
       u"select count(*) from [工單主檔] where 發票號碼 <> '' and (發票日期 is NULL or 發票日期 = '')"_s},
      {"amount other than quantity times price",
       u"select count(*) from [工單主檔] where abs(AMT - Int(QTY * PRICE + 0.5)) > 0.001"_s},
      {"dates that are not 7 digits",
       u"select count(*) from [工單主檔] where Len(ODATE) <> 7 or Len(PDATE) <> 7 "
       u"or (FDATE <> '' and Len(FDATE) <> 7)"_s},
      {"duplicate work-order numbers",
       u"select count(*) - count(distinct PO) from [歷史工單明細]"_s},
      {"keyword pairs with NULL (rows would drop out of every overview)",
       u"select count(*) from [歷史工單明細] where CUST is NULL or SNAME is NULL or EMPNO is NULL "
       u"or NAME is NULL or CODE is NULL or [DESC] is NULL or EMPNO1 is NULL or EMPNAME1 is NULL "
       u"or KIND is NULL or 工務人員代號 is NULL or 工務人員 is NULL or CUSTNO is NULL"_s},
      {"in-service employee with NULL leaving date",
       u"select count(*) from [EMPLOYEE] where ODATE is NULL"_s},
      {"stock-in for a fully delivered line",
       u"select count(*) from [工單產品入庫數] s join [工單主檔] w on w.PO = s.PO where w.已出數量 >= w.QTY"_s},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Scalar(*db, c.sql), 0) << c.what;
}

TEST(DemoContentTest, AWorkOrderCarriesTheSameValuesInEverySource) {
  auto db = OpenDemo();
  struct Line {
    QString cust, odate, amt, sname;
  };
  const auto read = [&](const QString& source) {
    QHash<QString, Line> lines;
    db::Recordset rows = db->OpenRecordset(u"select PO, CUST, ODATE, AMT, SNAME from "_s + source);
    for (; !rows.EOF_(); rows.MoveNext()) {
      const Line line{rows.Text(u"CUST"_s), rows.Text(u"ODATE"_s), rows.Field(u"AMT"_s).ToText(),
                      rows.Text(u"SNAME"_s)};
      const QString po = rows.Text(u"PO"_s);
      // Sources with several lines per order must repeat the order's values on each.
      if (const auto seen = lines.constFind(po); seen != lines.cend()) {
        EXPECT_TRUE(seen->cust == line.cust && seen->amt == line.amt) << po.toStdString();
      }
      lines.insert(po, line);
    }
    return lines;
  };
  const QHash<QString, Line> base = read(u"[歷史工單明細]"_s);
  ASSERT_EQ(base.size(), kDemoOrders);
  struct Source {
    QString name;
    bool everyOrder;   // holds every work order (not only unshipped, reworked, proofs)
    bool orderAmount;  // AMT is the order's (a rework has an amount of its own)
  };
  const std::vector<Source> sources = {
      {u"[歷史工單明細1]"_s, true, true}, {u"[歷史工單明細2]"_s, true, true},
      {u"[歷史工單明細3]"_s, true, true}, {u"[歷史工單明細4]"_s, true, true},
      {u"[工單生產報表]"_s, true, true},  {u"[工單未出明細]"_s, false, true},
      {u"[打樣明細表]"_s, false, true},   {u"[重工明細表]"_s, false, false}};
  for (const Source& source : sources) {
    const QHash<QString, Line> lines = read(source.name);
    ASSERT_FALSE(lines.isEmpty()) << source.name.toStdString();
    if (source.everyOrder) {
      EXPECT_EQ(lines.size(), base.size()) << source.name.toStdString();
    }
    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
      ASSERT_TRUE(base.contains(it.key()))
          << source.name.toStdString() << " " << it.key().toStdString();
      const Line& b = base[it.key()];
      EXPECT_TRUE(b.cust == it->cust && b.odate == it->odate && b.sname == it->sname &&
                  (!source.orderAmount || b.amt == it->amt))
          << source.name.toStdString() << " " << it.key().toStdString();
    }
  }
}

TEST(DemoContentTest, TheDemoUsersCanSignIn) {
  auto db = OpenDemo();
  // The users the README names: the administrator (never restricted), the restricted
  // salesperson and a colleague.
  const demo::DemoUser users[] = {{u"系統管理員"_s, u"系統管理員"_s, {}, {}},
                                  {u"王小明"_s, {}, u"A001"_s, {}},
                                  {u"林淑芬"_s, {}, u"A003"_s, {}}};
  const demo::DemoUser& restricted = users[1];

  for (const demo::DemoUser& user : users) {
    db::Recordset rights = db->OpenRecordset(u"select * from [使用者資料明細] where 使用者 = '"_s +
                                             user.userName + u"'"_s);
    ASSERT_EQ(rights.RecordCount(), 1) << user.userName.toStdString();
    EXPECT_EQ(
        db->OpenRecordset(u"select * from [使用者資料] where 使用者 = '"_s + user.userName + u"'"_s)
            .RecordCount(),
        1);
    const QString flags = rights.Text(u"工單作業細部"_s);
    const bool isRestricted = &user == &restricted;
    EXPECT_EQ(flags.size() >= 41 && flags[39] == u'1', isRestricted) << user.userName.toStdString();
    EXPECT_EQ(flags.size() >= 41 && flags[40] == u'1', isRestricted) << user.userName.toStdString();
  }

  // The restricted user has an employee row with a group, customers of his own, CUSTE
  // customers of others, and a colleague in his group: each widens what he sees.
  db::Recordset employee = db->OpenRecordset(u"select * from [EMPLOYEE] where ID = '"_s +
                                             restricted.employeeId + u"'"_s);
  ASSERT_EQ(employee.RecordCount(), 1);
  const QString group = employee.Text(u"GROUP"_s);
  ASSERT_FALSE(group.isEmpty());
  EXPECT_EQ(employee.Text(u"ODATE"_s), QString());
  const QString id = restricted.employeeId;
  const double own =
      Scalar(*db, u"select count(*) from [歷史工單明細] where EMPNO = '"_s + id + u"'"_s);
  const double assigned =
      Scalar(*db, u"select count(*) from [歷史工單明細] where EMPNO <> '"_s + id +
                      u"' and CUST in (select ID from [CUSTE] where EMPNO ='"_s + id +
                      u"' group by ID)"_s);
  const double groupOnly = Scalar(*db, u"select count(*) from [歷史工單明細] where EMPNO <> '"_s +
                                           id + u"' and [GROUP] = '"_s + group + u"'"_s);
  const double outside = Scalar(
      *db, u"select count(*) from [歷史工單明細] where ([GROUP] <> '"_s + group +
               u"' or [GROUP] is NULL) and CUST not in (select ID from [CUSTE] where EMPNO ='"_s +
               id + u"')"_s);
  EXPECT_GT(own, 0);
  EXPECT_GT(assigned, 0);
  EXPECT_GT(groupOnly, 0);
  EXPECT_GT(outside, 0);
}

}  // namespace
}  // namespace tarvel::test
