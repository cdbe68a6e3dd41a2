// Which layout each report choice and its check boxes lead to, and the output modes.
#pragma once

#include <QString>

#include "overview/criteria/WorkOrderCriteria.h"

namespace tarvel {

/// The output mode the main window's buttons store before a request.
enum class OutputMode { Print, Preview, Excel };

/// The mode text of each mode: "" print, "預覽列印" preview, "轉Excel" Excel.
QString OutputModeText(OutputMode mode);

/// The print/preview layout of `choice` with the window's check boxes. For 表1 the boxes are tested
/// in the order customer PO, die code, combined plates, no amounts (the first ticked one wins).
QString LayoutForChoice(const OverviewFormState& form);

/// Whether `choice` has an Excel output (every choice but 未送總表 and 補版明細).
bool ChoiceHasExcel(int choice);

/// Receives the request once the query builder has found rows (the main window's dispatcher).
class OutputDispatcher {
 public:
  virtual ~OutputDispatcher() = default;
  virtual void Dispatch(const OverviewFormState& form, OutputMode mode) = 0;
};

}  // namespace tarvel
