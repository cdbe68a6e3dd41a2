#include "reports/PrintedLayout.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "reports/LayoutBuilder.h"

namespace tarvel {

using namespace layout;

namespace {

constexpr int kLeft = 90;

/// The column a line's cell stands under, by the column's own column name.
const Column& ColumnUnder(const ReportDefinition& d, const char* under) {
  const Column* column = d.ColumnShowing(under);
  if (column == nullptr) {
    // The catalogue's check names this before anything prints; a layout built anyway puts the
    // cell at the left margin rather than fail.
    static const Column kNone{.left = kLeft, .width = 0};
    return kNone;
  }
  return *column;
}

/// The column a printed field is bound to: the cell's own column (none for a caption).
const char* BoundColumn(const Cell& cell) {
  return cell.shows == Shows::Caption ? "" : cell.column;
}

/// A printed cell: a label for a caption, else a field bound to its column (a full date through
/// the output format).
ControlDef CellControl(const char* name, const Cell& cell, int left, int top, int width, int height,
                       const FontSpec& font, Alignment alignment) {
  if (cell.shows == Shows::Caption)
    return LabelDef(name, cell.caption, left, top, width, height, font, alignment);
  return FieldDef(name, BoundColumn(cell), left, top, width, height, font, alignment,
                  cell.shows == Shows::FullDate ? "###/##/##" : "");
}

std::vector<ControlDef> OverviewTitleBlock(const ReportDefinition& d, int ruleWidth) {
  const TitleBlock& spec = d.title;
  const FontSpec& f = spec.font;
  const int value = spec.rightLeft + 1260;
  std::vector<ControlDef> c;
  ControlDef company = FieldDef("txt公司名稱", "", 90, 0, 7000, 420, Kai(20));
  company.visible = spec.companyVisible;
  if (spec.companyHeadsPage) {
    // Without a title the company name heads the page, centred over the columns.
    company.width = ruleWidth;
    company.top = 90;
    company.alignment = Alignment::Center;
  }
  c.push_back(company);
  ControlDef title = LabelDef("Label1", spec.title, spec.titleLeft, spec.companyVisible ? 420 : 90,
                              2600, 420, Kai(18));
  title.visible = spec.titleVisible;
  if (spec.titleCentred) title.alignment = Alignment::Center;
  c.push_back(title);
  if (spec.statusLines) {
    c.push_back(LabelDef("Label33", "完工狀態：", spec.rightLeft, 270, 1260, 270, f));
    c.push_back(FieldDef("txt完工狀態", "", value, 270, 1020, 270, f));
    c.push_back(LabelDef("Label32", "送清狀態：", spec.rightLeft, 540, 1260, 270, f));
    c.push_back(FieldDef("txt送貨狀態", "", value, 540, 1020, 270, f));
  }
  if (spec.salespersonBlock) {
    // Shown where each salesperson's rows make a group of their own, hidden elsewhere.
    const bool shown = *d.outer.key != '\0';
    std::vector<ControlDef> block = {
        LabelDef("Label10", "業  務  員：", 90, 540, 1260, 270, f),
        LabelDef("Label26", "[", 1350, 540, 150, 270, f),
        FieldDef("txtEMPNO", "EMPNO", 1500, 540, 800, 270, f),
        LabelDef("Label27", "]", 2300, 540, 150, 270, f),
        FieldDef(spec.salesNameField, "NAME", 2450, 540, 1500, 270, f),
    };
    for (ControlDef& control : block) {
      control.visible = shown;
      c.push_back(control);
    }
  }
  c.push_back(LabelDef(spec.dateCaptionName, spec.dateCaption, 90, 810, 1260, 270, f));
  c.push_back(FieldDef("txt日期1", "", 1350, 810, 1100, 270, f, Alignment::Left, "###/##/##"));
  c.push_back(LabelDef("Label23", "～", 2355, 810, 280, 270, f));
  c.push_back(FieldDef("txt日期2", "", 2640, 810, 1100, 270, f, Alignment::Left, "###/##/##"));
  c.push_back(LabelDef("Label25", spec.printDateCaption, spec.rightLeft, 810, 1260, 270, f));
  c.push_back(FieldDef(spec.printDateField, "", value, 810, 1020, 270, f));
  if (spec.pageNumber) {
    c.push_back(LabelDef("Label39", "頁　　次：", spec.rightLeft, 540, 1260, 270, f));
    c.push_back(FieldDef("txt頁次", "", value, 540, 1020, 270, f));
  }
  return c;
}

/// The rework lists' title block: txt公司名稱 and the title centred over the columns, then either
/// 日期起迄 (txt日期1 ～ txt日期2) and 列表日期 (txt列印日期), or, numbering its pages, 頁次
/// (txt頁次), 工單日期 (txt訂單日期_起 ～ txt訂單日期_末) and 印表日期 (txt印表日期).
std::vector<ControlDef> ReworkTitleBlock(const TitleBlock& spec, int width) {
  const FontSpec& f = spec.font;
  constexpr int kRow = 900;  // the criteria line under the title
  const int right = kLeft + width;
  std::vector<ControlDef> c = {
      FieldDef("txt公司名稱", "", kLeft, 0, width, 420, Kai(20), Alignment::Center),
      LabelDef("Label1", spec.title, kLeft, 450, width, 390, Kai(18), Alignment::Center),
  };
  const bool paged = spec.pageNumber;
  const auto range = [&](const char* caption, const char* from, const char* to) {
    c.push_back(LabelDef(paged ? "Label10" : "Label22", caption, kLeft, kRow, 1100, 270, f));
    c.push_back(FieldDef(from, "", kLeft + 1100, kRow, 1000, 270, f, Alignment::Left, "###/##/##"));
    c.push_back(LabelDef("Label23", "～", kLeft + 2100, kRow, 300, 270, f, Alignment::Center));
    c.push_back(FieldDef(to, "", kLeft + 2400, kRow, 1000, 270, f, Alignment::Left, "###/##/##"));
  };
  if (!paged) {
    range("日期起迄：", "txt日期1", "txt日期2");
    c.push_back(LabelDef("Label25", "列表日期：", right - 2200, kRow, 1100, 270, f));
    c.push_back(FieldDef("txt列印日期", "", right - 1100, kRow, 1100, 270, f));
    return c;
  }
  c.push_back(LabelDef("Label22", "頁　　次：", right - 2200, kRow - 300, 1100, 270, f));
  c.push_back(FieldDef("txt頁次", "", right - 1100, kRow - 300, 1100, 270, f));
  range("工單日期：", "txt訂單日期_起", "txt訂單日期_末");
  c.push_back(LabelDef("Label9", "印表日期：", right - 2200, kRow, 1100, 270, f));
  c.push_back(FieldDef("txt印表日期", "", right - 1100, kRow, 1100, 270, f));
  return c;
}

/// The heading labels (each underlined by a rule of its width) and the fields of `columns`.
void AddColumns(SectionDef& headings, int headingTop, SectionDef& line, int lineTop,
                const std::vector<Column>& columns, const FontSpec& font, int height) {
  for (const Column& c : columns) {
    if (c.heading != nullptr) {
      headings.controls.push_back(LabelDef(c.heading, c.caption, c.left, headingTop, c.width,
                                           height, font, Alignment::Center));
      headings.controls.push_back(RuleDef((std::string(c.heading) + "_底線").c_str(), c.left,
                                          headingTop + height, c.width));
    }
    if (c.field == nullptr) continue;
    ControlDef field =
        CellControl(c.field, c.cell, c.left, lineTop, c.width, height, font, c.alignment);
    field.visible = c.fieldVisible;
    line.controls.push_back(std::move(field));
  }
}

void AddHidden(SectionDef& band, const std::vector<HiddenField>& hidden, int top,
               const FontSpec& font, int height) {
  for (const HiddenField& h : hidden)
    band.controls.push_back(Hidden(FieldDef(h.field, h.column, 0, top, 0, height, font)));
}

/// The cells of `line` on the page: under their columns' headings at `top`, or where they say.
void AddLineCells(SectionDef& band, const ReportDefinition& d, const Line& line, int top) {
  const ListMeasures& m = d.measures;
  for (const LineCell& cell : line.cells) {
    if (cell.field == nullptr) continue;
    const Column& under = ColumnUnder(d, cell.under);
    const bool placed = cell.left >= 0;
    band.controls.push_back(CellControl(cell.field, cell.cell, placed ? cell.left : under.left,
                                        placed ? cell.top : top, placed ? cell.width : under.width,
                                        m.lineHeight, m.font, cell.alignment));
  }
  AddHidden(band, line.hidden, top, m.font, m.lineHeight);
}

/// A group's footer band: the line between two rules, its caption, the count with its unit,
/// then the totals, all in 新細明體 12. The inner group's controls carry the suffix "_2".
SectionDef FooterBand(const Footer& spec, int ruleWidth, int level) {
  const FontSpec font = Ming(12);
  const bool inner = level == 2;
  const auto name = [inner](const char* base) {
    return inner ? std::string(base) + "_2" : std::string(base);
  };
  const SectionKind group = inner ? SectionKind::GroupHeader2 : SectionKind::GroupHeader1;
  SectionDef footer{.kind = inner ? SectionKind::GroupFooter2 : SectionKind::GroupFooter1,
                    .height = 390};
  std::vector<ControlDef>& c = footer.controls;
  ControlDef count =
      spec.countByEngine
          ? TotalDef(spec.countField, "PO", SummaryFunction::Count, 1365, 60, 720, 270, font)
          : FieldDef(spec.countField, "", 1365, 60, 720, 270, font, Alignment::Right);
  count.summary.group = group;
  c = {
      RuleDef(name("Line3").c_str(), 90, 15, ruleWidth),
      LabelDef(name("Label16").c_str(), spec.caption, 90, 60, 1275, 270, font),
      count,
      LabelDef(name("Label8").c_str(), spec.unit, 2085, 60, 360, 270, font),
  };
  for (const Total& t : spec.totals) {
    const bool summed = t.kind == TotalKind::Sum && t.engine && !t.columns.empty();
    ControlDef total =
        summed ? TotalDef(t.field, t.columns.front(), SummaryFunction::Sum, t.left, 60, t.width,
                          270, font)
               : FieldDef(t.field, "", t.left, 60, t.width, 270, font, Alignment::Right);
    total.summary.group = group;
    total.visible = t.visible;
    c.push_back(std::move(total));
  }
  c.push_back(RuleDef(name("Line4").c_str(), 90, 360, ruleWidth));
  return footer;
}

}  // namespace

int RuleWidth(const ReportDefinition& d) {
  if (d.measures.ruleWidth > 0) return d.measures.ruleWidth;
  int right = kLeft;
  for (const Column& c : d.columns)
    if (c.heading != nullptr || c.field != nullptr) right = std::max(right, c.left + c.width);
  return right - kLeft;
}

LayoutDefinition PrintedLayout(const ReportDefinition& d) {
  const ListMeasures& m = d.measures;
  const int width = RuleWidth(d);
  const bool perGroupLine = d.columnsBand == SectionKind::GroupHeader2;

  // The title block and the headings, repeated on every page.
  SectionDef header{.kind = SectionKind::GroupHeader1,
                    .height = m.headerHeight,
                    .groupKey = QString::fromUtf8(d.outer.key),
                    .repeatOnEveryPage = true,
                    .newPage = d.outer.newPage ? NewPage::Before : NewPage::None};
  header.controls = d.title.form == TitleBlock::Form::Rework ? ReworkTitleBlock(d.title, width)
                                                             : OverviewTitleBlock(d, width);
  header.controls.push_back(RuleDef("Line1", kLeft, m.headingTop - 45, width));

  // The columns' line: a detail line with a rule under it, or an inner group's line with a rule
  // over it that closes the previous group's lines.
  SectionDef columns{.kind = d.columnsBand,
                     .height = perGroupLine ? 45 + m.lineHeight + 45 : m.detailHeight};
  if (perGroupLine) {
    columns.groupKey = QString::fromUtf8(d.inner ? d.inner->key : "");
    columns.controls.push_back(RuleDef("Line2", kLeft, 0, width));
  }
  AddColumns(header, m.headingTop, columns, m.detailTop, d.columns, m.font, m.lineHeight);
  if (!perGroupLine)
    columns.controls.push_back(RuleDef("Line2", kLeft, m.detailHeight - 15, width));
  AddHidden(columns, d.hidden, m.detailTop, m.font, m.lineHeight);

  std::vector<SectionDef> bands;
  bands.push_back(std::move(header));
  bands.push_back(std::move(columns));
  for (const Line& line : d.lines) {
    auto same = std::find_if(bands.begin(), bands.end(),
                             [&](const SectionDef& s) { return s.kind == line.band; });
    if (same == bands.end()) {
      SectionDef band{.kind = line.band, .height = 30 + m.lineHeight + 30};
      if (line.band == SectionKind::GroupHeader2 && d.inner)
        band.groupKey = QString::fromUtf8(d.inner->key);
      bands.push_back(std::move(band));
      same = bands.end() - 1;
    }
    AddLineCells(*same, d, line, 30);
  }
  // An inner group with no line of its own still breaks where its key changes, or its footer
  // would close only once, after the last row.
  if (d.inner && std::none_of(bands.begin(), bands.end(), [](const SectionDef& s) {
        return s.kind == SectionKind::GroupHeader2;
      }))
    bands.push_back({.kind = SectionKind::GroupHeader2,
                     .height = 0,
                     .groupKey = QString::fromUtf8(d.inner->key)});
  if (d.innerFooter) bands.push_back(FooterBand(*d.innerFooter, width, 2));
  bands.push_back(FooterBand(d.footer, width, 1));
  return FramedLayout(QString::fromUtf8(d.name), d.page, std::move(bands));
}

}  // namespace tarvel
