#include "startup/ScriptContext.h"

#include "startup/Startup.h"

namespace tarvel {

std::optional<AppContext> LoadScriptContext(const QString& databasePath, const UserOverrides& user,
                                            QString& refused) {
  const QString commandLine =
      QStringLiteral("-qdx5170 -AD=%1 -NAME=%2 -ID=%3 -XLS=.xlsx -DOC=.docx -PID=0")
          .arg(user.admin.value_or(QString()), user.user.value_or(QString()),
               user.employee.value_or(QString()));
  AppContext context;
  const bool loaded = databasePath.isEmpty()
                          ? InitializeProgram(context, commandLine)
                          : LoadContextForDatabase(context, databasePath, commandLine);
  if (!loaded) return std::nullopt;
  if (user.rights && context.KnownUser) {
    refused = QStringLiteral(
                  "使用者「%1」的權限以資料庫的使用者資料明細為準，"
                  "不能以 --rights 或 WorkOrderRights 另訂。")
                  .arg(context.UserName.trimmed());
    return std::nullopt;
  }
  if (user.groups && context.KnownEmployee) {
    refused =
        QStringLiteral("員工「%1」的群組以資料庫的 EMPLOYEE 為準，不能以 --groups 或 Groups 另訂。")
            .arg(context.EmployeeId);
    return std::nullopt;
  }
  if (user.rights) context.WorkOrderRights = *user.rights;
  if (user.profitBase) context.ProfitRateBase = *user.profitBase;
  if (user.groups) context.Groups = *user.groups;
  return context;
}

}  // namespace tarvel
