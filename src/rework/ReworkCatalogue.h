// The rework window's report catalogue: one row per layout of its four report choices, from which
// the window's dispatch, tarvel-cli and the tests read the layout's name, factory and page.
#pragma once

#include <QString>
#include <memory>
#include <span>

#include "reports/engine/Report.h"
#include "rework/ReworkCriteria.h"
#include "startup/AppContext.h"

namespace tarvel {

struct ReworkLayoutEntry;

/// Creates the layout of `entry` for one request (ActiveReport_Initialize not yet raised).
using ReworkLayoutFactory = std::unique_ptr<Report> (*)(const ReworkLayoutEntry& entry,
                                                        const ReworkCriteria& criteria,
                                                        const AppContext& context);

/// One rework-window layout.
struct ReworkLayoutEntry {
  int choice;          ///< the report choice (ReworkChoice) that prints it
  const char* name;    ///< the layout's name, "rpt重工明細表"
  const char* source;  ///< the table or stored query its rows come from
  PageSettings page;
  ReworkLayoutFactory create;
};

/// Every layout, in the order of the window's report choices.
std::span<const ReworkLayoutEntry> ReworkCatalogue();

/// The layout of `choice`; throws tarvel::Error for a number that is no choice.
const ReworkLayoutEntry& ReworkEntryFor(int choice);

/// The layout called `name`, or nullptr.
const ReworkLayoutEntry* FindReworkLayout(const QString& name);

/// A new instance of the layout for one request, ActiveReport_Initialize raised with `criteria`
/// and `context`.
std::unique_ptr<Report> CreateReworkLayout(const ReworkLayoutEntry& entry,
                                           const ReworkCriteria& criteria,
                                           const AppContext& context);

}  // namespace tarvel
