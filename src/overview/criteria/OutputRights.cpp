#include "overview/criteria/OutputRights.h"

#include "startup/AppContext.h"

namespace tarvel {

bool MayExportToExcel(const AppContext& context) {
  if (!context.AdminName.isEmpty()) return true;
  const QString& rights = context.WorkOrderRights;
  return !(rights.size() >= kNoExcelRightsFlag && rights[kNoExcelRightsFlag - 1] == u'1');
}

}  // namespace tarvel
