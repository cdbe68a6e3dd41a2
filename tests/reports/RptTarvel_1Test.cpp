// The base overview: its handlers on chosen rows, its totals against SQL on a generated database,
// and its PDF read back as text.
#include <gtest/gtest.h>

#include "common/GroupedNumber.h"
#include "criteria/WhereClauses.h"
#include "db/Connection.h"
#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "reports/engine/PdfRenderer.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/LayoutForms.h"
#include "support/ReportTexts.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

const QStringList kColumns = {"PO",    "ODATE", "發票日期", "SNAME", "CODE",  "DESC", "QTY",
                              "PRICE", "AMT",   "NAME",     "PDATE", "FDATE", "KIND", "EMPNO"};

std::vector<db::Value> Row(const char* po, db::Value odate, db::Value invoiceDate, db::Value fdate,
                           double qty, double price, double amt) {
  return {po,    odate, invoiceDate, "客戶",    "C-1", "品名", qty,
          price, amt,   "王小明",    "1151220", fdate, "一般", "A001"};
}

std::vector<test::BandText> DetailTexts(const PageModel& model) {
  return test::BandInstances(model, SectionKind::Detail);
}

test::BandText BandTexts(const PageModel& model, SectionKind kind) {
  return test::LastBand(model, kind);
}

class RptTarvel1 : public ::testing::Test {
 protected:
  PageModel RunOn(std::vector<std::vector<db::Value>> rows) {
    auto report = test::Layout("rptTarvel_1", criteria, context);
    report->DataControl1.SetRecordset(db::Recordset(kColumns, std::move(rows)));
    return report->Run(PaperSizeTwips(9));
  }
  ScopedToday today{QDate(2026, 12, 4)};
  WorkOrderCriteria criteria;
  AppContext context;
};

TEST_F(RptTarvel1, RowTextsAndDayCounts) {
  const std::string sinceDateZero = std::to_string(QDate(1899, 12, 30).daysTo(QDate(2026, 12, 4)));
  const struct {
    db::Value odate, fdate;
    const char *finished, *days, *monthDay;
  } cases[] = {
      {"1151101", db::Value(), "N", "33", "11/01"},  // unfinished: up to today
      {"1151101", "", "N", "33", "11/01"},
      {"0991201", "991231", "Y", "30", "12/01"},  // six-digit finish date: 2010-12-31
      {"1151101", "1151111", "Y", "10", "11/01"},
      {"1151111", "1151101", "Y", "-10", "11/11"},                 // finished before it was ordered
      {"1151101", "11511", "Y", "33", "11/01"},                    // five characters: today
      {"1151101", "11511011", "Y", "33", "11/01"},                 // eight characters: today
      {"1151101", "1151399", "Y", "33", "11/01"},                  // not a date: today
      {db::Value(), "1151101", "Y", "", ""},                       // no order date: no count
      {"abcdefg", "1151204", "Y", sinceDateZero.c_str(), "defg"},  // not a date: from day zero
  };
  std::vector<std::vector<db::Value>> rows;
  for (const auto& tc : cases)
    rows.push_back(Row("A1", tc.odate, db::Value(), tc.fdate, 1, 1, 1));
  const auto texts = DetailTexts(RunOn(rows));
  ASSERT_EQ(texts.size(), std::size(cases));
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].at("txtFDATE"), cases[i].finished) << "row " << i;
    EXPECT_EQ(texts[i].count("txt天數") ? texts[i].at("txt天數") : QString(), cases[i].days)
        << "row " << i;
    EXPECT_EQ(texts[i].count("txtODATE") ? texts[i].at("txtODATE") : QString(), cases[i].monthDay)
        << "row " << i;
  }
}

TEST_F(RptTarvel1, AmountsTotalsAndTitleBlock) {
  context.CompanyName = "翠峰印刷";
  criteria.DateFrom = "1151101";
  criteria.DateTo = "1151130";
  criteria.DeliveryFilter = DeliveryFilter::NotCleared;
  criteria.CompletionFilter = CompletionFilter::Finished;
  criteria.DateBasis = DateBasis::Finish;
  const PageModel model = RunOn({Row("A1", "1151101", {}, "1151102", 1234.5, 0.25, 308.625),
                                 Row("A2", "1151102", {}, "1151103", 1000, 1234.5, 1234567)});
  const auto rows = DetailTexts(model);
  EXPECT_EQ(rows[0].at("txtQTY"), "1,234.5");
  EXPECT_EQ(rows[0].at("txtPRICE"), "0.25");
  EXPECT_EQ(rows[1].at("txtAMT"), "1,234,567");
  EXPECT_EQ(rows[0].at("Field4"), "115/12/20");

  const auto footer = BandTexts(model, SectionKind::GroupFooter1);
  EXPECT_EQ(footer.at("Field1"), "2");
  EXPECT_EQ(footer.at("txt數量合計"), "2,234.5");
  EXPECT_EQ(footer.at("txt合計"), "1,234,875.625");

  const auto title = BandTexts(model, SectionKind::GroupHeader1);
  EXPECT_EQ(title.count("txt公司名稱"), 0u) << "the company name is not printed in this layout";
  EXPECT_EQ(title.at("txt日期1"), "115/11/01");
  EXPECT_EQ(title.at("txt日期2"), "115/11/30");
  EXPECT_EQ(title.at("lbl日期"), "完工日期：");
  EXPECT_EQ(title.at("txt送貨狀態"), "未送清");
  EXPECT_EQ(title.at("txt完工狀態"), "已完工");
  EXPECT_EQ(title.at("txt列印日期"), "115/12/04");
}

TEST_F(RptTarvel1, InvoiceDateBasisRebindsTheDateColumn) {
  criteria.DateBasis = DateBasis::Invoice;
  const PageModel model = RunOn({Row("A1", "1151101", "1151120", "", 1, 1, 1)});
  const auto rows = DetailTexts(model);
  EXPECT_EQ(rows[0].at("txtODATE"), "11/20");
  EXPECT_EQ(rows[0].at("txt天數"), "14");  // from the invoice date to today
  EXPECT_EQ(BandTexts(model, SectionKind::GroupHeader1).at("lbl日期"), "發票日期：");
}

class RptTarvel1OnDemo : public RptTarvel1 {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    context.CompanyName = "翠峰印刷事業股份有限公司";
    CaptureCriteria(test::DemoForm("1150601", "1151231"), criteria);
  }
};

TEST_F(RptTarvel1OnDemo, FooterEqualsSqlSumsAndHeadingRepeats) {
  auto report = test::Layout("rptTarvel_1", criteria, context);
  const PageModel model = report->Run();
  ASSERT_GT(model.PageCount(), 2);

  const auto sums =
      db::Connection::Open(context.ConnectionString)
          ->OpenRecordset(
              "select count(*) as N, sum(QTY) as Q, sum(AMT) as A from [歷史工單明細] " +
              OverviewWhere(criteria, context));
  const auto footer = BandTexts(model, SectionKind::GroupFooter1);
  EXPECT_EQ(footer.at("Field1"), sums.Text("N"));
  EXPECT_NEAR(QString(footer.at("txt數量合計")).remove(',').toDouble(), sums.Number("Q"), 1e-6);
  EXPECT_NEAR(QString(footer.at("txt合計")).remove(',').toDouble(), sums.Number("A"), 1e-3);
  EXPECT_EQ(DetailTexts(model).size(), static_cast<size_t>(sums.Number("N")));

  for (const Page& page : model.pages) {
    ASSERT_GE(page.bands.size(), 2u);
    EXPECT_EQ(page.bands[1].section, SectionKind::GroupHeader1) << "heading on every page";
  }
}

TEST_F(RptTarvel1OnDemo, PdfCarriesTheSameTextAsTheModel) {
  auto report = test::Layout("rptTarvel_1", criteria, context);
  const PageModel model = report->Run();
  test::TempDir out;
  const QString pdf = out.File("overview.pdf");
  WritePdf(model, pdf);

  const QString text = test::PdfText(pdf);
  EXPECT_EQ(text.count("工單一覽表"), model.PageCount());
  EXPECT_EQ(text.count(QChar('\f')), model.PageCount());
  const auto rows = DetailTexts(model);
  for (size_t i = 0; i < rows.size(); i += 97) {
    EXPECT_TRUE(text.contains(rows[i].at("txtPO"))) << rows[i].at("txtPO").toStdString();
    EXPECT_TRUE(text.contains(rows[i].at("txtSNAME"))) << rows[i].at("txtSNAME").toStdString();
  }
  EXPECT_TRUE(text.contains(BandTexts(model, SectionKind::GroupFooter1).at("txt合計")));
}

}  // namespace
}  // namespace tarvel
