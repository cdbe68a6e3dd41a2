#include "reports/RptTarvel4.h"

#include <algorithm>
#include <string_view>

#include "common/DisplayWidth.h"
#include "common/GroupedNumber.h"
#include "overview/criteria/WhereClauses.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kGap = 45;
constexpr int kRight = 15930;  // the paper's width less the margins of 400 and 300 twips, less 90

/// The process columns 其他明細 joins, in the order it joins them.
constexpr const char* kProcessFields[] = {"txt上光", "txt裱紙", "txt軋工", "txt糊工",
                                          "txt裁工", "txt裝訂", "txt燙金", "txt其他"};
constexpr int kOtherDetailBytes = 20;

}  // namespace

LayoutDefinition rptTarvel4::Design(bool bySalesperson) {
  std::vector<OverviewColumn> columns = {
      {"Label3", "工單單號", "txtPO", "PO", 0, 1080},
      {"Label28", "工單日期", "txtODATE", "ODATE", 0, 900, Alignment::Center, "###/##/##"},
      {"Label19", "業務員", "txtNAME", "NAME", 0, 765},
      {"Label11", "客      戶", "txtSNAME", "SNAME", 0, 990},
      {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 0, 2430},
      {"Label4", "模數", "Field4", "MEMB", 0, 540, Alignment::Right},
      {"Label12", "數    量", "txtQTY", "QTY", 0, 1170, Alignment::Right},
      {"Label5", "開數", "Field2", "SPEC", 0, 720, Alignment::Center},
      {"Label6", "印色", "txt印色", "", 0, 810, Alignment::Center},
      {"Label7", "用      紙", "txt紙品", "紙品", 0, 1800},
      {"Label9", "其　他　明　細", "txt其他明細", "", 0, 0},
  };
  if (bySalesperson) DropSalespersonColumn(columns);
  int left = kLeft;
  for (OverviewColumn& c : columns) {
    c.left = left;
    left += c.width + kGap;
  }
  columns.back().width = kRight - columns.back().left;  // 其他明細 takes the rest of the line
  const int width = kRight - kLeft;

  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 315};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};
  if (bySalesperson) GroupBySalesperson(header);

  using Salesperson = TitleBlockSpec::Salesperson;
  header.controls =
      OverviewTitleBlock({.companyVisible = true,
                          .statusLines = false,
                          .salesperson = bySalesperson ? Salesperson::Shown : Salesperson::Absent,
                          .salesNameField = "Field3",
                          .dateCaption = "工單日期："});
  header.controls.push_back(RuleDef("Line1", kLeft, 1170, width));
  AddColumns(header, 1215, detail, 30, columns, Ming(10), 255);
  detail.controls.push_back(RuleDef("Line2", kLeft, 300, width));
  for (const char* column : {"UNIT", "PRICE", "COLOR1", "COLOR2", "上光", "裁工", "裝訂", "其他",
                             "裱紙", "軋工", "糊工", "燙金", "AMT"}) {
    const std::string name = std::string("txt") + column;
    detail.controls.push_back(Hidden(FieldDef(name.c_str(), column, 0, 30, 0, 255, Ming(10))));
  }

  const OverviewColumn& quantity = *std::find_if(columns.begin(), columns.end(), [](const auto& c) {
    return std::string_view(c.field) == "txtQTY";
  });
  footer.controls = {
      RuleDef("Line3", kLeft, 15, width),
      LabelDef("Label16", "合    計：", kLeft, 60, 1035, 255, Ming(10)),
      TotalDef("Field1", "PO", SummaryFunction::Count, 1125, 60, 720, 255, Ming(10)),
      LabelDef("Label8", "件", 1890, 60, 360, 255, Ming(10)),
      TotalDef("txt數量合計", "QTY", SummaryFunction::Sum, quantity.left + quantity.width - 1800,
               60, 1800, 255, Ming(10)),
      Hidden(
          TotalDef("txt合計", "AMT", SummaryFunction::Sum, quantity.left, 60, 1170, 255, Ming(10))),
      RuleDef("Line4", kLeft, 360, width),
  };

  return OverviewDesign(
      bySalesperson ? QStringLiteral("rptTarvel4_1") : QStringLiteral("rptTarvel4"),
      Orientation::Landscape, {std::move(header), std::move(detail), std::move(footer)});
}

LayoutDefinition rptTarvel4::Design() {
  return Design(false);
}

QString rptTarvel4::Statement(const WorkOrderCriteria& criteria, const AppContext& context,
                              const QString& orderBy) {
  return QStringLiteral("select 歷史工單明細2.*,CROWD.MEMB ") +
         "from [歷史工單明細2] left join CROWD on 歷史工單明細2.PO = CROWD.PO " +
         SalesRangeWhere(criteria, context, QStringLiteral("歷史工單明細2")) + orderBy;
}

QString rptTarvel4::ColourText(double front, double back) {
  if (front == 0 && back == 0) return {};
  if (front == 0) return u'反' + NumberText(back);
  if (back == 0) return u'正' + NumberText(front);
  return u'正' + NumberText(front) + u'反' + NumberText(back);
}

QString rptTarvel4::OtherDetails(const QStringList& processes) {
  QStringList parts;
  for (const QString& text : processes)
    if (!text.isEmpty()) parts.push_back(LeftByBytes(text, kOtherDetailBytes));
  return parts.join(QStringLiteral("  "));
}

rptTarvel4::rptTarvel4(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel4(Design(false), " order by 歷史工單明細2.PO ", criteria, context) {}

rptTarvel4::rptTarvel4(LayoutDefinition design, const char* orderBy,
                       const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(std::move(design), criteria, context), orderBy_(orderBy) {}

void rptTarvel4::ActiveReport_Initialize() {
  // The date column stays on ODATE: 表3 has no date-basis choice.
  Bind(Statement(criteria_, context_, QString::fromUtf8(orderBy_)));
}

void rptTarvel4::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Landscape;
  PageSetup().paperSize = 9;
  PageSetup().SetMargins(400, 300, 400, 400);
}

void rptTarvel4::GroupHeader1_Format() {
  // Only company, print date and date range: 表3 has no date-basis, completion or delivery choice
  // to report.
  FillTitleDates();
}

void rptTarvel4::Detail_Format() {
  ReportControl& quantity = Field(QStringLiteral("txtQTY"));
  quantity.SetText(FormatGrouped(quantity.Value().ToText()) +
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

void rptTarvel4::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計"});
}

rptTarvel4_1::rptTarvel4_1(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel4(Design(), " order by 歷史工單明細2.EMPNO, 歷史工單明細2.PO ", criteria, context) {}

LayoutDefinition rptTarvel4_1::Design() {
  return rptTarvel4::Design(true);
}

}  // namespace tarvel
