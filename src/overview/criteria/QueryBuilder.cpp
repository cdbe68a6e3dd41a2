#include "overview/criteria/QueryBuilder.h"

#include <optional>

#include "db/Connection.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"

namespace tarvel {
namespace {

/// Runs the choice's statement; true when it has rows (then the company name is refreshed). A
/// print or preview keeps the rows open in their snapshot, read up to the first, and hands them to
/// the dispatcher, so the output prints the rows that were checked; an export only looks for the
/// first (it streams its own rows later). The check's connection and the hourglass end with this
/// function, before any message is shown.
bool HasRowsAndRefreshCompany(const OverviewFormState& form, OutputMode mode, AppContext& context,
                              WorkOrderCriteria& criteria, OutputDispatcher& dispatcher) {
  BusyPointer busy;
  Ui().ProcessEvents();
  CaptureCriteria(form, criteria);
  auto connection = db::Connection::Open(context.ConnectionString);
  const QString statement = ComposeStatement(dispatcher.StatementOf(form), criteria, context);
  std::optional<db::RowStream> rows;
  if (mode == OutputMode::Excel) {
    if (!connection->HasRows(statement)) return false;
  } else {
    rows = db::RowStream::Open(context.ConnectionString, statement);
    if (!rows->HasRows()) return false;
  }
  const db::Recordset company =
      connection->OpenRecordset(QStringLiteral("select * from [COMPANY]"));
  // An empty [COMPANY] table leaves the heading without a name rather than failing every print.
  context.CompanyName =
      company.RecordCount() > 0 ? company.Text(QStringLiteral("COMPANY")) : QString();
  if (rows) dispatcher.KeepCheckedRows(statement, std::move(*rows));
  return true;
}

}  // namespace

BuildResult BuildAndCheck(const OverviewFormState& form, OutputMode mode, AppContext& context,
                          WorkOrderCriteria& criteria, OutputDispatcher& dispatcher) {
  try {
    if (!HasRowsAndRefreshCompany(form, mode, context, criteria, dispatcher)) {
      ShowMessage(QStringLiteral("查無任何資料!"), kExclamation, QStringLiteral("訊息"));
      return BuildResult::NoRows;
    }
    dispatcher.Dispatch(form, mode);
    return BuildResult::Dispatched;
  } catch (const Error& e) {
    ShowMessage(e.Description(), kCritical, QStringLiteral("印表錯誤"));
  } catch (const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kCritical, QStringLiteral("印表錯誤"));
  }
  return BuildResult::Failed;
}

}  // namespace tarvel
