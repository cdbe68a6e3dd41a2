#include "criteria/WhereClauses.h"

#include "common/GroupScope.h"
#include "common/SuiteRules.h"
#include "db/SqlText.h"
#include "platform/Conversions.h"
#include "startup/AppContext.h"

namespace tarvel {
namespace {

using db::SqlEscape;

/// Column name as the statement writes it: bare, or qualified by the table of a join.
class Columns {
 public:
  explicit Columns(const QString& qualifier) : qualifier_(qualifier) {}
  QString operator()(const char* name) const {
    const QString column = QString::fromUtf8(name);
    return qualifier_.isEmpty() ? column : qualifier_ + QLatin1Char('.') + column;
  }

 private:
  QString qualifier_;
};

// Pieces 3 to 8 of the overview rule: number range, item, keyer, category, staff, customer PO.
QString CommonPieces(const WorkOrderCriteria& c, const Columns& col) {
  QString s;
  s += col("PO") + " between '" + SqlEscape(c.PoFrom) + "' and " + "'" + SqlEscape(c.PoTo) +
       "') and ( ";
  s += col("CODE") + " like '%" + SqlEscape(c.ItemKeyword) + "%' or " + col("[DESC]") + " like '%" +
       SqlEscape(c.ItemKeyword) + "%') and ( ";
  s += col("EMPNO1") + " like '%" + SqlEscape(c.KeyerKeyword) + "%' or " + col("EMPNAME1") +
       " like '%" + SqlEscape(c.KeyerKeyword) + "%' ) and ( ";
  s += col("KIND") + " like '%" + SqlEscape(c.Category) + "%') and ( ";
  s += col("工務人員代號") + " like '%" + SqlEscape(c.StaffKeyword) + "%' or " + col("工務人員") +
       " like '%" + SqlEscape(c.StaffKeyword) + "%' ) and ";
  s += col("CUSTNO") + " like '%" + SqlEscape(c.CustomerPoKeyword) + "%' ";
  return s;
}

QString CustomerRangePiece(const WorkOrderCriteria& c, const Columns& col) {
  return " and (" + col("CUST") + " between '" + SqlEscape(c.CustomerFrom) + "' and " + "'" +
         SqlEscape(c.CustomerTo) + "') ";
}

QString ClassificationPiece(const WorkOrderCriteria& c, const Columns& col) {
  if (c.Classification.isEmpty()) return {};
  return " and " + col("分類") + " like '%" + SqlEscape(c.Classification) + "%' ";
}

QString CustomerKeywordPiece(const WorkOrderCriteria& c, const Columns& col) {
  return col("CUST") + " like '%" + SqlEscape(c.CustomerKeyword) + "%' or " + col("SNAME") +
         " like '%" + SqlEscape(c.CustomerKeyword) + "%' ) and ( ";
}

}  // namespace

bool OwnCustomersOnly(const AppContext& context) {
  return context.AdminName != context.UserName && context.WorkOrderRights.mid(39, 1) == "1";
}

void AppendOwnCustomerScope(QString& statement, const AppContext& context,
                            const QString& qualifier) {
  if (!OwnCustomersOnly(context)) return;
  const Columns col(qualifier);
  const QString id = SqlEscape(context.EmployeeId);
  statement += " and (" + col("EMPNO") + " = '" + id + "' or " + col("CUST") +
               " in (select ID from [CUSTE] where EMPNO ='" + id + "' group by ID) ";
  statement = GroupScopeFilter(statement, qualifier, context.Groups);
  statement += " ) ";
}

QString OverviewWhere(const WorkOrderCriteria& c, const AppContext& context,
                      OverviewPieces pieces) {
  const Columns col({});
  QString s = "where (" + CustomerKeywordPiece(c, col);
  s += "EMPNO like '%" + SqlEscape(c.SalesKeyword) + "%' or " + "NAME like '%" +
       SqlEscape(c.SalesKeyword) + "%' ) and ( ";
  s += CommonPieces(c, col);
  if (pieces.customerRange) s += CustomerRangePiece(c, col);

  if (c.DateBasis == DateBasis::Invoice)
    s += " And (發票日期 between '";
  else if (c.DateBasis == DateBasis::Finish)
    s += " And (FDATE between '";
  else
    s += " And (ODATE between '";
  s += SqlEscape(c.DateFrom) + "' and " + "'" + SqlEscape(c.DateTo) + "')  ";

  if (c.CompletionFilter == CompletionFilter::Finished)
    s += " And (FDATE <> '' and FDATE is not NULL)  ";
  else if (c.CompletionFilter == CompletionFilter::Unfinished)
    s += " And (FDATE = '' or FDATE is NULL) ";

  if (c.DeliveryFilter == DeliveryFilter::Cleared)
    s += " And (FSEND = 'Y') ";
  else if (c.DeliveryFilter == DeliveryFilter::NotCleared)
    s += " And (FSEND <> 'Y') and (不送貨 <> 1) ";

  if (c.InvoiceFilter == InvoiceFilter::Invoiced)
    s += " And (發票號碼 <> '' and 發票號碼 is not NULL)  ";
  else if (c.InvoiceFilter == InvoiceFilter::NotInvoiced)
    s += " And (發票號碼 = '' or 發票號碼 is NULL) ";

  if (pieces.positiveAmount && c.PositiveAmountOnly == PositiveAmountOnly::Yes)
    s += " And (AMT > 0) ";
  if (c.UnreviewedOnly == UnreviewedOnly::Yes) s += " And (YN = '' or YN is null) ";
  s += ClassificationPiece(c, col);

  if (c.MarginAnomaly) {
    s += " and (YN = '' or YN is NULL) and (AMT = 0 or ";
    if (MarginAgainstCost(context.ProfitRateBase))
      s += "  (iif(COST=0,0,format((稅前金額+OTAMT-COST)/COST*100,'0.00'))<=0)) ";
    else
      s += "  "
           "(iif(稅前金額+OTAMT=0,0,format((稅前金額+OTAMT-COST)/"
           "(稅前金額+OTAMT)*100,'0.00'))<=0)) ";
  }
  AppendOwnCustomerScope(s, context);
  return s;
}

QString SalesRangeWhere(const WorkOrderCriteria& c, const AppContext& context,
                        const QString& qualifier) {
  const Columns col(qualifier);
  QString s = "where " + col("ODATE") + " between '" + SqlEscape(c.DateFrom) + "' and " + "'" +
              SqlEscape(c.DateTo) + "' and ( ";
  s += CustomerKeywordPiece(c, col);
  s += col("EMPNO") + " between '" + SqlEscape(c.SalesFrom) + "' and " + "'" +
       SqlEscape(c.SalesTo) + "') and ( ";
  s += CommonPieces(c, col);
  s += CustomerRangePiece(c, col);
  s += ClassificationPiece(c, col);
  AppendOwnCustomerScope(s, context, qualifier);
  return s;
}

QString ProductionWhere(const WorkOrderCriteria& c, const AppContext& context) {
  QString s =
      "where ODATE between '" + SqlEscape(c.DateFrom) + "' and " + "'" + SqlEscape(c.DateTo) + "' ";
  AppendOwnCustomerScope(s, context);
  return s;
}

QString PlateRedoWhere(const WorkOrderCriteria& c, const AppContext& context) {
  const Columns col({});
  QString s = "where (" + CustomerKeywordPiece(c, col);
  s += "EMPNO like '%" + SqlEscape(c.SalesKeyword) + "%' or " + "NAME like '%" +
       SqlEscape(c.SalesKeyword) + "%' ) and ( ";
  s += "CODE like '%" + SqlEscape(c.ItemKeyword) + "%' or " + "[DESC] like '%" +
       SqlEscape(c.ItemKeyword) + "%') and ";
  s += "ODATE between '" + SqlEscape(c.DateFrom) + "' and " + "'" + SqlEscape(c.DateTo) + "' and ";
  s += "PO in (select PO from [PLATE] where SPEC like '%補版%' group by PO) ";
  AppendOwnCustomerScope(s, context);
  return s;
}

}  // namespace tarvel
