#include "criteria/OutputRights.h"

#include "platform/UserInterface.h"
#include "startup/AppContext.h"

namespace tarvel {

bool MayExportToExcel(const AppContext& context) {
  if (!context.AdminName.isEmpty()) return true;
  const QString& rights = context.WorkOrderRights;
  return !(rights.size() >= kNoExcelRightsFlag && rights[kNoExcelRightsFlag - 1] == u'1');
}

bool CheckExcelRights(const AppContext& context) {
  if (MayExportToExcel(context)) return true;
  ShowMessage(QStringLiteral("您的權限不可以轉Excel！"), kExclamation, QStringLiteral("警告"));
  return false;
}

}  // namespace tarvel
