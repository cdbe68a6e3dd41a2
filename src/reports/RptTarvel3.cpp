#include "reports/RptTarvel3.h"

#include <stdexcept>
#include <string_view>

#include "common/GroupedNumber.h"
#include "platform/Conversions.h"
#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kGap = 45;

/// Places the columns side by side from kLeft, kGap apart; returns the right edge of the last.
int Flow(std::vector<OverviewColumn>& columns) {
  int left = kLeft;
  for (OverviewColumn& c : columns) {
    c.left = left;
    left += c.width + kGap;
  }
  return left - kGap;
}

const OverviewColumn& ColumnOf(const std::vector<OverviewColumn>& columns, const char* field) {
  for (const OverviewColumn& c : columns)
    if (std::string_view(c.field) == field) return c;
  throw std::logic_error(field);
}

/// A footer total right-aligned to the right edge of its column; it may reach left into the
/// empty footer space of the column before it.
ControlDef TotalUnder(const OverviewColumn& column, const char* name, const char* source,
                      SummaryFunction function = SummaryFunction::Sum) {
  constexpr int kWidth = 1350;
  return TotalDef(name, source, function, column.left + column.width - kWidth, 60, kWidth, 255,
                  Ming(10));
}

}  // namespace

LayoutDefinition rptTarvel3::Design(bool bySalesperson) {
  std::vector<OverviewColumn> columns = {
      {"Label3", "工單單號", "txtPO", "PO", 0, 1080},
      {"Label31", "單別", "txtKIND", "KIND", 0, 630},
      {"lbl工單日期", "工單日期", "txtODATE", "ODATE", 0, 900, Alignment::Center, "###/##/##"},
      {"Label4", "客戶代號", "txtCUST", "CUST", 0, 810},
      {"Label11", "客戶簡稱", "txtSNAME", "SNAME", 0, 990},
      {"Label2", "印　　件　　名　　稱", "txtDESC", "DESC", 0, 2250},
      {"Label12", "數    量", "txtQTY", "QTY", 0, 900, Alignment::Right},
      {"Label29", "單    價", "txtPRICE", "PRICE", 0, 810, Alignment::Right},
      {"Label15", "金     額", "txtAMT", "AMT", 0, 1215, Alignment::Right},
      {"Label5", "成     本", "txtSUM", "SUM", 0, 1215, Alignment::Right},
      {"Label6", "毛     利", "txt毛利", "毛利", 0, 1215, Alignment::Right},
      {"Label7", "毛利％", "txt毛利率", "", 0, 630, Alignment::Right},
      {"Label19", "業務員", "txtNAME", "NAME", 0, 765},
      {"Label21", "送清", "txtFDATE", "FSEND", 0, 450, Alignment::Center},
      {"Label9", "客戶單號", "txtCUSTNO", "CUSTNO", 0, 1080},
  };
  if (bySalesperson) DropSalespersonColumn(columns);
  const int right = Flow(columns);
  const int width = right - kLeft;

  SectionDef header{.kind = SectionKind::GroupHeader1, .height = 1560, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = 315};
  SectionDef footer{.kind = SectionKind::GroupFooter1, .height = 390};
  if (bySalesperson) GroupBySalesperson(header);

  using Salesperson = TitleBlockSpec::Salesperson;
  header.controls =
      OverviewTitleBlock({.salesperson = bySalesperson ? Salesperson::Shown : Salesperson::Hidden});
  header.controls.push_back(RuleDef("Line1", kLeft, 1170, width));
  AddColumns(header, 1215, detail, 30, columns, Ming(10), 255);
  detail.controls.push_back(RuleDef("Line2", kLeft, 300, width));

  footer.controls = {
      RuleDef("Line3", kLeft, 15, width),
      LabelDef("Label16", "合    計：", kLeft, 60, 1035, 255, Ming(10)),
      TotalDef("Field1", "PO", SummaryFunction::Count, 1125, 60, 720, 255, Ming(10)),
      LabelDef("Label8", "件", 1890, 60, 360, 255, Ming(10)),
      TotalUnder(ColumnOf(columns, "txtQTY"), "txt數量合計", "QTY"),
      TotalUnder(ColumnOf(columns, "txtAMT"), "txt合計", "AMT"),
      TotalUnder(ColumnOf(columns, "txtSUM"), "txtSUM_S", "SUM"),
      TotalUnder(ColumnOf(columns, "txt毛利"), "txt毛利_S", "毛利"),
      FieldDef("txt毛利率_S", "", ColumnOf(columns, "txt毛利率").left, 60, 630, 255, Ming(10),
               Alignment::Right),
      RuleDef("Line4", kLeft, 360, width),
  };

  return OverviewDesign(
      bySalesperson ? QStringLiteral("rptTarvel3_1") : QStringLiteral("rptTarvel3"),
      Orientation::Landscape, {std::move(header), std::move(detail), std::move(footer)});
}

LayoutDefinition rptTarvel3::Design() {
  return Design(false);
}

QString rptTarvel3::MarginRate(double margin, double amount, double cost,
                               const QString& profitRateBase) {
  const double base = Val(profitRateBase) == 0 ? cost : amount;
  if (base == 0) return QStringLiteral("0");
  return FormatGrouped(FormatNumber(margin / base * 100, QStringLiteral("0")));
}

rptTarvel3::rptTarvel3(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel3(Design(false), " order by PO ", criteria, context) {}

rptTarvel3::rptTarvel3(LayoutDefinition design, const char* orderBy,
                       const WorkOrderCriteria& criteria, const AppContext& context)
    : OverviewReport(std::move(design), criteria, context), orderBy_(orderBy) {}

void rptTarvel3::ActiveReport_Initialize() {
  BindOverview(QStringLiteral("歷史工單明細1"), QString::fromUtf8(orderBy_), true, true);
}

void rptTarvel3::ActiveReport_ReportStart() {
  PageSetup().orientation = Orientation::Landscape;
  PageSetup().paperSize = 9;
  PageSetup().SetMargins(400, 500, 400, 400);
}

void rptTarvel3::GroupHeader1_Format() {
  FillTitleBlock();
  Label(QStringLiteral("lbl工單日期"))
      .SetCaption(criteria_.DateBasis == 1 ? QStringLiteral("發票日期")
                                           : QStringLiteral("工單日期"));
}

void rptTarvel3::Detail_Format() {
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT", "txtSUM", "txt毛利"});
  Field(QStringLiteral("txt毛利率"))
      .SetText(MarginRate(Field(QStringLiteral("txt毛利")).Value().Number(),
                          Field(QStringLiteral("txtAMT")).Value().Number(),
                          Field(QStringLiteral("txtSUM")).Value().Number(),
                          context_.ProfitRateBase));
}

void rptTarvel3::GroupFooter1_Format() {
  WriteGrouped({"txt數量合計", "txt合計", "txtSUM_S", "txt毛利_S"});
  Field(QStringLiteral("txt毛利率_S"))
      .SetText(MarginRate(Field(QStringLiteral("txt毛利_S")).Value().Number(),
                          Field(QStringLiteral("txt合計")).Value().Number(),
                          Field(QStringLiteral("txtSUM_S")).Value().Number(),
                          context_.ProfitRateBase));
}

rptTarvel3_1::rptTarvel3_1(const WorkOrderCriteria& criteria, const AppContext& context)
    : rptTarvel3(Design(), " order by EMPNO, PO ", criteria, context) {}

LayoutDefinition rptTarvel3_1::Design() {
  return rptTarvel3::Design(true);
}

}  // namespace tarvel
