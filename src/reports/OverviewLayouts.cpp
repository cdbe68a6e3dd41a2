#include "reports/OverviewLayouts.h"

#include <functional>
#include <map>

#include "reports/RptTarvel_1.h"

namespace tarvel {
namespace {

using Factory = std::function<std::unique_ptr<Report>(const WorkOrderCriteria&, const AppContext&)>;

template <class Layout>
Factory Make() {
  return [](const WorkOrderCriteria& c, const AppContext& ctx) -> std::unique_ptr<Report> {
    return CreateReport<Layout>(c, ctx);
  };
}

const std::map<QString, Factory>& Factories() {
  static const std::map<QString, Factory> factories = {
      {QStringLiteral("rptTarvel_1"), Make<rptTarvel_1>()},
  };
  return factories;
}

}  // namespace

std::unique_ptr<Report> CreateOverviewLayout(const QString& name, const WorkOrderCriteria& criteria,
                                             const AppContext& context) {
  const auto it = Factories().find(name);
  return it == Factories().end() ? nullptr : it->second(criteria, context);
}

}  // namespace tarvel
