#include "criteria/ReworkStatements.h"

#include "db/SqlText.h"
#include "platform/Error.h"

namespace tarvel {
namespace {

using db::SqlEscape;

QString SalesPair(const ReworkCriteria& c) {
  const QString s = SqlEscape(c.SalesKeyword);
  return "EMPNO like '%" + s + "%' or " + "NAME like '%" + s + "%') ";
}

/// The head the rework and proof reports share, up to the order-date range.
QString RangeHead(const char* source, const ReworkCriteria& c) {
  return QStringLiteral("select *  ") + "from [" + QString::fromUtf8(source) + "] " +
         "where PO >= '" + SqlEscape(c.PoFrom) + "' And " + "PO <= '" + SqlEscape(c.PoTo) +
         "' And ( " + "ODATE >= '" + SqlEscape(c.DateFrom) + "' And " + "ODATE <= '" +
         SqlEscape(c.DateTo) + "') ";
}

QString ReworkDetail(const ReworkCriteria& c) {
  QString s = RangeHead("重工明細表", c) + "and ( " + SalesPair(c);
  if (!c.CustomerKeyword.isEmpty())
    s += " and (SNAME like '%" + SqlEscape(c.CustomerKeyword) + "%') ";
  s += ReworkKindPiece(c.KindFilter);
  return s + " order by 種類, PO ";
}

/// The proof report's statement without ORDER BY: the customer keyword, when there is one, stands
/// between the date range and the salesperson pair.
QString ProofDetail(const ReworkCriteria& c) {
  QString s = RangeHead("打樣明細表", c);
  if (c.CustomerKeyword.isEmpty()) return s + "and ( " + SalesPair(c);
  return s + "And " + "SNAME like '%" + SqlEscape(c.CustomerKeyword) + "%' and ( " + SalesPair(c);
}

QString KeptPlates(const ReworkCriteria& c) {
  const QString customer = SqlEscape(c.CustomerKeyword);
  const QString vendor = SqlEscape(c.VendorKeyword);
  QString s = QStringLiteral("select * ") + "from [留版明細表4] " + "where PO between '" +
              SqlEscape(c.PoFrom) + "' And " + "'" + SqlEscape(c.PoTo) + "' And ( " +
              "ODATE between '" + SqlEscape(c.DateFrom) + "' And " + "'" + SqlEscape(c.DateTo) +
              "') And ( " + "CUST like '%" + customer + "%' or " + "SNAME like '%" + customer +
              "%') And ( " + "VENDER like '%" + vendor + "%' or " + "SVENDER like '%" + vendor +
              "%') and ( " + SalesPair(c);
  s += ReworkKindPiece(c.KindFilter);
  return s + " order by PO, [NO] ";
}

/// The die report reads no work-order range and no customer: its window hides both.
QString Dies(const ReworkCriteria& c) {
  const QString vendor = SqlEscape(c.VendorKeyword);
  const QString cutter = SqlEscape(c.DieCutterKeyword);
  QString s = QStringLiteral("select *  ") + "from [刀模明細表] " + "where ODATE >= '" +
              SqlEscape(c.DateFrom) + "' And " + "ODATE <= '" + SqlEscape(c.DateTo) + "' and ( " +
              "VENDER like '%" + vendor + "%' or " + "SVENDER like '%" + vendor + "%') and ( " +
              "VENDER1 like '%" + cutter + "%' or " + "SVENDER1 like '%" + cutter + "%') and ( " +
              SalesPair(c);
  return s + (c.VendorOrder == kByDieMaker ? " order by VENDER, PO, REM "
                                           : " order by VENDER1, PO, REM ");
}

}  // namespace

QString ReworkKindPiece(std::int16_t kindFilter) {
  switch (kindFilter) {
    case kKindPrinting:
      return QStringLiteral(" and (種類 = '印刷') ");
    case kKindWorkOrder:
      return QStringLiteral(" and (種類 = '工單') ");
    case kKindPlate:
      return QStringLiteral(" and (種類 = '製版') ");
    default:
      return {};
  }
}

QString ReworkStatement(int choice, const ReworkCriteria& criteria, ReworkQuery purpose) {
  switch (choice) {
    case k重工明細表:
      return ReworkDetail(criteria);
    case k打樣明細表:
      // The check only counts, so it goes without the layout's order.
      return purpose == ReworkQuery::Check ? ProofDetail(criteria)
                                           : ProofDetail(criteria) + " order by PO ";
    case k留版明細表:
      return KeptPlates(criteria);
    case k刀模明細表:
      return Dies(criteria);
    default:
      throw Error(QStringLiteral("沒有報表選項 %1 的明細表").arg(choice));
  }
}

}  // namespace tarvel
