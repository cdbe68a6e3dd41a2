// Which export routine the main window's report choice and check boxes lead to, and the
// parameters that set each routine apart.
#pragma once

#include <QString>
#include <optional>

#include "excel/workbook/XlConstants.h"
#include "overview/criteria/Statement.h"
#include "overview/criteria/WorkOrderCriteria.h"

namespace tarvel::excel {

/// The export routines of the overview layouts.
enum class ExportRoutine {
  ItemCode,                       ///< 表1: overview with item code
  CombinedPlateCode,              ///< 表1 with 印合版資料: with code and combined-plate lines
  CustomerPo,                     ///< 表1 with 印客戶單號: customer-PO overview
  SalespersonMargin,              ///< 表2: salesperson overview with cost and margin
  ProductionDetail,               ///< 表3: production detail
  ProductionDetailBySalesperson,  ///< 表3 with 依業務印表: production detail by salesperson
  CombinedPlates,                 ///< 表4(含合版): overview with combined-plate lines
  ProductionReport,               ///< 表5: production report
};

/// The routine of the window's state: 表1 tests 印客戶單號, then 印合版資料 (the die-code and
/// no-amount boxes do not matter: they export the item-code overview); 表3 its 依業務印表 box;
/// 表2, 表4 and 表5 have one routine each. Other choices export nothing.
std::optional<ExportRoutine> ExportRoutineFor(const OverviewFormState& form);

/// What sets a routine apart from the others besides its heading block and columns.
struct ExportParameters {
  const char* errorTitle;  ///< the failure message's title, "表八轉Excel錯誤"
  XlPageOrientation orientation;
  double sheetFontSize;  ///< points, the whole sheet's font size; 0 leaves the Normal font's
  int pageRows;          ///< rows of one printed page block
  int headingRowCount;   ///< rows of the heading block at the top of each block
  char lastColumn;       ///< the last column written, 'M'
};

/// The parameters of `routine` for `criteria` (the salesperson overview has one more heading
/// row when it writes a block per salesperson).
ExportParameters ParametersOf(ExportRoutine routine, const WorkOrderCriteria& criteria);

/// The statement the routine exports: the layout's source and ORDER BY with the WHERE rule of its
/// report choice, except that the salesperson overview leaves out the customer range, the
/// production detail qualifies its columns for the join with CROWD, and the die-code box never
/// changes the source.
QString ExportStatement(ExportRoutine routine, const WorkOrderCriteria& criteria,
                        const AppContext& context);

}  // namespace tarvel::excel
