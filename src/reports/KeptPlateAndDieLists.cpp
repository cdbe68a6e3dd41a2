#include "reports/KeptPlateAndDieLists.h"

#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "criteria/ReworkCriteria.h"
#include "design/ReportRegistry.h"
#include "platform/Clock.h"
#include "reports/OverviewColumns.h"
#include "reports/PrintedLayout.h"

namespace tarvel {
namespace {

using namespace columns;

/// A colour count; a plate without colours on a side prints nothing there rather than a 0.
db::Value Colours(const CellInputs& in, const AppContext&) {
  const QString colours = FormatGrouped(in[0]);
  return colours == QStringLiteral("0") ? QString() : colours;
}

/// Days from the order to today; an order date that forms no date leaves the count empty
/// instead of stopping the whole print.
db::Value DaysSinceOrder(const CellInputs& in, const AppContext&) {
  const QString orderDate = in[0].Text();
  if (!orderDate.isEmpty())
    if (const std::optional<QDate> ordered = RocTextToDate(orderDate, 3))
      return QString::number(ordered->daysTo(Today()));
  return QString();
}

/// A list with page counter and headings on every page, and a footer "合　　計：" with the count
/// of lines in txt筆數.
ReportDefinition PagedList(const char* name, int choice, const char* title,
                           std::vector<Column> columns, std::vector<HiddenField> hidden = {}) {
  FlowColumns(columns);
  return {
      .name = name,
      .family = ReportFamily::Rework,
      .choice = choice,
      .page = PrintedPage(Orientation::Portrait, 500, 400, 400, 500),
      .title = {.form = TitleBlock::Form::Rework,
                .title = title,
                .pageNumber = true,
                .font = FontSpec{QStringLiteral("新細明體"), 10}},
      .measures = {.headingTop = kReworkHeadingTop,
                   .detailHeight = 315,
                   .detailTop = 30,
                   .font = FontSpec{QStringLiteral("新細明體"), 10},
                   .lineHeight = 240},
      .columns = std::move(columns),
      .hidden = std::move(hidden),
      .footer = {.caption = "合　　計：", .countField = "txt筆數"},
  };
}

ReportDefinition KeptPlateList() {
  // The kept plates of [留版明細表4] by work order and plate.
  constexpr auto kCentre = Alignment::Center;
  return PagedList(
      "rpt留版明細表", k留版明細表, "留版明細表",
      {
          Col("Label2", "工單單號", "txt單號", Stored("PO"), 1000),
          Col("Label3", "工單日期", "txt日期", Shown(Shows::FullDate, "ODATE"), 850, kCentre),
          Col("Label4", "客　戶", "txt客戶簡稱", Stored("SNAME"), 1150),
          Col("Label5", "印　　     件　　     名　　     稱", "txt印件名稱", Stored("DESC"), 3000),
          Col("Label6", "印 刷 尺 寸", "txt開數", Stored("SIZE"), 1000, kCentre),
          Col("Label7", "正色", "txt正", Computed(&Colours, {"COLOR1"}, "COLOR1"), 450, kCentre),
          Col("Label11", "反色", "txt反", Computed(&Colours, {"COLOR2"}, "COLOR2"), 450, kCentre),
          Col("Label12", "台 數", "txt台數", Shown(Shows::Grouped, "PLAT"), 550, Alignment::Right),
          Col("Label13", "廠    商", "txt版別說明", Stored("SVENDER"), 1200),
      });
}

ReportDefinition DieList() {
  // The cutting dies of [刀模明細表] by die maker (or die cutter), work order and die code, with
  // the days since the order.
  return PagedList(
      "rpt刀模明細表1", k刀模明細表, "刀模明細表",
      {
          Col("Label2", "軋工廠商", "Field1", Stored("SVENDER1"), 1000),
          Col("Label3", "工單單號", "txt單號", Stored("PO"), 1050),
          Col("Label4", "客　戶", "txt客戶簡稱", Stored("SNAME"), 1050),
          Col("Label5", "印　　     件　　     名　　     稱", "txt印件名稱", Stored("DESC"), 3000),
          Col("Label6", "數      量", "txtQTY", Shown(Shows::Grouped, "QTY"), 900,
              Alignment::Right),
          Col("Label7", "業務員", "txtNAME", Stored("NAME"), 700),
          Col("Label11", "天數", "txt天數", Computed(&DaysSinceOrder, {"ODATE"}), 450,
              Alignment::Center),
          Col("Label12", "刀      模      代      號", "txtREM", Stored("REM"), 1250),
          Col("Label13", "刀模廠商", "txtSVENDER", Stored("SVENDER"), 950),
      },
      {{"txtUNIT", "UNIT"}, {"txtODATE", "ODATE"}});
}

TARVEL_REGISTER_REPORT(KeptPlateList)
TARVEL_REGISTER_REPORT(DieList)

}  // namespace
}  // namespace tarvel
