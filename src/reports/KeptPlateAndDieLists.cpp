#include "reports/KeptPlateAndDieLists.h"

#include "common/RocDate.h"
#include "platform/Clock.h"
#include "reports/LayoutBuilder.h"
#include "reports/OverviewReport.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kHeaderHeight = 1560;
constexpr int kDetailHeight = 315;
constexpr int kLineHeight = 240;

OverviewColumn Column(const char* heading, const char* caption, const char* field,
                      const char* column, int width, Alignment alignment = Alignment::Left,
                      const char* format = "") {
  return {heading, caption, field, column, 0, width, alignment, format};
}

/// The list's bands: title block with page counter and headings (repeated on every page), the
/// detail line with `hidden` fields besides the columns, and the footer "合　　計：" with the
/// count of lines in txt筆數.
std::vector<SectionDef> PagedListBands(const char* title, std::vector<OverviewColumn> columns,
                                       std::vector<ControlDef> hidden = {}) {
  const FontSpec font = Ming(10);
  const int width = FlowColumns(columns, kLeft) - kLeft;
  SectionDef header{
      .kind = SectionKind::GroupHeader1, .height = kHeaderHeight, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = kDetailHeight};
  header.controls = ReworkTitleBlock({.title = title, .width = width, .paged = true, .font = font});
  header.controls.push_back(RuleDef("Line1", kLeft, kReworkHeadingTop - 45, width));
  AddColumns(header, kReworkHeadingTop, detail, 30, columns, font, kLineHeight);
  for (ControlDef& control : hidden)
    detail.controls.push_back(Hidden(std::move(control)));
  detail.controls.push_back(RuleDef("Line2", kLeft, kDetailHeight - 15, width));

  SectionDef footer = OverviewFooter({.ruleWidth = width, .countField = "txt筆數"});
  for (ControlDef& control : footer.controls)
    if (control.name == QStringLiteral("Label16")) control.text = QStringLiteral("合　　計：");
  return {std::move(header), std::move(detail), std::move(footer)};
}

}  // namespace

void PagedReworkReport::GroupHeader1_Format() {
  FillTitleBlock();
  ++pageCounter_;
  Field(QStringLiteral("txt頁次")).SetText(QString::number(pageCounter_));
}

std::vector<SectionDef> KeptPlateList::Bands() {
  return PagedListBands(
      "留版明細表",
      {
          Column("Label2", "工單單號", "txt單號", "PO", 1000),
          Column("Label3", "工單日期", "txt日期", "ODATE", 850, Alignment::Center, "###/##/##"),
          Column("Label4", "客　戶", "txt客戶簡稱", "SNAME", 1150),
          Column("Label5", "印　　     件　　     名　　     稱", "txt印件名稱", "DESC", 3000),
          Column("Label6", "印 刷 尺 寸", "txt開數", "SIZE", 1000, Alignment::Center),
          Column("Label7", "正色", "txt正", "COLOR1", 450, Alignment::Center),
          Column("Label11", "反色", "txt反", "COLOR2", 450, Alignment::Center),
          Column("Label12", "台 數", "txt台數", "PLAT", 550, Alignment::Right),
          Column("Label13", "廠    商", "txt版別說明", "SVENDER", 1200),
      });
}

KeptPlateList::KeptPlateList(const LayoutDesign& design, const ReworkCriteria& criteria,
                             const AppContext& context)
    : PagedReworkReport(design, Bands(), criteria, context) {}

void KeptPlateList::Detail_Format() {
  WriteGrouped({"txt正", "txt反", "txt台數"});
  // A plate without colours on a side prints nothing there rather than a 0.
  for (const char* name : {"txt正", "txt反"}) {
    ReportControl& colours = Field(QString::fromUtf8(name));
    if (colours.Text() == QStringLiteral("0")) colours.SetText(QString());
  }
}

std::vector<SectionDef> DieList::Bands() {
  const FontSpec font = Ming(10);
  return PagedListBands(
      "刀模明細表",
      {
          Column("Label2", "軋工廠商", "Field1", "SVENDER1", 1000),
          Column("Label3", "工單單號", "txt單號", "PO", 1050),
          Column("Label4", "客　戶", "txt客戶簡稱", "SNAME", 1050),
          Column("Label5", "印　　     件　　     名　　     稱", "txt印件名稱", "DESC", 3000),
          Column("Label6", "數      量", "txtQTY", "QTY", 900, Alignment::Right),
          Column("Label7", "業務員", "txtNAME", "NAME", 700),
          Column("Label11", "天數", "txt天數", "", 450, Alignment::Center),
          Column("Label12", "刀      模      代      號", "txtREM", "REM", 1250),
          Column("Label13", "刀模廠商", "txtSVENDER", "SVENDER", 950),
      },
      {FieldDef("txtUNIT", "UNIT", kLeft, 30, 500, kLineHeight, font),
       FieldDef("txtODATE", "ODATE", kLeft, 30, 900, kLineHeight, font)});
}

DieList::DieList(const LayoutDesign& design, const ReworkCriteria& criteria,
                 const AppContext& context)
    : PagedReworkReport(design, Bands(), criteria, context) {}

void DieList::Detail_Format() {
  WriteGrouped({"txtQTY"});
  // Days from the order to today; an order date that forms no date leaves the count empty
  // instead of stopping the whole print.
  const QString orderDate = Field(QStringLiteral("txtODATE")).Value().Text();
  QString days;
  if (!orderDate.isEmpty())
    if (const std::optional<QDate> ordered = RocTextToDate(orderDate, 3))
      days = QString::number(ordered->daysTo(Today()));
  Field(QStringLiteral("txt天數")).SetText(days);
}

std::unique_ptr<Report> NewKeptPlateList(const LayoutDesign& design,
                                         const RequestCriteria& request) {
  return std::make_unique<KeptPlateList>(design, request.Rework(), request.context);
}

std::unique_ptr<Report> NewDieList(const LayoutDesign& design, const RequestCriteria& request) {
  return std::make_unique<DieList>(design, request.Rework(), request.context);
}

}  // namespace tarvel
