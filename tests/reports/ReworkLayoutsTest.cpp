// The four rework-window layouts on chosen rows: the kind column, the hidden cost of printing
// reworks and the footer sums, empty colour counts, the die list's day count and the page counter.
#include <gtest/gtest.h>

#include "output/ReportCatalogue.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "reports/KeptPlateAndDieLists.h"
#include "support/ReportTexts.h"

namespace tarvel {
namespace {

using test::BandInstances;
using test::LastBand;
using test::TextOf;

class ReworkLayouts : public ::testing::Test {
 protected:
  void SetUp() override {
    context.CompanyName = "翠峰印刷";
    criteria.DateFrom = "1151101";
    criteria.DateTo = "1151130";
  }
  std::unique_ptr<Report> Layout(const char* name, const QStringList& columns,
                                 std::vector<std::vector<db::Value>> rows) {
    const ReportRow* row = FindRow(QString::fromUtf8(name));
    EXPECT_NE(row, nullptr) << name;
    auto report = row->CreateLayout({.context = context, .rework = &criteria});
    report->DataControl1.SetRecordset(db::Recordset(columns, std::move(rows)));
    return report;
  }
  PageModel RunOn(const char* name, const QStringList& columns,
                  std::vector<std::vector<db::Value>> rows) {
    return Layout(name, columns, std::move(rows))->Run(PaperSizeTwips(9));
  }

  ScopedToday today{QDate(2026, 12, 4)};
  ReworkCriteria criteria;
  AppContext context;
};

const QStringList kPricedColumns = {"種類", "PO",    "ODATE", "SNAME", "DESC", "NAME",
                                    "QTY",  "PRICE", "AMT",   "PDATE", "SUM"};

std::vector<db::Value> Priced(const char* kind, const char* po, double amt, double sum) {
  return {kind, po, "1151105", "客戶", "品名", "王小明", 1200.0, 2.5, amt, "1151120", sum};
}

TEST_F(ReworkLayouts, PrintingReworksShowNoCostButTheFooterSumCountsThem) {
  const PageModel model =
      RunOn("rpt重工明細表", kPricedColumns,
            {Priced("印刷", "115110001", 3000, 1500.5), Priced(" 工單 ", "115110002", 0, 2000),
             Priced("製版", "115110003", 1234567, 0), Priced("印刷 ", "115110004", 10, 99)});
  const auto lines = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(lines.size(), 4u);
  const char* kinds[] = {"印", "工", "製", "印"};
  const char* costs[] = {"", "2,000", "0", ""};
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(TextOf(lines[i], "txt種類"), kinds[i]) << i;
    EXPECT_EQ(TextOf(lines[i], "txtSUM"), costs[i]) << i;
  }
  EXPECT_EQ(TextOf(lines[0], "txtQTY"), "1,200");
  EXPECT_EQ(TextOf(lines[0], "txtPRICE"), "2.5");
  EXPECT_EQ(TextOf(lines[2], "txtAMT"), "1,234,567");
  EXPECT_EQ(TextOf(lines[0], "txtODATE"), "115/11/05");
  EXPECT_EQ(TextOf(lines[0], "txtPDATE"), "115/11/20");

  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Field1"), "4");
  EXPECT_EQ(TextOf(footer, "txt合計"), "1,237,577");
  EXPECT_EQ(TextOf(footer, "txt成本合計"), "3,599.5") << "the printing reworks' cost included";

  const auto title = LastBand(model, SectionKind::GroupHeader1);
  EXPECT_EQ(TextOf(title, "txt公司名稱"), "翠峰印刷");
  EXPECT_EQ(TextOf(title, "Label1"), "重工明細表");
  EXPECT_EQ(TextOf(title, "txt日期1"), "115/11/01");
  EXPECT_EQ(TextOf(title, "txt日期2"), "115/11/30");
  EXPECT_EQ(TextOf(title, "txt列印日期"), "115/12/04");
}

TEST_F(ReworkLayouts, TheProofListGroupsItsNumbersAndSumsAmountAndCost) {
  QStringList columns = kPricedColumns;
  columns.removeFirst();
  std::vector<std::vector<db::Value>> rows;
  for (const auto& [amt, sum] : {std::pair{1000.0, 400.0}, std::pair{0.0, 250.25}}) {
    std::vector<db::Value> row = Priced("", "115110001", amt, sum);
    row.erase(row.begin());
    rows.push_back(row);
  }
  const PageModel model = RunOn("rpt打樣明細表", columns, rows);
  const auto lines = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(TextOf(lines[0], "txtAMT"), "1,000");
  EXPECT_EQ(TextOf(lines[1], "txtSUM"), "250.25");
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "txt合計"), "1,000");
  EXPECT_EQ(TextOf(footer, "txt成本合計"), "650.25");
  EXPECT_EQ(TextOf(LastBand(model, SectionKind::GroupHeader1), "Label1"), "打樣明細表");
}

const QStringList kPlateColumns = {"PO",   "NO",     "ODATE",  "SNAME", "DESC",
                                   "SIZE", "COLOR1", "COLOR2", "PLAT",  "SVENDER"};

TEST_F(ReworkLayouts, APlateWithoutBackColoursShowsAnEmptyBackColumn) {
  const PageModel model =
      RunOn("rpt留版明細表", kPlateColumns,
            {{"115110001", "1", "1151102", "客戶", "品名", "菊8開", 4, 0, 2, "大興製版"},
             {"115110002", "1", "1151103", "客戶", "品名", "對開", 0, 1, 1200, db::Value()},
             {"115110003", "1", "1151104", "客戶", "品名", "", db::Value(), db::Value(), 0, ""}});
  const auto lines = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(TextOf(lines[0], "txt正"), "4");
  EXPECT_EQ(TextOf(lines[0], "txt反"), "");
  EXPECT_EQ(TextOf(lines[1], "txt正"), "");
  EXPECT_EQ(TextOf(lines[1], "txt反"), "1");
  EXPECT_EQ(TextOf(lines[1], "txt台數"), "1,200");
  EXPECT_EQ(TextOf(lines[2], "txt台數"), "0") << "only the colour counts are blanked";
  EXPECT_EQ(TextOf(lines[0], "txt版別說明"), "大興製版");
  const auto footer = LastBand(model, SectionKind::GroupFooter1);
  EXPECT_EQ(TextOf(footer, "Label16"), "合　　計：");
  EXPECT_EQ(TextOf(footer, "txt筆數"), "3");
  const auto title = LastBand(model, SectionKind::GroupHeader1);
  EXPECT_EQ(TextOf(title, "txt頁次"), "1");
  EXPECT_EQ(TextOf(title, "txt訂單日期_起"), "115/11/01");
  EXPECT_EQ(TextOf(title, "txt印表日期"), "115/12/04");
}

const QStringList kDieColumns = {"PO",    "REM",   "VENDER", "SVENDER", "VENDER1", "SVENDER1",
                                 "ODATE", "SNAME", "DESC",   "QTY",     "UNIT",    "NAME"};

std::vector<db::Value> Die(db::Value odate, const char* po = "115110001") {
  return {po, "D-01", "K1", "刀模行", "R1", "軋型社", odate, "客戶", "品名", 12000.0, "張", "王"};
}

TEST_F(ReworkLayouts, TheDieListCountsDaysFromTheOrderToToday) {
  const PageModel model = RunOn("rpt刀模明細表1", kDieColumns,
                                {Die("1151204"), Die("1151201"), Die(db::Value()), Die("  "),
                                 Die("1150230"), Die("1141204")});
  const auto lines = BandInstances(model, SectionKind::Detail);
  ASSERT_EQ(lines.size(), 6u);
  const char* days[] = {"0", "3", "", "", "", "365"};
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(TextOf(lines[i], "txt天數"), days[i]) << i << " (no date: empty, not an error)";
  EXPECT_EQ(TextOf(lines[0], "txtQTY"), "12,000");
  EXPECT_EQ(TextOf(lines[0], "Field1"), "軋型社");
  EXPECT_EQ(TextOf(lines[0], "txtSVENDER"), "刀模行");
  EXPECT_FALSE(lines[0].contains("txtUNIT")) << "hidden";
}

TEST_F(ReworkLayouts, ThePlateAndDieListsNumberTheirPages) {
  for (const char* name : {"rpt留版明細表", "rpt刀模明細表1"}) {
    SCOPED_TRACE(name);
    std::vector<std::vector<db::Value>> rows;
    for (int i = 0; i < 110; ++i) {
      const QByteArray po = QByteArray::number(115110001 + i);
      if (std::string_view(name) == "rpt留版明細表")
        rows.push_back({po.constData(), "1", "1151102", "客戶", "品名", "對開", 4, 4, 2, "廠"});
      else
        rows.push_back(Die("1151102", po.constData()));
    }
    const QStringList& columns =
        std::string_view(name) == "rpt留版明細表" ? kPlateColumns : kDieColumns;
    auto report = Layout(name, columns, rows);
    const PageModel model = report->Run(PaperSizeTwips(9));
    ASSERT_EQ(model.PageCount(), 3);
    const auto titles = BandInstances(model, SectionKind::GroupHeader1);
    ASSERT_EQ(titles.size(), 3u) << "the title block heads every page";
    for (size_t page = 0; page < titles.size(); ++page)
      EXPECT_EQ(TextOf(titles[page], "txt頁次"), QString::number(page + 1));
    EXPECT_EQ(static_cast<PagedReworkReport&>(*report).PageCounter(), 3);
    EXPECT_EQ(TextOf(LastBand(model, SectionKind::GroupFooter1), "txt筆數"), "110");
  }
}

}  // namespace
}  // namespace tarvel
