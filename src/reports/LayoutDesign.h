// What the report catalogue tells a layout about itself: the name it is known by, the report
// choice it prints, the statement it reads and its page.
#pragma once

#include <memory>

#include "criteria/RequestCriteria.h"
#include "criteria/Statement.h"
#include "reports/engine/ReportLayout.h"

namespace tarvel {

class Report;

struct LayoutDesign {
  /// The design's name ("rptTarvel_1", "rpt重工明細表"): what users, stored settings and the golden
  /// files know the layout by.
  const char* name = "";
  /// The report choice (option index) of its window that prints it.
  int choice = 0;
  /// The statement of an overview layout; a rework layout composes its own from the choice.
  StatementSpec statement;
  PageSettings page;
};

/// A layout's factory: a new instance for one request, ActiveReport_Initialize not yet raised.
/// Each layout's file defines its own (NewItemCodeOverview, …); the report catalogue names it in
/// the layout's row.
using LayoutFactory = std::unique_ptr<Report> (*)(const LayoutDesign& design,
                                                  const RequestCriteria& request);

}  // namespace tarvel
