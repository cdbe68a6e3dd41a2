// A workbook failure: what went wrong, in words the export's error message box can show.
#pragma once

#include "platform/Error.h"

namespace tarvel::excel {

class WorkbookError : public tarvel::Error {
 public:
  using Error::Error;
};

}  // namespace tarvel::excel
