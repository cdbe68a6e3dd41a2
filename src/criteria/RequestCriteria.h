// The criteria one output runs with: the record captured from the window that asked (the main
// window's or the rework window's) and the application context (user, rights, database).
#pragma once

#include "criteria/ReworkCriteria.h"
#include "criteria/WorkOrderCriteria.h"
#include "platform/Error.h"
#include "startup/AppContext.h"

namespace tarvel {

struct RequestCriteria {
  const AppContext& context;
  const WorkOrderCriteria* overview = nullptr;  ///< a main-window request
  const ReworkCriteria* rework = nullptr;       ///< a rework-window request

  /// The main window's record; throws tarvel::Error when the request came from elsewhere (a row
  /// of one family asked with the other family's criteria).
  const WorkOrderCriteria& Overview() const {
    if (overview == nullptr) throw Error(QStringLiteral("這個報表需要工單一覽表的條件"));
    return *overview;
  }
  /// The rework window's record; throws tarvel::Error likewise.
  const ReworkCriteria& Rework() const {
    if (rework == nullptr) throw Error(QStringLiteral("這個報表需要重工明細表的條件"));
    return *rework;
  }
};

}  // namespace tarvel
