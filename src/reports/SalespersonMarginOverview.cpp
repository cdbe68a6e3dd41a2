#include "reports/SalespersonMarginOverview.h"

#include "common/GroupedNumber.h"
#include "common/SuiteRules.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;

}  // namespace

std::vector<SectionDef> MarginOverview::Bands(Listing listing) {
  using namespace columns;
  std::vector<OverviewColumn> columns = {
      WorkOrderNo(0, 1080),
      {"Label31", "單別", "txtKIND", "KIND", 0, 630},
      {"lbl工單日期", "工單日期", "txtODATE", "ODATE", 0, 900, Alignment::Center, "###/##/##"},
      {"Label4", "客戶代號", "txtCUST", "CUST", 0, 810},
      {"Label11", "客戶簡稱", "txtSNAME", "SNAME", 0, 990},
      ItemName(0, 2250),
      Quantity(0, 900),
      Price(0, 810),
      Amount(0, 1215),
      {"Label5", "成     本", "txtSUM", "SUM", 0, 1215, Alignment::Right},
      {"Label6", "毛     利", "txt毛利", "毛利", 0, 1215, Alignment::Right},
      {"Label7", "毛利％", "txt毛利率", "", 0, 630, Alignment::Right},
      Salesperson(0, 765),
      {"Label21", "送清", "txtFDATE", "FSEND", 0, 450, Alignment::Center},
      {"Label9", "客戶單號", "txtCUSTNO", "CUSTNO", 0, 1080},
  };
  if (listing == Listing::PerSalesperson) DropSalespersonColumn(columns);
  const int width = FlowColumns(columns) - kLeft;

  ListBands list =
      OverviewList({.ruleWidth = width,
                    .listing = listing,
                    .detailHeight = 315,
                    .detailTop = 30,
                    .font = Ming(10)},
                   OverviewTitleBlock({.salesperson = SalespersonBlockOf(listing)}), columns);
  constexpr int kTotalWidth = 1350;
  const auto under = [&](const char* column, const char* field, const char* source) {
    return FooterTotal::Under(ColumnOf(columns, column), field, source, kTotalWidth);
  };
  const OverviewColumn& rate = ColumnOf(columns, "txt毛利率");
  return {std::move(list.header), std::move(list.detail),
          OverviewFooter({.ruleWidth = width,
                          .totals = {under("txtQTY", "txt數量合計", "QTY"),
                                     under("txtAMT", "txt合計", "AMT"),
                                     under("txtSUM", "txtSUM_S", "SUM"),
                                     under("txt毛利", "txt毛利_S", "毛利"),
                                     {"txt毛利率_S", "", rate.left, rate.width}}})};
}

QString MarginOverview::MarginRate(double margin, double amount, double cost,
                                   const QString& profitRateBase) {
  const auto percent = MarginPercent(margin, amount, cost, profitRateBase);
  if (!percent) return QStringLiteral("0");
  return FormatGrouped(FormatNumber(*percent, QStringLiteral("0")));
}

MarginOverview::MarginOverview(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                               const AppContext& context)
    : MarginOverview(design, Listing::Whole, criteria, context) {}

MarginOverview::MarginOverview(const LayoutDesign& design, Listing listing,
                               const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(design, Bands(listing), criteria, context) {}

void MarginOverview::GroupHeader1_Format() {
  FillTitleBlock();
  Label(QStringLiteral("lbl工單日期"))
      .SetCaption(criteria_.DateBasis == DateBasis::Invoice ? QStringLiteral("發票日期")
                                                            : QStringLiteral("工單日期"));
}

void MarginOverview::Detail_Format() {
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT", "txtSUM", "txt毛利"});
  Field(QStringLiteral("txt毛利率"))
      .SetText(MarginRate(Field(QStringLiteral("txt毛利")).Value().Number(),
                          Field(QStringLiteral("txtAMT")).Value().Number(),
                          Field(QStringLiteral("txtSUM")).Value().Number(),
                          context_.ProfitRateBase));
}

void MarginOverview::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計", "txtSUM_S", "txt毛利_S"});
  Field(QStringLiteral("txt毛利率_S"))
      .SetText(MarginRate(Field(QStringLiteral("txt毛利_S")).Value().Number(),
                          Field(QStringLiteral("txt合計")).Value().Number(),
                          Field(QStringLiteral("txtSUM_S")).Value().Number(),
                          context_.ProfitRateBase));
}

MarginOverviewBySalesperson::MarginOverviewBySalesperson(const LayoutDesign& design,
                                                         const WorkOrderCriteria& criteria,
                                                         const AppContext& context)
    : MarginOverview(design, Listing::PerSalesperson, criteria, context) {}

std::unique_ptr<Report> NewMarginOverviewBySalesperson(const LayoutDesign& design,
                                                       const RequestCriteria& request) {
  return std::make_unique<MarginOverviewBySalesperson>(design, request.Overview(), request.context);
}

std::unique_ptr<Report> NewMarginOverview(const LayoutDesign& design,
                                          const RequestCriteria& request) {
  return std::make_unique<MarginOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
