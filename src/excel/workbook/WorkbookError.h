// A workbook failure: what went wrong, in words the export's error message box can show.
#pragma once

#include "platform/Error.h"

namespace tarvel::excel {

class WorkbookError : public tarvel::Error {
 public:
  using Error::Error;
};

/// A save given up because its caller asked it to stop: nothing was written.
class SaveStopped : public WorkbookError {
 public:
  using WorkbookError::WorkbookError;
};

}  // namespace tarvel::excel
