#include "rework/ReworkQuery.h"

#include "db/Connection.h"
#include "platform/Error.h"
#include "platform/UserInterface.h"
#include "rework/ReworkStatements.h"
#include "startup/AppContext.h"

namespace tarvel {
namespace {

/// Runs the choice's check statement (or, for a print or preview that keeps them, reads the
/// layout's rows); true when it has rows (then the company name is refreshed). The connection and
/// the hourglass end with this function, before any message.
bool HasRowsAndRefreshCompany(const ReworkFormState& form, OutputMode mode, AppContext& context,
                              ReworkCriteria& criteria, std::optional<CheckedRows>* checked) {
  CaptureReworkCriteria(form, criteria);
  BusyPointer busy;
  Ui().ProcessEvents();
  auto connection = db::Connection::Open(context.ConnectionString);
  if (checked && mode != OutputMode::Excel) {
    *checked = CheckedRows::Open(context.ConnectionString,
                                 ReworkStatement(form.sopt選擇報表, criteria, ReworkQuery::Layout));
    if (!*checked) return false;
  } else if (!connection->HasRows(
                 ReworkStatement(form.sopt選擇報表, criteria, ReworkQuery::Check))) {
    return false;
  }
  const db::Recordset company =
      connection->OpenRecordset(QStringLiteral("select * from [COMPANY]"));
  context.CompanyName =
      company.RecordCount() > 0 ? company.Text(QStringLiteral("COMPANY")) : QString();
  return true;
}

}  // namespace

BuildResult BuildAndCheckRework(const ReworkFormState& form, OutputMode mode, AppContext& context,
                                ReworkCriteria& criteria, const ReworkOutput& output,
                                std::optional<CheckedRows>* checked) {
  try {
    if (!HasRowsAndRefreshCompany(form, mode, context, criteria, checked)) {
      ShowMessage(QStringLiteral("查無任何資料!"), kExclamation, QStringLiteral("訊息"));
      return BuildResult::NoRows;
    }
    if (mode == OutputMode::Excel &&
        (form.sopt選擇報表 == k重工明細表 || form.sopt選擇報表 == k打樣明細表))
      criteria.ReportName = ReworkReportName(form.sopt選擇報表);
    output(form.sopt選擇報表, mode);
    return BuildResult::Dispatched;
  } catch (const Error& e) {
    ShowMessage(e.Description(), kCritical, QStringLiteral("印表錯誤"));
  } catch (const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kCritical, QStringLiteral("印表錯誤"));
  }
  return BuildResult::Failed;
}

}  // namespace tarvel
