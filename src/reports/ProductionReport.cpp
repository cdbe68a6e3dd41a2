#include "reports/ProductionReport.h"

#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kLeft = 90;
}  // namespace

std::vector<SectionDef> ProductionReport::Bands() {
  using namespace columns;
  // 正/反 (色數正, 色數反) and 印刷尺寸 (開數1) have headings; their fields stay hidden.
  std::vector<OverviewColumn> columns = {
      WorkOrderNo(0, 1080),
      ItemName(0, 2295),
      {"Label4", "紙      別", "txtITEM", "ITEM", 0, 1350},
      {"Label5", "規    格", "txtSPEC", "SPEC", 0, 990},
      {"Label6", "總    數", "txt總數", "", 0, 1170, Alignment::Right},
      {"Label17", "正", "txt色數正", "色數正", 0, 360, Alignment::Center, "", false},
      {"Label18", "反", "txt色數反", "色數反", 0, 360, Alignment::Center, "", false},
      {"Label19", "印刷尺寸", "txt開數1", "開數1", 0, 900, Alignment::Center, "", false},
      {"Label7", "總耗時", "txt耗時", "耗時", 0, 810, Alignment::Right},
      {"Label9", "生產量", "txt生產量", "生產量", 0, 810, Alignment::Right},
      {"Label11", "工單實數", "txtQTY1", "QTY1", 0, 990, Alignment::Right},
      {"Label12", "工單放數", "txtQTY2", "QTY2", 0, 900, Alignment::Right},
      {"Label13", "估價成本", "txtOAMT", "OAMT", 0, 1080, Alignment::Right},
      {"Label14", "估價報價", "txtAMT", "AMT", 0, 1080, Alignment::Right},
  };
  const int width = FlowColumns(columns) - kLeft;

  std::vector<ControlDef> title =
      OverviewTitleBlock({.titleVisible = false,
                          .companyVisible = true,
                          .statusLines = false,
                          .salesperson = TitleBlockSpec::Salesperson::Absent,
                          .dateCaption = "工單日期："});
  for (ControlDef& control : title) {
    if (control.name == QStringLiteral("txt公司名稱")) {
      // Without a title the company name heads the page, centred over the columns.
      control.left = kLeft;
      control.width = width;
      control.top = 90;
      control.alignment = Alignment::Center;
    }
  }
  ListBands list = OverviewList({.ruleWidth = width,
                                 .detailHeight = 315,
                                 .detailTop = 30,
                                 .font = Ming(10),
                                 .lineHeight = 255},
                                std::move(title), columns);
  for (const char* column : {"QTY", "FREE"}) {
    const std::string name = std::string("txt") + column;
    list.detail.controls.push_back(Hidden(FieldDef(name.c_str(), column, 0, 30, 0, 255, Ming(10))));
  }
  return {std::move(list.header), std::move(list.detail), OverviewFooter({.ruleWidth = width})};
}

ProductionReport::ProductionReport(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                   const AppContext& context)
    : OverviewReport(design, Bands(), criteria, context) {}

void ProductionReport::GroupHeader1_Format() {
  // Only company, print date and date range: 表5 reads no other criterion.
  FillTitleDates();
}

void ProductionReport::Detail_Format() {
  // QTY is the paper in reams, FREE the sheets beyond them.
  const double sheets = Val(Field(QStringLiteral("txtQTY")).Value().ToText()) * kSheetsPerReam +
                        Val(Field(QStringLiteral("txtFREE")).Value().ToText());
  Field(QStringLiteral("txt總數")).SetText(FormatReamSheet(sheets, QStringLiteral("Y")));
  WriteGroupedValues({"txtOAMT", "txtAMT"});
}

std::unique_ptr<Report> NewProductionReport(const LayoutDesign& design,
                                            const RequestCriteria& request) {
  return std::make_unique<ProductionReport>(design, request.Overview(), request.context);
}

}  // namespace tarvel
