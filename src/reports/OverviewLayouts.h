// The overview layouts by name, as the dispatcher picks them.
#pragma once

#include <QString>
#include <memory>

#include "overview/criteria/WorkOrderCriteria.h"
#include "reports/engine/Report.h"
#include "startup/AppContext.h"

namespace tarvel {

/// A new instance of the layout called `name` for one request (ActiveReport_Initialize has run
/// with `criteria` and `context`), or nullptr when this build has no such layout.
std::unique_ptr<Report> CreateOverviewLayout(const QString& name, const WorkOrderCriteria& criteria,
                                             const AppContext& context);

}  // namespace tarvel
