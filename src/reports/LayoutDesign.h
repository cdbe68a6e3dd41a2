// What the report catalogue tells of a layout: the name it is known by, the report choice it
// prints, the statement it reads and its page, and the definition it is built from.
#pragma once

#include "criteria/Statement.h"
#include "design/ReportDefinition.h"
#include "reports/engine/ReportLayout.h"

namespace tarvel {

struct LayoutDesign {
  /// The design's name ("rptTarvel_1", "rpt重工明細表"): what users, stored settings and the golden
  /// files know the layout by.
  const char* name = "";
  /// The report choice (option index) of its window that prints it.
  int choice = 0;
  /// The statement of an overview layout; a rework layout composes its own from the choice.
  StatementSpec statement;
  PageSettings page;
  const ReportDefinition* definition = nullptr;

  static LayoutDesign Of(const ReportDefinition& definition) {
    return {definition.name, definition.choice, definition.statement, definition.page, &definition};
  }
};

}  // namespace tarvel
