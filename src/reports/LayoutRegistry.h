// How each group of layouts adds its layouts to the registry the dispatcher reads.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "overview/criteria/WorkOrderCriteria.h"
#include "reports/engine/Report.h"
#include "startup/AppContext.h"

namespace tarvel {

using LayoutFactory =
    std::function<std::unique_ptr<Report>(const WorkOrderCriteria&, const AppContext&)>;
using LayoutFactories = std::map<QString, LayoutFactory>;

/// A factory that creates `Layout` for one request and raises its ActiveReport_Initialize.
template <class Layout>
LayoutFactory MakeLayoutFactory() {
  return [](const WorkOrderCriteria& c, const AppContext& ctx) -> std::unique_ptr<Report> {
    return CreateReport<Layout>(c, ctx);
  };
}

/// 表1 and its check-box variants, and 補版明細 (rptTarvel_1, rptTarvel2, rptTarvel5, rptTarvel6_1,
/// rptTarvel7, rptTarvel8, rptTarvel10).
void AddTable1Layouts(LayoutFactories& factories);
/// 表2, 表3, 表5 and 未送總表 (rptTarvel3, rptTarvel3_1, rptTarvel4, rptTarvel4_1, rptTarvel9,
/// rpt工單未出明細_橫).
void AddSalesAndProductionLayouts(LayoutFactories& factories);

}  // namespace tarvel
