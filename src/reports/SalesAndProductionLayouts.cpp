#include "reports/LayoutRegistry.h"
#include "reports/RptTarvel3.h"
#include "reports/RptTarvel4.h"
#include "reports/RptTarvel9.h"
#include "reports/RptUnshippedOrders.h"

namespace tarvel {

void AddSalesAndProductionLayouts(LayoutFactories& factories) {
  factories.emplace(QStringLiteral("rptTarvel3"), MakeLayoutFactory<rptTarvel3>());
  factories.emplace(QStringLiteral("rptTarvel3_1"), MakeLayoutFactory<rptTarvel3_1>());
  factories.emplace(QStringLiteral("rptTarvel4"), MakeLayoutFactory<rptTarvel4>());
  factories.emplace(QStringLiteral("rptTarvel4_1"), MakeLayoutFactory<rptTarvel4_1>());
  factories.emplace(QStringLiteral("rptTarvel9"), MakeLayoutFactory<rptTarvel9>());
  factories.emplace(QStringLiteral("rpt工單未出明細_橫"), MakeLayoutFactory<rpt工單未出明細_橫>());
}

}  // namespace tarvel
