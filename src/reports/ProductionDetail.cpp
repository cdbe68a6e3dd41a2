#include "reports/ProductionDetail.h"

#include "common/DisplayWidth.h"
#include "common/GroupedNumber.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kRight = 15930;  // the paper's width less the margins of 400 and 300 twips, less 90

/// The process columns 其他明細 joins, in the order it joins them.
constexpr const char* kProcessFields[] = {"txt上光", "txt裱紙", "txt軋工", "txt糊工",
                                          "txt裁工", "txt裝訂", "txt燙金", "txt其他"};
constexpr int kOtherDetailBytes = 20;

}  // namespace

std::vector<SectionDef> ProductionDetail::Bands(Listing listing) {
  using namespace columns;
  std::vector<OverviewColumn> columns = {
      WorkOrderNo(0, 1080),
      {"Label28", "工單日期", "txtODATE", "ODATE", 0, 900, Alignment::Center, "###/##/##"},
      Salesperson(0, 765),
      Customer(0, 990),
      ItemName(0, 2430),
      {"Label4", "模數", "Field4", "MEMB", 0, 540, Alignment::Right},
      Quantity(0, 1170),
      {"Label5", "開數", "Field2", "SPEC", 0, 720, Alignment::Center},
      {"Label6", "印色", "txt印色", "", 0, 810, Alignment::Center},
      {"Label7", "用      紙", "txt紙品", "紙品", 0, 1800},
      {"Label9", "其　他　明　細", "txt其他明細", "", 0, 0},
  };
  if (listing == Listing::PerSalesperson) DropSalespersonColumn(columns);
  FlowColumns(columns);
  columns.back().width = kRight - columns.back().left;  // 其他明細 takes the rest of the line
  const int width = kRight - kLeft;

  // The whole list has no salesperson block at all; per salesperson it heads each block.
  ListBands list =
      OverviewList({.ruleWidth = width,
                    .listing = listing,
                    .detailHeight = 315,
                    .detailTop = 30,
                    .font = Ming(10)},
                   OverviewTitleBlock({.companyVisible = true,
                                       .statusLines = false,
                                       .salesperson = listing == Listing::PerSalesperson
                                                          ? TitleBlockSpec::Salesperson::Shown
                                                          : TitleBlockSpec::Salesperson::Absent,
                                       .salesNameField = "Field3",
                                       .dateCaption = "工單日期："}),
                   columns);
  for (const char* column : {"UNIT", "PRICE", "COLOR1", "COLOR2", "上光", "裁工", "裝訂", "其他",
                             "裱紙", "軋工", "糊工", "燙金", "AMT"}) {
    const std::string name = std::string("txt") + column;
    list.detail.controls.push_back(Hidden(FieldDef(name.c_str(), column, 0, 30, 0, 255, Ming(10))));
  }

  const OverviewColumn& quantity = ColumnOf(columns, "txtQTY");
  return {std::move(list.header), std::move(list.detail),
          OverviewFooter({.ruleWidth = width,
                          .totals = {FooterTotal::Under(quantity, "txt數量合計", "QTY", 1800),
                                     {"txt合計", "AMT", quantity.left, 1170, false}}})};
}

QString ProductionDetail::ColourText(double front, double back) {
  if (front == 0 && back == 0) return {};
  if (front == 0) return u'反' + NumberText(back);
  if (back == 0) return u'正' + NumberText(front);
  return u'正' + NumberText(front) + u'反' + NumberText(back);
}

QString ProductionDetail::OtherDetails(const QStringList& processes) {
  QStringList parts;
  for (const QString& text : processes)
    if (!text.isEmpty()) parts.push_back(LeftByBytes(text, kOtherDetailBytes));
  return parts.join(QStringLiteral("  "));
}

ProductionDetail::ProductionDetail(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                   const AppContext& context)
    : ProductionDetail(design, Listing::Whole, criteria, context) {}

ProductionDetail::ProductionDetail(const LayoutDesign& design, Listing listing,
                                   const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(design, Bands(listing), criteria, context) {}

void ProductionDetail::GroupHeader1_Format() {
  // Only company, print date and date range: 表3 has no date-basis, completion or delivery choice
  // to report.
  FillTitleDates();
}

void ProductionDetail::Detail_Format() {
  ReportControl& quantity = Field(QStringLiteral("txtQTY"));
  quantity.SetText(FormatGrouped(quantity.Value()) +
                   Field(QStringLiteral("txtUNIT")).Value().Text());
  WriteGrouped({"txtPRICE", "txtAMT"});
  Field(QStringLiteral("txt印色"))
      .SetText(ColourText(Field(QStringLiteral("txtCOLOR1")).Value().Number(),
                          Field(QStringLiteral("txtCOLOR2")).Value().Number()));
  QStringList processes;
  for (const char* name : kProcessFields)
    processes.push_back(Field(QString::fromUtf8(name)).Value().Text());
  Field(QStringLiteral("txt其他明細")).SetText(OtherDetails(processes));
}

void ProductionDetail::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計"});
}

ProductionDetailBySalesperson::ProductionDetailBySalesperson(const LayoutDesign& design,
                                                             const WorkOrderCriteria& criteria,
                                                             const AppContext& context)
    : ProductionDetail(design, Listing::PerSalesperson, criteria, context) {}

std::unique_ptr<Report> NewProductionDetailBySalesperson(const LayoutDesign& design,
                                                         const RequestCriteria& request) {
  return std::make_unique<ProductionDetailBySalesperson>(design, request.Overview(),
                                                         request.context);
}

std::unique_ptr<Report> NewProductionDetail(const LayoutDesign& design,
                                            const RequestCriteria& request) {
  return std::make_unique<ProductionDetail>(design, request.Overview(), request.context);
}

}  // namespace tarvel
