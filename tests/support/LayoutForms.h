// The window states that lead to each layout over the ranges the golden texts show, shared by
// the layout tests of every database engine.
#pragma once

#include <gtest/gtest.h>

#include <iterator>

#include "reports/ReportCatalogue.h"
#include "rework/ReworkCriteria.h"
#include "support/Demo.h"

namespace tarvel::test {

/// The main window's check boxes that choose among the layouts of a report choice.
using OverviewBox = bool OverviewFormState::*;
inline constexpr OverviewBox kOverviewBoxes[] = {
    &OverviewFormState::chk客戶單號,   &OverviewFormState::chk印刀模代號,
    &OverviewFormState::chk印合版資料, &OverviewFormState::chk不印金額,
    &OverviewFormState::chk依業務印表, &OverviewFormState::chk依業務印表1};

/// The main window's defaults over last month and this one of the demo: every layout has rows
/// (this month alone has no plate remake), and a few pages each.
inline OverviewFormState GoldenOverviewDefaults() {
  return DemoForm("1151101", "1151231");
}

/// `defaults` with the choice and the first check box that lead to `entry`.
inline OverviewFormState FormForLayout(const LayoutEntry& entry,
                                       const OverviewFormState& defaults) {
  OverviewFormState form = defaults;
  form.sopt選擇報表 = entry.choice;
  if (&EntryFor(form) == &entry) return form;
  for (OverviewBox box : kOverviewBoxes) {
    OverviewFormState ticked = form;
    ticked.*box = true;
    if (&EntryFor(ticked) == &entry) return ticked;
  }
  ADD_FAILURE() << "no single box leads to " << entry.name;
  return form;
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
