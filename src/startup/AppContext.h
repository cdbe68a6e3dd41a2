// The process-wide record every window, query, report and export reads: database, user, settings.
#pragma once

#include <QString>
#include <array>

#include "common/GroupScope.h"

namespace tarvel {

/// Filled once at start-up (InitializeProgram) and read-only afterwards, except ExcelFolder
/// (defaulted right after loading), MainWindowHandle (the main window's first activation) and
/// CompanyName (re-read just before output). Texts from the database are trimmed, NULL as "".
struct AppContext {
  // Database location and connection.
  QString ConnectionString;
  QString MachineUserName;  ///< computer name + "\" + user name; registry ID, [SYSLOAD] key
  QString TempFolder;       ///< folder of the marker file, always ending in a separator
  QString Site;             ///< the one character after "SITE=" in the DSN file
  QString DatabaseFolder;   ///< folder text to which "KORV.mdb" is appended, or a server's URI
  QString DatabasePassword;
  /// Why the DSN file gives no database although it names its place (SITE=C without a DBQ=
  /// line), for the message when the database cannot be opened; empty when nothing is amiss.
  QString DatabaseLocationProblem;

  // Launch arguments.
  QString AdminName;          ///< "-AD="
  QString UserName;           ///< "-NAME="
  QString EmployeeId;         ///< "-ID="
  QString ExcelExtension;     ///< "-XLS=", with its dot
  QString DocumentExtension;  ///< "-DOC="
  double LauncherWindow = 0;  ///< "-PID=": process id of the suite's menu that started us

  double MainWindowHandle = 0;  ///< written by the main window on its first activation

  // Loaded from the suite's tables.
  UserGroups Groups;        ///< [EMPLOYEE] GROUP, GROUP1 … GROUP19
  QString ExtensionNumber;  ///< [EMPLOYEE] 分機代號
  QString CompanyName;      ///< [COMPANY] COMPANY
  QString ProfitRateBase;   ///< [SYSTEM] ITEM18: numeric 0 = against cost
  QString WorkOrderRights;  ///< [使用者資料明細] 工單作業細部: one-character flags
  QString ExcelFolder;      ///< [SYSLOAD] EXCEL, as a local folder; see InitializeProgram
  /// [EMPLOYEE] has EmployeeId's row: the Groups are the database's.
  bool KnownEmployee = false;
  /// [使用者資料明細] has UserName's row: the WorkOrderRights are the database's.
  bool KnownUser = false;

  /// The lookup windows' grid colours, decimal numbers of red + 256 * green + 65536 * blue.
  std::array<QString, 7> LookupColours;
};

}  // namespace tarvel
