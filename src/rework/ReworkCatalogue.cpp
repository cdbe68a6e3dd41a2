#include "rework/ReworkCatalogue.h"

#include "platform/Error.h"
#include "rework/PlateAndDieLayouts.h"
#include "rework/ReworkDetailLayouts.h"

namespace tarvel {
namespace {

/// A page of `orientation` with the four margins in the engine's order (left, right, top,
/// bottom), twips, on the paper of the device.
constexpr PageSettings Page(Orientation orientation, float left, float right, float top,
                            float bottom) {
  return {.orientation = orientation,
          .leftMargin = left,
          .rightMargin = right,
          .topMargin = top,
          .bottomMargin = bottom};
}

// clang-format off
const ReworkLayoutEntry kCatalogue[] = {
    {k重工明細表, "rpt重工明細表", "重工明細表",
     Page(Orientation::Landscape, 400, 500, 400, 400), MakeRework<rpt重工明細表>},
    {k打樣明細表, "rpt打樣明細表", "打樣明細表",
     Page(Orientation::Landscape, 400, 500, 400, 400), MakeRework<rpt打樣明細表>},
    {k留版明細表, "rpt留版明細表", "留版明細表4",
     Page(Orientation::Portrait, 500, 400, 400, 500), MakeRework<rpt留版明細表>},
    {k刀模明細表, "rpt刀模明細表1", "刀模明細表",
     Page(Orientation::Portrait, 500, 400, 400, 500), MakeRework<rpt刀模明細表1>},
};
// clang-format on

}  // namespace

std::span<const ReworkLayoutEntry> ReworkCatalogue() {
  return kCatalogue;
}

const ReworkLayoutEntry& ReworkEntryFor(int choice) {
  for (const ReworkLayoutEntry& entry : kCatalogue)
    if (entry.choice == choice) return entry;
  throw Error(QStringLiteral("沒有報表選項 %1 的明細表").arg(choice));
}

const ReworkLayoutEntry* FindReworkLayout(const QString& name) {
  for (const ReworkLayoutEntry& entry : kCatalogue)
    if (name == QString::fromUtf8(entry.name)) return &entry;
  return nullptr;
}

std::unique_ptr<Report> CreateReworkLayout(const ReworkLayoutEntry& entry,
                                           const ReworkCriteria& criteria,
                                           const AppContext& context) {
  std::unique_ptr<Report> report = entry.create(entry, criteria, context);
  report->Initialize();
  return report;
}

}  // namespace tarvel
