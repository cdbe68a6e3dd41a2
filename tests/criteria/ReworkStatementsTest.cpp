// The rework window's criteria: what the capture takes from the window, its defaults, and that
// every criteria text reaches the statements quoted (the statements themselves are golden texts).
#include <gtest/gtest.h>

#include "criteria/ReworkStatements.h"
#include "platform/Clock.h"
#include "platform/Error.h"

namespace tarvel {
namespace {

ReworkCriteria Criteria() {
  ReworkFormState form;
  form.txt單號_起 = " 115100001 ";
  form.txt單號_末 = "115119999";
  form.txt日期_起 = "1151001";
  form.txt日期_末 = "1151130";
  form.txt業務員 = " 王 ";
  ReworkCriteria criteria;
  CaptureReworkCriteria(form, criteria);
  return criteria;
}

TEST(ReworkCriteria, CaptureTrimsAndFillsTheTwoRangeEnds) {
  ReworkFormState form;
  form.txt單號_起 = "  A1 ";
  form.txt單號_末 = "   ";
  form.txt日期_起 = "1151001 ";
  form.txt日期_末 = "";
  form.txt客戶代號 = " 台和 ";
  form.txt廠商代號 = " V01";
  form.txt廠商代號1 = "V02 ";
  form.txt業務員 = "\t王";
  form.sopt選擇 = 1;
  form.sopt排序 = kSortByDieCutter;
  ReworkCriteria criteria;
  criteria.ReportName = "打樣明細表";
  CaptureReworkCriteria(form, criteria);
  EXPECT_EQ(criteria.PoFrom, "A1");
  EXPECT_EQ(criteria.PoTo, "zzzzzzzzz");
  EXPECT_EQ(criteria.DateFrom, "1151001");
  EXPECT_EQ(criteria.DateTo, "9999999");
  EXPECT_EQ(criteria.CustomerKeyword, "台和");
  EXPECT_EQ(criteria.VendorKeyword, "V01");
  EXPECT_EQ(criteria.DieCutterKeyword, "V02");
  EXPECT_EQ(criteria.SalesKeyword, "王");
  EXPECT_EQ(criteria.KindFilter, kKindWorkOrder);
  EXPECT_EQ(criteria.VendorOrder, kByDieCutter);
  EXPECT_EQ(criteria.ReportName, "打樣明細表") << "only an Excel output names the report";

  for (const auto& [option, kind] : {std::pair{0, kKindPrinting}, std::pair{2, kKindPlate},
                                     std::pair{3, kKindAll}, std::pair{-1, kKindAll}}) {
    form.sopt選擇 = option;
    CaptureReworkCriteria(form, criteria);
    EXPECT_EQ(criteria.KindFilter, kind) << option;
  }
  form.sopt排序 = kSortByDieMaker;
  CaptureReworkCriteria(form, criteria);
  EXPECT_EQ(criteria.VendorOrder, kByDieMaker);
}

TEST(ReworkCriteria, TheWindowDefaultsAreThisMonth) {
  ScopedToday today(QDate(2024, 2, 10));
  const ReworkFormState form = ReworkWindowDefaults();
  EXPECT_EQ(form.txt單號_起, "");
  EXPECT_EQ(form.txt單號_末, "zzzzzzzzz");
  EXPECT_EQ(form.txt日期_起, "1130201");
  EXPECT_EQ(form.txt日期_末, "1130229");
  EXPECT_EQ(form.sopt選擇, 3);
  EXPECT_EQ(form.sopt排序, kSortByDieCutter);
  EXPECT_EQ(form.sopt選擇報表, k重工明細表);
}

TEST(ReworkStatements, EveryCriteriaTextGoesThroughTheQuotingHelper) {
  ReworkCriteria c = Criteria();
  c.PoFrom = "A'1";
  c.DateTo = "9'";
  c.CustomerKeyword = "O'Neil";
  c.VendorKeyword = "V'";
  c.DieCutterKeyword = "'R";
  c.SalesKeyword = "x' or '1'='1";
  for (int choice = 0; choice < kReworkChoiceCount; ++choice) {
    const QString sql = ReworkStatement(choice, c);
    // With every doubled apostrophe taken out, what is left has its quotes in pairs around the
    // fixed literals only: no criteria text closed a literal.
    QString rest = sql;
    rest.remove(QStringLiteral("''"));
    EXPECT_EQ(rest.count(QLatin1Char('\'')) % 2, 0) << sql.toStdString();
    EXPECT_FALSE(sql.contains("'1'='1")) << sql.toStdString();
    EXPECT_TRUE(sql.contains("x'' or ''1''=''1")) << sql.toStdString();
  }
  EXPECT_TRUE(ReworkStatement(k重工明細表, c).contains("SNAME like '%O''Neil%'"));
  EXPECT_TRUE(ReworkStatement(k刀模明細表, c).contains("VENDER1 like '%''R%'"));
}

}  // namespace
}  // namespace tarvel
