#include "reports/CombinedPlatesOverview.h"

#include <algorithm>

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

std::vector<SectionDef> CombinedPlatesOverview::Bands() {
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

CombinedPlatesOverview::CombinedPlatesOverview(const LayoutDesign& design,
                                               const WorkOrderCriteria& criteria,
                                               const AppContext& context)
    : CombinedPlateReport(design, Bands(), criteria, context) {}

void CombinedPlatesOverview::WriteWorkOrderLine() {
  Field(QStringLiteral("txtODATE")).SetText(MonthDay(Field(QStringLiteral("txtODATE")).Value()));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

std::unique_ptr<Report> NewCombinedPlatesOverview(const LayoutDesign& design,
                                                  const RequestCriteria& request) {
  return std::make_unique<CombinedPlatesOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
