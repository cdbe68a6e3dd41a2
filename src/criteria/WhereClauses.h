// The WHERE-clause rules from which every overview statement is composed, and the statement of
// each report choice. Pure text functions of the criteria and the user's context.
//
// Every criteria text and every context value goes into the SQL through db::SqlEscape, so a
// keyword such as O'Neil finds O'Neil and a keyword can never widen what a restricted user sees.
// Texts without apostrophes come out exactly as the suite has always written them.
#pragma once

#include <QString>

#include "criteria/WorkOrderCriteria.h"

namespace tarvel {

struct AppContext;

/// Whether the user sees only his own customers: the administrator mark differs from the user's
/// name and position 40 of the work-order rights is "1".
bool OwnCustomersOnly(const AppContext& context);

/// Appends the own-customer restriction (with the group alternatives) to `statement` when
/// OwnCustomersOnly; otherwise leaves it. `qualifier` (e.g. "歷史工單明細2") names the table of
/// EMPNO, CUST and the group columns in a join; empty for a single-table statement.
void AppendOwnCustomerScope(QString& statement, const AppContext& context,
                            const QString& qualifier = {});

/// The optional pieces of the overview rule.
struct OverviewPieces {
  bool customerRange = true;    ///< CUST between CustomerFrom and CustomerTo (all but 未送總表)
  bool positiveAmount = false;  ///< AMT > 0 when the criteria ask for it (表2)
};

/// The overview rule (表1, 表2, 表4, 未送總表), ending with the own-customer restriction.
QString OverviewWhere(const WorkOrderCriteria& c, const AppContext& context,
                      OverviewPieces pieces = {});

/// The 表3 rule over [歷史工單明細2]. With a `qualifier` every column is written as
/// qualifier.column (the join with CROWD needs it).
QString SalesRangeWhere(const WorkOrderCriteria& c, const AppContext& context,
                        const QString& qualifier = {});

/// The 表5 rule over [工單生產報表]: the order-date range and the restriction.
QString ProductionWhere(const WorkOrderCriteria& c, const AppContext& context);

/// The 補版明細 rule over [歷史工單明細]: work orders with a plate-remake line.
QString PlateRedoWhere(const WorkOrderCriteria& c, const AppContext& context);

}  // namespace tarvel
