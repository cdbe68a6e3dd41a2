// The banded layout of a report definition: its title block, headings and columns, the lines of
// its groups, and its footers, as the engine's sections and controls.
#pragma once

#include "design/ReportDefinition.h"
#include "reports/engine/ReportLayout.h"

namespace tarvel {

/// The layout `definition` prints: its bands between an empty page header and page footer.
LayoutDefinition PrintedLayout(const ReportDefinition& definition);

/// The width of the rules of `definition`'s list: its measures' or the columns' (twips).
int RuleWidth(const ReportDefinition& definition);

/// Where the column headings of a rework list start (its title block stands above).
inline constexpr int kReworkHeadingTop = 1245;

}  // namespace tarvel
