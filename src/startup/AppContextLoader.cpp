#include "startup/AppContextLoader.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "db/Connection.h"
#include "db/SqlText.h"
#include "platform/Error.h"
#include "platform/UserInterface.h"
#include "startup/DatabaseLocation.h"
#include "startup/LaunchArguments.h"

namespace tarvel {
namespace {

using db::Recordset;

// Reads columns whose values this program does not keep: a missing one must still fail here.
void ReadColumns(const Recordset& rows, std::initializer_list<const char*> names) {
  for (const char* name : names)
    rows.Field(QString::fromUtf8(name));
}

void ReadNumberedColumns(const Recordset& rows, const QString& prefix, int first, int last,
                         std::initializer_list<int> skipped = {}) {
  for (int i = first; i <= last; ++i) {
    if (std::find(skipped.begin(), skipped.end(), i) != skipped.end()) continue;
    rows.Field(prefix + QString::number(i));
  }
}

bool Found(const Recordset& rows) {
  return rows.RecordCount() > 0;
}

void LoadEmployee(db::Connection& connection, AppContext& context) {
  const Recordset rows = connection.OpenRecordset(QStringLiteral("select * from [EMPLOYEE] ") +
                                                  QStringLiteral("where ID = '") +
                                                  db::SqlEscape(context.EmployeeId) + "'");
  context.KnownEmployee = Found(rows);
  if (!context.KnownEmployee) return;
  context.Groups[0] = rows.Text(QStringLiteral("GROUP"));
  for (int i = 1; i < static_cast<int>(context.Groups.size()); ++i)
    context.Groups[i] = rows.Text(QStringLiteral("GROUP") + QString::number(i));
  context.ExtensionNumber = rows.Text(QStringLiteral("分機代號"));
}

void LoadCompany(db::Connection& connection, AppContext& context) {
  const Recordset company = connection.OpenRecordset(QStringLiteral("select * from [COMPANY] "));
  if (Found(company)) {
    context.CompanyName = company.Text(QStringLiteral("COMPANY"));
    ReadColumns(company, {"ADD", "ADD1", "TNO", "TEL", "FAX", "VER"});
  }
  for (const char* table : {"select * from [COMPANY1] ", "select * from [COMPANY2] "}) {
    const Recordset other = connection.OpenRecordset(QString::fromUtf8(table));
    if (Found(other)) ReadColumns(other, {"COMPANY", "ADD", "TNO", "TEL", "FAX"});
  }
}

void LoadSystem(db::Connection& connection, AppContext& context) {
  const Recordset system = connection.OpenRecordset(QStringLiteral("select * from [SYSTEM] "));
  if (Found(system)) {
    context.ProfitRateBase = system.Text(QStringLiteral("ITEM18"));
    ReadColumns(system, {"MFUN"});
    ReadNumberedColumns(system, QStringLiteral("ITEM"), 0, 87, {68, 79});
  }
  const Recordset system1 = connection.OpenRecordset(QStringLiteral("select * from [SYSTEM1] "));
  if (Found(system1))
    ReadColumns(system1, {"發票開立方式", "發票平台路徑", "ITEM87", "ITEM88", "ITEM89", "ITEM102",
                          "ITEM110", "ITEM119", "ITEM120"});
}

void LoadUserRights(db::Connection& connection, AppContext& context) {
  // A stray blank from the menu ("-NAME=王小明  -ID=") must not find no row and so lift every
  // restriction: the name is looked up without blanks at its ends, whatever the engine makes
  // of trailing blanks in a comparison.
  const QString user = db::SqlEscape(context.UserName.trimmed());
  const Recordset rights =
      connection.OpenRecordset(QStringLiteral("select * from [使用者資料] ") +
                               QStringLiteral("where 使用者 = '") + user + "'");
  if (Found(rights))
    ReadColumns(rights,
                {"估價審單金額", "採購審單金額", "工單作業權限", "生產管理權限", "成本分析權限",
                 "基本資料權限", "應收帳款權限", "應付帳款權限", "物料管理權限", "產品管理權限",
                 "印刷作業權限", "製版作業權限", "發票權限",     "其它權限",     "報價權限",
                 "維護權限",     "會計權限",     "績效權限",     "稽核權限",     "速算權限",
                 "運送權限",     "授信額度權限", "產能權限",     "CRM權限",      "網印權限",
                 "代收權限",     "雜支權限",     "刀模權限",     "標籤權限",     "公告權限",
                 "寄庫權限",     "捲筒權限",     "接稿權限"});

  const Recordset details =
      connection.OpenRecordset(QStringLiteral("select * from [使用者資料明細] ") +
                               QStringLiteral("where 使用者 = '") + user + "'");
  context.KnownUser = Found(details);
  if (context.KnownUser) {
    context.WorkOrderRights = details.Text(QStringLiteral("工單作業細部"));
    ReadColumns(details,
                {"生產管理細部", "成本分析細部", "基本資料細部", "應收帳款細部", "應付帳款細部",
                 "物料管理細部", "產品管理細部", "印刷作業細部", "製版作業細部", "發票細部",
                 "其它細部",     "報價細部",     "維護細部",     "會計細部",     "績效細部",
                 "稽核細部",     "速算細部",     "運送細部",     "產能細部",     "CRM細部",
                 "網印細部",     "代收細部",     "雜支細部",     "刀模細部",     "標籤細部",
                 "公告細部",     "寄庫細部",     "捲筒細部",     "接稿細部"});
  }
}

void LoadSettings(db::Connection& connection, AppContext& context) {
  const Recordset os = connection.OpenRecordset(QStringLiteral("select * from [SYSOS] "));
  if (Found(os))
    ReadColumns(
        os, {"VM", "XP", "WIN7", "WIN7C", "WIN8", "WIN8C", "WIN10", "WIN10C", "WIN11", "WIN11C"});
  const Recordset mail = connection.OpenRecordset(QStringLiteral("select * from [啟用發送EAMIL] "));
  if (Found(mail)) ReadColumns(mail, {"啟用發送EAMIL"});

  const Recordset load = connection.OpenRecordset(
      QStringLiteral("select * from [SYSLOAD] ") + QStringLiteral("where ID = '") +
      db::SqlEscape(context.MachineUserName) + QStringLiteral("' and ") +
      QStringLiteral("COMPUTER = '") + db::SqlEscape(GetComputerNameText()) + QStringLiteral("' "));
  if (Found(load)) context.ExcelFolder = LocalFolderText(load.Text(QStringLiteral("EXCEL")));
}

// The database of the context. When the DSN file did not say where it is, the engine's words
// about the text it was given in its place ("SITE=C\nKORV.mdb") would only mislead.
std::unique_ptr<db::Connection> OpenDatabase(const AppContext& context) {
  try {
    return db::Connection::Open(context.ConnectionString);
  } catch (const Error&) {
    if (context.DatabaseLocationProblem.isEmpty()) throw;
    throw Error(context.DatabaseLocationProblem);
  }
}

}  // namespace

QString LocalFolderText(const QString& suiteFolder) {
  if (suiteFolder.isEmpty()) return {};
  QString folder = LocalPath(suiteFolder);
  const bool separatorAtEnd =
      suiteFolder.endsWith(QLatin1Char('\\')) || suiteFolder.endsWith(QLatin1Char('/'));
  if (separatorAtEnd && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

bool LoadAppContext(AppContext& context, const QString& commandLine) {
  BusyPointer hourglass;
  try {
    std::unique_ptr<db::Connection> connection = OpenDatabase(context);
    ParseLaunchArguments(context, commandLine);
    if (HasLaunchToken(commandLine)) LoadEmployee(*connection, context);
    LoadCompany(*connection, context);
    LoadSystem(*connection, context);
    LoadUserRights(*connection, context);
    LoadSettings(*connection, context);
  } catch (const Error& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("取得系統相關設定資料錯誤"));
    return false;
  }
  return true;
}

}  // namespace tarvel
