#include "criteria/Statement.h"

#include "platform/Error.h"

namespace tarvel {

QString ComposeStatement(const StatementSpec& spec, const WorkOrderCriteria& criteria,
                         const AppContext& context) {
  const QString source = QString::fromUtf8(spec.source);
  QString statement;
  QString qualifier;
  if (spec.join != nullptr) {
    qualifier = source;
    statement = "select " + source + ".*" + QString::fromUtf8(spec.join->columns) + " from [" +
                source + "] " + QString::fromUtf8(spec.join->clause);
  } else {
    statement = "select * from [" + source + "] ";
  }
  // Only the 表3 rule can qualify its columns for a join.
  if (spec.join != nullptr && spec.where != WhereRule::SalesRange)
    throw Error(QStringLiteral("來源 %1 的聯結只能用於業務員區間的條件").arg(source));
  switch (spec.where) {
    case WhereRule::Overview:
      statement += OverviewWhere(criteria, context, spec.pieces);
      break;
    case WhereRule::SalesRange:
      statement += SalesRangeWhere(criteria, context, qualifier);
      return statement + QString::fromUtf8(spec.orderBy);
    case WhereRule::Production:
      statement += ProductionWhere(criteria, context);
      break;
    case WhereRule::PlateRedo:
      statement += PlateRedoWhere(criteria, context);
      break;
  }
  return statement + QString::fromUtf8(spec.orderBy);
}

}  // namespace tarvel
