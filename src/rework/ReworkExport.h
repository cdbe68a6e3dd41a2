// The export of the rework or proof list to a workbook (frm重工明細表轉Excel's one routine): the
// export frame's page blocks with the rework heading block, detail line and totals line.
#pragma once

#include <QString>
#include <memory>

#include "excel/ExportFrame.h"
#include "excel/WorkOrderExport.h"
#include "rework/ReworkCriteria.h"

namespace tarvel::excel {

/// The routine's parameters: "表一轉Excel錯誤", landscape, the Normal font left as it is, page
/// blocks of 28 rows with 4 heading rows, columns A to J.
ExportParameters ReworkExportParameters();

/// The routine's frame for criteria.ReportName ("重工明細表" or "打樣明細表"), ready to write.
std::unique_ptr<ExportFrame> CreateReworkExport(const ReworkCriteria& criteria,
                                                const AppContext& context);

/// Exports the rows of criteria.ReportName's statement to `targetPath` (hourglass meanwhile),
/// with the messages of every export: "資料庫中沒有符合條件的資料!" when nothing matches,
/// "檔案存放在：" & the path when written, the failure's description under "表一轉Excel錯誤"
/// otherwise (a report name without an export among them). The workbook is written beside the
/// target and takes its place only when complete; a target named .xls or .ods is converted from it,
/// as every export does (ExportRows).
ExportOutcome ExportRework(const ReworkCriteria& criteria, const AppContext& context,
                           const QString& targetPath, const ExportProgress& progress = {});

}  // namespace tarvel::excel
