// 表2, 表3, 表5 and 未送總表: their row texts on chosen rows, their statements, their totals
// against SQL on a generated database, and the stocked-in lookup of 未送總表.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "criteria/WhereClauses.h"
#include "db/Connection.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "reports/UnshippedOrders.h"
#include "support/Demo.h"
#include "support/LayoutForms.h"
#include "support/RecordingUi.h"
#include "support/ReportTexts.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::BandInstances;
using test::LastBand;
using test::TextOf;
using Rows = std::vector<std::vector<db::Value>>;

constexpr const char* kJet = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";

/// Runs a fresh instance of the layout `name` on in-memory rows.
PageModel RunOn(const char* name, const WorkOrderCriteria& criteria, const AppContext& context,
                const QStringList& columns, const Rows& rows) {
  auto report = test::Layout(QString::fromUtf8(name), criteria, context);
  report->DataControl1.SetRecordset(db::Recordset(columns, rows));
  return report->Run(PaperSizeTwips(9));
}

double Number(QString text) {
  return text.remove(u',').toDouble();
}

// ---- 表2: margins ------------------------------------------------------------------------------

const QStringList kTable2Columns = {"PO",   "KIND",  "ODATE",  "發票日期", "CUST", "SNAME",
                                    "DESC", "QTY",   "PRICE",  "AMT",      "SUM",  "毛利",
                                    "NAME", "FSEND", "CUSTNO", "EMPNO"};

std::vector<db::Value> Table2Row(const char* po, db::Value amount, db::Value cost, db::Value margin,
                                 const char* empno = "A001") {
  return {po,  "一般", "1151101", "1151120", "C001",   "客戶", "品名", 1000,
          2.5, amount, cost,      margin,    "王小明", "Y",    "PO-9", empno};
}

TEST(RptTarvel3, MarginPercentageByTheSystemsBase) {
  const struct {
    const char* base;  // ITEM18
    db::Value amount, cost, margin;
    const char* rate;
  } cases[] = {
      {"0", 1000.0, 800.0, 200.0, "25"},        // over the cost
      {"1", 1000.0, 800.0, 200.0, "20"},        // over the amount
      {"", 1000.0, 800.0, 200.0, "25"},         // empty counts as 0
      {"abc", 1000.0, 800.0, 200.0, "25"},      // not a number counts as 0
      {"0", 1000.0, 0.0, 1000.0, "0"},          // no cost: no rate
      {"0", 1000.0, db::Value(), 1000.0, "0"},  // NULL cost reads as 0
      {"1", 0.0, 50.0, -50.0, "0"},             // no amount: no rate
      {"1", 800.0, 900.0, -100.0, "-13"},       // -12.5 rounds away from zero
      {"0", 100.0, 8.0, 92.0, "1,150"},         // thousands separators
      {"0", "1000", "3", "1", "33"},            // texts are read with Val
  };
  for (const auto& tc : cases) {
    AppContext context;
    context.ProfitRateBase = tc.base;
    const PageModel model = RunOn("rptTarvel3", {}, context, kTable2Columns,
                                  {Table2Row("A1", tc.amount, tc.cost, tc.margin)});
    EXPECT_EQ(TextOf(BandInstances(model, SectionKind::Detail).at(0), "txt毛利率"), tc.rate)
        << "ITEM18 " << tc.base << " amount " << tc.amount.ToText().toStdString() << " cost "
        << tc.cost.ToText().toStdString();
  }
}

TEST(RptTarvel3, FooterRateComesFromTheFooterSums) {
  AppContext context;
  context.ProfitRateBase = "0";
  // Rates of 10 % and 100 %: the footer shows the rate of the sums, 110 / 1010 = 10.9 %, not
  // the mean of the rows' rates (55 %).
  const PageModel model =
      RunOn("rptTarvel3", {}, context, kTable2Columns,
            {Table2Row("A1", 1100.0, 1000.0, 100.0), Table2Row("A2", 20.0, 10.0, 10.0)});
  const auto rows = BandInstances(model, SectionKind::Detail);
  EXPECT_EQ(TextOf(rows[0], "txt毛利率"), "10");
  EXPECT_EQ(TextOf(rows[1], "txt毛利率"), "100");
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "2");
  EXPECT_EQ(TextOf(footer, "txt數量合計"), "2,000");
  EXPECT_EQ(TextOf(footer, "txt合計"), "1,120");
  EXPECT_EQ(TextOf(footer, "txtSUM_S"), "1,010");
  EXPECT_EQ(TextOf(footer, "txt毛利_S"), "110");
  EXPECT_EQ(TextOf(footer, "txt毛利率_S"), "11");

  context.ProfitRateBase = "1";  // 110 / 1120 = 9.8 %
  const PageModel onSales =
      RunOn("rptTarvel3", {}, context, kTable2Columns,
            {Table2Row("A1", 1100.0, 1000.0, 100.0), Table2Row("A2", 20.0, 10.0, 10.0)});
  EXPECT_EQ(TextOf(LastBand(onSales, SectionKind::GroupFooter1), "txt毛利率_S"), "10");

  context.ProfitRateBase = "0";  // no cost at all: the footer rate is 0, not a division by zero
  const PageModel noCost =
      RunOn("rptTarvel3", {}, context, kTable2Columns, {Table2Row("A1", 1100.0, 0.0, 1100.0)});
  EXPECT_EQ(TextOf(LastBand(noCost, SectionKind::GroupFooter1), "txt毛利率_S"), "0");
}

TEST(RptTarvel3, DateColumnFollowsTheDateBasis) {
  const struct {
    DateBasis basis;
    const char *heading, *date, *caption;
  } cases[] = {
      {DateBasis::Invoice, "發票日期", "115/11/20", "發票日期："},
      {DateBasis::Finish, "工單日期", "115/11/01", "完工日期："},
      {DateBasis::Order, "工單日期", "115/11/01", "工單日期："},
  };
  for (const auto& tc : cases) {
    WorkOrderCriteria criteria;
    criteria.DateBasis = tc.basis;
    const PageModel model =
        RunOn("rptTarvel3", criteria, {}, kTable2Columns, {Table2Row("A1", 1.0, 1.0, 0.0)});
    const auto title = LastBand(model, SectionKind::GroupHeader1);
    SCOPED_TRACE(tc.caption);
    EXPECT_EQ(TextOf(title, "lbl工單日期"), tc.heading);
    EXPECT_EQ(TextOf(title, "lbl日期"), tc.caption);
    EXPECT_EQ(TextOf(BandInstances(model, SectionKind::Detail).at(0), "txtODATE"), tc.date);
    EXPECT_EQ(TextOf(title, "txtEMPNO"), "") << "the salesperson block is hidden in the list";
  }
}

// ---- 表3: process sheet ------------------------------------------------------------------------

const QStringList kTable3Columns = {"PO",     "ODATE",  "NAME", "SNAME", "DESC",  "MEMB",
                                    "QTY",    "UNIT",   "SPEC", "紙品",  "PRICE", "AMT",
                                    "COLOR1", "COLOR2", "上光", "裱紙",  "軋工",  "糊工",
                                    "裁工",   "裝訂",   "燙金", "其他",  "EMPNO"};

TEST(RptTarvel4, ColoursQuantityAndOtherDetails) {
  const QString longText = "亮面上光加局部UV霧面處理";  // 24 display bytes
  const struct {
    db::Value colour1, colour2;
    std::array<db::Value, 8> processes;  // 上光 裱紙 軋工 糊工 裁工 裝訂 燙金 其他
    QString colour, details;
  } cases[] = {
      {4, 0, {"", "", "", "", "裁切", "", "燙金", ""}, "正4", "裁切  燙金"},
      {0, 1, {}, "反1", ""},
      {4,
       1,
       {"上光", "裱紙", "軋工", "糊工", "裁工", "裝訂", "燙金", "其他"},
       "正4反1",
       "上光  裱紙  軋工  糊工  裁工  裝訂  燙金  其他"},
      {0,
       0,
       {longText, " ", db::Value(), "", "", "", "", "  手工  "},
       "",
       "亮面上光加局部UV霧面  手工"},
      {"4", "2.5", {}, "正4反2.5", ""},
      {db::Value(), db::Value(), {}, "", ""},
  };
  Rows rows;
  for (const auto& tc : cases) {
    std::vector<db::Value> row = {"A1", "1151101", "王小明",   "客戶",    "品名",
                                  2,    1234.5,    "張 ",      "8K",      "銅版紙",
                                  1.5,  1851.75,   tc.colour1, tc.colour2};
    row.insert(row.end(), tc.processes.begin(), tc.processes.end());
    row.push_back("A001");
    rows.push_back(std::move(row));
  }
  const PageModel model = RunOn("rptTarvel4", {}, {}, kTable3Columns, rows);
  const auto texts = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(texts.size(), std::size(cases));
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(TextOf(texts[i], "txt印色"), cases[i].colour) << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txt其他明細"), cases[i].details) << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txtQTY"), "1,234.5張") << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txtODATE"), "115/11/01") << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txtPRICE"), "") << "hidden";
  }
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "txt數量合計"), "7,407");
  EXPECT_EQ(TextOf(footer, "txt合計"), "") << "the amount total is not printed";
}

// ---- 表5: production sheet ---------------------------------------------------------------------

TEST(RptTarvel9, TotalSheetsAndAmounts) {
  const QStringList columns = {"PO",     "NO",    "DESC", "ITEM",   "SPEC", "色數正",
                               "色數反", "開數1", "耗時", "生產量", "QTY1", "QTY2",
                               "OAMT",   "AMT",   "QTY",  "FREE"};
  const struct {
    db::Value reams, free, cost, quote;
    const char *total, *costText, *quoteText;
  } cases[] = {
      {2, 30, 12345.6, 20000, "2令 30張", "12,345.6", "20,000"},  // 1030 sheets
      {"2", "30", "12345.60", " 7 ", "2令 30張", "12,345.6", "7"},
      {3, 0, db::Value(), "", "3令", "0", "0"},
      {0, 499, 0, 0, " 499張", "0", "0"},
      {0.5, 0, 1, 1, " 250張", "1", "1"},
      {db::Value(), db::Value(), 1, 1, "", "1", "1"},
  };
  Rows rows;
  for (const auto& tc : cases) {
    rows.push_back({"A1", "1", "品名", "銅版紙", "8K", 4, 1, "菊全", 2.5, 5000, 1000, 50, tc.cost,
                    tc.quote, tc.reams, tc.free});
  }
  AppContext context;
  context.CompanyName = "翠峰印刷事業股份有限公司";
  const PageModel model = RunOn("rptTarvel9", {}, context, columns, rows);
  const auto texts = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(texts.size(), std::size(cases));
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(TextOf(texts[i], "txt總數"), cases[i].total) << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txtOAMT"), cases[i].costText) << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txtAMT"), cases[i].quoteText) << "row " << i;
    EXPECT_EQ(TextOf(texts[i], "txtQTY"), "") << "hidden";
  }
  const auto title = LastBand(model, SectionKind::GroupHeader1);
  EXPECT_EQ(TextOf(title, "txt公司名稱"), "翠峰印刷事業股份有限公司");
  EXPECT_EQ(TextOf(title, "Label1"), "") << "the title is hidden";
  EXPECT_EQ(TextOf(title, "lbl日期"), "工單日期：");
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "6");
}

// ---- 未送總表 ---------------------------------------------------------------------------------

const QStringList kUnshippedColumns = {"PO",       "ODATE",    "SNAME", "CODE",  "DESC", "QTY",
                                       "已出數量", "未出數量", "STOCK", "PDATE", "種類", "NAME"};

std::vector<db::Value> UnshippedRow(const QString& po, const char* code,
                                    const char* kind = "單版") {
  return {po, "1151105", "客戶", code, "品名", 1500, 500, 1000, 3200.5, "1151220", kind, "王小明"};
}

/// A database holding only the stocked-in table, with the rows given.
QString StockedDatabase(const test::TempDir& dir, const QString& inserts) {
  const QString path = dir.File("stock.mdb");
  auto connection = db::Connection::OpenFile(path, true);
  connection->ExecuteScript(
      "create table [工單產品入庫數] (PO TEXT COLLATE NOCASE, PID TEXT COLLATE NOCASE, 入庫數量 "
      "REAL);" +
      inserts);
  return kJet + path;
}

TEST(Rpt工單未出明細_橫, StockedInLookupPerRowAndItsSum) {
  test::TempDir dir;
  AppContext context;
  context.ConnectionString = StockedDatabase(
      dir,
      "insert into [工單產品入庫數] values ('A1', 'P1', 1200.5);"
      "insert into [工單產品入庫數] values ('A3', 'P3', 300);"
      "insert into [工單產品入庫數] values ('A''4', 'P4', 7);"   // a quote in the work order
      "insert into [工單產品入庫數] values ('A5', 'P5', NULL);"  // a row without a quantity
      "insert into [工單產品入庫數] values ('A1', 'P9', 99);");  // same order, other product
  const struct {
    QString po;
    const char *code, *stocked;
  } cases[] = {
      {"A1", "P1", "1,200.5"}, {"A2", "P2", "0"}, {"A3", "P3", "300"},
      {"A'4", "P4", "7"},      {"A5", "P5", "0"}, {"A3", "P1", "0"},
  };
  Rows rows;
  for (const auto& tc : cases)
    rows.push_back(UnshippedRow(tc.po, tc.code));
  const PageModel model = RunOn("rpt工單未出明細_橫", {}, context, kUnshippedColumns, rows);
  const auto texts = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(texts.size(), std::size(cases));
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(TextOf(texts[i], "txt入庫數量"), cases[i].stocked) << "row " << i;
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "txt入庫數量1"), "1,507.5");
  EXPECT_EQ(TextOf(footer, "txt筆數"), "6");
}

TEST(Rpt工單未出明細_橫, FailingLookupLeavesZeroAndTheReportGoesOn) {
  test::TempDir dir;
  const auto noTable = db::Connection::OpenFile(dir.File("empty.mdb"), true);
  noTable->ExecuteScript("create table [OTHER] (X TEXT);");
  const QString databases[] = {
      "",                              // no connection string
      kJet + dir.File("missing.mdb"),  // no such file
      kJet + dir.File("empty.mdb"),    // no stocked-in table
  };
  for (const QString& connection : databases) {
    AppContext context;
    context.ConnectionString = connection;
    test::RecordingUi ui;
    const PageModel model = RunOn("rpt工單未出明細_橫", {}, context, kUnshippedColumns,
                                  {UnshippedRow("A1", "P1"), UnshippedRow("A2", "P2")});
    const auto texts = BandInstances(model, SectionKind::Detail);
    ASSERT_EQ(texts.size(), 2u) << connection.toStdString();
    EXPECT_EQ(TextOf(texts[1], "txt入庫數量"), "0");
    EXPECT_EQ(TextOf(texts[1], "txtQTY"), "1,500") << "the rest of the row still printed";
    EXPECT_EQ(TextOf(LastBand(model, SectionKind::GroupFooter1), "txt入庫數量1"), "0");
    // Said once, after the run, with how many rows it concerned; not once per row.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith("有 2 筆工單的入庫數量無法查詢"));
    EXPECT_EQ(ui.messages[0].style, kExclamation);
  }
}

TEST(Rpt工單未出明細_橫, PageNumbersRowCountAndTexts) {
  WorkOrderCriteria criteria;
  criteria.DateFrom = "1151101";
  criteria.DateTo = "1151130";
  Rows rows;
  for (int i = 0; i < 70; ++i)
    rows.push_back(
        UnshippedRow(QString("A%1").arg(i, 3, 10, QChar('0')), "P1", i % 2 ? "合版" : "單版"));
  const PageModel model = RunOn("rpt工單未出明細_橫", criteria, {}, kUnshippedColumns, rows);
  ASSERT_GE(model.PageCount(), 3);
  const auto headers = BandInstances(model, SectionKind::GroupHeader1);
  ASSERT_EQ(static_cast<int>(headers.size()), model.PageCount()) << "a title block per page";
  for (size_t page = 0; page < headers.size(); ++page) {
    EXPECT_EQ(TextOf(headers[page], "txt頁次"), QString::number(page + 1));
    EXPECT_EQ(model.pages[page].bands.at(1).section, SectionKind::GroupHeader1);
  }
  EXPECT_EQ(TextOf(headers[0], "Label22"), "工單日期：");
  EXPECT_EQ(TextOf(headers[0], "txt日期1"), "115/11/01");

  const auto texts = BandInstances(model, SectionKind::Detail);
  EXPECT_EQ(TextOf(texts[0], "txtODATE"), "11/05");
  EXPECT_EQ(TextOf(texts[0], "txtSTOCK"), "3,200.5");
  EXPECT_EQ(TextOf(texts[0], "Field4"), "115/12/20");
  EXPECT_EQ(TextOf(texts[0], "txt種類"), "") << "hidden";

  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "txt筆數"), "70");
  EXPECT_EQ(TextOf(footer, "txtQTY1"), "105,000");
  EXPECT_EQ(TextOf(footer, "txt已出數量1"), "35,000");
  EXPECT_EQ(TextOf(footer, "txt未出數量1"), "70,000");
}

TEST(Rpt工單未出明細_橫, KindShowsCombinedPlatesAsOneCharacter) {
  // 種類 is hidden in the design; the handler still writes it, as the text dump of a design with
  // the field shown would print it.
  class Shown : public UnshippedOrders {
   public:
    using UnshippedOrders::UnshippedOrders;
    void Detail_Format() override {
      UnshippedOrders::Detail_Format();
      kinds.push_back(Field("txt種類").Text());
    }
    QStringList kinds;
  };
  auto report =
      CreateReport<Shown>(FindRow("rpt工單未出明細_橫")->layout, WorkOrderCriteria{}, AppContext{});
  report->DataControl1.SetRecordset(db::Recordset(
      kUnshippedColumns, {UnshippedRow("A1", "P1", "合版"), UnshippedRow("A2", "P1", "單版"),
                          UnshippedRow("A3", "P1", "合版 ")}));
  report->Run();
  EXPECT_EQ(report->kinds, QStringList({"合", "單版", "合"}));
}

// ---- on the demo database ----------------------------------------------------------------------

class OnDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    context.CompanyName = "翠峰印刷事業股份有限公司";
    form = test::DemoForm("1150101", "1151231");
  }
  void Capture(int choice) {
    form.sopt選擇報表 = choice;
    CaptureCriteria(form, criteria);
  }
  db::Recordset Query(const QString& sql) const {
    return db::Connection::Open(context.ConnectionString)->OpenRecordset(sql);
  }

  ScopedToday today{QDate(2026, 12, 4)};
  OverviewFormState form;
  WorkOrderCriteria criteria;
  AppContext context;
};

/// Per salesperson: the title block of each group (EMPNO, NAME), and the footer that closes it.
struct SalesGroup {
  QString name;
  test::BandText footer;
  int firstPage = -1;
};

std::map<QString, SalesGroup> GroupsBySalesperson(const PageModel& model, const char* nameField) {
  std::map<QString, SalesGroup> groups;
  QString current;
  for (size_t p = 0; p < model.pages.size(); ++p) {
    PageModel single;
    single.styles = model.styles;
    single.pages = {model.pages[p]};
    for (const auto& header : BandInstances(single, SectionKind::GroupHeader1)) {
      current = TextOf(header, "txtEMPNO");
      SalesGroup& group = groups[current];
      group.name = TextOf(header, nameField);
      if (group.firstPage < 0) {
        group.firstPage = static_cast<int>(p);
        EXPECT_EQ(single.pages[0].bands.at(1).section, SectionKind::GroupHeader1)
            << "salesperson " << current.toStdString() << " starts a page";
      }
    }
    for (const auto& footer : BandInstances(single, SectionKind::GroupFooter1))
      groups[current].footer = footer;
  }
  return groups;
}

TEST_F(OnDemo, Table2BySalespersonTotalsEqualSqlSumsPerEmpno) {
  form.chk只印金額大於零 = true;
  context.ProfitRateBase = "1";
  Capture(k表2);
  auto report = test::Layout("rptTarvel3_1", criteria, context);
  const PageModel model = report->Run();
  const auto groups = GroupsBySalesperson(model, "Field2");

  const auto sums = Query(
      "select EMPNO, NAME, count(*) as N, sum(QTY) as Q, sum(AMT) as A, sum([SUM]) as C, "
      "sum(毛利) as M from [歷史工單明細1] " +
      OverviewWhere(criteria, context, {.positiveAmount = true}) +
      " group by EMPNO, NAME order by EMPNO");
  ASSERT_GT(sums.RecordCount(), 2);
  ASSERT_EQ(static_cast<qint64>(groups.size()), sums.RecordCount());
  for (db::Recordset r = sums; !r.EOF_(); r.MoveNext()) {
    const QString empno = r.Text("EMPNO");
    ASSERT_TRUE(groups.count(empno)) << empno.toStdString();
    const SalesGroup& g = groups.at(empno);
    EXPECT_EQ(g.name, r.Text("NAME"));
    EXPECT_EQ(TextOf(g.footer, "Field1"), r.Text("N")) << empno.toStdString();
    EXPECT_NEAR(Number(TextOf(g.footer, "txt數量合計")), r.Number("Q"), 1e-6);
    EXPECT_NEAR(Number(TextOf(g.footer, "txt合計")), r.Number("A"), 1e-3);
    EXPECT_NEAR(Number(TextOf(g.footer, "txtSUM_S")), r.Number("C"), 1e-3);
    EXPECT_NEAR(Number(TextOf(g.footer, "txt毛利_S")), r.Number("M"), 1e-3);
    EXPECT_NEAR(Number(TextOf(g.footer, "txt毛利率_S")), r.Number("M") / r.Number("A") * 100, 0.5);
  }
  for (const auto& row : BandInstances(model, SectionKind::Detail))
    EXPECT_GT(Number(TextOf(row, "txtAMT")), 0) << "only amounts above zero";
}

TEST_F(OnDemo, Table3JoinsCrowdAndGroupsBySalesperson) {
  Capture(k表3);
  auto list = test::Layout("rptTarvel4", criteria, context);
  const PageModel listModel = list->Run();
  const QString where = SalesRangeWhere(criteria, context, "歷史工單明細2");
  const auto counts = Query(
      "select count(*) as N, count(CROWD.MEMB) as M, sum(歷史工單明細2.QTY) as Q from "
      "[歷史工單明細2] left join CROWD on 歷史工單明細2.PO = CROWD.PO " +
      where);
  const auto rows = BandInstances(listModel, SectionKind::Detail);
  ASSERT_EQ(static_cast<qint64>(rows.size()), counts.Number("N"));
  ASSERT_GT(counts.Number("M"), 0) << "the demo has orders with a number of ups";
  ASSERT_LT(counts.Number("M"), counts.Number("N")) << "and orders without";
  qint64 withUps = 0;
  std::set<QString> colours;
  for (const auto& row : rows) {
    if (!TextOf(row, "Field4").isEmpty()) ++withUps;
    colours.insert(TextOf(row, "txt印色"));
  }
  EXPECT_EQ(withUps, counts.Number("M"));
  EXPECT_TRUE(colours.count("正4")) << "front only";
  EXPECT_TRUE(colours.count("正4反1")) << "both sides";
  const auto footer = LastBand(listModel, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), counts.Text("N"));
  EXPECT_NEAR(Number(TextOf(footer, "txt數量合計")), counts.Number("Q"), 1e-6);

  auto bySales = test::Layout("rptTarvel4_1", criteria, context);
  const auto groups = GroupsBySalesperson(bySales->Run(), "Field3");
  const auto perEmpno = Query(
      "select 歷史工單明細2.EMPNO as E, 歷史工單明細2.NAME as NM, count(*) as N, "
      "sum(歷史工單明細2.QTY) as Q from [歷史工單明細2] left join CROWD on 歷史工單明細2.PO = "
      "CROWD.PO " +
      where + " group by 歷史工單明細2.EMPNO, 歷史工單明細2.NAME");
  ASSERT_EQ(static_cast<qint64>(groups.size()), perEmpno.RecordCount());
  for (db::Recordset r = perEmpno; !r.EOF_(); r.MoveNext()) {
    const SalesGroup& g = groups.at(r.Text("E"));
    EXPECT_EQ(g.name, r.Text("NM"));
    EXPECT_EQ(TextOf(g.footer, "Field1"), r.Text("N"));
    EXPECT_NEAR(Number(TextOf(g.footer, "txt數量合計")), r.Number("Q"), 1e-6);
  }
}

TEST_F(OnDemo, Table5CountsItsLines) {
  Capture(k表5);
  auto report = test::Layout("rptTarvel9", criteria, context);
  const PageModel model = report->Run();
  const auto count =
      Query("select count(*) as N from [工單生產報表] " + ProductionWhere(criteria, context));
  ASSERT_GT(count.Number("N"), 0);
  EXPECT_EQ(TextOf(LastBand(model, SectionKind::GroupFooter1), "Field1"), count.Text("N"));
  EXPECT_EQ(static_cast<qint64>(BandInstances(model, SectionKind::Detail).size()),
            count.Number("N"));
}

TEST_F(OnDemo, UnshippedStockedSumEqualsSql) {
  Capture(k未送總表);
  auto report = test::Layout("rpt工單未出明細_橫", criteria, context);
  const PageModel model = report->Run();
  const QString where = OverviewWhere(criteria, context, {.customerRange = false});
  const auto sums = Query(
      "select count(*) as N, sum(QTY) as Q, sum(已出數量) as S, sum(未出數量) as U, "
      "sum((select sum(入庫數量) from [工單產品入庫數] k where k.PO = [工單未出明細].PO and k.PID "
      "= [工單未出明細].CODE)) as K from [工單未出明細] " +
      where);
  ASSERT_GT(sums.Number("N"), 30);
  ASSERT_GT(sums.Number("K"), 0) << "the demo stocks in some unshipped lines";
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "txt筆數"), sums.Text("N"));
  EXPECT_NEAR(Number(TextOf(footer, "txtQTY1")), sums.Number("Q"), 1e-6);
  EXPECT_NEAR(Number(TextOf(footer, "txt已出數量1")), sums.Number("S"), 1e-6);
  EXPECT_NEAR(Number(TextOf(footer, "txt未出數量1")), sums.Number("U"), 1e-6);
  EXPECT_NEAR(Number(TextOf(footer, "txt入庫數量1")), sums.Number("K"), 1e-6);
  const auto headers = BandInstances(model, SectionKind::GroupHeader1);
  EXPECT_EQ(TextOf(headers.back(), "txt頁次"), QString::number(model.PageCount()));
}

}  // namespace
}  // namespace tarvel
