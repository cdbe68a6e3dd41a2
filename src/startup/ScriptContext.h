// The context a scripted request runs with (tarvel-cli and other tools): loaded as the program
// loads it at start-up for a user the script names, with the user's values the script overrides.
#pragma once

#include <QString>
#include <optional>

#include "startup/AppContext.h"

namespace tarvel {

/// Who a scripted request runs as, over what the database says.
struct UserOverrides {
  std::optional<QString> admin, user, employee;  ///< the menu's -AD, -NAME and -ID
  std::optional<QString> rights, profitBase;     ///< WorkOrderRights, ProfitRateBase
  std::optional<UserGroups> groups;              ///< Groups
};

/// The context as the program loads it for `user` (the menu's command line with -AD, -NAME and
/// -ID; workbooks .xlsx), from `databasePath`, or from the database of the program's KORV.DSN when
/// it is empty; then `user`'s rights, profit base and groups over the loaded ones. nullopt when it
/// cannot be loaded: the loader has shown why.
///
/// What the database says of a user it knows holds: rights for a name with a row in
/// [使用者資料明細], groups for an employee with a row in [EMPLOYEE]. Overriding them would let a
/// script lift the restrictions the site set, so then nullopt is returned with `refused` saying
/// why. Rights and groups of users the database does not know may be given (they are restricted
/// in nothing otherwise).
std::optional<AppContext> LoadScriptContext(const QString& databasePath, const UserOverrides& user,
                                            QString& refused);

}  // namespace tarvel
