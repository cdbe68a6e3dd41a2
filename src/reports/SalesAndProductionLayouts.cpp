#include "reports/LayoutRegistry.h"

namespace tarvel {

void AddSalesAndProductionLayouts(LayoutFactories&) {}

}  // namespace tarvel
