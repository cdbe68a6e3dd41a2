// The report catalogue: which layout the window's choice and check boxes lead to, that every
// layout prints exactly the rows the query builder counted, and the golden texts of every layout
// and every statement on the run's demo database.
#include <gtest/gtest.h>

#include <set>

#include "overview/criteria/QueryBuilder.h"
#include "platform/Clock.h"
#include "reports/ReportCatalogue.h"
#include "reports/engine/TextDump.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/Golden.h"
#include "support/LayoutForms.h"
#include "support/RecordingUi.h"

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
    EXPECT_STREQ(EntryFor(form).name, tc.layout) << "choice " << tc.choice;
  }
  OverviewFormState none;
  none.sopt選擇報表 = kReportChoiceCount;
  EXPECT_THROW(EntryFor(none), Error);
}

TEST(ReportCatalogue, NamesAreUniqueAndEveryRowCanBeReached) {
  std::set<QString> names;
  for (const LayoutEntry& entry : ReportCatalogue()) {
    EXPECT_TRUE(names.insert(QString::fromUtf8(entry.name)).second) << entry.name;
    EXPECT_EQ(FindLayout(QString::fromUtf8(entry.name)), &entry);
    // Some combination of the check boxes leads to the row; a row hidden behind an earlier one
    // of its choice would never print.
    bool reached = false;
    for (int mask = 0; mask < (1 << std::size(kBoxes)) && !reached; ++mask) {
      OverviewFormState form;
      form.sopt選擇報表 = entry.choice;
      for (size_t b = 0; b < std::size(kBoxes); ++b)
        form.*kBoxes[b] = (mask >> b) & 1;
      reached = &EntryFor(form) == &entry;
    }
    EXPECT_TRUE(reached) << entry.name;
  }
  EXPECT_EQ(FindLayout("rptNoSuchLayout"), nullptr);
  EXPECT_THROW(CreateLayout("rptNoSuchLayout", {}, {}), Error);
}

/// Every layout run as the program would for the window's defaults (over two months) on the
/// demo database.
class CatalogueOnDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    context.ConnectionString = test::DemoConnectionString();
    ASSERT_TRUE(LoadAppContext(
        context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
    defaults = test::GoldenOverviewDefaults();
  }
  OverviewFormState FormFor(const LayoutEntry& entry) const {
    return test::FormForLayout(entry, defaults);
  }

  ScopedToday today{test::DemoToday()};
  AppContext context;
  OverviewFormState defaults;
};

/// Records which row the query builder dispatched and keeps the layout it created.
class KeepingDispatcher final : public CatalogueDispatcher {
 public:
  KeepingDispatcher(const WorkOrderCriteria& criteria, const AppContext& context)
      : criteria_(criteria), context_(context) {}
  const LayoutEntry* dispatched = nullptr;
  std::unique_ptr<Report> report;

 protected:
  void Output(const LayoutEntry& entry, OutputMode) override {
    dispatched = &entry;
    report = CheckedLayout(entry, criteria_, context_);
  }

 private:
  const WorkOrderCriteria& criteria_;
  const AppContext& context_;
};

TEST_F(CatalogueOnDemo, EveryLayoutPrintsTheRowsTheQueryBuilderCounted) {
  for (const LayoutEntry& entry : ReportCatalogue()) {
    SCOPED_TRACE(entry.name);
    WorkOrderCriteria criteria;
    KeepingDispatcher dispatcher(criteria, context);
    test::RecordingUi ui;
    const OverviewFormState form = FormFor(entry);
    ASSERT_EQ(BuildAndCheck(form, OutputMode::Print, context, criteria, dispatcher),
              BuildResult::Dispatched)
        << (ui.messages.empty() ? "" : ui.messages[0].text.toStdString());
    EXPECT_EQ(dispatcher.dispatched, &entry);
    // The check and the layout compose one statement; the layout's rows are that statement's.
    const QString checked = ComposeStatement(dispatcher.StatementOf(form), criteria, context);
    EXPECT_EQ(dispatcher.report->DataControl1.Source, checked);
    const qint64 counted = static_cast<qint64>(
        test::Scalar(*test::OpenDemo(), "select count(*) from (" + checked + ")"));
    EXPECT_GT(counted, 0);
    // The layout prints the rows the check read, without a query of its own: with its database
    // gone it still has them the first time, and only then fails.
    DataControl& data = dispatcher.report->DataControl1;
    data.ConnectionString = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/KORV.mdb";
    EXPECT_EQ(data.Open().RecordCount(), counted);
    EXPECT_THROW(data.Open(), Error);
  }
}

TEST_F(CatalogueOnDemo, GoldenTextOfEveryLayout) {
  for (const LayoutEntry& entry : ReportCatalogue()) {
    SCOPED_TRACE(entry.name);
    WorkOrderCriteria criteria;
    CaptureCriteria(FormFor(entry), criteria);
    const PageModel model = CreateLayout(entry, criteria, context)->Run(PaperSizeTwips(9));
    EXPECT_EQ(model.settings.orientation, entry.page.orientation);
    // Nothing stands outside the paper between the margins, and the headings repeat.
    const int printable =
        model.paperWidth - qRound(model.settings.leftMargin) - qRound(model.settings.rightMargin);
    for (const ItemStyle& style : model.styles)
      EXPECT_LE(style.box.left() + style.box.width(), printable) << style.control.toStdString();
    for (const Page& page : model.pages)
      EXPECT_EQ(page.bands.at(1).section, SectionKind::GroupHeader1);
    test::ExpectGolden(QStringLiteral("layouts/%1.txt").arg(QString::fromUtf8(entry.name)),
                       DumpText(model));
  }
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
  for (const LayoutEntry& entry : ReportCatalogue()) {
    const auto statement = [&](OverviewFormState form, const AppContext& user) {
      const OverviewFormState chosen = FormFor(entry);
      form.sopt選擇報表 = chosen.sopt選擇報表;
      for (Box box : kBoxes)
        form.*box = chosen.*box;
      WorkOrderCriteria criteria;
      CaptureCriteria(form, criteria);
      const QString sql = ComposeStatement(EntryFor(form).statement, criteria, user);
      // Every form must run on the database, whatever it finds.
      EXPECT_NO_THROW(demo->HasRows(sql)) << entry.name;
      return sql;
    };
    text += QStringLiteral("-- %1 (%2)\n").arg(entry.name, ReportChoiceCaption(entry.choice));
    text += statement(defaults, context) + u'\n';
    text += statement(filled, context) + u'\n';
    text += statement(defaults, restricted) + QStringLiteral("\n\n");
  }
  test::ExpectGolden(QStringLiteral("statements.sql"), text);
}

}  // namespace
}  // namespace tarvel
