#include "reports/OverviewLayouts.h"

#include "reports/LayoutRegistry.h"

namespace tarvel {
namespace {

const LayoutFactories& Factories() {
  static const LayoutFactories factories = [] {
    LayoutFactories all;
    AddTable1Layouts(all);
    AddSalesAndProductionLayouts(all);
    return all;
  }();
  return factories;
}

}  // namespace

std::unique_ptr<Report> CreateOverviewLayout(const QString& name, const WorkOrderCriteria& criteria,
                                             const AppContext& context) {
  const auto it = Factories().find(name);
  return it == Factories().end() ? nullptr : it->second(criteria, context);
}

}  // namespace tarvel
