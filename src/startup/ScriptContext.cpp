#include "startup/ScriptContext.h"

#include "startup/Startup.h"

namespace tarvel {

std::optional<AppContext> LoadScriptContext(const QString& databasePath,
                                            const UserOverrides& user) {
  const QString commandLine =
      QStringLiteral("-qdx5170 -AD=%1 -NAME=%2 -ID=%3 -XLS=.xlsx -DOC=.docx -PID=0")
          .arg(user.admin.value_or(QString()), user.user.value_or(QString()),
               user.employee.value_or(QString()));
  AppContext context;
  const bool loaded = databasePath.isEmpty()
                          ? InitializeProgram(context, commandLine)
                          : LoadContextForDatabase(context, databasePath, commandLine);
  if (!loaded) return std::nullopt;
  if (user.rights) context.WorkOrderRights = *user.rights;
  if (user.profitBase) context.ProfitRateBase = *user.profitBase;
  if (user.groups) context.Groups = *user.groups;
  return context;
}

}  // namespace tarvel
