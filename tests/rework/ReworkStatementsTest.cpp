// The rework window's criteria and the statements of its four reports, against texts written out
// by hand.
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Error.h"
#include "rework/ReworkStatements.h"

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

TEST(ReworkStatements, TheReworkListWithAndWithoutCustomerAndEachKind) {
  ReworkCriteria c = Criteria();
  const QString head =
      "select *  from [重工明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= "
      "'1151001' And ODATE <= '1151130') and ( EMPNO like '%王%' or NAME like '%王%') ";
  EXPECT_EQ(ReworkStatement(k重工明細表, c), head + " order by 種類, PO ");
  c.CustomerKeyword = "台和";
  EXPECT_EQ(ReworkStatement(k重工明細表, c),
            head + " and (SNAME like '%台和%')  order by 種類, PO ");
  c.CustomerKeyword.clear();
  const char* pieces[] = {" and (種類 = '印刷') ", " and (種類 = '工單') ", " and (種類 = '製版') ",
                          ""};
  for (std::int16_t kind = kKindPrinting; kind <= kKindAll; ++kind) {
    c.KindFilter = kind;
    EXPECT_EQ(ReworkStatement(k重工明細表, c), head + pieces[kind - 1] + " order by 種類, PO ")
        << kind;
    EXPECT_EQ(ReworkStatement(k重工明細表, c, ReworkQuery::Check), ReworkStatement(k重工明細表, c));
  }
  EXPECT_EQ(ReworkExportStatement("重工明細表", c), ReworkStatement(k重工明細表, c));
}

TEST(ReworkStatements, TheProofListPutsTheCustomerBeforeTheSalespersonAndChecksWithoutOrder) {
  ReworkCriteria c = Criteria();
  c.KindFilter = kKindPrinting;  // the proof list has no kind
  const QString range =
      "select *  from [打樣明細表] where PO >= '115100001' And PO <= '115119999' And ( ODATE >= "
      "'1151001' And ODATE <= '1151130') ";
  const QString without = range + "and ( EMPNO like '%王%' or NAME like '%王%') ";
  EXPECT_EQ(ReworkStatement(k打樣明細表, c), without + " order by PO ");
  EXPECT_EQ(ReworkStatement(k打樣明細表, c, ReworkQuery::Check), without);
  EXPECT_EQ(ReworkExportStatement("打樣明細表", c), without);

  c.CustomerKeyword = "台和";
  const QString with =
      range + "And SNAME like '%台和%' and ( EMPNO like '%王%' or NAME like '%王%') ";
  EXPECT_EQ(ReworkStatement(k打樣明細表, c), with + " order by PO ");
  EXPECT_EQ(ReworkStatement(k打樣明細表, c, ReworkQuery::Check), with);
  EXPECT_EQ(ReworkExportStatement("打樣明細表", c), with);
}

TEST(ReworkStatements, TheKeptPlatesReadCustomerVendorAndKind) {
  ReworkCriteria c = Criteria();
  c.CustomerKeyword = "C01";
  c.VendorKeyword = "V9";
  const QString head =
      "select * from [留版明細表4] where PO between '115100001' And '115119999' And ( ODATE "
      "between '1151001' And '1151130') And ( CUST like '%C01%' or SNAME like '%C01%') And ( "
      "VENDER like '%V9%' or SVENDER like '%V9%') and ( EMPNO like '%王%' or NAME like '%王%') ";
  EXPECT_EQ(ReworkStatement(k留版明細表, c), head + " order by PO, [NO] ");
  c.KindFilter = kKindPlate;
  EXPECT_EQ(ReworkStatement(k留版明細表, c, ReworkQuery::Check),
            head + " and (種類 = '製版')  order by PO, [NO] ");
  EXPECT_THROW(ReworkExportStatement("留版明細表", c), Error) << "no export";
}

TEST(ReworkStatements, TheDieListIgnoresNumbersAndCustomerAndOrdersByEitherVendor) {
  ReworkCriteria c = Criteria();
  c.CustomerKeyword = "台和";  // hidden for the die list: not in its statement
  c.VendorKeyword = "K1";
  c.DieCutterKeyword = "R2";
  c.KindFilter = kKindPrinting;
  const QString head =
      "select *  from [刀模明細表] where ODATE >= '1151001' And ODATE <= '1151130' and ( VENDER "
      "like '%K1%' or SVENDER like '%K1%') and ( VENDER1 like '%R2%' or SVENDER1 like '%R2%') and "
      "( EMPNO like '%王%' or NAME like '%王%') ";
  c.VendorOrder = kByDieMaker;
  EXPECT_EQ(ReworkStatement(k刀模明細表, c), head + " order by VENDER, PO, REM ");
  c.VendorOrder = kByDieCutter;
  EXPECT_EQ(ReworkStatement(k刀模明細表, c), head + " order by VENDER1, PO, REM ");
  EXPECT_THROW(ReworkStatement(kReworkChoiceCount, c), Error);
  EXPECT_THROW(ReworkExportStatement("", c), Error);
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
