#include "design/ReportRegistry.h"

#include <vector>

namespace tarvel {
namespace {

// Function-local, so registrations from any file's static initialisers find them made.
std::vector<DefinitionSource>& Sources() {
  static std::vector<DefinitionSource> sources;
  return sources;
}

}  // namespace

bool RegisterReport(DefinitionSource source) {
  Sources().push_back(source);
  return true;
}

std::span<const ReportDefinition> RegisteredReports() {
  static const std::vector<ReportDefinition> definitions = [] {
    std::vector<ReportDefinition> made;
    made.reserve(Sources().size());
    for (const DefinitionSource source : Sources())
      made.push_back(source());
    return made;
  }();
  return definitions;
}

}  // namespace tarvel
