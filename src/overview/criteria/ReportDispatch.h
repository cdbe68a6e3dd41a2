// Which layout each report choice and its check boxes lead to, and the output modes.
#pragma once

#include <QString>

#include "overview/criteria/WorkOrderCriteria.h"

namespace tarvel {

/// The output mode the main window's buttons store before a request (print, preview, Excel).
enum class OutputMode { Print, Preview, Excel };

/// The print/preview layout of `choice` with the window's check boxes. For 表1 the boxes are tested
/// in the order customer PO, die code, combined plates, no amounts (the first ticked one wins).
QString LayoutForChoice(const OverviewFormState& form);

/// Receives the request once the query builder has found rows (the main window's dispatcher).
class OutputDispatcher {
 public:
  virtual ~OutputDispatcher() = default;
  virtual void Dispatch(const OverviewFormState& form, OutputMode mode) = 0;
};

}  // namespace tarvel
