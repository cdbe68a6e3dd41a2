// The report catalogue and the output run, for both windows: which layout a choice and its check
// boxes lead to, that every layout prints exactly the rows the check counted, what the user is told
// when nothing matches or something fails, and the golden texts of every layout and statement on
// the run's demo database.
#include <gtest/gtest.h>

#include <QBuffer>
#include <set>

#include "criteria/ReworkStatements.h"
#include "output/OutputRun.h"
#include "platform/Clock.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/ReportRun.h"
#include "reports/engine/TextDump.h"
#include "startup/AppContextLoader.h"
#include "startup/DatabaseLocation.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/LayoutForms.h"
#include "support/RecordingUi.h"
#include "support/ReportTexts.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

using Box = test::OverviewBox;
constexpr const auto& kBoxes = test::kOverviewBoxes;

TEST(ReportCatalogue, DispatchFollowsTheChoiceAndTheBoxesInTheirPrecedence) {
  const struct {
    int choice;
    std::vector<Box> ticked;
    const char* layout;
  } cases[] = {
      {k表1, {}, "rptTarvel_1"},
      {k表1, {&OverviewFormState::chk客戶單號, &OverviewFormState::chk不印金額}, "rptTarvel2"},
      {k表1, {&OverviewFormState::chk印合版資料, &OverviewFormState::chk印刀模代號}, "rptTarvel5"},
      {k表1, {&OverviewFormState::chk不印金額, &OverviewFormState::chk印合版資料}, "rptTarvel6_1"},
      {k表1, {&OverviewFormState::chk不印金額}, "rptTarvel7"},
      {k表2, {}, "rptTarvel3"},
      {k表2, {&OverviewFormState::chk依業務印表}, "rptTarvel3_1"},
      {k表2, {&OverviewFormState::chk依業務印表1}, "rptTarvel3"},  // 表3's box
      {k表3, {&OverviewFormState::chk依業務印表}, "rptTarvel4"},   // 表2's box
      {k表3, {&OverviewFormState::chk依業務印表1}, "rptTarvel4_1"},
      {k表4含合版, {&OverviewFormState::chk客戶單號}, "rptTarvel8"},
      {k表5, {&OverviewFormState::chk不印金額}, "rptTarvel9"},
      {k未送總表, {}, "rpt工單未出明細_橫"},
      {k補版明細, {&OverviewFormState::chk印合版資料}, "rptTarvel10"},
  };
  for (const auto& tc : cases) {
    OverviewFormState form;
    form.sopt選擇報表 = tc.choice;
    for (Box box : tc.ticked)
      form.*box = true;
    EXPECT_EQ(RowFor(form).Name(), tc.layout) << "choice " << tc.choice;
  }
  OverviewFormState none;
  none.sopt選擇報表 = kReportChoiceCount;
  EXPECT_THROW(RowFor(none), Error);
  EXPECT_THROW(ReworkRowFor(kReworkChoiceCount), Error);
}

TEST(ReportCatalogue, NamesAreUniqueEveryRowCanBeReachedAndEveryChoiceHasItsRule) {
  std::set<QString> names;
  for (const ReportRow& row : ReportRows()) {
    EXPECT_TRUE(names.insert(row.Name()).second) << row.layout.name;
    EXPECT_EQ(FindRow(row.Name()), &row);
    // Some combination of the check boxes leads to the row; a row hidden behind an earlier one
    // of its choice would never print.
    bool reached = false;
    if (row.family == ReportFamily::Rework) reached = &ReworkRowFor(row.Choice()) == &row;
    for (int mask = 0; mask < (1 << std::size(kBoxes)) && !reached; ++mask) {
      OverviewFormState form;
      form.sopt選擇報表 = row.Choice();
      for (size_t b = 0; b < std::size(kBoxes); ++b)
        form.*kBoxes[b] = (mask >> b) & 1;
      reached = &RowFor(form) == &row;
    }
    EXPECT_TRUE(reached) << row.layout.name;
    EXPECT_NO_THROW(ChoiceFor(row.family, row.Choice())) << row.layout.name;
  }
  EXPECT_EQ(FindRow("rptNoSuchLayout"), nullptr);
  EXPECT_EQ(ChoiceRows().size(), static_cast<size_t>(kReportChoiceCount + kReworkChoiceCount));
  // A row of one window cannot be run with the other window's criteria.
  const AppContext context;
  const WorkOrderCriteria overview;
  EXPECT_THROW(ReworkRowFor(k重工明細表).CreateLayout({.context = context, .overview = &overview}),
               Error);
  EXPECT_THROW(FindRow("rptTarvel10")->CreateExport({.context = context, .overview = &overview}),
               Error);
}

/// Every layout of both windows run as the program would on the demo database: the main window's
/// defaults over two months, the rework window's over a range that gives each list two pages.
class CatalogueOnDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    ASSERT_TRUE(LoadAppContext(
        context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
    defaults = test::GoldenOverviewDefaults();
  }
  /// Runs the request the window would make for `row` with `output`.
  OutputResult Request(const ReportRow& row, OutputMode mode, const OutputStep& output) {
    if (row.family == ReportFamily::Rework)
      return RequestRework(test::GoldenReworkForm(row.Choice()), mode, context, rework, output);
    return RequestOverview(test::FormForLayout(row, defaults), mode, context, overview, output);
  }
  /// The layout of `row` for the window's criteria, as a print would create it.
  PageModel Run(const ReportRow& row) {
    std::optional<PageModel> model;
    EXPECT_EQ(Request(row, OutputMode::Print,
                      [&](CheckedRequest& r) { model = r.CreateLayout()->Run(PaperSizeTwips(9)); }),
              OutputResult::Done);
    return model ? std::move(*model) : PageModel();
  }

  ScopedToday today{test::DemoToday()};
  test::RecordingUi ui;
  AppContext context;
  OverviewFormState defaults;
  WorkOrderCriteria overview;
  ReworkCriteria rework;
};

TEST_F(CatalogueOnDemo, EveryLayoutPrintsTheRowsTheCheckCounted) {
  for (const ReportRow& row : ReportRows()) {
    SCOPED_TRACE(row.layout.name);
    context.CompanyName.clear();
    std::unique_ptr<Report> report;
    QString checked;
    ASSERT_EQ(Request(row, OutputMode::Preview,
                      [&](CheckedRequest& request) {
                        EXPECT_EQ(&request.row, &row);
                        EXPECT_EQ(request.mode, OutputMode::Preview);
                        ASSERT_TRUE(request.rows);
                        checked = request.rows->statement;
                        report = request.CreateLayout();
                      }),
              OutputResult::Done)
        << (ui.messages.empty() ? "" : ui.messages[0].text.toStdString());
    ASSERT_TRUE(report);
    EXPECT_FALSE(context.CompanyName.isEmpty()) << "refreshed from [COMPANY]";
    // The check and the layout compose one statement; the layout's rows are that statement's.
    EXPECT_EQ(report->DataControl1.Source, checked);
    const qint64 counted = static_cast<qint64>(
        test::Scalar(*test::OpenDemo(), "select count(*) from (" + checked + ")"));
    EXPECT_GT(counted, 0);
    // The layout prints the rows the check read, without a query of its own: with its database
    // gone it still has them the first time, and only then fails.
    DataControl& data = report->DataControl1;
    data.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/KORV.mdb";
    EXPECT_EQ(data.Open().RecordCount(), counted);
    EXPECT_THROW(data.Open(), Error);
  }
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_TRUE(rework.ReportName.isEmpty()) << "print and preview leave the report name";
}

TEST_F(CatalogueOnDemo, NoRowsAndFailuresAreToldAndTheExportNamesItsList) {
  int outputs = 0;
  const OutputStep count = [&](CheckedRequest& request) {
    ++outputs;
    // A print or preview gets the rows the check read; an export only the go-ahead.
    EXPECT_EQ(request.rows.has_value(), request.mode != OutputMode::Excel);
  };
  OverviewFormState beyond = defaults;
  beyond.txt單號_起 = "ZZZZZZZZZZ";  // beyond every work order
  EXPECT_EQ(RequestOverview(beyond, OutputMode::Print, context, overview, count),
            OutputResult::NoRows);
  EXPECT_EQ(ui.messages.back(), (test::ShownMessage{"查無任何資料!", kExclamation, "訊息"}));
  EXPECT_EQ(overview.PoFrom, "ZZZZZZZZZZ") << "captured before the check";

  // An export checks its own statement and names the list it writes; a list without an export
  // keeps the last name.
  for (const auto& [choice, name] :
       {std::pair{k打樣明細表, "打樣明細表"}, std::pair{k留版明細表, "打樣明細表"},
        std::pair{k重工明細表, "重工明細表"}}) {
    EXPECT_EQ(
        RequestRework(test::GoldenReworkForm(choice), OutputMode::Excel, context, rework, count),
        OutputResult::Done);
    EXPECT_EQ(rework.ReportName, name);
  }
  EXPECT_EQ(outputs, 3);

  // An output that fails and a database that cannot open: "印表錯誤" with their own text.
  EXPECT_EQ(RequestRework(test::GoldenReworkForm(k重工明細表), OutputMode::Print, context, rework,
                          [](CheckedRequest&) { throw Error("印表機沒有回應"); }),
            OutputResult::Failed);
  EXPECT_EQ(ui.messages.back(), (test::ShownMessage{"印表機沒有回應", kCritical, "印表錯誤"}));
  test::TempDir folder;
  context.ConnectionString = ComposeConnectionString(folder.File("none/KORV.mdb"));
  EXPECT_EQ(RequestOverview(defaults, OutputMode::Print, context, overview, count),
            OutputResult::Failed);
  EXPECT_EQ(ui.messages.back().title, "印表錯誤");
  EXPECT_EQ(ui.messages.back().style, kCritical);
  EXPECT_FALSE(ui.messages.back().text.isEmpty());
  EXPECT_EQ(outputs, 3);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(CatalogueOnDemo, GoldenTextOfEveryLayout) {
  int spilled = 0;
  for (const ReportRow& row : ReportRows()) {
    SCOPED_TRACE(row.layout.name);
    const PageModel model = Run(row);
    // The same run streamed into a store of two pages' memory, so the rest goes through its
    // temporary file and is read back: the same text, page count fields included.
    PageStore store(24 * 1024);
    ASSERT_EQ(Request(row, OutputMode::Print,
                      [&](CheckedRequest& r) {
                        ReportRun(*r.CreateLayout(), store, PaperSizeTwips(9)).Finish();
                      }),
              OutputResult::Done);
    spilled += store.PagesOnFile() > 0;
    QBuffer streamed;
    streamed.open(QIODevice::WriteOnly);
    WriteText(store, streamed);
    EXPECT_EQ(QString::fromUtf8(streamed.data()), DumpText(model));
    EXPECT_EQ(model.settings.orientation, row.layout.page.orientation);
    // Nothing stands outside the paper between the margins.
    const int printable =
        model.paperWidth - qRound(model.settings.leftMargin) - qRound(model.settings.rightMargin);
    for (const ItemStyle& style : model.styles)
      EXPECT_LE(style.box.left() + style.box.width(), printable) << style.control.toStdString();
    if (row.family == ReportFamily::Rework) {
      EXPECT_GE(model.PageCount(), 2);
      test::ExpectGolden(QStringLiteral("rework/%1.txt").arg(row.Name()), DumpText(model));
      continue;
    }
    // The overviews repeat their headings on every page.
    for (const Page& page : model.pages)
      EXPECT_EQ(page.bands.at(1).section, SectionKind::GroupHeader1);
    test::ExpectGolden(QStringLiteral("layouts/%1.txt").arg(row.Name()), DumpText(model));
  }
  EXPECT_GT(spilled, 10) << "the layouts went through the store's file";
  // What a printed page shows: the die list's first page with its order-date range.
  test::TempDir folder;
  const QString pdf = folder.File("刀模明細表.pdf");
  WritePdf(Run(ReworkRowFor(k刀模明細表)), pdf);
  const QString text = test::PdfText(pdf);
  EXPECT_TRUE(text.contains("刀模明細表")) << text.left(400).toStdString();
  EXPECT_TRUE(text.contains(context.CompanyName));
  EXPECT_TRUE(text.contains("115/10/01")) << "the order-date range";
}

TEST_F(CatalogueOnDemo, GoldenStatementsOfEveryLayout) {
  // Three requests: the window's defaults as the administrator; every criterion filled (an
  // apostrophe included); and a salesperson restricted to his customers and groups.
  OverviewFormState filled;
  filled.txt單號_起 = "115100001";
  filled.txt單號_末 = "115129999";
  filled.txt日期_起 = filled.txt日期[0] = "1151001";
  filled.txt日期_末 = filled.txt日期[1] = "1151231";
  filled.txt客戶代號 = "O'Neil";
  filled.txt業務員 = "王";
  filled.txt客戶代號1 = {"C001", "C500"};
  filled.txt業務員代號 = {"A001", "A009"};
  filled.txt印件名稱 = "型錄";
  filled.txt鍵機人員 = "K1";
  filled.txt工務人員 = "S2";
  filled.cbo種類 = "一般";
  filled.txt客戶單號 = "PO-";
  filled.cbo分類 = "書籍";
  filled.chk只印未審單 = filled.chk只印未審單1 = filled.chk金額異常 = true;
  filled.chk只印金額大於零 = true;
  filled.sopt完工 = 0;
  filled.sopt送貨 = 1;
  filled.sopt發票 = 1;

  AppContext restricted;
  restricted.AdminName = "";
  restricted.UserName = "王小明";
  restricted.EmployeeId = "A001";
  restricted.WorkOrderRights = QString(39, '0') + "1";
  restricted.Groups[0] = "北區";
  restricted.ProfitRateBase = "1";

  QString text;
  auto demo = test::OpenDemo();
  for (const ReportRow& row : ReportRows()) {
    if (row.family != ReportFamily::Overview) continue;
    const auto statement = [&](OverviewFormState form, const AppContext& user) {
      const OverviewFormState chosen = test::FormForLayout(row, defaults);
      form.sopt選擇報表 = chosen.sopt選擇報表;
      for (Box box : kBoxes)
        form.*box = chosen.*box;
      WorkOrderCriteria criteria;
      CaptureCriteria(form, criteria);
      const QString sql =
          RowFor(form).Statement({.context = user, .overview = &criteria}, StatementUse::Layout);
      // Every form must run on the database, whatever it finds.
      EXPECT_NO_THROW(demo->HasRows(sql)) << row.layout.name;
      return sql;
    };
    text += QStringLiteral("-- %1 (%2)\n").arg(row.Name(), ReportChoiceCaption(row.Choice()));
    text += statement(defaults, context) + u'\n';
    text += statement(filled, context) + u'\n';
    text += statement(defaults, restricted) + QStringLiteral("\n\n");
  }
  test::ExpectGolden(QStringLiteral("statements.sql"), text);
}

TEST_F(CatalogueOnDemo, GoldenStatementsOfTheReworkLists) {
  // For each list: its check, layout and export statements on the window's defaults; then each
  // criterion it reads, each kind and both die orders, every text with an apostrophe.
  ReworkCriteria filled;
  CaptureReworkCriteria(test::GoldenReworkForm(k重工明細表), filled);
  filled.PoFrom = "115100001";
  filled.PoTo = "115119999";
  filled.CustomerKeyword = "O'Neil";
  filled.VendorKeyword = "V'9";
  filled.DieCutterKeyword = "R2";
  filled.SalesKeyword = "x' or '1'='1";
  QString text;
  auto demo = test::OpenDemo();
  const auto add = [&](const ReportRow& row, const ReworkCriteria& c, StatementUse use) {
    const QString sql = row.Statement({.context = context, .rework = &c}, use);
    EXPECT_NO_THROW(demo->HasRows(sql)) << row.layout.name;
    text += sql + u'\n';
  };
  for (int choice = 0; choice < kReworkChoiceCount; ++choice) {
    const ReportRow& row = ReworkRowFor(choice);
    ReworkCriteria defaults;
    CaptureReworkCriteria(test::GoldenReworkForm(choice), defaults);
    text += QStringLiteral("-- %1 (%2)\n").arg(row.Name(), ReworkReportName(choice));
    add(row, defaults, StatementUse::Check);
    add(row, defaults, StatementUse::Layout);
    if (row.exporter) add(row, defaults, StatementUse::Export);
    ReworkCriteria c = filled;
    for (std::int16_t kind = kKindPrinting; kind <= kKindAll; ++kind) {
      c.KindFilter = kind;
      c.VendorOrder = kind % 2 ? kByDieMaker : kByDieCutter;
      add(row, c, StatementUse::Layout);
    }
    text += u'\n';
  }
  test::ExpectGolden(QStringLiteral("rework/statements.sql"), text);
}

}  // namespace
}  // namespace tarvel
