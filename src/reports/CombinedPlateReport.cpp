#include "reports/CombinedPlateReport.h"

#include <algorithm>

#include "common/GroupedNumber.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

const ControlDef& ControlIn(const SectionDef& section, const char* name) {
  const QString wanted = QString::fromUtf8(name);
  for (const ControlDef& c : section.controls) {
    if (c.name == wanted) return c;
  }
  throw Error(QStringLiteral("版面沒有控制項 %1").arg(wanted));
}

}  // namespace

std::vector<SectionDef> CombinedPlateReport::Bands(SectionDef header,
                                                   std::vector<ControlDef> workOrderLine,
                                                   int fullWidth,
                                                   const std::vector<PlateField>& plateFields,
                                                   const std::vector<FooterTotal>& totals,
                                                   FontSpec font, int lineHeight) {
  // The work-order line is not repeated on a new page: its handler counts the order.
  SectionDef order{.kind = SectionKind::GroupHeader2,
                   .height = 45 + lineHeight + 45,
                   .groupKey = QStringLiteral("PO")};
  order.controls.push_back(RuleDef("Line2", 90, 0, fullWidth));
  for (ControlDef& c : workOrderLine)
    order.controls.push_back(std::move(c));

  SectionDef plates{.kind = SectionKind::Detail, .height = 30 + lineHeight + 30};
  const ControlDef& dateHeading = ControlIn(header, "Label28");
  plates.controls.push_back(LabelDef("Label合版", "合版", dateHeading.left, 30, dateHeading.width,
                                     lineHeight, font, Alignment::Center));
  for (const PlateField& p : plateFields) {
    const ControlDef& heading = ControlIn(header, p.under);
    plates.controls.push_back(FieldDef(p.field, p.column, heading.left, 30, heading.width,
                                       lineHeight, font, p.alignment));
  }
  plates.controls.push_back(Hidden(FieldDef("txtNO", "NO", 90, 30, 600, lineHeight, font)));
  plates.controls.push_back(
      Hidden(FieldDef("txt合版單位", "合版單位", 690, 30, 400, lineHeight, font)));

  return {std::move(header), std::move(order), std::move(plates),
          OverviewFooter({.ruleWidth = fullWidth,
                          .countField = "txt筆數",
                          .count = FooterCount::Layout,
                          .totals = totals})};
}

void CombinedPlateReport::GroupHeader1_Format() {
  FillTitleBlock();
}

void CombinedPlateReport::GroupHeader2_Format() {
  WriteWorkOrderLine();
  ++workOrders_;
  quantity_ += Field(QStringLiteral("txtQTY")).Value().Number();
  amount_ += Field(QStringLiteral("txtAMT")).Value().Number();
}

void CombinedPlateReport::Detail_Format() {
  if (Field(QStringLiteral("txtNO")).Value().Text().isEmpty()) {
    Section(SectionKind::Detail).SetVisible(false);
    return;
  }
  quantity_ += Field(QStringLiteral("txt合版數量")).Value().Number();
  amount_ += Field(QStringLiteral("txt合版小計")).Value().Number();
  WriteGrouped({"txt合版數量", "txt合版單價", "txt合版小計"});
}

void CombinedPlateReport::GroupFooter1_Format() {
  Field(QStringLiteral("txt數量合計")).SetText(FormatGroupedNumber(quantity_));
  Field(QStringLiteral("txt合計")).SetText(FormatGroupedNumber(amount_));
  Field(QStringLiteral("txt筆數")).SetText(QString::number(workOrders_));
}

}  // namespace tarvel
