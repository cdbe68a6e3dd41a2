// Column widths in Excel's unit (characters of the Normal font's widest digit) and the value
// libxlsxwriter must be given for them.
//
// Excel draws a column of width w as w digits plus 5 pixels of padding, the digits measured in
// the workbook's Normal font. libxlsxwriter converts widths as if that font were Calibri 11
// (7-pixel digits); this workbook's Normal font is the Traditional Chinese Excel's 新細明體 12
// (8-pixel digits), so the width handed over is chosen to show the same pixels.
#pragma once

namespace tarvel::excel {

/// The pixels Excel shows for a column `width` characters wide (0 to 255) when the Normal font's
/// digits are `digitPixels` wide.
int ColumnPixels(double width, int digitPixels);

/// The width libxlsxwriter writes into the file for a width it is given.
double LibxlsxwriterStoredWidth(double width);

/// The pixels Excel shows for a width stored in the file.
int StoredWidthPixels(double stored, int digitPixels);

/// The width to give libxlsxwriter so that Excel, with a Normal font of `digitPixels`-pixel
/// digits, shows the column as wide as `width` characters: exact for 7 widths in 8, one pixel
/// off otherwise (libxlsxwriter stores whole 7-pixel steps).
double LibxlsxwriterColumnWidth(double width, int digitPixels);

}  // namespace tarvel::excel
