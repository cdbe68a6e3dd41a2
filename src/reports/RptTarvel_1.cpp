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

  header.controls = {
      Hidden(FieldDef("txt公司名稱", "", 90, 0, 6000, 420, Kai(20))),
      LabelDef("Label1", "工單一覽表", 6135, 90, 2400, 420, Kai(18)),
      LabelDef("Label33", "完工狀態：", 12570, 270, 1260, 270, Ming(12)),
      FieldDef("txt完工狀態", "", 13830, 270, 1020, 270, Ming(12)),
      LabelDef("Label32", "送清狀態：", 12570, 540, 1260, 270, Ming(12)),
      FieldDef("txt送貨狀態", "", 13830, 540, 1020, 270, Ming(12)),
      Hidden(LabelDef("Label10", "業  務  員：", 90, 540, 1260, 270, Ming(12))),
      Hidden(LabelDef("Label26", "[", 1350, 540, 150, 270, Ming(12))),
      Hidden(FieldDef("txtEMPNO", "EMPNO", 1500, 540, 800, 270, Ming(12))),
      Hidden(LabelDef("Label27", "]", 2300, 540, 150, 270, Ming(12))),
      Hidden(FieldDef("Field2", "NAME", 2450, 540, 1500, 270, Ming(12))),
      LabelDef("lbl日期", "日期起迄：", 90, 810, 1260, 270, Ming(12)),
      FieldDef("txt日期1", "", 1350, 810, 1100, 270, Ming(12), Alignment::Left, "###/##/##"),
      LabelDef("Label23", "～", 2355, 810, 280, 270, Ming(12)),
      FieldDef("txt日期2", "", 2640, 810, 1100, 270, Ming(12), Alignment::Left, "###/##/##"),
      LabelDef("Label25", "列表日期：", 12570, 810, 1260, 270, Ming(12)),
      FieldDef("txt列印日期", "", 13830, 810, 1020, 270, Ming(12)),
      RuleDef("Line1", 90, 1170, kFullWidth),
  };
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

  LayoutDefinition design{.name = QStringLiteral("rptTarvel_1")};
  design.page.orientation = Orientation::Landscape;
  design.sections = {SectionDef{.kind = SectionKind::PageHeader}, std::move(header),
                     std::move(detail), std::move(footer),
                     SectionDef{.kind = SectionKind::PageFooter}};
  return design;
}

rptTarvel_1::rptTarvel_1(const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(Design(), criteria, context) {}

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
