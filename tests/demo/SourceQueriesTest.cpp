// Every SQL form the program sends, run against a generated demo database: each must run, find
// rows where the demo data has them, and deliver every column its layout or export reads.
//
// The overview statements come from the program's own builders with representative criteria; the
// forms of the windows not built yet (rework, lookups) are composed here from their fixed
// fragments. This file is the collection of the forms the database has to serve.
#include <gtest/gtest.h>
#include <QStringList>

#include "DemoFixture.h"
#include "overview/criteria/WhereClauses.h"
#include "startup/AppContext.h"

namespace tarvel::test {
namespace {

using namespace Qt::StringLiterals;

// --- the overview criteria and users of the cases ---------------------------------------------

struct Criteria {
  QString poFrom, poTo = u"zzzzzzzzz"_s, dateFrom, dateTo = u"9999999"_s;
  QString customerKeyword, salesKeyword, customerFrom, customerTo, itemKeyword, keyerKeyword;
  QString staffKeyword, category, salesFrom, salesTo, customerPoKeyword, classification;
  int dateBasis = 3;            // 1 invoice date, 2 finish date, 3 order date
  QString completion = u"3"_s;  // "1" finished, "2" unfinished, "3" all
  int delivery = 3;             // 1 cleared, 2 not cleared, 3 all
  int invoice = 3;              // 1 invoiced, 2 not invoiced, 3 all
  int positiveAmountOnly = 1;   // 2: only AMT > 0 (表2)
  int unreviewedOnly = 1;       // 2: only YN empty
  bool marginAnomaly = false;
};

struct User {
  QString adminName = u"系統管理員"_s, userName = u"系統管理員"_s, employeeId, workOrderRights;
  QString profitRateBase = u"0"_s;
  QStringList groups;
};

User Restricted() {
  User u;
  u.adminName.clear();
  u.userName = u"王小明"_s;
  u.employeeId = u"A001"_s;
  u.workOrderRights = QString(39, u'0') + u"11"_s;
  u.groups = QStringList{u"北區"_s} + QStringList(19, QString());
  return u;
}

// The overview statements are the program's own (overview/criteria), from these criteria and
// users: what is checked here is that the database serves every one of them.

WorkOrderCriteria ToCriteria(const Criteria& c) {
  WorkOrderCriteria w;
  w.PoFrom = c.poFrom;
  w.PoTo = c.poTo;
  w.DateFrom = c.dateFrom;
  w.DateTo = c.dateTo;
  w.CustomerKeyword = c.customerKeyword;
  w.SalesKeyword = c.salesKeyword;
  w.CustomerFrom = c.customerFrom;
  w.CustomerTo = c.customerTo;
  w.ItemKeyword = c.itemKeyword;
  w.KeyerKeyword = c.keyerKeyword;
  w.StaffKeyword = c.staffKeyword;
  w.Category = c.category;
  w.SalesFrom = c.salesFrom;
  w.SalesTo = c.salesTo;
  w.CustomerPoKeyword = c.customerPoKeyword;
  w.Classification = c.classification;
  w.DateBasis = c.dateBasis;
  w.CompletionFilter = c.completion;
  w.DeliveryFilter = c.delivery;
  w.InvoiceFilter = c.invoice;
  w.PositiveAmountOnly = c.positiveAmountOnly;
  w.UnreviewedOnly = c.unreviewedOnly;
  w.MarginAnomaly = c.marginAnomaly;
  return w;
}

AppContext ToContext(const User& u) {
  AppContext context;
  context.AdminName = u.adminName;
  context.UserName = u.userName;
  context.EmployeeId = u.employeeId;
  context.WorkOrderRights = u.workOrderRights;
  context.ProfitRateBase = u.profitRateBase;
  for (int i = 0; i < 20 && i < u.groups.size(); ++i)
    context.Groups[i] = u.groups[i];
  return context;
}

/// The overview rule of report choice `choice` (0, 1, 3, 5); `withCustomerRange` false for the
/// salesperson export, which leaves the customer range out.
QString OverviewWhere(const Criteria& c, const User& user, int choice,
                      bool withCustomerRange = true) {
  return tarvel::OverviewWhere(ToCriteria(c), ToContext(user), withCustomerRange && choice != 5,
                               choice == 1);
}

/// The 表3 rule; with the table name as `table` every column is qualified (the CROWD join).
QString SalesRangeWhere(const Criteria& c, const User& user, const QString& table = {}) {
  return tarvel::SalesRangeWhere(ToCriteria(c), ToContext(user), table);
}

QString ProductionWhere(const Criteria& c, const User& user) {
  return tarvel::ProductionWhere(ToCriteria(c), ToContext(user));
}

QString PlateRedoWhere(const Criteria& c, const User& user) {
  return tarvel::PlateRedoWhere(ToCriteria(c), ToContext(user));
}

/// The statement of an overview source: "select * " + "from [table] " + rule + order.
QString Select(const QString& table, const QString& where, const QString& order = {}) {
  return u"select * "_s + u"from ["_s + table + u"] "_s + where + order;
}

const QString kCrowdJoin =
    u"select 歷史工單明細2.*,CROWD.MEMB "_s +
    u"from [歷史工單明細2] left join CROWD on 歷史工單明細2.PO = CROWD.PO "_s;

// --- the rework window's statements ------------------------------------------------------------

struct Rework {
  QString poFrom, poTo = u"zzzzzzzzz"_s, dateFrom, dateTo = u"9999999"_s, customer, vendor,
                  dieCutter, sales;
  int kind = 4;         // 1 印刷, 2 工單, 3 製版, 4 all
  int vendorOrder = 1;  // 1 by die maker, 2 by die cutter
};

QString KindPiece(const Rework& r) {
  return r.kind == 1   ? u" and (種類 = '印刷') "_s
         : r.kind == 2 ? u" and (種類 = '工單') "_s
         : r.kind == 3 ? u" and (種類 = '製版') "_s
                       : QString();
}

QString ReworkHead(const QString& table, const Rework& r, bool proofWithCustomer) {
  QString s = u"select *  "_s + u"from ["_s + table + u"] "_s + u"where PO >= '"_s + r.poFrom +
              u"' And "_s + u"PO <= '"_s + r.poTo + u"' And ( "_s + u"ODATE >= '"_s + r.dateFrom +
              u"' And "_s + u"ODATE <= '"_s + r.dateTo;
  s += proofWithCustomer ? u"') And "_s + u"SNAME like '%"_s + r.customer + u"%' and ( "_s
                         : u"') and ( "_s;
  return s + u"EMPNO like '%"_s + r.sales + u"%' or "_s + u"NAME like '%"_s + r.sales + u"%') "_s;
}

QString ReworkStatement(const Rework& r) {
  QString s = ReworkHead(u"重工明細表"_s, r, false);
  if (!r.customer.isEmpty()) s += u" and (SNAME like '%"_s + r.customer + u"%') "_s;
  return s + KindPiece(r) + u" order by 種類, PO "_s;
}

QString ProofStatement(const Rework& r, const QString& order) {
  return ReworkHead(u"打樣明細表"_s, r, !r.customer.isEmpty()) + order;
}

QString KeptPlateStatement(const Rework& r) {
  return u"select * "_s + u"from [留版明細表4] "_s + u"where PO between '"_s + r.poFrom +
         u"' And "_s + u"'"_s + r.poTo + u"' And ( "_s + u"ODATE between '"_s + r.dateFrom +
         u"' And "_s + u"'"_s + r.dateTo + u"') And ( "_s + u"CUST like '%"_s + r.customer +
         u"%' or "_s + u"SNAME like '%"_s + r.customer + u"%') And ( "_s + u"VENDER like '%"_s +
         r.vendor + u"%' or "_s + u"SVENDER like '%"_s + r.vendor + u"%') and ( "_s +
         u"EMPNO like '%"_s + r.sales + u"%' or "_s + u"NAME like '%"_s + r.sales + u"%') "_s +
         KindPiece(r) + u" order by PO, [NO] "_s;
}

QString DieStatement(const Rework& r) {
  return u"select *  "_s + u"from [刀模明細表] "_s + u"where ODATE >= '"_s + r.dateFrom +
         u"' And "_s + u"ODATE <= '"_s + r.dateTo + u"' and ( "_s + u"VENDER like '%"_s + r.vendor +
         u"%' or "_s + u"SVENDER like '%"_s + r.vendor + u"%') and ( "_s + u"VENDER1 like '%"_s +
         r.dieCutter + u"%' or "_s + u"SVENDER1 like '%"_s + r.dieCutter + u"%') and ( "_s +
         u"EMPNO like '%"_s + r.sales + u"%' or "_s + u"NAME like '%"_s + r.sales + u"%') "_s +
         (r.vendorOrder == 1 ? u" order by VENDER, PO, REM "_s : u" order by VENDER1, PO, REM "_s);
}

// --- the lookup windows --------------------------------------------------------------------------

QString CustomerLookup(const QString& k, bool fallback) {
  const QString head =
      u"select CUST.ID as 客戶代號, CUST.SNAME as 客戶簡稱, "_s +
      u"CUST.EMPNO as 業務員代號, EMPLOYEE.NAME as 業務員, CUST.TEL1 as 電話, "_s +
      u"CUST.RATE as 發票稅率, CUST.PAYDATE, CUST.ADD3 as 送貨地址, CUST.NAM2 as 聯絡人, "_s +
      u"CUST.TNO as 統一編號, CUST.FAX as 傳真電話, CUST.ADD1, CUST.不附回郵, CUST.NAME as 客戶名稱 "_s +
      u"from [CUST] left join [EMPLOYEE] on CUST.EMPNO = EMPLOYEE.ID "_s;
  if (fallback)
    return head + u"where (CUST.停用 = '0' or CUST.停用 = '' or CUST.停用 is null) "_s +
           u" order by CUST.ID"_s;
  return head + u"where (CUST.ID like '%"_s + k + u"%' OR "_s + u"CUST.SNAME like '%"_s + k +
         u"%') and ( "_s + u"CUST.停用 = '0' or CUST.停用 = '' or CUST.停用 is null) "_s +
         u" order by CUST.ID"_s;
}

QString EmployeeLookup(const QString& k, bool fallback) {
  const QString head =
      u"select EMPLOYEE.ID as 業務員代號, EMPLOYEE.NAME as 業務員名稱 "_s + u"from EMPLOYEE "_s;
  if (fallback) return head + u"where EMPLOYEE.ODATE = '' "_s + u"order by EMPLOYEE.ID"_s;
  return head + u"Where (EMPLOYEE.ID Like '%"_s + k + u"%' OR "_s + u"EMPLOYEE.NAME Like '%"_s + k +
         u"%') and "_s + u"EMPLOYEE.ODATE = '' "_s + u"Order By EMPLOYEE.ID"_s;
}

QString VendorLookup(const QString& kindCondition, const QString& k, bool fallback) {
  const QString head = u"SELECT VENDER.ID as 廠商代號, VENDER.SNAME as 廠商簡稱, VENDER.RATE, "_s +
                       u"VENDER.TEL1, VENDER.NAM2 "_s + u"From [VENDER] "_s;
  const QString active = u"VENDER.停用 = '0' or VENDER.停用 = '' or VENDER.停用 is null) "_s;
  const QString order =
      kindCondition.isEmpty() ? u"Order By VENDER.ID"_s : u" Order By VENDER.ID"_s;
  if (fallback) return head + u"where ("_s + active + kindCondition + order;
  const QString where =
      kindCondition.isEmpty() ? u"Where (VENDER.ID Like '%"_s : u"where (VENDER.ID Like '%"_s;
  return head + where + k + u"%' or "_s + u"VENDER.SNAME Like '%"_s + k + u"%') and ( "_s + active +
         kindCondition + order;
}

// --- the cases -------------------------------------------------------------------------------

struct Case {
  QString name;
  QString sql;
  QStringList columns;  // every column the reader takes by name
  bool expectRows = true;
};

QStringList Words(const char* spaceSeparated) {
  return QString::fromUtf8(spaceSeparated).split(u' ', Qt::SkipEmptyParts);
}

QStringList Groups() {
  QStringList g{u"GROUP"_s};
  for (int i = 1; i <= 19; ++i)
    g << u"GROUP%1"_s.arg(i);
  return g;
}

const QStringList kWhereColumns = Words(
    "CUST SNAME EMPNO NAME PO CODE DESC EMPNO1 EMPNAME1 KIND 工務人員代號 工務人員 CUSTNO ODATE "
    "FDATE "
    "發票日期 FSEND 不送貨 發票號碼 YN 分類 AMT COST 稅前金額 OTAMT");
const QStringList kOverviewLayout =
    Words("PO ODATE 發票日期 SNAME CODE DESC QTY PRICE AMT NAME PDATE FDATE KIND EMPNO");

std::vector<Case> OverviewCases() {
  std::vector<Case> cases;
  Criteria all;  // the window's defaults: every range open
  all.customerFrom = u"C0001"_s;
  all.customerTo = u"C0120"_s;
  all.dateFrom = u"1120501"_s;
  all.dateTo = u"1140531"_s;
  all.salesFrom = u"A001"_s;
  all.salesTo = u"A006"_s;

  Criteria invoiced = all;  // invoice-date basis, finished, cleared, invoiced
  invoiced.dateBasis = 1;
  invoiced.completion = u"1"_s;
  invoiced.delivery = 1;
  invoiced.invoice = 1;
  invoiced.dateFrom = u"1130101"_s;

  Criteria open = all;  // finish-date basis is dropped: unfinished, not cleared, not invoiced
  open.completion = u"2"_s;
  open.delivery = 2;
  open.invoice = 2;
  open.unreviewedOnly = 2;

  Criteria finishedBasis = all;
  finishedBasis.dateBasis = 2;
  finishedBasis.completion = u"1"_s;

  Criteria keywords = all;
  keywords.customerKeyword = u"C00"_s;
  keywords.salesKeyword = u"A00"_s;
  keywords.itemKeyword = u"-00"_s;
  keywords.keyerKeyword = u"B00"_s;
  keywords.staffKeyword = u"C00"_s;
  keywords.category = u"一般"_s;
  keywords.classification = u"文宣"_s;
  keywords.poFrom = u"1"_s;

  Criteria anomaly = all;
  anomaly.marginAnomaly = true;

  Criteria positive = all;
  positive.positiveAmountOnly = 2;

  const User admin;
  const User restricted = Restricted();
  User salesBase = restricted;
  salesBase.profitRateBase = u"1"_s;
  salesBase.adminName = salesBase.userName;  // unrestricted, margins against sales

  const QStringList withWhere = kOverviewLayout + kWhereColumns + Groups();
  const QStringList plateCols =
      Words("NO 合版客戶簡稱 合版代號 合版名稱 合版數量 合版單價 合版小計 合版單位 CUSTNO");
  const QStringList dieCols = Words("NO DESC1 ITEM SVENDER REM");
  const QStringList costCols = Words("CUST SUM 毛利 FSEND CUSTNO 採購單號");
  const QStringList sheetCols = Words(
      "MEMB QTY SPEC 紙品 UNIT PRICE COLOR1 COLOR2 上光 裁工 裝訂 其他 裱紙 軋工 糊工 燙金 AMT "
      "NAME SNAME DESC "
      "ODATE PO EMPNO");
  const QStringList unshippedCols =
      Words("PO ODATE SNAME CODE DESC QTY 已出數量 未出數量 STOCK PDATE 種類 NAME NO");
  const QStringList productionCols = Words(
      "PO NO DESC ITEM SPEC 色數正 色數反 開數1 耗時 生產量 QTY1 QTY2 OAMT AMT QTY FREE ODATE "
      "EMPNO CUST");

  // The query builder's check statements, per report choice and criteria.
  const std::vector<std::pair<const char*, Criteria>> overviewCriteria = {
      {"defaults", all},      {"invoiced", invoiced},
      {"open", open},         {"finish basis", finishedBasis},
      {"keywords", keywords}, {"anomaly on cost", anomaly}};
  for (const auto& [label, c] : overviewCriteria) {
    const QString l = QString::fromUtf8(label);
    cases.push_back({u"表1 "_s + l, Select(u"歷史工單明細"_s, u"  "_s + OverviewWhere(c, admin, 0)),
                     withWhere});
    cases.push_back({u"表1 die code "_s + l,
                     Select(u"歷史工單明細3"_s, u"  "_s + OverviewWhere(c, admin, 0)),
                     withWhere + dieCols});
    cases.push_back({u"表1 combined "_s + l,
                     Select(u"歷史工單明細4"_s, u"  "_s + OverviewWhere(c, admin, 0)),
                     withWhere + plateCols});
    cases.push_back({u"表2 "_s + l,
                     Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(c, admin, 1)),
                     withWhere + costCols});
    cases.push_back({u"表4 "_s + l,
                     Select(u"歷史工單明細4"_s, u"  "_s + OverviewWhere(c, admin, 3)),
                     withWhere + plateCols});
    cases.push_back({u"未送總表 "_s + l,
                     Select(u"工單未出明細"_s, u"  "_s + OverviewWhere(c, admin, 5)),
                     withWhere + unshippedCols, c.invoice != 1});
  }
  cases.push_back({u"表2 positive amounts, margin on sales"_s,
                   Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(positive, salesBase, 1)),
                   withWhere});
  cases.push_back({u"表2 anomaly, margin on sales"_s,
                   Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(anomaly, salesBase, 1)),
                   withWhere});
  cases.push_back({u"表3"_s, Select(u"歷史工單明細2"_s, SalesRangeWhere(all, admin)), withWhere});
  cases.push_back(
      {u"表3 keywords"_s, Select(u"歷史工單明細2"_s, SalesRangeWhere(keywords, admin)), withWhere});
  cases.push_back({u"表5"_s,
                   Select(u"工單生產報表"_s, ProductionWhere(all, admin), u"order by PO, [NO] "_s),
                   productionCols});
  cases.push_back({u"補版明細"_s,
                   Select(u"歷史工單明細"_s, PlateRedoWhere(all, admin), u"order by PO "_s),
                   Words("PO ODATE SNAME DESC QTY NAME FDATE KIND EMPNO")});

  // The restricted user: own customers, CUSTE customers and the group columns of every source.
  cases.push_back({u"restricted 表1"_s,
                   Select(u"歷史工單明細"_s, u"  "_s + OverviewWhere(all, restricted, 0)),
                   withWhere});
  cases.push_back({u"restricted 表1 die code"_s,
                   Select(u"歷史工單明細3"_s, u"  "_s + OverviewWhere(all, restricted, 0)),
                   withWhere});
  cases.push_back({u"restricted 表2"_s,
                   Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(all, restricted, 1)),
                   withWhere});
  cases.push_back({u"restricted 表4"_s,
                   Select(u"歷史工單明細4"_s, u"  "_s + OverviewWhere(all, restricted, 3)),
                   withWhere});
  cases.push_back({u"restricted 未送總表"_s,
                   Select(u"工單未出明細"_s, u"  "_s + OverviewWhere(all, restricted, 5)),
                   withWhere});
  cases.push_back({u"restricted 表3"_s,
                   Select(u"歷史工單明細2"_s, SalesRangeWhere(all, restricted)), withWhere});
  cases.push_back(
      {u"restricted 表5"_s,
       Select(u"工單生產報表"_s, ProductionWhere(all, restricted), u"order by PO, [NO] "_s),
       productionCols + Groups()});
  cases.push_back({u"restricted 補版明細"_s,
                   Select(u"歷史工單明細"_s, PlateRedoWhere(all, restricted), u"order by PO "_s),
                   withWhere});

  // The layouts' own statements (same rules, their ORDER BY).
  cases.push_back(
      {u"rptTarvel_1 / rptTarvel2 / rptTarvel7"_s,
       Select(u"歷史工單明細"_s, u"  "_s + OverviewWhere(invoiced, admin, 0), u" order by PO "_s),
       kOverviewLayout + Words("CUSTNO 採購單號")});
  cases.push_back(
      {u"rptTarvel5"_s,
       Select(u"歷史工單明細3"_s, u"  "_s + OverviewWhere(all, admin, 0), u" order by PO, [NO] "_s),
       kOverviewLayout + dieCols});
  cases.push_back(
      {u"rptTarvel6_1 / rptTarvel8"_s,
       Select(u"歷史工單明細4"_s, u"  "_s + OverviewWhere(all, admin, 3), u" order by PO, [NO] "_s),
       kOverviewLayout + plateCols});
  cases.push_back(
      {u"rptTarvel3"_s,
       Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(positive, admin, 1), u" order by PO "_s),
       kOverviewLayout + costCols});
  cases.push_back({u"rptTarvel3_1"_s,
                   Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(all, admin, 1),
                          u" order by EMPNO, PO "_s),
                   kOverviewLayout + costCols});
  cases.push_back({u"rptTarvel4 (CROWD join)"_s,
                   kCrowdJoin + SalesRangeWhere(all, admin, u"歷史工單明細2"_s) +
                       u" order by 歷史工單明細2.PO "_s,
                   sheetCols});
  cases.push_back({u"rptTarvel4_1 restricted (CROWD join)"_s,
                   kCrowdJoin + SalesRangeWhere(keywords, restricted, u"歷史工單明細2"_s) +
                       u" order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO "_s,
                   sheetCols, false});
  cases.push_back({u"rptTarvel4_1 restricted, all (CROWD join)"_s,
                   kCrowdJoin + SalesRangeWhere(all, restricted, u"歷史工單明細2"_s) +
                       u" order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO "_s,
                   sheetCols});
  cases.push_back(
      {u"rpt工單未出明細_橫"_s,
       Select(u"工單未出明細"_s, u"  "_s + OverviewWhere(open, admin, 5), u" order by PO, [NO] "_s),
       unshippedCols});
  cases.push_back({u"rptTarvel10"_s,
                   Select(u"歷史工單明細"_s, PlateRedoWhere(all, admin), u"order by PO "_s),
                   Words("PO ODATE SNAME DESC QTY NAME FDATE KIND")});

  // The Excel exports: the salesperson overview leaves the customer range out.
  cases.push_back({u"export 表二 by salesperson"_s,
                   Select(u"歷史工單明細1"_s, u"  "_s + OverviewWhere(all, admin, 1, false),
                          u" order by EMPNO, PO "_s),
                   Words("PO KIND ODATE 發票日期 CUST SNAME DESC QTY PRICE AMT SUM 毛利 NAME FSEND "
                         "CUSTNO EMPNO")});
  cases.push_back(
      {u"export 表七 combined plates"_s,
       Select(u"歷史工單明細4"_s, u"  "_s + OverviewWhere(all, admin, 3), u" order by PO, [NO] "_s),
       kOverviewLayout + plateCols});
  cases.push_back({u"export 表六 production report"_s,
                   Select(u"工單生產報表"_s, ProductionWhere(all, admin), u"order by PO, [NO] "_s),
                   productionCols});
  return cases;
}

std::vector<Case> OtherCases() {
  std::vector<Case> cases;
  // Start-up: the loader's queries, in its order, with the columns it reads.
  cases.push_back({u"loader EMPLOYEE"_s, u"select * from [EMPLOYEE] "_s + u"where ID = 'A001'"_s,
                   Groups() + Words("分機代號")});
  cases.push_back({u"loader COMPANY"_s, u"select * from [COMPANY] "_s,
                   Words("COMPANY ADD ADD1 TNO TEL FAX VER")});
  cases.push_back(
      {u"loader COMPANY1"_s, u"select * from [COMPANY1] "_s, Words("COMPANY ADD TNO TEL FAX")});
  cases.push_back(
      {u"loader COMPANY2"_s, u"select * from [COMPANY2] "_s, Words("COMPANY ADD TNO TEL FAX")});
  QStringList systemCols{u"MFUN"_s};
  for (int i = 0; i <= 87; ++i)
    if (i != 68 && i != 79) systemCols << u"ITEM%1"_s.arg(i);
  cases.push_back({u"loader SYSTEM"_s, u"select * from [SYSTEM] "_s, systemCols});
  cases.push_back(
      {u"loader SYSTEM1"_s, u"select * from [SYSTEM1] "_s,
       Words("發票開立方式 發票平台路徑 ITEM87 ITEM88 ITEM89 ITEM102 ITEM110 ITEM119 ITEM120")});
  cases.push_back({u"loader 使用者資料"_s,
                   u"select * from [使用者資料] "_s + u"where 使用者 = '王小明'"_s,
                   Words("估價審單金額 採購審單金額 工單作業權限 生產管理權限 成本分析權限 "
                         "基本資料權限 應收帳款權限 應付帳款權限 "
                         "物料管理權限 產品管理權限 印刷作業權限 製版作業權限 發票權限 其它權限 "
                         "報價權限 維護權限 會計權限 績效權限 "
                         "稽核權限 速算權限 運送權限 授信額度權限 產能權限 CRM權限 網印權限 "
                         "代收權限 雜支權限 刀模權限 標籤權限 "
                         "公告權限 寄庫權限 捲筒權限 接稿權限")});
  cases.push_back({u"loader 使用者資料明細"_s,
                   u"select * from [使用者資料明細] "_s + u"where 使用者 = '王小明'"_s,
                   Words("工單作業細部 生產管理細部 成本分析細部 基本資料細部 應收帳款細部 "
                         "應付帳款細部 物料管理細部 產品管理細部 "
                         "印刷作業細部 製版作業細部 發票細部 其它細部 報價細部 維護細部 會計細部 "
                         "績效細部 稽核細部 速算細部 運送細部 "
                         "產能細部 CRM細部 網印細部 代收細部 雜支細部 刀模細部 標籤細部 公告細部 "
                         "寄庫細部 捲筒細部 接稿細部")});
  cases.push_back({u"loader SYSOS"_s, u"select * from [SYSOS] "_s,
                   Words("VM XP WIN7 WIN7C WIN8 WIN8C WIN10 WIN10C WIN11 WIN11C")});
  cases.push_back(
      {u"loader 啟用發送EAMIL"_s, u"select * from [啟用發送EAMIL] "_s, Words("啟用發送EAMIL")});
  cases.push_back({u"loader SYSLOAD"_s,
                   u"select * from [SYSLOAD] "_s + u"where ID = 'DEMO-PC\\demo' and "_s +
                       u"COMPUTER = 'demo-pc' "_s,
                   Words("EXCEL")});
  // Main window lists, the customer range dialog, the company name refresh.
  cases.push_back({u"salesperson list"_s,
                   u"select ID, NAME "_s + u"from [EMPLOYEE] "_s + u"order by ID"_s,
                   Words("ID NAME")});
  cases.push_back({u"category list"_s,
                   u"select * "_s + u"from [PHRASE] "_s + u"where KIND = '"_s + u"Q-工單類別"_s +
                       u"' and "_s + u"ITEM = '類別' "_s + u"order by ID"_s,
                   Words("DESC")});
  cases.push_back({u"classification list"_s,
                   u"select * "_s + u"from [PHRASE] "_s + u"where KIND = '"_s + u"Z-雜項"_s +
                       u"' and "_s + u"ITEM = '分類' "_s + u"order by ID"_s,
                   Words("DESC")});
  cases.push_back({u"customer list"_s,
                   u"select ID, SNAME "_s + u"from [CUST] "_s + u"order by ID"_s,
                   Words("ID SNAME")});
  cases.push_back(
      {u"customer range look-up"_s,
       u"select ID, SNAME "_s + u"from [CUST] "_s + u"where ID = '"_s + u"c0001"_s + u"'"_s,
       Words("ID SNAME")});
  cases.push_back({u"company name"_s, u"select * from [COMPANY]"_s, Words("COMPANY")});
  // The unshipped layout's per-row stock-in look-up.
  {
    auto db = DemoDatabaseFixture::Open();
    db::Recordset line = db->OpenRecordset(u"select PO, PID from [工單產品入庫數] order by PO"_s);
    const QString po = line.Text(u"PO"_s), pid = line.Text(u"PID"_s);
    cases.push_back({u"stocked-in look-up"_s,
                     u"select * from [工單產品入庫數] "_s + u"where PO = '"_s + po + u"' and "_s +
                         u"PID = '"_s + pid + u"' "_s,
                     Words("入庫數量")});
  }
  // Lookup windows: with a seed, and the fallback when the seed matches nothing.
  const QStringList customerCols = Words(
      "客戶代號 客戶簡稱 業務員代號 業務員 電話 發票稅率 PAYDATE 送貨地址 聯絡人 統一編號 傳真電話 "
      "ADD1 不附回郵 客戶名稱");
  cases.push_back({u"customer lookup"_s, CustomerLookup(u"c00"_s, false), customerCols});
  cases.push_back({u"customer lookup fallback"_s, CustomerLookup({}, true), customerCols});
  cases.push_back(
      {u"employee lookup"_s, EmployeeLookup(u"王"_s, false), Words("業務員代號 業務員名稱")});
  cases.push_back(
      {u"employee lookup fallback"_s, EmployeeLookup({}, true), Words("業務員代號 業務員名稱")});
  const QStringList vendorCols = Words("廠商代號 廠商簡稱 RATE TEL1 NAM2");
  cases.push_back({u"vendor lookup all"_s, VendorLookup({}, u"V0"_s, false), vendorCols});
  cases.push_back({u"vendor lookup all fallback"_s, VendorLookup({}, {}, true), vendorCols});
  for (int item = 1; item <= 14; ++item) {
    const QString condition = u" and ITEM%1 = '1' "_s.arg(item);
    cases.push_back(
        {u"vendor lookup ITEM%1"_s.arg(item), VendorLookup(condition, {}, false), vendorCols});
    cases.push_back({u"vendor lookup ITEM%1 fallback"_s.arg(item),
                     VendorLookup(condition, {}, true), vendorCols});
  }
  // The rework window, its layouts and its export.
  Rework r;
  r.dateFrom = u"1120501"_s;
  r.dateTo = u"1140531"_s;
  const QStringList reworkCols =
      Words("種類 PO ODATE SNAME DESC NAME QTY PRICE AMT PDATE SUM EMPNO");
  for (int kind = 1; kind <= 4; ++kind) {
    Rework k = r;
    k.kind = kind;
    cases.push_back({u"重工明細表 kind %1"_s.arg(kind), ReworkStatement(k), reworkCols});
    cases.push_back(
        {u"留版明細表 kind %1"_s.arg(kind), KeptPlateStatement(k),
         Words("PO ODATE SNAME DESC SIZE COLOR1 COLOR2 PLAT SVENDER CUST VENDER EMPNO NAME NO")});
  }
  Rework withCustomer = r;
  withCustomer.customer = QStringLiteral("%");
  cases.push_back({u"重工明細表 with customer"_s, ReworkStatement(withCustomer), reworkCols});
  cases.push_back({u"打樣明細表 check"_s, ProofStatement(r, {}), reworkCols.mid(1)});
  cases.push_back(
      {u"打樣明細表 layout"_s, ProofStatement(r, u" order by PO "_s), reworkCols.mid(1)});
  cases.push_back({u"打樣明細表 with customer"_s, ProofStatement(withCustomer, u" order by PO "_s),
                   reworkCols.mid(1)});
  for (int order = 1; order <= 2; ++order) {
    Rework d = r;
    d.vendorOrder = order;
    cases.push_back(
        {u"刀模明細表 order %1"_s.arg(order), DieStatement(d),
         Words("SVENDER1 PO SNAME DESC QTY NAME REM SVENDER UNIT ODATE VENDER VENDER1 EMPNO")});
  }
  return cases;
}

void RunCases(const std::vector<Case>& cases) {
  auto db = DemoDatabaseFixture::Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.toStdString() + "\n" + c.sql.toStdString());
    db::Recordset rows;
    try {
      rows = db->OpenRecordset(c.sql);
    } catch (const Error& e) {
      ADD_FAILURE() << "the statement failed: " << e.Description().toStdString();
      continue;
    }
    if (c.expectRows) {
      EXPECT_GT(rows.RecordCount(), 0);
    }
    for (const QString& column : c.columns)
      EXPECT_GE(rows.FieldIndex(column), 0) << "missing column " << column.toStdString();
  }
}

TEST(SourceQueriesTest, OverviewQueriesLayoutsAndExportsRun) {
  RunCases(OverviewCases());
}

TEST(SourceQueriesTest, StartUpListsLookupsAndReworkQueriesRun) {
  RunCases(OtherCases());
}

TEST(SourceQueriesTest, TheRestrictedUserSeesLessThanTheAdministrator) {
  // The own-customer scope must narrow the rows (the demo has orders outside his reach) but not
  // to nothing: the group and CUSTE alternatives must find rows of their own.
  Criteria all;
  all.customerFrom = u"C0001"_s;
  all.customerTo = u"C9999"_s;
  auto db = DemoDatabaseFixture::Open();
  const auto count = [&](const User& user) {
    return db->OpenRecordset(Select(u"歷史工單明細"_s, u"  "_s + OverviewWhere(all, user, 0)))
        .RecordCount();
  };
  User withoutGroups = Restricted();
  withoutGroups.groups = QStringList(20, QString());
  const qint64 everything = count(User());
  const qint64 restricted = count(Restricted());
  const qint64 ownAndCuste = count(withoutGroups);
  EXPECT_EQ(everything, DemoDatabaseFixture::kOrders);
  EXPECT_LT(restricted, everything);
  EXPECT_LT(ownAndCuste, restricted);
  EXPECT_GT(ownAndCuste, 0);
}

TEST(SourceQueriesTest, TheRunningWindowRegistryCanBeWrittenAndCleared) {
  auto db = DemoDatabaseFixture::Open();
  const QString id = u"DEMO-PC\\demo"_s, func = u"Tarvel"_s;
  for (double handle : {4242.0, 4343.0}) {  // the second registration reuses the row
    db::UpdatableRecordset row =
        db->OpenForUpdate(u"select top 1 * from [SYSUSER1] where ID = '"_s + id +
                          u"' and FUNC = '"_s + func + u"' "_s);
    if (row.EOF_()) {
      row.AddNew();
      row.SetField(u"ID"_s, id);
      row.SetField(u"FUNC"_s, func);
    }
    row.SetField(u"LPID"_s, handle);
    row.Update();
  }
  db::Recordset rows = db->OpenRecordset(u"select * from [SYSUSER1]"_s);
  ASSERT_EQ(rows.RecordCount(), 1);
  EXPECT_EQ(rows.Field(u"LPID"_s).Number(), 4343.0);
  db->Execute(u"delete from [SYSUSER1] where ID = '"_s + id + u"' and FUNC = '"_s + func + u"' "_s);
  db->Execute(u"delete from [SYSUSER1] where ID = '"_s + id + u"' "_s);
  EXPECT_EQ(db->OpenRecordset(u"select * from [SYSUSER1]"_s).RecordCount(), 0);
}

}  // namespace
}  // namespace tarvel::test
