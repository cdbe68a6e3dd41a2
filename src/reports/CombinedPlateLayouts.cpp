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

SectionDef TakeSection(LayoutDefinition& design, SectionKind kind) {
  const auto it = std::find_if(design.sections.begin(), design.sections.end(),
                               [kind](const SectionDef& s) { return s.kind == kind; });
  if (it == design.sections.end())
    throw Error(QStringLiteral("版面 %1 沒有 %2").arg(design.name, SectionName(kind)));
  return std::move(*it);
}

const ControlDef& ControlIn(const SectionDef& section, const char* name) {
  const QString wanted = QString::fromUtf8(name);
  for (const ControlDef& c : section.controls) {
    if (c.name == wanted) return c;
  }
  throw Error(QStringLiteral("版面沒有控制項 %1").arg(wanted));
}

const QString kOrderBy = QStringLiteral(" order by PO, [NO] ");

}  // namespace

LayoutDefinition CombinedPlateReport::Design(const char* name, Orientation orientation,
                                             SectionDef header,
                                             std::vector<ControlDef> workOrderLine, int fullWidth,
                                             const std::vector<PlateField>& plateFields,
                                             const std::vector<FooterTotal>& totals, FontSpec font,
                                             int lineHeight) {
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

  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};
  footer.controls = OverviewFooter(fullWidth, "txt筆數", false, totals);

  return OverviewDesign(
      QString::fromUtf8(name), orientation,
      {std::move(header), std::move(order), std::move(plates), std::move(footer)});
}

CombinedPlateReport::CombinedPlateReport(LayoutDefinition design, const WorkOrderCriteria& criteria,
                                         const AppContext& context)
    : OverviewReport(std::move(design), criteria, context), orientation_(PageSetup().orientation) {}

void CombinedPlateReport::ActiveReport_ReportStart() {
  PageSetup().orientation = orientation_;
  PageSetup().SetMargins(450, 500, 400, 400);
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

LayoutDefinition rptTarvel6_1::Design() {
  // rptTarvel_1's title block, headings and line; the header ends on the headings' underline,
  // where the first order's rule falls.
  LayoutDefinition base = rptTarvel_1::Design();
  SectionDef header = TakeSection(base, SectionKind::GroupHeader1);
  header.height = 1470;
  std::vector<ControlDef> line;
  for (ControlDef& c : TakeSection(base, SectionKind::Detail).controls) {
    if (c.kind != ControlKind::Line) line.push_back(std::move(c));
  }
  return CombinedPlateReport::Design(
      "rptTarvel6_1", Orientation::Landscape, std::move(header), std::move(line), 14850 - 90,
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

rptTarvel6_1::rptTarvel6_1(const WorkOrderCriteria& criteria, const AppContext& context)
    : CombinedPlateReport(Design(), criteria, context) {}

void rptTarvel6_1::ActiveReport_Initialize() {
  BindOverview(QStringLiteral("歷史工單明細4"), kOrderBy, true, false);
}

void rptTarvel6_1::WriteWorkOrderLine() {
  WriteWorkOrderDates();
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

// ---- rptTarvel8 ----

LayoutDefinition rptTarvel8::Design() {
  constexpr int kFullWidth = 10890 - 90;  // portrait A4 inside the margins
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1455, .repeatOnEveryPage = true};
  header.controls =
      OverviewTitleBlock({.titleLeft = 4590, .companyVisible = true, .rightLeft = 8610});
  header.controls.push_back(RuleDef("Line1", 90, 1170, kFullWidth));
  SectionDef line;
  AddColumns(header, 1215, line, 45,
             {
                 {"Label3", "工單單號", "txtPO", "PO", 90, 1080},
                 {"Label28", "日期", "txtODATE", "ODATE", 1215, 540, Alignment::Center},
                 {"Label11", "客      戶", "txtSNAME", "SNAME", 1800, 1170},
                 {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 3015, 2790},
                 {"Label12", "數    量", "txtQTY", "QTY", 5850, 990, Alignment::Right},
                 {"Label29", "單    價", "txtPRICE", "PRICE", 6885, 900, Alignment::Right},
                 {"Label15", "金     額", "txtAMT", "AMT", 7830, 1170, Alignment::Right},
                 {"Label19", "客戶單號", "txtNAME", "CUSTNO", 9045, 1845, Alignment::Center},
             },
             Ming(10), 240);
  return CombinedPlateReport::Design(
      "rptTarvel8", Orientation::Portrait, std::move(header), std::move(line.controls), kFullWidth,
      {
          {"txt合版客戶簡稱", "合版客戶簡稱", "Label11"},
          {"txt合版名稱", "合版名稱", "Label2"},
          {"txt合版數量", "合版數量", "Label12", Alignment::Right},
          {"txt合版單價", "合版單價", "Label29", Alignment::Right},
          {"txt合版小計", "合版小計", "Label15", Alignment::Right},
      },
      {{"txt數量合計", "", 5295, 1545}, {"txt合計", "", 7290, 1710}}, Ming(10), 240);
}

rptTarvel8::rptTarvel8(const WorkOrderCriteria& criteria, const AppContext& context)
    : CombinedPlateReport(Design(), criteria, context) {}

void rptTarvel8::ActiveReport_Initialize() {
  BindOverview(QStringLiteral("歷史工單明細4"), kOrderBy, true, false);
}

void rptTarvel8::WriteWorkOrderLine() {
  Field(QStringLiteral("txtODATE")).SetText(MonthDay(Field(QStringLiteral("txtODATE")).Value()));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

}  // namespace tarvel
