// The main window's option boxes, one line each: the object name (the control's in MainWindow.ui,
// and what a criteria file calls it), its caption, its command-line flag, the criteria field it
// sets and on which choices, the boxes it excludes, the choices that offer it and what it does to
// 轉Excel檔. The window's rules, the captured criteria, the named criteria, tarvel-cli's flags and
// the tests read this table; a box's object name is written here and in the .ui file only.
//
// The order is the precedence of the boxes that pick a layout among their choice's: a report
// definition names its box by the box's flag (design/ReportDefinition.h, pickedBy), and the
// first ticked box of the choice with a layout wins.
//
// The table is a macro so that the window's state (OverviewFormState) has one member per box,
// named as the box, from this one line: `form.chk不印金額 = true` in a script or a test, with the
// name written once.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include <QStringView>

// clang-format off
#define TARVEL_OPTION_BOXES(BOX)                                                                   \
  /* 表1's layouts, in their precedence. */                                                        \
  BOX(chk客戶單號, .caption = "印客戶單號", .flag = "customer-po-layout",                           \
      .exclusive = kLayoutBoxes, .offeredBy = OnChoices({k表1}),                                    \
      .excel = HidesExcel::WhenChosen)                                                             \
  BOX(chk印刀模代號, .caption = "印刀模代號", .flag = "die-code",                                     \
      .exclusive = kLayoutBoxes, .offeredBy = OnChoices({k表1}), .excel = HidesExcel::Always)        \
  BOX(chk印合版資料, .caption = "印合版資料", .flag = "combined-plates",                              \
      .exclusive = kLayoutBoxes, .offeredBy = OnChoices({k表1}))                                    \
  BOX(chk不印金額, .caption = "不印金額", .flag = "no-amounts",                                      \
      .exclusive = kLayoutBoxes, .offeredBy = OnChoices({k表1}),                                    \
      .excel = HidesExcel::WhenClicked)                                                            \
  /* 表2's and 表3's lists per salesperson. */                                                     \
  BOX(chk依業務印表, .caption = "依業務印表", .flag = "by-salesperson", .sets = &kBySalesperson,      \
      .offeredBy = OnChoices({k表2}))                                                               \
  BOX(chk依業務印表1, .caption = "依業務印表", .flag = "by-salesperson-range")                        \
  /* Criteria: the first unreviewed box serves 表1, 表2 and 未送總表, the second the others. */      \
  BOX(chk只印未審單, .caption = "只印未審單", .flag = "unreviewed", .sets = &kUnreviewedOnly,         \
      .readOn = OnChoices({k表1, k表2, k未送總表}))                                                   \
  BOX(chk只印未審單1, .caption = "只印未審單", .flag = "unreviewed-sales-range",                     \
      .sets = &kUnreviewedOnly, .readOn = OnChoices({k表3, k表4含合版, k表5, k補版明細}))             \
  BOX(chk金額異常, .caption = "異常", .flag = "anomaly", .sets = &kMarginAnomaly,                   \
      .readOn = OnChoices({k表1, k表2, k表4含合版, k補版明細}), .clearedElsewhere = true,              \
      .exclusive = kAmountBoxes, .offeredBy = AllChoicesBut(k未送總表),                             \
      .untickedBy = OnChoices({k表2}))                                                              \
  BOX(chk只印金額大於零, .caption = "只印金額>0", .flag = "positive-amount",                        \
      .sets = &kPositiveAmountOnly, .readOn = OnChoices({k表2}), .exclusive = kAmountBoxes,        \
      .offeredBy = OnChoices({k表2}))
// clang-format on

/// The member of the window's state a box line declares.
#define TARVEL_OPTION_BOX_MEMBER(name, ...) bool name = false;

namespace tarvel {

struct OverviewFormState;
struct WorkOrderCriteria;

/// A set of report choices (bit n: choice n).
using ChoiceSet = std::uint32_t;
inline constexpr ChoiceSet kEveryChoice = ~ChoiceSet{0};
constexpr ChoiceSet OnChoices(std::initializer_list<int> choices) {
  ChoiceSet set = 0;
  for (const int choice : choices)
    set |= ChoiceSet{1} << choice;
  return set;
}
constexpr ChoiceSet AllChoicesBut(int choice) {
  return kEveryChoice & ~(ChoiceSet{1} << choice);
}
constexpr bool Contains(ChoiceSet set, int choice) {
  return choice >= 0 && choice < 32 && (set >> choice) & 1;
}

/// The boxes a ticked box unticks: the others of its group.
enum ExclusiveGroup : int { kNotExclusive = 0, kLayoutBoxes, kAmountBoxes };

/// What a box does to 轉Excel檔: hidden while it is ticked by a click (and shown again when the
/// click unticks it), hidden when a choice is made with the box ticked, or both.
enum class HidesExcel : std::uint8_t { Never, WhenClicked, WhenChosen, Always };

/// A field of the criteria record a box sets, with the ticked state.
struct CriteriaField {
  const char* name;  ///< the record's name ("BySalesperson")
  void (*set)(WorkOrderCriteria& criteria, bool ticked);
};

struct OptionBox {
  bool OverviewFormState::*ticked;  ///< the window state's member, named as the box
  const char* name;                 ///< the object name ("chk不印金額")
  const char* caption;
  const char* flag;  ///< tarvel-cli's option, without "--"
  /// The criteria field it sets on the choices of `readOn`; on the others the field is set as
  /// unticked when `clearedElsewhere`, else left as the record holds it. Null: it only picks a
  /// layout (a report definition names it).
  const CriteriaField* sets = nullptr;
  ChoiceSet readOn = kEveryChoice;
  bool clearedElsewhere = false;
  ExclusiveGroup exclusive = kNotExclusive;
  /// The choices that show it (in its option panel); the others hide it.
  ChoiceSet offeredBy = kEveryChoice;
  ChoiceSet untickedBy = 0;  ///< choices that untick it when they are made
  HidesExcel excel = HidesExcel::Never;

  bool Offered(int choice) const { return Contains(offeredBy, choice); }
};

/// Every box, in the table's order.
std::span<const OptionBox> OptionBoxes();
/// The box with the object name or flag `key`; nullptr when there is none.
const OptionBox* FindOptionBox(QStringView key);

}  // namespace tarvel
