#include "reports/ReworkAndProofLists.h"

#include "common/SuiteRules.h"
#include "reports/LayoutBuilder.h"
#include "reports/OverviewReport.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;
constexpr int kHeaderHeight = 1560;
constexpr int kDetailHeight = 345;
constexpr int kLineHeight = 255;

/// The list's bands: the title block and the headings of `columns` (repeated on every page), the
/// detail line, and the footer with the count and the sums of AMT and SUM. `kindWidth` > 0 puts
/// the unheaded kind column txt種類 before the others.
std::vector<SectionDef> PricedListBands(const char* title, std::vector<OverviewColumn> columns,
                                        int kindWidth) {
  const FontSpec font = Ming(11);
  const int first = kindWidth > 0 ? kLeft + kindWidth + 45 : kLeft;
  const int width = FlowColumns(columns, first) - kLeft;

  SectionDef header{
      .kind = SectionKind::GroupHeader1, .height = kHeaderHeight, .repeatOnEveryPage = true};
  SectionDef detail{.kind = SectionKind::Detail, .height = kDetailHeight};
  header.controls =
      ReworkTitleBlock({.title = title, .width = width, .paged = false, .font = font});
  header.controls.push_back(RuleDef("Line1", kLeft, kReworkHeadingTop - 45, width));
  if (kindWidth > 0)
    detail.controls.push_back(
        FieldDef("txt種類", "種類", kLeft, 45, kindWidth, kLineHeight, font, Alignment::Center));
  AddColumns(header, kReworkHeadingTop, detail, 45, columns, font, kLineHeight);
  detail.controls.push_back(RuleDef("Line2", kLeft, kDetailHeight - 15, width));

  const SectionDef footer = OverviewFooter(
      {.ruleWidth = width,
       .totals = {FooterTotal::Under(ColumnOf(columns, "txtAMT"), "txt合計", "AMT"),
                  FooterTotal::Under(ColumnOf(columns, "txtSUM"), "txt成本合計", "SUM")}});
  return {std::move(header), std::move(detail), footer};
}

OverviewColumn Column(const char* heading, const char* caption, const char* field,
                      const char* column, int width, Alignment alignment = Alignment::Left,
                      const char* format = "") {
  return {heading, caption, field, column, 0, width, alignment, format};
}

}  // namespace

std::vector<SectionDef> ReworkList::Bands() {
  return PricedListBands(
      "重工明細表",
      {
          Column("Label3", "工 單 單 號", "txtPO", "PO", 1150),
          Column("Label4", "工單日期", "txtODATE", "ODATE", 1000, Alignment::Center, "###/##/##"),
          Column("Label5", "客戶簡稱", "txtSNAME", "SNAME", 1600),
          Column("Label6", "印　　件　　名　　稱", "txtDESC", "DESC", 3500),
          Column("Label7", "業務/管理單號", "txtNAME", "NAME", 1500),
          Column("Label15", "數    量", "txtQTY", "QTY", 1000, Alignment::Right),
          Column("Label11", "單    價", "txtPRICE", "PRICE", 900, Alignment::Right),
          Column("Label12", "金     額", "txtAMT", "AMT", 1200, Alignment::Right),
          Column("Label13", "預交日期", "txtPDATE", "PDATE", 1250, Alignment::Center, "###/##/##"),
          Column("Label14", "成本金額", "txtSUM", "SUM", 1300, Alignment::Right),
      },
      300);
}

ReworkList::ReworkList(const LayoutDesign& design, const ReworkCriteria& criteria,
                       const AppContext& context)
    : ReworkReport(design, Bands(), criteria, context) {}

void ReworkList::GroupHeader1_Format() {
  FillTitleBlock();
}

void ReworkList::Detail_Format() {
  ReportControl& kind = Field(QStringLiteral("txt種類"));
  const QString kindText = kind.Value().Text();
  kind.SetText(kindText.left(1));
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT", "txtSUM"});
  // The printing department's reworks are costed elsewhere; only the footer's sum includes them.
  if (!ShowsReworkCost(kindText)) Field(QStringLiteral("txtSUM")).SetText(QString());
}

void ReworkList::GroupFooter1_Format() {
  WriteGrouped({"txt合計", "txt成本合計"});
}

std::vector<SectionDef> ProofList::Bands() {
  return PricedListBands(
      "打樣明細表",
      {
          Column("Label3", "工單單號", "txtPO", "PO", 1150),
          Column("Label4", "工單日期", "txtODATE", "ODATE", 1000, Alignment::Center, "###/##/##"),
          Column("Label5", "客戶簡稱", "txtSNAME", "SNAME", 1600),
          Column("Label6", "印　　件　　名　　稱", "txtDESC", "DESC", 4000),
          Column("Label7", "業 務 員", "txtNAME", "NAME", 1200),
          Column("Label15", "數    量", "txtQTY", "QTY", 1000, Alignment::Right),
          Column("Label11", "單    價", "txtPRICE", "PRICE", 900, Alignment::Right),
          Column("Label12", "金     額", "txtAMT", "AMT", 1200, Alignment::Right),
          Column("Label13", "預交日期", "txtPDATE", "PDATE", 1250, Alignment::Center, "###/##/##"),
          Column("Label14", "成本金額", "txtSUM", "SUM", 1300, Alignment::Right),
      },
      0);
}

ProofList::ProofList(const LayoutDesign& design, const ReworkCriteria& criteria,
                     const AppContext& context)
    : ReworkReport(design, Bands(), criteria, context) {}

void ProofList::GroupHeader1_Format() {
  FillTitleBlock();
}

void ProofList::Detail_Format() {
  WriteGrouped({"txtQTY", "txtPRICE", "txtAMT", "txtSUM"});
}

void ProofList::GroupFooter1_Format() {
  WriteGrouped({"txt合計", "txt成本合計"});
}

std::unique_ptr<Report> NewReworkList(const LayoutDesign& design, const RequestCriteria& request) {
  return std::make_unique<ReworkList>(design, request.Rework(), request.context);
}

std::unique_ptr<Report> NewProofList(const LayoutDesign& design, const RequestCriteria& request) {
  return std::make_unique<ProofList>(design, request.Rework(), request.context);
}

}  // namespace tarvel
