// The window states that lead to each layout over the ranges the golden texts show, shared by
// the layout tests of every database engine.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "criteria/ReworkCriteria.h"
#include "output/ReportCatalogue.h"
#include "support/Demo.h"

namespace tarvel::test {

/// A main-window check box, as the window's state holds it.
using OverviewBox = bool OverviewFormState::*;

/// The option boxes that choose among the layouts of a report choice (those some catalogue row
/// is picked by), in the box table's order; read from the catalogue when first asked.
class LayoutBoxes {
 public:
  size_t size() const { return All().size(); }
  OverviewBox operator[](size_t i) const { return All()[i]; }
  auto begin() const { return All().begin(); }
  auto end() const { return All().end(); }

 private:
  static const std::vector<OverviewBox>& All() {
    static const std::vector<OverviewBox> boxes = [] {
      std::vector<OverviewBox> picking;
      for (const OptionBox& box : OptionBoxes())
        if (std::any_of(ReportRows().begin(), ReportRows().end(),
                        [&](const ReportRow& row) { return row.box == &box; }))
          picking.push_back(box.ticked);
      return picking;
    }();
    return boxes;
  }
};
inline constexpr LayoutBoxes kOverviewBoxes{};

/// The main window's defaults over last month and this one of the demo: every layout has rows
/// (this month alone has no plate remake), and a few pages each.
inline OverviewFormState GoldenOverviewDefaults() {
  return DemoForm("1151101", "1151231");
}

/// `defaults` with the choice and the first check box that lead to the main-window row `row`.
inline OverviewFormState FormForLayout(const ReportRow& row, const OverviewFormState& defaults) {
  OverviewFormState form = defaults;
  form.sopt選擇報表 = row.Choice();
  if (&RowFor(form) == &row) return form;
  for (OverviewBox box : kOverviewBoxes) {
    OverviewFormState ticked = form;
    ticked.*box = true;
    if (&RowFor(ticked) == &row) return ticked;
  }
  ADD_FAILURE() << "no single box leads to " << row.layout.name;
  return form;
}

/// The catalogue's layout called `name` for one main-window request (ActiveReport_Initialize
/// raised); throws tarvel::Error for a name the catalogue does not know.
inline std::unique_ptr<Report> Layout(const QString& name, const WorkOrderCriteria& criteria,
                                      const AppContext& context) {
  const ReportRow* row = FindRow(name);
  if (row == nullptr) throw Error(QStringLiteral("沒有名為 %1 的報表版面").arg(name));
  return row->CreateLayout({.context = context, .overview = &criteria});
}

/// The rework window's defaults over a range that gives each layout two pages or more: half a
/// year of reworks and proofs, a quarter of plates and dies.
inline ReworkFormState GoldenReworkForm(int choice) {
  ReworkFormState form = ReworkWindowDefaults();
  form.sopt選擇報表 = choice;
  form.txt日期_起 = choice <= k打樣明細表 ? "1150701" : "1151001";
  form.txt日期_末 = "1151231";
  return form;
}

}  // namespace tarvel::test
