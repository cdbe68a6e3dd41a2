#include "reports/RptTarvel_1.h"

#include "common/GroupedNumber.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {
constexpr int kFullWidth = 14850 - 90;  // from the first column's left to the last column's right
}

LayoutDefinition rptTarvel_1::Design() {
  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 345};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};

  header.controls = OverviewTitleBlock({});
  header.controls.push_back(RuleDef("Line1", 90, 1170, kFullWidth));
  AddColumns(
      header, 1215, detail, 45,
      {
          {"Label3", "工單單號", "txtPO", "PO", 90, 1080},
          {"Label28", "日期", "txtODATE", "ODATE", 1215, 540, Alignment::Center},
          {"Label11", "客      戶", "txtSNAME", "SNAME", 1800, 990},
          {"Label35", "印  件  代  號", "txtCODE", "CODE", 2835, 1620},
          {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 4500, 3285},
          {"Label12", "數    量", "txtQTY", "QTY", 7830, 990, Alignment::Right},
          {"Label29", "單    價", "txtPRICE", "PRICE", 8865, 990, Alignment::Right},
          {"Label15", "金     額", "txtAMT", "AMT", 9900, 990, Alignment::Right},
          {"Label19", "業務員", "txtNAME", "NAME", 10935, 765},
          {"Label34", "預交日", "Field4", "PDATE", 11745, 900, Alignment::Center, "###/##/##"},
          {"Label21", "完工", "txtFDATE", "FDATE", 12690, 450, Alignment::Center},
          {"Label30", "天數", "txt天數", "", 13185, 630, Alignment::Right},
          {"Label31", "單　別", "Field3", "KIND", 13860, 990},
      },
      Ming(11), 255);
  detail.controls.push_back(RuleDef("Line2", 90, 330, kFullWidth));

  footer.controls = {
      RuleDef("Line3", 90, 15, kFullWidth),
      LabelDef("Label16", "合        計：", 90, 60, 1275, 270, Ming(12)),
      TotalDef("Field1", "PO", SummaryFunction::Count, 1365, 60, 720, 270, Ming(12)),
      LabelDef("Label8", "件", 2085, 60, 360, 270, Ming(12)),
      TotalDef("txt數量合計", "QTY", SummaryFunction::Sum, 7275, 60, 1545, 270, Ming(12)),
      TotalDef("txt合計", "AMT", SummaryFunction::Sum, 9180, 60, 1710, 270, Ming(12)),
      RuleDef("Line4", 90, 360, kFullWidth),
  };

  return OverviewDesign(QStringLiteral("rptTarvel_1"), Orientation::Landscape,
                        {std::move(header), std::move(detail), std::move(footer)});
}

rptTarvel_1::rptTarvel_1(const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(Design(), criteria, context) {}

rptTarvel_1::rptTarvel_1(LayoutDefinition design, const WorkOrderCriteria& criteria,
                         const AppContext& context)
    : OverviewReport(std::move(design), criteria, context) {}

void rptTarvel_1::ActiveReport_Initialize() {
  BindOverview(QStringLiteral("歷史工單明細"), QStringLiteral(" order by PO "), true, false);
}

void rptTarvel_1::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Landscape;
  PageSetup().SetMargins(450, 500, 400, 400);
}

void rptTarvel_1::GroupHeader1_Format() {
  FillTitleBlock();
}

void rptTarvel_1::Detail_Format() {
  ReportControl& finished = Field(QStringLiteral("txtFDATE"));
  const db::Value finishDate = finished.Value();
  finished.SetText(FinishedFlag(finishDate));
  ReportControl& orderDate = Field(QStringLiteral("txtODATE"));
  Field(QStringLiteral("txt天數")).SetText(DayCount(orderDate.Value(), finishDate));
  orderDate.SetText(MonthDay(orderDate.Value()));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT"});
}

void rptTarvel_1::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計"});
}

}  // namespace tarvel
