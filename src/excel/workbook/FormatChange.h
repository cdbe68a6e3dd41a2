// One property set on a range (Font.Bold = True, Borders(9).Weight = xlThin...), as a value: the
// format table remembers what each change makes of each format, so setting a property on a cell
// costs a lookup, not a new format.
#pragma once

#include <QHashFunctions>
#include <QString>
#include <cstdint>

#include "excel/workbook/CellFormat.h"
#include "excel/workbook/XlConstants.h"

namespace tarvel::excel {

struct FormatChange {
  enum class Property : std::uint8_t {
    kNumberFormat,  // text
    kFontName,      // text
    kFontSize,      // number
    kBold,          // value: 0 or 1
    kUnderline,     // value: XlUnderlineStyle
    kFontColor,     // value: XlColorIndex
    kHorizontal,    // value: XlHAlign
    kVertical,      // value: XlVAlign
    kWrapText,      // value: 0 or 1
    kLineStyle,     // edge; value: XlLineStyle
    kWeight,        // edge; value: XlBorderWeight
    kBorderColor,   // edge; value: XlColorIndex
  };

  Property property = Property::kBold;
  XlBordersIndex edge = XlBordersIndex::kEdgeBottom;
  int value = 0;
  double number = 0;
  QString text;

  /// Sets the property on `format`. Border line style and weight combine as Excel combines
  /// them (see RangeBorder).
  void ApplyTo(CellFormat& format) const;

  bool operator==(const FormatChange&) const = default;
};

inline size_t qHash(const FormatChange& change, size_t seed = 0) {
  return qHashMulti(seed, static_cast<int>(change.property), static_cast<int>(change.edge),
                    change.value, change.number, change.text);
}

}  // namespace tarvel::excel
