// How the statement of one output is composed from the criteria: the source, the WHERE rule and
// the ORDER BY of a report layout or export, as one value that every reader composes the same way.
#pragma once

#include <QString>

#include "criteria/WhereClauses.h"

namespace tarvel {

/// The WHERE rule of a statement.
enum class WhereRule { Overview, SalesRange, Production, PlateRedo };

/// A left join added to the source: its extra columns after "source.*" and its join clause.
/// The WHERE rule's columns are then qualified by the source table.
struct JoinSpec {
  const char* columns;  ///< ",CROWD.MEMB"
  const char* clause;   ///< "left join CROWD on 歷史工單明細2.PO = CROWD.PO "
};

/// One output's statement: "select * from [source] " + the rule + orderBy, or with a join
/// "select source.*<columns> from [source] <clause>" + the rule qualified by source + orderBy.
struct StatementSpec {
  const char* source = "";  ///< the table (or stored query) the rows come from
  WhereRule where = WhereRule::Overview;
  OverviewPieces pieces;     ///< the optional pieces of the overview rule
  const char* orderBy = "";  ///< " order by PO "; "" for none
  const JoinSpec* join = nullptr;
};

/// The statement of `spec` for the criteria and the user. Every output of a request and the query
/// builder's existence check compose it here, so the rows counted are the rows printed.
QString ComposeStatement(const StatementSpec& spec, const WorkOrderCriteria& criteria,
                         const AppContext& context);

}  // namespace tarvel
