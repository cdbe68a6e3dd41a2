#include <gtest/gtest.h>

#include "lookup/LookupDatabase.h"
#include "lookup/LookupStatements.h"

namespace tarvel {
namespace {

using test::LookupDatabase;

TEST(LookupStatements, KeepTheSuitesTextsToTheCharacter) {
  const QString customer =
      "select CUST.ID as 客戶代號, CUST.SNAME as 客戶簡稱, CUST.EMPNO as 業務員代號, EMPLOYEE.NAME "
      "as 業務員, CUST.TEL1 as 電話, CUST.RATE as 發票稅率, CUST.PAYDATE, CUST.ADD3 as 送貨地址, "
      "CUST.NAM2 as 聯絡人, CUST.TNO as 統一編號, CUST.FAX as 傳真電話, CUST.ADD1, CUST.不附回郵, "
      "CUST.NAME as 客戶名稱 from [CUST] left join [EMPLOYEE] on CUST.EMPNO = EMPLOYEE.ID ";
  const LookupStatements c = LookupStatementsFor(LookupKind::Customer, "A");
  EXPECT_EQ(c.search,
            customer +
                "where (CUST.ID like '%A%' OR CUST.SNAME like '%A%') and ( CUST.停用 = '0' "
                "or CUST.停用 = '' or CUST.停用 is null)  order by CUST.ID");
  EXPECT_EQ(c.fallback, customer +
                            "where (CUST.停用 = '0' or CUST.停用 = '' or CUST.停用 is null)  order "
                            "by CUST.ID");

  const QString employee =
      "select EMPLOYEE.ID as 業務員代號, EMPLOYEE.NAME as 業務員名稱 from EMPLOYEE ";
  const LookupStatements e = LookupStatementsFor(LookupKind::Employee, "A", "印刷");
  EXPECT_EQ(e.search, employee +
                          "Where (EMPLOYEE.ID Like '%A%' OR EMPLOYEE.NAME Like '%A%') and "
                          "EMPLOYEE.ODATE = '' Order By EMPLOYEE.ID");
  EXPECT_EQ(e.fallback, employee + "where EMPLOYEE.ODATE = '' order by EMPLOYEE.ID");

  const QString vendor =
      "SELECT VENDER.ID as 廠商代號, VENDER.SNAME as 廠商簡稱, VENDER.RATE, VENDER.TEL1, "
      "VENDER.NAM2 From [VENDER] ";
  const QString active = "VENDER.停用 = '0' or VENDER.停用 = '' or VENDER.停用 is null) ";
  const QString text = "(VENDER.ID Like '%A%' or VENDER.SNAME Like '%A%') and ( " + active;
  const LookupStatements all = LookupStatementsFor(LookupKind::Vendor, "A", "所有廠商");
  EXPECT_EQ(all.search, vendor + "Where " + text + "Order By VENDER.ID");
  EXPECT_EQ(all.fallback, vendor + "where (" + active + "Order By VENDER.ID");
  const LookupStatements printing = LookupStatementsFor(LookupKind::Vendor, "A", "印刷");
  EXPECT_EQ(printing.search, vendor + "where " + text + " and ITEM4 = '1'  Order By VENDER.ID");
  EXPECT_EQ(printing.fallback,
            vendor + "where (" + active + " and ITEM4 = '1'  Order By VENDER.ID");
  const LookupStatements unknown = LookupStatementsFor(LookupKind::Vendor, "A", "雜項");
  EXPECT_EQ(unknown.search, vendor + "where " + text + " Order By VENDER.ID");
}

TEST(LookupStatements, EveryVendorKindHasItsFlagColumn) {
  const char* kinds[] = {"印前", "製版", "紙品", "印刷", "上光", "裱紙", "軋工",
                         "糊工", "裁工", "裝訂", "刀模", "燙金", "運送", "其他"};
  for (int item = 1; item <= 14; ++item) {
    EXPECT_EQ(VendorCategoryCondition(kinds[item - 1]), QString(" and ITEM%1 = '1' ").arg(item));
  }
  EXPECT_EQ(VendorCategoryCondition("裁摺"), VendorCategoryCondition("裁工"));
  EXPECT_EQ(VendorCategoryCondition("其它"), VendorCategoryCondition("其他"));
  for (const char* none : {"所有廠商", "", "印刷 ", "ITEM1"})
    EXPECT_EQ(VendorCategoryCondition(none), "");
}

TEST(LookupStatements, SelectTheActiveRowsOnTheDatabase) {
  const LookupDatabase db;
  const auto search = [&db](LookupKind kind, const QString& seed, const QString& vendorKind = {}) {
    return db.Codes(LookupStatementsFor(kind, seed, vendorKind).search);
  };
  // 停用 NULL, '0' and '' are active, '1' is not; a leaving date takes an employee off the list,
  // and so does an unknown one (NULL), as the suite has always treated it.
  EXPECT_EQ(search(LookupKind::Customer, "ZZT"), QStringList({"ZZT1", "ZZT2", "ZZT3"}));
  EXPECT_EQ(search(LookupKind::Customer, "測試"), QStringList({"ZZT1", "ZZT2", "ZZT3"}));
  EXPECT_EQ(search(LookupKind::Employee, "ZZE"), QStringList({"ZZE1"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "裁摺"), QStringList({"ZZV1"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "裁工"), QStringList({"ZZV1"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "其它"), QStringList({"ZZV2"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "所有廠商"), QStringList({"ZZV1", "ZZV2"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "雜項"), QStringList({"ZZV1", "ZZV2"}));

  // An apostrophe is a character to look for, not the end of the literal.
  EXPECT_EQ(search(LookupKind::Customer, "O'Neil"), QStringList({"ZZQ1"}));
  EXPECT_EQ(search(LookupKind::Customer, "x' or CUST.ID like '"), QStringList());
  EXPECT_EQ(search(LookupKind::Vendor, "x' or VENDER.ID like '", "印刷"), QStringList());

  const QStringList all = db.Codes(LookupStatementsFor(LookupKind::Customer, "").fallback);
  EXPECT_EQ(all,
            db.Codes("select ID from CUST where 停用 is null or 停用 in ('0', '') order by ID"));
  EXPECT_TRUE(all.contains("ZZT3") && !all.contains("ZZT4"));
}

}  // namespace
}  // namespace tarvel
