// Where the report definitions gather: each report's own file registers its definition
// (TARVEL_REGISTER_REPORT) and the report catalogue reads them all. No list names them, so a new
// report is its file alone.
#pragma once

#include <span>

#include "design/ReportDefinition.h"

namespace tarvel {

/// A function that returns a report's definition.
using DefinitionSource = ReportDefinition (*)();

/// Adds `source` to the reports (before main, from TARVEL_REGISTER_REPORT). Returns true.
bool RegisterReport(DefinitionSource source);

/// Every registered definition, made once on the first call, in no particular order. The
/// references stay valid for the program's life.
std::span<const ReportDefinition> RegisteredReports();

}  // namespace tarvel

/// Registers the definition `source` returns, from the file that defines it.
#define TARVEL_REGISTER_REPORT(source)                                                 \
  namespace {                                                                          \
  [[maybe_unused]] const bool registered_##source = ::tarvel::RegisterReport(&source); \
  }
