// The retained-plate and cutting-die lists of the rework window (rpt留版明細表, rpt刀模明細表1):
// their definitions register themselves in KeptPlateAndDieLists.cpp. Their title block, repeated
// at the top of every page, numbers the pages: the layout's page counter.
#pragma once

#include "reports/DefinedReport.h"

namespace tarvel {

/// A list numbering its own pages: a DefinedReport whose title block counts itself (PageCounter).
using PagedReworkReport = DefinedReport;

}  // namespace tarvel
