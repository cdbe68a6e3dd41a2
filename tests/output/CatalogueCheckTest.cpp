// The catalogue's check of itself: clean on the program's own definitions against the demo
// database, and naming the definition and what it lacks for each kind of slip a newcomer makes in
// a definition or a window rule.
#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "db/Connection.h"
#include "design/ReportRegistry.h"
#include "output/CatalogueCheck.h"
#include "output/ReportCatalogue.h"
#include "support/Demo.h"

namespace tarvel {
namespace {

/// The check against the demo database's statements; every control present unless `missing`.
CatalogueCheck DemoCheck(db::Connection& connection, const QString& missing = {}) {
  return {.windowHas = [missing](const QString& name) { return name != missing; },
          .columnsOf = [&connection](const QString& statement,
                                     QString& problem) -> std::optional<QStringList> {
            try {
              return connection.OpenRecordset(statement).FieldNames();
            } catch (const Error& error) {
              problem = error.Description();
              return std::nullopt;
            }
          }};
}

/// Every registered definition, `name`'s changed by `change`.
std::vector<ReportDefinition> WithChanged(const char* name,
                                          const std::function<void(ReportDefinition&)>& change) {
  std::vector<ReportDefinition> all(RegisteredReports().begin(), RegisteredReports().end());
  for (ReportDefinition& d : all)
    if (std::string_view(d.name) == name) change(d);
  return all;
}

TEST(CatalogueCheck, TheProgramsOwnCatalogueIsWhole) {
  auto connection = test::OpenDemo();
  EXPECT_EQ(CatalogueProblems(DemoCheck(*connection)), QStringList());
  // Every registered definition is a row of the catalogue, once.
  EXPECT_EQ(ReportRows().size(), RegisteredReports().size());
  for (const ReportDefinition& d : RegisteredReports())
    EXPECT_NE(FindRow(QString::fromUtf8(d.name)), nullptr) << d.name;
}

TEST(CatalogueCheck, EachSlipIsNamedWithItsDefinition) {
  const struct {
    const char* what;
    const char* definition;
    std::function<void(ReportDefinition&)> change;
    const char* named;  ///< what one of its problems says after the definition's name
  } slips[] = {
      {"a box the table lacks", "rptTarvel7",
       [](ReportDefinition& d) { d.pickedBy = "no-such-box"; },
       "由選項方塊 --no-such-box 選取，但選項方塊表沒有它"},
      {"a box the choice does not offer", "rptTarvel7",
       [](ReportDefinition& d) { d.pickedBy = "positive-amount"; }, "在報表選項"},
      {"a column the statement lacks", "rptTarvel_1",
       [](ReportDefinition& d) { d.columns[0].cell.column = "POO"; }, "的版面資料沒有欄位 POO"},
      {"a sheet column taken twice", "rptTarvel_1",
       [](ReportDefinition& d) { d.columns[1].sheet.letter = 'A'; }, "的試算表有兩欄在 A 欄"},
      {"a total beyond the sheet", "rptTarvel_1",
       [](ReportDefinition& d) { d.footer.totals[0].sheetLetter = 'Z'; }, "超出試算表的最後一欄"},
      {"a sheet shared from nowhere", "rptTarvel7",
       [](ReportDefinition& d) { d.sheetOf = "rptNone"; }, "所用的轉Excel格式「rptNone」不存在"},
      {"a computed cell reading an unbound field", "rptTarvel_1",
       [](ReportDefinition& d) {
         d.columns[11].cell.inputs = {"ODATE", "XDATE"};
       },
       "讀取的欄位 XDATE"},
      {"a field named twice", "rptTarvel_1",
       [](ReportDefinition& d) { d.columns[1].field = "txtPO"; }, "的版面有兩個控制項 txtPO"},
  };
  auto connection = test::OpenDemo();
  for (const auto& slip : slips) {
    SCOPED_TRACE(slip.what);
    const QStringList problems =
        CatalogueProblems(DemoCheck(*connection), WithChanged(slip.definition, slip.change));
    const QString said = problems.join('\n');
    ASSERT_FALSE(problems.isEmpty());
    for (const QString& problem : problems)
      EXPECT_TRUE(problem.startsWith(QStringLiteral("「%1」").arg(slip.definition)))
          << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8(slip.named), Qt::CaseInsensitive))
        << said.toStdString();
  }
}

TEST(CatalogueCheck, AControlTheWindowLacksIsNamedWithWhereItIsMentioned) {
  auto connection = test::OpenDemo();
  const QString box = QString::fromUtf8(OptionBoxes()[0].name);
  const QStringList problems = CatalogueProblems(DemoCheck(*connection, box));
  ASSERT_EQ(problems.size(), 1) << problems.join('\n').toStdString();
  EXPECT_EQ(problems[0], QStringLiteral("主視窗沒有控制項 %1（選項方塊表）").arg(box));

  const QString shown = QString::fromUtf8(ShownByEveryChoice()[0]);
  EXPECT_TRUE(CatalogueProblems(DemoCheck(*connection, shown))
                  .join('\n')
                  .contains(QStringLiteral("主視窗沒有控制項 %1").arg(shown)));
}

TEST(CatalogueCheck, EveryChoiceHasExactlyOneLayoutNoBoxPicks) {
  auto all = WithChanged("rptTarvel7", [](ReportDefinition& d) { d.pickedBy = nullptr; });
  const QStringList problems = CatalogueProblems({}, all);
  EXPECT_TRUE(problems.contains("主視窗的報表選項 0 有 2 個不經選項方塊選取的版面（應有 1 個）"))
      << problems.join('\n').toStdString();
}

}  // namespace
}  // namespace tarvel
