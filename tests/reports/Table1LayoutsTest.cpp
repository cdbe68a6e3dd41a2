// The 表1 variants, 表4(含合版) and 補版明細: their statements, their row texts and totals on
// chosen rows, the combined-plate grouping, and every layout run on a generated database.
#include <gtest/gtest.h>

#include <set>

#include "criteria/WhereClauses.h"
#include "db/Connection.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "support/Demo.h"
#include "support/LayoutForms.h"
#include "support/ReportTexts.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::BandInstances;
using test::BandText;
using test::LastBand;
using test::TextOf;

// Every column any of these layouts binds, so one row shape serves them all.
const QStringList kColumns = {
    "PO",           "ODATE",    "發票日期", "SNAME",    "CODE",     "DESC",     "QTY",
    "PRICE",        "AMT",      "NAME",     "PDATE",    "FDATE",    "KIND",     "EMPNO",
    "CUSTNO",       "採購單號", "NO",       "DESC1",    "ITEM",     "SVENDER",  "REM",
    "合版客戶簡稱", "合版代號", "合版名稱", "合版數量", "合版單價", "合版小計", "合版單位"};

using RowValues = std::map<QString, db::Value>;

/// A work-order row with plausible values; `changes` replaces some of them.
std::vector<db::Value> Row(const RowValues& changes) {
  RowValues v = {
      {"PO", "115110001"},  {"ODATE", "1151101"},    {"SNAME", "大同文具"},    {"CODE", "C-100"},
      {"DESC", "年度型錄"}, {"QTY", 1200.0},         {"PRICE", 2.5},           {"AMT", 3000.0},
      {"NAME", "王小明"},   {"PDATE", "1151120"},    {"FDATE", "1151111"},     {"KIND", "一般"},
      {"EMPNO", "A001"},    {"CUSTNO", "PO123456"},  {"採購單號", "P0000042"}, {"DESC1", "軋工"},
      {"ITEM", "軋型"},     {"SVENDER", "永豐刀模"}, {"REM", "D-77"}};
  for (const auto& [column, value] : changes)
    v[column] = value;
  std::vector<db::Value> row;
  for (const QString& column : kColumns)
    row.push_back(v.count(column) ? v[column] : db::Value());
  return row;
}

/// Every text printed anywhere in the model.
QStringList AllTexts(const PageModel& model) {
  QStringList texts;
  for (const Page& page : model.pages) {
    for (const PageText& t : page.texts)
      texts << page.Text(t).toString();
  }
  return texts;
}

class Table1Layouts : public ::testing::Test {
 protected:
  std::unique_ptr<Report> Create(const char* name) {
    return test::Layout(QString::fromUtf8(name), criteria, context);
  }
  PageModel RunOn(const char* name, std::vector<std::vector<db::Value>> rows) {
    auto report = Create(name);
    report->DataControl1.SetRecordset(db::Recordset(kColumns, std::move(rows)));
    return report->Run(PaperSizeTwips(9));
  }
  ScopedToday today{QDate(2026, 12, 4)};
  WorkOrderCriteria criteria;
  AppContext context;
};

TEST_F(Table1Layouts, TitleBlocks) {
  context.CompanyName = "翠峰印刷";
  criteria.DateFrom = "1151101";
  criteria.DateTo = "1151130";
  criteria.DateBasis = DateBasis::Finish;
  criteria.DeliveryFilter = DeliveryFilter::Cleared;
  criteria.CompletionFilter = CompletionFilter::Unfinished;
  const struct {
    const char* layout;
    const char* title;
    bool companyPrinted;
    const char* dateCaption;
    bool statusLines;
  } cases[] = {
      {"rptTarvel2", "工單一覽表", true, "完工日期：", true},
      {"rptTarvel5", "工單一覽表", true, "完工日期：", true},
      {"rptTarvel6_1", "工單一覽表", false, "完工日期：", true},
      {"rptTarvel7", "工單一覽表", true, "完工日期：", true},
      {"rptTarvel8", "工單一覽表", true, "完工日期：", true},
      {"rptTarvel10", "補版明細表", true, "工單日期：", false},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.layout);
    const BandText title = LastBand(RunOn(tc.layout, {Row({})}), SectionKind::GroupHeader1);
    EXPECT_EQ(TextOf(title, "Label1"), tc.title);
    EXPECT_EQ(TextOf(title, "txt公司名稱"), tc.companyPrinted ? "翠峰印刷" : "");
    EXPECT_EQ(TextOf(title, "lbl日期"), tc.dateCaption);
    EXPECT_EQ(TextOf(title, "txt日期1"), "115/11/01");
    EXPECT_EQ(TextOf(title, "txt日期2"), "115/11/30");
    EXPECT_EQ(TextOf(title, "txt列印日期"), "115/12/04");
    EXPECT_EQ(TextOf(title, "txt送貨狀態"), tc.statusLines ? "已送清" : "");
    EXPECT_EQ(TextOf(title, "txt完工狀態"), tc.statusLines ? "未完工" : "");
    EXPECT_EQ(TextOf(title, "txtEMPNO"), "") << "the salesperson block is not printed";
  }
}

TEST_F(Table1Layouts, NoAmountsLayoutPrintsNoAmountAnywhere) {
  const PageModel model = RunOn(
      "rptTarvel7",
      {Row({{"AMT", 987654.0}, {"PRICE", 823.045}}),
       Row({{"PO", "115110002"}, {"QTY", 800.0}, {"AMT", 123456.0}, {"FDATE", db::Value()}})});
  const QStringList texts = AllTexts(model);
  for (const char* amount : {"987,654", "823.045", "123,456", "1,111,110", "單    價", "金     額"})
    EXPECT_FALSE(texts.contains(amount)) << amount;

  const auto rows = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TextOf(rows[0], "txtCUSTNO"), "PO123456");
  EXPECT_EQ(TextOf(rows[0], "txtODATE"), "11/01");
  EXPECT_EQ(TextOf(rows[0], "txt天數"), "10");
  EXPECT_EQ(TextOf(rows[0], "Field4"), "115/11/20");
  EXPECT_EQ(TextOf(rows[0], "txtQTY"), "1,200");
  EXPECT_EQ(TextOf(rows[1], "txtFDATE"), "N");
  EXPECT_EQ(TextOf(rows[1], "txt天數"), "33");

  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "2");
  EXPECT_EQ(TextOf(footer, "txt數量合計"), "2,000");
}

// Work order A1 with two combined-plate lines, A2 without (NO NULL), A3 without (NO blank).
std::vector<std::vector<db::Value>> CombinedPlateRows() {
  return {
      Row({{"PO", "A1"},
           {"NO", "1"},
           {"QTY", 1000.0},
           {"PRICE", 2.0},
           {"AMT", 2000.0},
           {"合版客戶簡稱", "明德書局"},
           {"合版代號", "M-1"},
           {"合版名稱", "書籤"},
           {"合版數量", 5000.0},
           {"合版單價", 0.5},
           {"合版小計", 2500.0},
           {"合版單位", "張"}}),
      Row({{"PO", "A1"},
           {"NO", "2"},
           {"QTY", 1000.0},
           {"PRICE", 2.0},
           {"AMT", 2000.0},
           {"合版客戶簡稱", "華興"},
           {"合版代號", "H-9"},
           {"合版名稱", "貼紙"},
           {"合版數量", 300.5},
           {"合版單價", 10.0},
           {"合版小計", 3005.0}}),
      Row({{"PO", "A2"}, {"QTY", 20.0}, {"PRICE", 100.0}, {"AMT", 2000.0}, {"FDATE", ""}}),
      Row({{"PO", "A3"}, {"NO", "  "}, {"QTY", 1.5}, {"PRICE", 1.0}, {"AMT", 1.5}}),
  };
}

TEST_F(Table1Layouts, CombinedPlatesGroupPerWorkOrder) {
  for (const char* layout : {"rptTarvel6_1", "rptTarvel8"}) {
    SCOPED_TRACE(layout);
    const PageModel model = RunOn(layout, CombinedPlateRows());
    const auto orders = BandInstances(model, SectionKind::GroupHeader2);
    ASSERT_EQ(orders.size(), 3u);
    EXPECT_EQ(TextOf(orders[0], "txtPO"), "A1");
    EXPECT_EQ(TextOf(orders[0], "txtODATE"), "11/01");
    EXPECT_EQ(TextOf(orders[0], "txtQTY"), "1,000");
    EXPECT_EQ(TextOf(orders[2], "txtAMT"), "1.5");
    const bool landscape = QString(layout) == "rptTarvel6_1";
    EXPECT_EQ(TextOf(orders[0], "txt天數"), landscape ? "10" : "");
    EXPECT_EQ(TextOf(orders[1], "txtFDATE"), landscape ? "N" : "");
    EXPECT_EQ(TextOf(orders[0], "txtNAME"), landscape ? "王小明" : "PO123456");

    // Only A1's two lines print; A2 and A3 print no 合版 line.
    const auto plates = BandInstances(model, SectionKind::Detail);
    ASSERT_EQ(plates.size(), 2u);
    EXPECT_EQ(TextOf(plates[0], "Label合版"), "合版");
    EXPECT_EQ(TextOf(plates[0], "txt合版客戶簡稱"), "明德書局");
    EXPECT_EQ(TextOf(plates[0], "txt合版名稱"), "書籤");
    EXPECT_EQ(TextOf(plates[0], "txt合版代號"), landscape ? "M-1" : "");
    EXPECT_EQ(TextOf(plates[0], "txt合版數量"), "5,000");
    EXPECT_EQ(TextOf(plates[1], "txt合版數量"), "300.5");
    EXPECT_EQ(TextOf(plates[1], "txt合版單價"), "10");
    EXPECT_EQ(TextOf(plates[1], "txt合版小計"), "3,005");
    EXPECT_EQ(TextOf(plates[0], "txtNO"), "") << "hidden";
    EXPECT_EQ(TextOf(plates[0], "txt合版單位"), "") << "hidden";

    // Bands in page order: each order line followed by its own plate lines.
    std::vector<SectionKind> order;
    for (const PageBand& band : model.pages.front().bands)
      order.push_back(band.section);
    const std::vector<SectionKind> expected = {SectionKind::GroupHeader1, SectionKind::GroupHeader2,
                                               SectionKind::Detail,       SectionKind::Detail,
                                               SectionKind::GroupHeader2, SectionKind::GroupHeader2,
                                               SectionKind::GroupFooter1};
    EXPECT_EQ(std::vector<SectionKind>(order.begin() + 1, order.end() - 1), expected);

    // Count of work orders; quantity and amount of the orders plus their combined jobs.
    const auto footer = LastBand(model, SectionKind::GroupFooter1);
    EXPECT_EQ(TextOf(footer, "txt筆數"), "3");
    EXPECT_EQ(TextOf(footer, "txt數量合計"), "6,322");  // 1000 + 20 + 1.5 + 5000 + 300.5
    EXPECT_EQ(TextOf(footer, "txt合計"), "9,506.5");    // 2000 + 2000 + 1.5 + 2500 + 3005
  }
}

TEST_F(Table1Layouts, CombinedPlateTotalsSurvivePageBreaks) {
  // One order whose plate lines fill several pages, then a second order: the title block repeats
  // on every page, and neither order is counted twice.
  std::vector<std::vector<db::Value>> rows;
  for (int n = 1; n <= 120; ++n) {
    rows.push_back(Row({{"PO", "A1"},
                        {"NO", QString::number(n)},
                        {"QTY", 10.0},
                        {"AMT", 100.0},
                        {"合版數量", 1.0},
                        {"合版小計", 2.0}}));
  }
  rows.push_back(Row({{"PO", "A2"}, {"QTY", 5.0}, {"AMT", 50.0}}));
  for (const char* layout : {"rptTarvel6_1", "rptTarvel8"}) {
    SCOPED_TRACE(layout);
    const PageModel model = RunOn(layout, rows);
    ASSERT_GE(model.PageCount(), 2);
    for (const Page& page : model.pages)
      EXPECT_EQ(page.bands[1].section, SectionKind::GroupHeader1);
    EXPECT_EQ(BandInstances(model, SectionKind::GroupHeader2).size(), 2u);
    const auto footer = LastBand(model, SectionKind::GroupFooter1);
    EXPECT_EQ(TextOf(footer, "txt筆數"), "2");
    EXPECT_EQ(TextOf(footer, "txt數量合計"), "135");
    EXPECT_EQ(TextOf(footer, "txt合計"), "390");
  }
}

// ---- on a generated database ----

class Table1LayoutsOnDemo : public Table1Layouts {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    context.CompanyName = "翠峰印刷事業股份有限公司";
    CaptureCriteria(test::DemoForm("1150101", "1151231"), criteria);
  }
  db::Recordset Sql(const QString& statement) const {
    return db::Connection::Open(context.ConnectionString)->OpenRecordset(statement);
  }
};

TEST_F(Table1LayoutsOnDemo, CombinedPlateTotalsEqualTheSqlSums) {
  const QString where = OverviewWhere(criteria, context);
  const auto orders =
      Sql("select sum(QTY) as Q, sum(AMT) as A from [歷史工單明細] where PO in "
          "(select PO from [歷史工單明細4] " +
          where + ")");
  const auto plates =
      Sql("select sum(合版數量) as Q, sum(合版小計) as A, count(NO) as N from "
          "[歷史工單明細4] " +
          where);
  ASSERT_GT(plates.Number("N"), 0) << "the demo has combined plates";
  for (const char* layout : {"rptTarvel6_1", "rptTarvel8"}) {
    SCOPED_TRACE(layout);
    const PageModel model = Create(layout)->Run();
    const auto footer = LastBand(model, SectionKind::GroupFooter1);
    EXPECT_NEAR(QString(TextOf(footer, "txt數量合計")).remove(',').toDouble(),
                orders.Number("Q") + plates.Number("Q"), 1e-6);
    EXPECT_NEAR(QString(TextOf(footer, "txt合計")).remove(',').toDouble(),
                orders.Number("A") + plates.Number("A"), 1e-3);
    EXPECT_EQ(BandInstances(model, SectionKind::Detail).size(),
              static_cast<size_t>(plates.Number("N")));
  }
}

}  // namespace
}  // namespace tarvel
