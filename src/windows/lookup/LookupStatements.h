// What each picker asks the database: its search statement, the fallback when the search finds
// nothing, and the condition a vendor kind adds.
#pragma once

#include <QString>

namespace tarvel {

/// Which picker: frm客戶輔助視窗, frm業務員輔助視窗 or frm廠商輔助畫面.
enum class LookupKind { Customer, Employee, Vendor };

/// The statement a picker runs for its search text, and the one it falls back to when the search
/// finds nothing. Every text spliced in goes through db::SqlEscape.
struct LookupStatements {
  QString search;
  QString fallback;
};

/// The picker's statements: for customers and employees `seed` is the search text; for vendors
/// `seed` is the search text and `vendorKind` adds its category's condition.
LookupStatements LookupStatementsFor(LookupKind kind, const QString& seed,
                                     const QString& vendorKind = QString());

/// The vendor kind that lists vendors of every category.
inline constexpr char16_t kAllVendors[] = u"所有廠商";

/// The condition a vendor kind adds (" and ITEM4 = '1' " for 印刷), "" for 所有廠商 and for any
/// text that names no category.
QString VendorCategoryCondition(const QString& vendorKind);

}  // namespace tarvel
