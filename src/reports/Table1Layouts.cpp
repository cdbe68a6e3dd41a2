#include "reports/CombinedPlateLayouts.h"
#include "reports/LayoutRegistry.h"
#include "reports/RptTarvel10.h"
#include "reports/RptTarvel2.h"
#include "reports/RptTarvel5.h"
#include "reports/RptTarvel7.h"
#include "reports/RptTarvel_1.h"

namespace tarvel {

void AddTable1Layouts(LayoutFactories& factories) {
  factories.emplace(QStringLiteral("rptTarvel_1"), MakeLayoutFactory<rptTarvel_1>());
  factories.emplace(QStringLiteral("rptTarvel2"), MakeLayoutFactory<rptTarvel2>());
  factories.emplace(QStringLiteral("rptTarvel5"), MakeLayoutFactory<rptTarvel5>());
  factories.emplace(QStringLiteral("rptTarvel6_1"), MakeLayoutFactory<rptTarvel6_1>());
  factories.emplace(QStringLiteral("rptTarvel7"), MakeLayoutFactory<rptTarvel7>());
  factories.emplace(QStringLiteral("rptTarvel8"), MakeLayoutFactory<rptTarvel8>());
  factories.emplace(QStringLiteral("rptTarvel10"), MakeLayoutFactory<rptTarvel10>());
}

}  // namespace tarvel
