#include "excel/workbook/Range.h"

#include <cmath>

#include "excel/workbook/FormatChange.h"
#include "excel/workbook/TypedText.h"
#include "excel/workbook/WorkbookError.h"
#include "excel/workbook/Worksheet.h"

namespace tarvel::excel {
namespace {

// Excel's limits on what a cell holds.
constexpr qsizetype kMaxTextLength = 32767;
constexpr int kMaxFontNameLength = 31;

void CheckBetween(double value, double low, double high, const QString& what) {
  if (!std::isfinite(value) || value < low || value > high)
    throw WorkbookError(
        QStringLiteral("%1必須在 %2 到 %3 之間：%4").arg(what).arg(low).arg(high).arg(value));
}

// The edge row a border of the range is drawn on.
CellArea EdgeArea(const CellArea& area, XlBordersIndex index) {
  CellArea edge = area;
  if (index == XlBordersIndex::kEdgeTop)
    edge.lastRow = area.firstRow;
  else
    edge.firstRow = area.lastRow;
  return edge;
}

FormatChange Change(FormatChange::Property property, int value) {
  return {property, XlBordersIndex::kEdgeBottom, value, 0, {}};
}

}  // namespace

void Range::SetValue(const QString& text) const {
  const TypedEntry entry = TypedTextValue(text);
  if (entry.value.type == CellValue::Type::kText && entry.value.text.size() > kMaxTextLength)
    throw WorkbookError(QStringLiteral("儲存格 %1 的文字超過 32767 個字元").arg(Address()));
  sheet_->SetValue(area_, entry.value, entry.numberFormat);
}

void Range::SetQuotedText(const QString& text) const {
  if (text.size() > kMaxTextLength)
    throw WorkbookError(QStringLiteral("儲存格 %1 的文字超過 32767 個字元").arg(Address()));
  sheet_->SetValue(area_, CellValue::Text(text, true), {});
}

void Range::SetValue(double number) const {
  if (!std::isfinite(number))
    throw WorkbookError(QStringLiteral("儲存格 %1 的數值無效").arg(Address()));
  sheet_->SetValue(area_, CellValue::Number(number == 0 ? 0 : number), {});
}

void Range::SetNumberFormatLocal(const QString& format) const {
  const QString stored = IsGeneralNumberFormat(format) ? QStringLiteral("General") : format;
  sheet_->EditFormat(
      area_, {FormatChange::Property::kNumberFormat, XlBordersIndex::kEdgeBottom, 0, 0, stored});
}

void Range::SetHorizontalAlignment(XlHAlign alignment) const {
  sheet_->EditFormat(area_,
                     Change(FormatChange::Property::kHorizontal, static_cast<int>(alignment)));
}

void Range::SetVerticalAlignment(XlVAlign alignment) const {
  sheet_->EditFormat(area_, Change(FormatChange::Property::kVertical, static_cast<int>(alignment)));
}

void Range::SetWrapText(bool wrap) const {
  sheet_->EditFormat(area_, Change(FormatChange::Property::kWrapText, wrap ? 1 : 0));
}

void Range::SetMergeCells(bool merge) const {
  sheet_->SetMerged(area_, merge);
}

void Range::SetRowHeight(double points) const {
  CheckBetween(points, 0, 409.5, QStringLiteral("列高"));
  sheet_->SetRowHeight(area_, points);
}

void Range::SetColumnWidth(double characters) const {
  CheckBetween(characters, 0, 255, QStringLiteral("欄寬"));
  sheet_->SetColumnWidth(area_, characters);
}

RangeFont Range::Font() const {
  return RangeFont(*this);
}

RangeBorder Range::Borders(XlBordersIndex index) const {
  return RangeBorder(*this, index);
}

void RangeFont::SetName(const QString& name) const {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty() || trimmed.size() > kMaxFontNameLength)
    throw WorkbookError(QStringLiteral("字型名稱無效：") + name);
  range_.Sheet().EditFormat(range_.Area(), {FormatChange::Property::kFontName,
                                            XlBordersIndex::kEdgeBottom, 0, 0, trimmed});
}

void RangeFont::SetSize(double points) const {
  CheckBetween(points, 1, 409, QStringLiteral("字型大小"));
  range_.Sheet().EditFormat(
      range_.Area(),
      {FormatChange::Property::kFontSize, XlBordersIndex::kEdgeBottom, 0, points, {}});
}

void RangeFont::SetBold(bool bold) const {
  range_.Sheet().EditFormat(range_.Area(), Change(FormatChange::Property::kBold, bold ? 1 : 0));
}

void RangeFont::SetUnderline(XlUnderlineStyle underline) const {
  range_.Sheet().EditFormat(
      range_.Area(), Change(FormatChange::Property::kUnderline, static_cast<int>(underline)));
}

void RangeFont::SetColorIndex(XlColorIndex color) const {
  range_.Sheet().EditFormat(range_.Area(),
                            Change(FormatChange::Property::kFontColor, static_cast<int>(color)));
}

void RangeBorder::SetLineStyle(XlLineStyle style) const {
  Set(FormatChange::Property::kLineStyle, static_cast<int>(style));
}

void RangeBorder::SetWeight(XlBorderWeight weight) const {
  Set(FormatChange::Property::kWeight, static_cast<int>(weight));
}

void RangeBorder::SetColorIndex(XlColorIndex color) const {
  Set(FormatChange::Property::kBorderColor, static_cast<int>(color));
}

void RangeBorder::Set(FormatChange::Property property, int value) const {
  range_.Sheet().EditFormat(EdgeArea(range_.Area(), index_), {property, index_, value, 0, {}});
}

}  // namespace tarvel::excel
