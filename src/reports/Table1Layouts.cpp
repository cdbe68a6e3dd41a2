#include "reports/LayoutRegistry.h"
#include "reports/RptTarvel_1.h"

namespace tarvel {

void AddTable1Layouts(LayoutFactories& factories) {
  factories.emplace(QStringLiteral("rptTarvel_1"), MakeLayoutFactory<rptTarvel_1>());
}

}  // namespace tarvel
