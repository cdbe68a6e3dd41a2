#include "overview/criteria/QueryBuilder.h"

#include "db/Connection.h"
#include "platform/UserInterface.h"
#include "startup/AppContext.h"

namespace tarvel {
namespace {

/// Runs the choice's statement; true when it has rows (then the company name is refreshed).
/// The connection and the hourglass end with this function, before any message is shown.
bool HasRowsAndRefreshCompany(const OverviewFormState& form, AppContext& context,
                              WorkOrderCriteria& criteria, const OutputDispatcher& dispatcher) {
  BusyPointer busy;
  Ui().ProcessEvents();
  CaptureCriteria(form, criteria);
  auto connection = db::Connection::Open(context.ConnectionString);
  // Only whether a row exists matters here: the layout or export queries the rows itself, with the
  // same statement.
  if (!connection->HasRows(ComposeStatement(dispatcher.StatementOf(form), criteria, context)))
    return false;
  const db::Recordset company =
      connection->OpenRecordset(QStringLiteral("select * from [COMPANY]"));
  // An empty [COMPANY] table leaves the heading without a name rather than failing every print.
  context.CompanyName =
      company.RecordCount() > 0 ? company.Text(QStringLiteral("COMPANY")) : QString();
  return true;
}

}  // namespace

BuildResult BuildAndCheck(const OverviewFormState& form, OutputMode mode, AppContext& context,
                          WorkOrderCriteria& criteria, OutputDispatcher& dispatcher) {
  try {
    if (!HasRowsAndRefreshCompany(form, context, criteria, dispatcher)) {
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
