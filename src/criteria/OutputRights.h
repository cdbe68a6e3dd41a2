// Who may take a report to Excel.
#pragma once

namespace tarvel {

struct AppContext;

/// The position (1-based) of the work-order rights flag that forbids Excel output.
inline constexpr int kNoExcelRightsFlag = 41;

/// Whether the user of `context` may export to Excel: an administrator always may; anyone else
/// may unless the 41st character of WorkOrderRights is "1". A rights text of 40 characters or
/// fewer forbids nothing.
bool MayExportToExcel(const AppContext& context);

/// The one gate of every Excel output (both windows' buttons, tarvel-cli's excel and rework
/// excel, and the export run itself): MayExportToExcel, else "您的權限不可以轉Excel！" (style 48,
/// "警告") and false.
bool CheckExcelRights(const AppContext& context);

}  // namespace tarvel
