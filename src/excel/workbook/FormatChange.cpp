#include "excel/workbook/FormatChange.h"

namespace tarvel::excel {
namespace {

std::optional<Border>& Edge(CellFormat& format, XlBordersIndex index) {
  return index == XlBordersIndex::kEdgeTop ? format.topBorder : format.bottomBorder;
}

}  // namespace

void FormatChange::ApplyTo(CellFormat& format) const {
  switch (property) {
    case Property::kNumberFormat:
      format.numberFormat = text;
      return;
    case Property::kFontName:
      format.fontName = text;
      return;
    case Property::kFontSize:
      format.fontSize = number;
      return;
    case Property::kBold:
      format.bold = value != 0;
      return;
    case Property::kUnderline:
      format.underline = static_cast<XlUnderlineStyle>(value);
      return;
    case Property::kFontColor:
      format.fontColor = static_cast<XlColorIndex>(value);
      return;
    case Property::kHorizontal:
      format.horizontal = static_cast<XlHAlign>(value);
      return;
    case Property::kVertical:
      format.vertical = static_cast<XlVAlign>(value);
      return;
    case Property::kWrapText:
      format.wrapText = value != 0;
      return;
    case Property::kLineStyle:
    case Property::kWeight:
    case Property::kBorderColor:
      break;
  }
  std::optional<Border>& edge = Edge(format, this->edge);
  Border border = edge.value_or(Border{});
  if (property == Property::kLineStyle) {
    const auto style = static_cast<XlLineStyle>(value);
    // A double line is Excel's thick one; a continuous line keeps a continuous line's weight.
    if (style == XlLineStyle::kDouble)
      border.weight = XlBorderWeight::kThick;
    else if (!edge || edge->lineStyle == XlLineStyle::kDouble)
      border.weight = XlBorderWeight::kThin;
    border.lineStyle = style;
  } else if (property == Property::kWeight) {
    const auto weight = static_cast<XlBorderWeight>(value);
    if (!(border.lineStyle == XlLineStyle::kDouble && weight == XlBorderWeight::kThick))
      border.lineStyle = XlLineStyle::kContinuous;
    border.weight = weight;
  } else {
    border.color = static_cast<XlColorIndex>(value);
  }
  edge = border;
}

}  // namespace tarvel::excel
