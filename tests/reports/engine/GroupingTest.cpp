// The run: handler order, group breaks, summaries over groups and pages, hidden instances.
#include <gtest/gtest.h>

#include "reports/engine/TestReports.h"

namespace tarvel::test {
namespace {

TEST(ReportRun, HandlerOrderWithWorkOrderGroups) {
  LayoutDefinition layout;
  layout.sections = {
      {.kind = SectionKind::PageHeader},
      {.kind = SectionKind::GroupHeader1, .height = 500},
      {.kind = SectionKind::GroupHeader2,
       .height = 300,
       .groupKey = QStringLiteral("PO"),
       .controls = {FieldDef(QStringLiteral("txtPO"), QStringLiteral("PO"))}},
      {.kind = SectionKind::Detail,
       .height = 300,
       .controls = {FieldDef(QStringLiteral("txtNO"), QStringLiteral("NO"))}},
      {.kind = SectionKind::GroupFooter2,
       .controls = {FieldDef(QStringLiteral("txtLastNO"), QStringLiteral("NO"))}},
      {.kind = SectionKind::GroupFooter1, .height = 300},
      {.kind = SectionKind::PageFooter},
  };
  auto report = CreateReport<ScriptedReport>(
      std::move(layout),
      Rows({"PO", "NO"}, {{"A", "1"}, {"A", "2"}, {"B", "1"}, {"C", "1"}, {"C", "2"}}));
  report->onGroupHeader2 = [](ScriptedReport& r) {
    r.note = ":" + r.Field(QStringLiteral("txtPO")).Value().Text();
  };
  report->onDetail = [](ScriptedReport& r) {
    r.note = ":" + r.Field(QStringLiteral("txtNO")).Value().Text();
  };
  // A footer's bound field shows the last row of its group.
  report->onGroupFooter2 = [](ScriptedReport& r) {
    r.note = ":" + r.Field(QStringLiteral("txtLastNO")).Text();
  };
  report->Run();
  const std::vector<QString> expected = {
      "Initialize",     "ReportStart",    "PageHeader",     "GroupHeader1",   "GroupHeader2:A",
      "Detail:1",       "Detail:2",       "GroupFooter2:2", "GroupHeader2:B", "Detail:1",
      "GroupFooter2:1", "GroupHeader2:C", "Detail:1",       "Detail:2",       "GroupFooter2:2",
      "GroupFooter1",   "PageFooter",     "ReportEnd"};
  EXPECT_EQ(report->calls, expected);
}

TEST(ReportRun, TotalsPerSalespersonGroupAndGrandTotals) {
  LayoutDefinition layout;
  layout.sections = {
      {.kind = SectionKind::GroupHeader1,
       .height = 500,
       .groupKey = QStringLiteral("EMPNO"),
       .controls = {FieldDef(QStringLiteral("txtEMPNO"), QStringLiteral("EMPNO"))}},
      {.kind = SectionKind::Detail,
       .height = 300,
       .controls = {FieldDef(QStringLiteral("txtQTY"), QStringLiteral("QTY"))}},
      {.kind = SectionKind::GroupFooter1,
       .height = 300,
       .controls = {SummaryFieldDef(QStringLiteral("Field1"), QStringLiteral("PO"),
                                    SummaryFunction::Count),
                    SummaryFieldDef(QStringLiteral("txt數量合計"), QStringLiteral("QTY"),
                                    SummaryFunction::Sum),
                    SummaryFieldDef(QStringLiteral("txt總計"), QStringLiteral("QTY"),
                                    SummaryFunction::Sum, SummaryRunning::All),
                    FieldDef(QStringLiteral("txtLastEMPNO"), QStringLiteral("EMPNO"))}},
  };
  ScriptedReport report(std::move(layout), Rows({"EMPNO", "PO", "QTY"}, {{"E1", "P1", "1,000"},
                                                                         {"E1", "P2", 2.5},
                                                                         {"E2", "P3", db::Value()},
                                                                         {"E2", "P4", "10"},
                                                                         {"E3", "P5", 100},
                                                                         {"E3", "P6", "200"}}));
  QStringList seenInHandler;
  report.onGroupFooter1 = [&](ScriptedReport& r) {
    // The engine's totals are the fields' values when the footer's handler runs.
    const double sum = r.Field(QStringLiteral("txt數量合計")).Value().Number();
    seenInHandler << QStringLiteral("%1 %2 %3 %4")
                         .arg(r.Field(QStringLiteral("txtLastEMPNO")).Text())
                         .arg(r.Field(QStringLiteral("Field1")).Value().AsInteger())
                         .arg(sum)
                         .arg(r.Field(QStringLiteral("txt總計")).Value().Number());
    r.Field(QStringLiteral("txt數量合計")).SetText(QStringLiteral("合計 %1").arg(sum));
  };
  const PageModel model = report.Run();
  // Val("1,000") is 1: sums add Val of the column, as the handlers' own sums do.
  EXPECT_EQ(seenInHandler, QStringList({"E1 2 3.5 3.5", "E2 2 10 13.5", "E3 2 300 313.5"}));
  EXPECT_EQ(TextsOf(model, QStringLiteral("txt數量合計")),
            QStringList({"1:合計 3.5", "1:合計 10", "1:合計 300"}));
  EXPECT_EQ(TextsOf(model, QStringLiteral("Field1")), QStringList({"1:2", "1:2", "1:2"}));
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtEMPNO")), QStringList({"1:E1", "1:E2", "1:E3"}));
}

TEST(ReportRun, SumsAndCountsRunAcrossPages) {
  LayoutDefinition layout;
  layout.page.SetMargins(0, 0, 0, 0);
  layout.sections = {
      {.kind = SectionKind::GroupHeader1, .height = 1000, .repeatOnEveryPage = true},
      {.kind = SectionKind::Detail,
       .height = 1000,
       .controls = {FieldDef(QStringLiteral("txtQTY"), QStringLiteral("QTY"))}},
      {.kind = SectionKind::GroupFooter1,
       .height = 1000,
       .controls = {SummaryFieldDef(QStringLiteral("Field1"), QStringLiteral("QTY"),
                                    SummaryFunction::Count),
                    SummaryFieldDef(QStringLiteral("txtSum"), QStringLiteral("QTY"),
                                    SummaryFunction::Sum)}},
  };
  std::vector<std::vector<db::Value>> rows;
  for (int i = 1; i <= 100; ++i)
    rows.push_back({db::Value(i)});
  ScriptedReport report(std::move(layout), Rows({"QTY"}, rows));
  const PageModel model = report.Run();
  // 16 bands of 1000 twips on an A4 page without margins: the header and 15 rows per page.
  EXPECT_EQ(model.PageCount(), 7);
  EXPECT_EQ(TextsOf(model, QStringLiteral("Field1")), QStringList({"7:100"}));
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtSum")), QStringList({"7:5050"}));
}

TEST(ReportRun, HiddenDetailInstancesTakeNoSpace) {
  LayoutDefinition layout;
  layout.sections = {
      {.kind = SectionKind::GroupHeader2, .height = 300, .groupKey = QStringLiteral("PO")},
      {.kind = SectionKind::Detail,
       .height = 200,
       .controls = {FieldDef(QStringLiteral("txtNO"), QStringLiteral("NO"))}},
      {.kind = SectionKind::GroupFooter1,
       .height = 100,
       .controls = {SummaryFieldDef(QStringLiteral("Field1"), QStringLiteral("PO"),
                                    SummaryFunction::Count)}},
  };
  layout.page.SetMargins(0, 0, 1000, 0);
  ScriptedReport report(
      std::move(layout),
      Rows({"PO", "NO"}, {{"A", " "}, {"B", "1"}, {"B", "2"}, {"C", db::Value()}}));
  report.onDetail = [](ScriptedReport& r) {
    r.Section(SectionKind::Detail)
        .SetVisible(!r.Field(QStringLiteral("txtNO")).Value().Text().isEmpty());
  };
  const PageModel model = report.Run();
  EXPECT_EQ(BandTops(model), QStringList({"GH2:1000 GH2:1300 D:1600 D:1800 GH2:2000 GF1:2300"}));
  // Hidden instances still belong to their group: the engine counts every record.
  EXPECT_EQ(TextsOf(model, QStringLiteral("Field1")), QStringList({"1:4"}));
}

TEST(ReportRun, NoRowsStillPrintsTitleAndZeroTotals) {
  LayoutDefinition layout;
  layout.sections = {
      {.kind = SectionKind::GroupHeader1,
       .height = 500,
       .controls = {LabelDef(QStringLiteral("Label1"), QStringLiteral("工單一覽表"))}},
      {.kind = SectionKind::Detail, .height = 300},
      {.kind = SectionKind::GroupFooter1,
       .height = 300,
       .controls = {SummaryFieldDef(QStringLiteral("Field1"), QStringLiteral("PO"),
                                    SummaryFunction::Count)}},
  };
  ScriptedReport report(std::move(layout), Rows({"PO"}, {}));
  const PageModel model = report.Run();
  EXPECT_EQ(BandTops(model), QStringList({"GH1:1440 GF1:1940"}));
  EXPECT_EQ(TextsOf(model, QStringLiteral("Field1")), QStringList({"1:0"}));
}

}  // namespace
}  // namespace tarvel::test
