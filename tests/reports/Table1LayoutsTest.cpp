// The 表1 variants, 表4(含合版) and 補版明細: their statements, their row texts and totals on
// chosen rows, the combined-plate grouping, and every layout run on a generated database.
#include <gtest/gtest.h>

#include <QProcess>
#include <set>

#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "overview/criteria/WhereClauses.h"
#include "platform/Clock.h"
#include "reports/DemoOnce.h"
#include "reports/OverviewLayouts.h"
#include "reports/ReportTexts.h"
#include "reports/engine/PdfRenderer.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using test::BandInstances;
using test::BandText;
using test::LastBand;
using test::TextOf;

const char* const kLayouts[] = {"rptTarvel2", "rptTarvel5", "rptTarvel6_1",
                                "rptTarvel7", "rptTarvel8", "rptTarvel10"};

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
    auto report = CreateOverviewLayout(QString::fromUtf8(name), criteria, context);
    EXPECT_NE(report, nullptr) << name;
    return report;
  }
  PageModel RunOn(const char* name, std::vector<std::vector<db::Value>> rows) {
    auto report = Create(name);
    report->DataControl1.SetRecordset(db::Recordset(kColumns, std::move(rows)));
    return report->Run();
  }
  ScopedToday today{QDate(2026, 12, 4)};
  WorkOrderCriteria criteria;
  AppContext context;
};

TEST_F(Table1Layouts, StatementsPagesAndDateColumn) {
  context.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/KORV.mdb";
  context.AdminName = "admin";
  context.UserName = "lee";
  context.EmployeeId = "A007";
  context.WorkOrderRights = QString(39, '0') + "1";  // own customers only
  criteria.CustomerKeyword = "O'Neil";
  criteria.DateFrom = "1151101";
  criteria.DateTo = "1151130";
  criteria.CompletionFilter = "1";
  criteria.DateBasis = 1;  // invoice date; 補版明細 does not set it and must not follow it

  const QString overview = OverviewWhere(criteria, context, true, false);
  const struct {
    const char* layout;
    QString statement;
    Orientation orientation;
    float margins[4];
    bool dateRebound;
  } cases[] = {
      {"rptTarvel2",
       "select * from [歷史工單明細] " + overview + " order by PO ",
       Orientation::Landscape,
       {400, 500, 400, 400},
       true},
      {"rptTarvel5",
       "select * from [歷史工單明細3] " + overview + " order by PO, [NO] ",
       Orientation::Portrait,
       {450, 500, 400, 400},
       true},
      {"rptTarvel6_1",
       "select * from [歷史工單明細4] " + overview + " order by PO, [NO] ",
       Orientation::Landscape,
       {450, 500, 400, 400},
       true},
      {"rptTarvel7",
       "select * from [歷史工單明細] " + overview + " order by PO ",
       Orientation::Portrait,
       {450, 500, 400, 400},
       true},
      {"rptTarvel8",
       "select * from [歷史工單明細4] " + overview + " order by PO, [NO] ",
       Orientation::Portrait,
       {450, 500, 400, 400},
       true},
      {"rptTarvel10",
       "select * from [歷史工單明細] " + PlateRedoWhere(criteria, context) + "order by PO ",
       Orientation::Portrait,
       {450, 500, 400, 400},
       false},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.layout);
    auto report = Create(tc.layout);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->Name(), tc.layout);
    EXPECT_EQ(report->DataControl1.ConnectionString, context.ConnectionString + ";");
    EXPECT_EQ(report->DataControl1.Source, tc.statement);
    EXPECT_TRUE(report->DataControl1.Source.contains("O''Neil"));
    EXPECT_TRUE(report->DataControl1.Source.contains("EMPNO = 'A007'")) << "own customers only";
    EXPECT_EQ(report->Field("txtODATE").DataField(), tc.dateRebound ? "發票日期" : "ODATE");

    report->DataControl1.SetRecordset(db::Recordset(kColumns, {Row({})}));
    const PageModel model = report->Run();
    EXPECT_EQ(model.settings.orientation, tc.orientation);
    EXPECT_EQ(model.settings.leftMargin, tc.margins[0]);
    EXPECT_EQ(model.settings.rightMargin, tc.margins[1]);
    EXPECT_EQ(model.settings.topMargin, tc.margins[2]);
    EXPECT_EQ(model.settings.bottomMargin, tc.margins[3]);
    // Nothing may stand outside the paper between the margins.
    const int printable =
        model.paperWidth - qRound(model.settings.leftMargin) - qRound(model.settings.rightMargin);
    for (const ItemStyle& style : model.styles)
      EXPECT_LE(style.box.left() + style.box.width(), printable) << style.control.toStdString();
  }
  // The plate-remake statement ignores the completion filter and the date basis.
  EXPECT_FALSE(cases[5].statement.contains("FDATE"));
  EXPECT_TRUE(cases[5].statement.contains("ODATE between '1151101' and '1151130'"));
  EXPECT_TRUE(cases[5].statement.contains("SPEC like '%補版%'"));
}

TEST_F(Table1Layouts, TitleBlocks) {
  context.CompanyName = "翠峰印刷";
  criteria.DateFrom = "1151101";
  criteria.DateTo = "1151130";
  criteria.DateBasis = 2;
  criteria.DeliveryFilter = 1;
  criteria.CompletionFilter = "2";
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

TEST_F(Table1Layouts, CustomerPoLayoutColumns) {
  context.CompanyName = "翠峰印刷";
  const PageModel model = RunOn("rptTarvel2", {Row({}), Row({{"PO", "115110002"},
                                                             {"QTY", 1234567.0},
                                                             {"PRICE", 0.125},
                                                             {"AMT", 154321.0},
                                                             {"CUSTNO", ""},
                                                             {"FDATE", db::Value()}})});
  for (const char* caption : {"客戶單號", "客戶工號", "發票號碼", "收款日", "備　註"})
    EXPECT_TRUE(AllTexts(model).contains(caption)) << caption;
  EXPECT_FALSE(AllTexts(model).contains("印  件  代  號")) << "no item code column";

  const auto rows = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TextOf(rows[0], "txtODATE"), "115/11/01") << "full date, not month/day";
  EXPECT_EQ(TextOf(rows[0], "txtcustno"), "PO123456");
  EXPECT_EQ(TextOf(rows[0], "Field3"), "P0000042");
  EXPECT_EQ(TextOf(rows[0], "txtNAME"), "") << "the columns for handwriting stay empty";
  EXPECT_EQ(TextOf(rows[0], "txtFDATE"), "");
  EXPECT_EQ(TextOf(rows[0], "txt天數"), "");
  EXPECT_EQ(TextOf(rows[1], "txtQTY"), "1,234,567");
  EXPECT_EQ(TextOf(rows[1], "txtPRICE"), "0.125");
  EXPECT_EQ(TextOf(rows[1], "txtAMT"), "154,321");

  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "2");
  EXPECT_EQ(TextOf(footer, "txt數量合計"), "1,235,767");
  EXPECT_EQ(TextOf(footer, "txt合計"), "157,321");
}

TEST_F(Table1Layouts, DieCodeLayoutPrintsTwoLinesPerRowAndOnlyTheCount) {
  const PageModel model =
      RunOn("rptTarvel5", {Row({{"NO", "1"}, {"DESC1", "印刷"}, {"REM", ""}, {"FDATE", ""}}),
                           Row({{"NO", "2"}, {"QTY", 1200.0}, {"AMT", 3000.0}})});
  const auto rows = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TextOf(rows[1], "Field5"), "軋工");
  EXPECT_EQ(TextOf(rows[1], "Field6"), "軋型");
  EXPECT_EQ(TextOf(rows[1], "Field8"), "永豐刀模");
  EXPECT_EQ(TextOf(rows[1], "Field7"), "D-77");
  EXPECT_EQ(TextOf(rows[1], "txtQTY"), "1,200");
  EXPECT_EQ(TextOf(rows[1], "txtAMT"), "3,000");
  EXPECT_EQ(TextOf(rows[1], "Field4"), "115/11/20");
  EXPECT_EQ(TextOf(rows[1], "txtFDATE"), "Y");
  EXPECT_EQ(TextOf(rows[1], "txt天數"), "10");
  EXPECT_EQ(TextOf(rows[1], "txtODATE"), "11/01");
  EXPECT_EQ(TextOf(rows[0], "txtFDATE"), "N");
  EXPECT_EQ(TextOf(rows[0], "txt天數"), "33");

  // The amounts stand on a second line below the first, and have no headings of their own.
  const auto boxOf = [&model](const char* control) {
    for (const ItemStyle& s : model.styles)
      if (s.control == control) return s.box;
    return QRect();
  };
  EXPECT_GE(boxOf("txtQTY").top(), boxOf("txtPO").bottom());
  EXPECT_GE(boxOf("txt天數").top(), boxOf("Field7").bottom());
  EXPECT_FALSE(AllTexts(model).contains("數    量"));

  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "2");
  EXPECT_EQ(TextOf(footer, "txt數量合計"), "") << "hidden";
  EXPECT_EQ(TextOf(footer, "txt合計"), "") << "hidden";
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

TEST_F(Table1Layouts, PlateRedoLayoutRows) {
  criteria.DateBasis = 1;  // left over from another choice: the date column stays the order date
  const PageModel model =
      RunOn("rptTarvel10", {Row({{"發票日期", "1151125"}}),
                            Row({{"PO", "115110002"}, {"QTY", 2500.5}, {"FDATE", db::Value()}})});
  const auto rows = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TextOf(rows[0], "txtODATE"), "11/01");
  EXPECT_EQ(TextOf(rows[0], "txtFDATE"), "Y");
  EXPECT_EQ(TextOf(rows[1], "txtFDATE"), "N");
  EXPECT_EQ(TextOf(rows[0], "txtNAME"), "王小明");
  EXPECT_EQ(TextOf(rows[1], "txtQTY"), "2,500.5");
  EXPECT_EQ(TextOf(rows[0], "txtAMT"), "");
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "2");
  EXPECT_EQ(TextOf(footer, "txt數量合計"), "3,700.5");
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
    OverviewFormState form;
    form.txt單號_末 = "zzzzzzzzz";
    form.txt客戶代號1 = {"", "zzzzzzzzz"};
    form.txt日期_起 = "1150101";
    form.txt日期_末 = "1151231";
    CaptureCriteria(form, criteria);
  }
  db::Recordset Sql(const QString& statement) const {
    return db::Connection::Open(context.ConnectionString)->OpenRecordset(statement);
  }
};

TEST_F(Table1LayoutsOnDemo, EveryLayoutRunsAndCountsWhatTheSqlFinds) {
  const QString overview = OverviewWhere(criteria, context, true, false);
  const struct {
    const char* layout;
    QString countSql;  // the footer count
    const char* countField;
  } cases[] = {
      {"rptTarvel2", "select count(*) as N from [歷史工單明細] " + overview, "Field1"},
      {"rptTarvel5", "select count(*) as N from [歷史工單明細3] " + overview, "Field1"},
      {"rptTarvel6_1",
       "select count(*) as N from (select PO from [歷史工單明細4] " + overview + " group by PO)",
       "txt筆數"},
      {"rptTarvel7", "select count(*) as N from [歷史工單明細] " + overview, "Field1"},
      {"rptTarvel8",
       "select count(*) as N from (select PO from [歷史工單明細4] " + overview + " group by PO)",
       "txt筆數"},
      {"rptTarvel10",
       "select count(*) as N from [歷史工單明細] " + PlateRedoWhere(criteria, context), "Field1"},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.layout);
    const PageModel model = Create(tc.layout)->Run();
    const QString count = Sql(tc.countSql).Text("N");
    ASSERT_GT(count.toInt(), 0);
    EXPECT_EQ(TextOf(LastBand(model, SectionKind::GroupFooter1), tc.countField), count);
    for (const Page& page : model.pages)
      EXPECT_EQ(page.bands[1].section, SectionKind::GroupHeader1) << "heading on every page";
  }
}

TEST_F(Table1LayoutsOnDemo, CombinedPlateTotalsEqualTheSqlSums) {
  const QString where = OverviewWhere(criteria, context, true, false);
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

TEST_F(Table1LayoutsOnDemo, CombinedPlatePdfCarriesTheSameTextAsTheModel) {
  const PageModel model = Create("rptTarvel6_1")->Run();
  test::TempDir out;
  const QString pdf = out.File("combined.pdf");
  WritePdf(model, pdf);

  QProcess pdftotext;
  pdftotext.start("/usr/bin/pdftotext", {"-layout", pdf, "-"});
  ASSERT_TRUE(pdftotext.waitForFinished(60000));
  const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
  EXPECT_EQ(text.count(QChar('\f')), model.PageCount());
  EXPECT_EQ(text.count("工單一覽表"), model.PageCount());
  const auto plates = BandInstances(model, SectionKind::Detail);
  // Every combined-plate line prints its marker; the headings carry none.
  EXPECT_EQ(text.count("合版"), static_cast<qsizetype>(plates.size()));
  for (size_t i = 0; i < plates.size(); i += 7)
    EXPECT_TRUE(text.contains(TextOf(plates[i], "txt合版名稱")));
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_TRUE(text.contains(TextOf(footer, "txt合計")));
  EXPECT_TRUE(text.contains(TextOf(footer, "txt數量合計")));
}

}  // namespace
}  // namespace tarvel
