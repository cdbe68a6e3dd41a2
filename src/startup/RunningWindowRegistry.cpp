#include "startup/RunningWindowRegistry.h"

#include <memory>

#include "db/Connection.h"
#include "db/SqlText.h"
#include "platform/SystemServices.h"
#include "platform/UserInterface.h"

namespace tarvel {

RegistryOutcome RegisterRunningWindow(const QString& connectionString, const QString& id,
                                      double launcherWindow, double windowHandle,
                                      const QString& func) {
  try {
    Ui().ProcessEvents();
    std::unique_ptr<db::Connection> connection =
        db::Connection::Open(connectionString, db::Connection::Access::Write);
    // The suite's Jet file is never written here: its registry stays as the suite keeps it.
    if (!connection->Can(db::Capability::Write)) return RegistryOutcome::ReadOnly;
    if (!System().IsLauncherAlive(launcherWindow)) return RegistryOutcome::Done;
    db::UpdatableRecordset rows = connection->OpenForUpdate(
        QStringLiteral("select top 1 * from [SYSUSER1] where ID = '") + db::SqlEscape(id) +
        QStringLiteral("' and FUNC = '") + db::SqlEscape(func) + QStringLiteral("' "));
    if (rows.EOF_()) {
      rows.AddNew();
      rows.SetField(QStringLiteral("ID"), db::Value(id));
      rows.SetField(QStringLiteral("FUNC"), db::Value(func));
    }
    rows.SetField(QStringLiteral("LPID"), db::Value(windowHandle));
    rows.Update();
  } catch (const Error& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("記錄已開啟程式錯誤"));
  }
  return RegistryOutcome::Done;
}

void UnregisterRunningWindow(const QString& connectionString, const QString& id,
                             const QString& func, bool allPrograms) {
  try {
    Ui().ProcessEvents();
    std::unique_ptr<db::Connection> connection =
        db::Connection::Open(connectionString, db::Connection::Access::Write);
    if (!connection->Can(db::Capability::Write)) return;
    QString command = QStringLiteral("delete from [SYSUSER1] where ID = '") + db::SqlEscape(id) +
                      QStringLiteral("' ");
    if (!allPrograms)
      command = QStringLiteral("delete from [SYSUSER1] where ID = '") + db::SqlEscape(id) +
                QStringLiteral("' and FUNC = '") + db::SqlEscape(func) + QStringLiteral("' ");
    connection->Execute(command);
  } catch (const Error& error) {
    ShowMessage(error.Description(), kCritical, QStringLiteral("刪除已開啟程式錯誤"));
  }
}

}  // namespace tarvel
