#include "reports/CombinedPlateLayouts.h"

#include <algorithm>

#include "common/GroupedNumber.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "reports/LayoutBuilder.h"
#include "reports/RptTarvel_1.h"

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
  Field(QStringLiteral("txt數量合計")).SetText(FormatGrouped(NumberText(quantity_)));
  Field(QStringLiteral("txt合計")).SetText(FormatGrouped(NumberText(amount_)));
  Field(QStringLiteral("txt筆數")).SetText(QString::number(workOrders_));
}

// ---- rptTarvel6_1 ----

std::vector<SectionDef> rptTarvel6_1::Bands() {
  // rptTarvel_1's title block, headings and line; the header ends on the headings' underline,
  // where the first order's rule falls.
  constexpr int kFullWidth = 14850 - 90;
  ListBands list = OverviewList({.ruleWidth = kFullWidth, .headerHeight = 1470},
                                OverviewTitleBlock({}), rptTarvel_1::Columns());
  std::erase_if(list.detail.controls,
                [](const ControlDef& c) { return c.kind == ControlKind::Line; });
  return CombinedPlateReport::Bands(
      std::move(list.header), std::move(list.detail.controls), kFullWidth,
      {
          {"txt合版客戶簡稱", "合版客戶簡稱", "Label11"},
          {"txt合版代號", "合版代號", "Label35"},
          {"txt合版名稱", "合版名稱", "Label2"},
          {"txt合版數量", "合版數量", "Label12", Alignment::Right},
          {"txt合版單價", "合版單價", "Label29", Alignment::Right},
          {"txt合版小計", "合版小計", "Label15", Alignment::Right},
      },
      {{"txt數量合計", "", 7275, 1545}, {"txt合計", "", 9180, 1710}}, Ming(11), 255);
}

rptTarvel6_1::rptTarvel6_1(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                           const AppContext& context)
    : CombinedPlateReport(entry, Bands(), criteria, context) {}

void rptTarvel6_1::WriteWorkOrderLine() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

// ---- rptTarvel8 ----

std::vector<SectionDef> rptTarvel8::Bands() {
  using namespace columns;
  constexpr int kFullWidth = 10890 - 90;  // portrait A4 inside the margins
  ListBands list = OverviewList(
      {.ruleWidth = kFullWidth, .headerHeight = 1455, .font = Ming(10), .lineHeight = 240},
      OverviewTitleBlock({.titleLeft = 4590, .companyVisible = true, .rightLeft = 8610}),
      {
          WorkOrderNo(90, 1080),
          OrderDate(1215, 540),
          Customer(1800, 1170),
          ItemName(3015, 2790),
          Quantity(5850, 990),
          Price(6885, 900),
          Amount(7830, 1170),
          {"Label19", "客戶單號", "txtNAME", "CUSTNO", 9045, 1845, Alignment::Center},
      });
  std::erase_if(list.detail.controls,
                [](const ControlDef& c) { return c.kind == ControlKind::Line; });
  return CombinedPlateReport::Bands(
      std::move(list.header), std::move(list.detail.controls), kFullWidth,
      {
          {"txt合版客戶簡稱", "合版客戶簡稱", "Label11"},
          {"txt合版名稱", "合版名稱", "Label2"},
          {"txt合版數量", "合版數量", "Label12", Alignment::Right},
          {"txt合版單價", "合版單價", "Label29", Alignment::Right},
          {"txt合版小計", "合版小計", "Label15", Alignment::Right},
      },
      {{"txt數量合計", "", 5295, 1545}, {"txt合計", "", 7290, 1710}}, Ming(10), 240);
}

rptTarvel8::rptTarvel8(const LayoutEntry& entry, const WorkOrderCriteria& criteria,
                       const AppContext& context)
    : CombinedPlateReport(entry, Bands(), criteria, context) {}

void rptTarvel8::WriteWorkOrderLine() {
  Field(QStringLiteral("txtODATE")).SetText(MonthDay(Field(QStringLiteral("txtODATE")).Value()));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

}  // namespace tarvel
