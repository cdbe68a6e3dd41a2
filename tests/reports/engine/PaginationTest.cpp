// Pagination: where bands land on which page, page headers and footers, repeated group headers,
// paper sizes, orientation and margins.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "reports/engine/TestReports.h"

namespace tarvel::test {
namespace {

db::Recordset NumberedRows(int count) {
  std::vector<std::vector<db::Value>> rows;
  for (int i = 1; i <= count; ++i)
    rows.push_back({db::Value(i)});
  return Rows({QStringLiteral("N")}, rows);
}

// A4 portrait with margins that leave exactly 5000 twips (1000 to 6000) for the bands.
LayoutDefinition Layout(int header1, bool repeat, int pageHeader, int pageFooter, int footer1) {
  LayoutDefinition layout;
  layout.name = QStringLiteral("rptTest");
  layout.page.SetMargins(500, 500, 1000, 16838 - 6000);
  if (pageHeader > 0)
    layout.sections.push_back({.kind = SectionKind::PageHeader, .height = pageHeader});
  if (header1 > 0) {
    layout.sections.push_back(
        {.kind = SectionKind::GroupHeader1, .height = header1, .repeatOnEveryPage = repeat});
  }
  layout.sections.push_back({.kind = SectionKind::Detail,
                             .height = 1000,
                             .controls = {FieldDef(QStringLiteral("txtN"), QStringLiteral("N"))}});
  if (footer1 > 0)
    layout.sections.push_back({.kind = SectionKind::GroupFooter1, .height = footer1});
  if (pageFooter > 0)
    layout.sections.push_back({.kind = SectionKind::PageFooter, .height = pageFooter});
  return layout;
}

TEST(ReportPagination, BandTopsPerPage) {
  struct Case {
    const char* what;
    int header1;
    bool repeat;
    int pageHeader;
    int pageFooter;
    int footer1;
    int rows;
    QStringList pages;
  };
  const Case cases[] = {
      {"the last band ends exactly at the page bottom and stays",
       1000,
       false,
       0,
       0,
       0,
       5,
       {"GH1:1000 D:2000 D:3000 D:4000 D:5000", "D:1000"}},
      {"one twip more and the band goes to the next page",
       1001,
       false,
       0,
       0,
       0,
       5,
       {"GH1:1000 D:2001 D:3001 D:4001", "D:1000 D:2000"}},
      {"page header on top, page footer at the bottom of every page",
       1000,
       false,
       200,
       300,
       0,
       4,
       {"PH:1000 GH1:1200 D:2200 D:3200 D:4200 PF:5700", "PH:1000 D:1200 PF:5700"}},
      {"a footer that exactly fits after the last detail",
       1000,
       false,
       0,
       0,
       1000,
       3,
       {"GH1:1000 D:2000 D:3000 D:4000 GF1:5000"}},
      {"a footer one twip too tall starts a page",
       1000,
       false,
       0,
       0,
       1001,
       4,
       {"GH1:1000 D:2000 D:3000 D:4000 D:5000", "GF1:1000"}},
      {"the repeated group header opens every following page",
       1000,
       true,
       0,
       0,
       500,
       9,
       {"GH1:1000 D:2000 D:3000 D:4000 D:5000", "GH1:1000 D:2000 D:3000 D:4000 D:5000",
        "GH1:1000 D:2000 GF1:3000"}},
      {"a footer pushed over keeps its repeated header",
       1000,
       true,
       0,
       0,
       500,
       4,
       {"GH1:1000 D:2000 D:3000 D:4000 D:5000", "GH1:1000 GF1:2000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedReport report(Layout(c.header1, c.repeat, c.pageHeader, c.pageFooter, c.footer1),
                          NumberedRows(c.rows));
    EXPECT_EQ(BandTops(report.Run()), c.pages);
  }
}

TEST(ReportPagination, RepeatedHeaderRunsItsHandlerOnEveryPage) {
  LayoutDefinition layout = Layout(1000, true, 0, 0, 500);
  layout.sections[0].controls = {FieldDef(QStringLiteral("txt頁次"), QString())};
  ScriptedReport report(std::move(layout), NumberedRows(10));
  int pageCounter = 0;
  std::vector<int> enginePages;
  report.onGroupHeader1 = [&](ScriptedReport& r) {
    ++pageCounter;
    enginePages.push_back(r.PageNumber());
    r.Field(QStringLiteral("txt頁次")).SetText(QString::number(pageCounter));
  };
  const PageModel model = report.Run();
  ASSERT_EQ(model.PageCount(), 3);
  EXPECT_EQ(TextsOf(model, QStringLiteral("txt頁次")),
            QStringList({QStringLiteral("1:1"), QStringLiteral("2:2"), QStringLiteral("3:3")}));
  EXPECT_EQ(enginePages, (std::vector<int>{1, 2, 3}));
  // A band moved over a page break keeps its own texts although other handlers ran meanwhile.
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtN")),
            QStringList({"1:1", "1:2", "1:3", "1:4", "2:5", "2:6", "2:7", "2:8", "3:9", "3:10"}));
  // The detail that did not fit had its Format before the page break, the new page's header after.
  const auto& calls = report.calls;
  const auto fifthDetail = std::find(calls.begin(), calls.end(), QStringLiteral("Detail")) + 4;
  ASSERT_LT(fifthDetail + 1, calls.end());
  EXPECT_EQ(*(fifthDetail + 1), QStringLiteral("GroupHeader1"));
}

TEST(ReportPagination, PaperOrientationAndMargins) {
  struct Case {
    Orientation orientation;
    int paperSize;
    float left, right, top, bottom;
    int paperWidth, paperHeight, firstTop, footerTop, labelLeft;
  };
  const Case cases[] = {
      {Orientation::Landscape, 9, 450, 500, 400, 400, 16838, 11906, 400, 11906 - 400 - 300,
       450 + 6135},
      {Orientation::Portrait, 9, 450, 500, 400, 400, 11906, 16838, 400, 16838 - 400 - 300,
       450 + 6135},
      {Orientation::Portrait, 9, 500, 400, 400, 500, 11906, 16838, 400, 16838 - 500 - 300,
       500 + 6135},
      {Orientation::Landscape, 1, 400.4f, 0, 499.6f, 0, 15840, 12240, 500, 12240 - 300, 400 + 6135},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "paper " << c.paperSize << " orientation "
                                    << static_cast<int>(c.orientation) << " left " << c.left);
    LayoutDefinition layout;
    layout.sections = {
        {.kind = SectionKind::GroupHeader1,
         .height = 1000,
         .controls = {LabelDef(QStringLiteral("Label1"), QStringLiteral("工單一覽表"), 6135)}},
        {.kind = SectionKind::PageFooter, .height = 300}};
    ScriptedReport report(std::move(layout), NumberedRows(1));
    report.onReportStart = [&](ScriptedReport& r) {
      r.PageSetup().orientation = c.orientation;
      r.PageSetup().paperSize = c.paperSize;
      r.PageSetup().SetMargins(c.left, c.right, c.top, c.bottom);
    };
    const PageModel model = report.Run();
    EXPECT_EQ(model.paperWidth, c.paperWidth);
    EXPECT_EQ(model.paperHeight, c.paperHeight);
    ASSERT_EQ(model.PageCount(), 1);
    const Page& page = model.pages[0];
    ASSERT_EQ(page.bands.size(), 2u);
    EXPECT_EQ(page.bands[0].top, c.firstTop);
    EXPECT_EQ(page.bands[1].top, c.footerTop);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(model.Box(page.texts[0]).left(), c.labelLeft);
  }
}

TEST(ReportPagination, UnknownPaperSizeIsAnError) {
  ScriptedReport report(Layout(1000, false, 0, 0, 0), NumberedRows(1));
  report.onReportStart = [](ScriptedReport& r) { r.PageSetup().paperSize = 77; };
  EXPECT_THROW(report.Run(), Error);
}

TEST(ReportPagination, BandTallerThanAPageIsPlacedOnceNotLoopedOver) {
  LayoutDefinition layout = Layout(1000, true, 0, 0, 0);
  layout.sections[1].height = 7000;  // the detail alone is taller than the 5000 twips of body
  ScriptedReport report(std::move(layout), NumberedRows(2));
  EXPECT_EQ(BandTops(report.Run()),
            QStringList({"GH1:1000", "GH1:1000 D:2000", "GH1:1000 D:2000"}));
}

TEST(ReportPagination, NewPageBeforeAndAfter) {
  LayoutDefinition layout = Layout(500, false, 0, 0, 500);
  layout.sections[1].height = 500;
  layout.sections[0].newPage = NewPage::After;
  layout.sections[2].newPage = NewPage::Before;
  ScriptedReport report(std::move(layout), NumberedRows(2));
  EXPECT_EQ(BandTops(report.Run()), QStringList({"GH1:1000", "D:1000 D:1500", "GF1:1000"}));
}

}  // namespace
}  // namespace tarvel::test
