#include "criteria/OptionBoxes.h"

#include "criteria/WorkOrderCriteria.h"

namespace tarvel {
namespace {

constexpr CriteriaField kBySalesperson{"BySalesperson", [](WorkOrderCriteria& c, bool ticked) {
                                         c.BySalesperson = ticked ? BySalesperson::PerSalesperson
                                                                  : BySalesperson::OneList;
                                       }};
constexpr CriteriaField kUnreviewedOnly{"UnreviewedOnly", [](WorkOrderCriteria& c, bool ticked) {
                                          c.UnreviewedOnly =
                                              ticked ? UnreviewedOnly::Yes : UnreviewedOnly::No;
                                        }};
constexpr CriteriaField kMarginAnomaly{
    "MarginAnomaly", [](WorkOrderCriteria& c, bool ticked) { c.MarginAnomaly = ticked; }};
constexpr CriteriaField kPositiveAmountOnly{
    "PositiveAmountOnly", [](WorkOrderCriteria& c, bool ticked) {
      c.PositiveAmountOnly = ticked ? PositiveAmountOnly::Yes : PositiveAmountOnly::No;
    }};

#define TARVEL_OPTION_BOX_ROW(member, ...) \
  OptionBox{.ticked = &OverviewFormState::member, .name = #member, __VA_ARGS__},
constexpr OptionBox kBoxes[] = {TARVEL_OPTION_BOXES(TARVEL_OPTION_BOX_ROW)};
#undef TARVEL_OPTION_BOX_ROW

}  // namespace

std::span<const OptionBox> OptionBoxes() {
  return kBoxes;
}

const OptionBox* FindOptionBox(QStringView key) {
  for (const OptionBox& box : kBoxes)
    if (key == QString::fromUtf8(box.name) || key == QLatin1String(box.flag)) return &box;
  return nullptr;
}

}  // namespace tarvel
