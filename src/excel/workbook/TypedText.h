// The value Excel makes of a text assigned to a cell as if typed into it.
#pragma once

#include <QString>

#include "excel/workbook/CellValue.h"

namespace tarvel::excel {

/// What typing `text` into a cell of General format gives: the value, and the number format
/// Excel gives the cell along with it (empty: the cell keeps General).
struct TypedEntry {
  CellValue value;
  QString numberFormat;
};

/// Converts a text the way Excel converts typed input (decimal point ".", thousands separator
/// ","), limited to what the export routines write:
/// - "" clears the cell (empty value);
/// - a leading apostrophe makes the rest a text with the quote prefix ("'00123" -> text 00123);
/// - a number, with blanks around it ignored, becomes a number: an optional sign or enclosing
///   parentheses (negative), digits with an optional decimal point ("00123" -> 123, ".5", "5."),
///   thousands separators between groups of three ("1,234" -> 1234 with "#,##0", "1,234.5" ->
///   1234.5 with "#,##0.00"), an exponent ("1E3" -> 1000 with "0.00E+00") or a trailing percent
///   sign ("12%" -> 0.12 with "0%", "12.5%" -> 0.125 with "0.00%"); digits beyond the fifteenth
///   significant one become zeros, as Excel keeps 15;
/// - anything else stays the text as given, without quote prefix: dates and times ("115/12/04",
///   "1:30"), currency signs, full-width digits, TRUE/FALSE and formulas ("=A1") are kept as text
///   rather than interpreted.
TypedEntry TypedTextValue(const QString& text);

}  // namespace tarvel::excel
