#include "reports/CustomerPoOverview.h"

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 15885 - 90;
}

std::vector<SectionDef> CustomerPoOverview::Bands() {
  using namespace columns;
  OverviewColumn date = OrderDate(1215, 990);
  date.outputFormat = "###/##/##";
  // 發票號碼, 收款日 and 備註 are left blank for the customer; the two fields under them stay
  // bound (NAME, FDATE) but do not print.
  const std::vector<OverviewColumn> columns = {
      WorkOrderNo(90, 1080),
      date,
      Customer(2250, 1350),
      ItemName(3645, 2700),
      Quantity(6390, 990),
      Price(7425, 990),
      Amount(8460, 1170),
      {"Label19", "客戶單號", "txtcustno", "CUSTNO", 9765, 1350, Alignment::Center},
      {"Label34", "客戶工號", "Field3", "採購單號", 11160, 1350, Alignment::Center},
      {"Label21", "發票號碼", "txtNAME", "NAME", 12555, 1170, Alignment::Left, "", false},
      {"Label30", "收款日", "txtFDATE", "FDATE", 13770, 900, Alignment::Center, "", false},
      {"Label31", "備　註", nullptr, "", 14715, 1170},
  };
  ListBands list = OverviewList(
      {.ruleWidth = kFullWidth},
      OverviewTitleBlock({.titleLeft = 7090, .companyVisible = true, .rightLeft = 13605}), columns);
  return {std::move(list.header), std::move(list.detail),
          OverviewFooter(
              {.ruleWidth = kFullWidth,
               .totals = {{"txt數量合計", "QTY", 5835, 1545}, {"txt合計", "AMT", 7920, 1710}}})};
}

CustomerPoOverview::CustomerPoOverview(const LayoutDesign& design,
                                       const WorkOrderCriteria& criteria, const AppContext& context)
    : ItemCodeOverview(design, Bands(), criteria, context) {}

void CustomerPoOverview::Detail_Format() {
  ReportControl& finished = Field(QStringLiteral("txtFDATE"));
  finished.SetText(FinishedFlag(finished.Value()));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

std::unique_ptr<Report> NewCustomerPoOverview(const LayoutDesign& design,
                                              const RequestCriteria& request) {
  return std::make_unique<CustomerPoOverview>(design, request.Overview(), request.context);
}

}  // namespace tarvel
