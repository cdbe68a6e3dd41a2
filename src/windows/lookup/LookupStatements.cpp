#include "windows/lookup/LookupStatements.h"

#include "db/SqlText.h"

namespace tarvel {
namespace {

// The texts keep the suite's spelling and spacing to the character: the other programs of the
// suite send the same statements, and a difference would only make them harder to compare.

QString CustomerSelect() {
  return QStringLiteral(
      "select CUST.ID as 客戶代號, CUST.SNAME as 客戶簡稱, "
      "CUST.EMPNO as 業務員代號, EMPLOYEE.NAME as 業務員, CUST.TEL1 as 電話, "
      "CUST.RATE as 發票稅率, CUST.PAYDATE, CUST.ADD3 as 送貨地址, CUST.NAM2 as 聯絡人, "
      "CUST.TNO as 統一編號, CUST.FAX as 傳真電話, CUST.ADD1, CUST.不附回郵, CUST.NAME as 客戶名稱 "
      "from [CUST] left join [EMPLOYEE] on CUST.EMPNO = EMPLOYEE.ID ");
}

LookupStatements CustomerStatements(const QString& k) {
  return {
      CustomerSelect() + QStringLiteral("where (CUST.ID like '%") + k +
          QStringLiteral("%' OR CUST.SNAME like '%") + k +
          QStringLiteral("%') and ( CUST.停用 = '0' or CUST.停用 = '' or CUST.停用 is null) "
                         " order by CUST.ID"),
      CustomerSelect() +
          QStringLiteral("where (CUST.停用 = '0' or CUST.停用 = '' or CUST.停用 is null) "
                         " order by CUST.ID"),
  };
}

LookupStatements EmployeeStatements(const QString& k) {
  const QString select = QStringLiteral(
      "select EMPLOYEE.ID as 業務員代號, EMPLOYEE.NAME as 業務員名稱 from EMPLOYEE ");
  return {
      select + QStringLiteral("Where (EMPLOYEE.ID Like '%") + k +
          QStringLiteral("%' OR EMPLOYEE.NAME Like '%") + k +
          QStringLiteral("%') and EMPLOYEE.ODATE = '' Order By EMPLOYEE.ID"),
      select + QStringLiteral("where EMPLOYEE.ODATE = '' order by EMPLOYEE.ID"),
  };
}

LookupStatements VendorStatements(const QString& k, const QString& vendorKind) {
  const QString select = QStringLiteral(
      "SELECT VENDER.ID as 廠商代號, VENDER.SNAME as 廠商簡稱, VENDER.RATE, "
      "VENDER.TEL1, VENDER.NAM2 From [VENDER] ");
  const QString active =
      QStringLiteral("VENDER.停用 = '0' or VENDER.停用 = '' or VENDER.停用 is null) ");
  const QString textCondition = QStringLiteral("(VENDER.ID Like '%") + k +
                                QStringLiteral("%' or VENDER.SNAME Like '%") + k +
                                QStringLiteral("%') and ( ") + active;
  if (vendorKind == QStringView(kAllVendors)) {
    return {
        select + QStringLiteral("Where ") + textCondition + QStringLiteral("Order By VENDER.ID"),
        select + QStringLiteral("where (") + active + QStringLiteral("Order By VENDER.ID"),
    };
  }
  const QString category =
      VendorCategoryCondition(vendorKind) + QStringLiteral(" Order By VENDER.ID");
  return {
      select + QStringLiteral("where ") + textCondition + category,
      select + QStringLiteral("where (") + active + category,
  };
}

}  // namespace

LookupStatements LookupStatementsFor(LookupKind kind, const QString& seed,
                                     const QString& vendorKind) {
  // Escaped, an apostrophe in the seed is searched for like any other character instead of
  // ending the literal and letting the rest of the seed rewrite the condition.
  const QString k = db::SqlEscape(seed);
  switch (kind) {
    case LookupKind::Customer:
      return CustomerStatements(k);
    case LookupKind::Employee:
      return EmployeeStatements(k);
    case LookupKind::Vendor:
      return VendorStatements(k, vendorKind);
  }
  return {};
}

QString VendorCategoryCondition(const QString& vendorKind) {
  static const struct {
    const char16_t* kind;
    int item;
  } kCategories[] = {
      {u"印前", 1},  {u"製版", 2},  {u"紙品", 3},  {u"印刷", 4},  {u"上光", 5},  {u"裱紙", 6},
      {u"軋工", 7},  {u"糊工", 8},  {u"裁工", 9},  {u"裁摺", 9},  {u"裝訂", 10}, {u"刀模", 11},
      {u"燙金", 12}, {u"運送", 13}, {u"其他", 14}, {u"其它", 14},
  };
  for (const auto& category : kCategories) {
    if (vendorKind == QStringView(category.kind))
      return QStringLiteral(" and ITEM%1 = '1' ").arg(category.item);
  }
  return QString();
}

}  // namespace tarvel
