// What the finished styles part (xl/styles.xml) gets beyond what libxlsxwriter writes: the
// workbook's Normal font, its default format, and the quote prefix of the styles of texts typed
// with an apostrophe.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tarvel::excel {

/// Returns `styles` with the first font (the Normal style's, Calibri 11 from libxlsxwriter)
/// replaced by `fontName` at `fontSize` points; with the cell style numbered `defaultStyle`
/// (when above 0) copied over the first, the default format that cells and columns without a
/// style of their own show; and with quotePrefix="1" on the cell styles (cellXfs entries)
/// numbered in `quotePrefixStyles`. The Normal style keeps the Normal font, in whose digits
/// column widths are counted. Throws WorkbookError when the part is not laid out as
/// libxlsxwriter lays it out or a style number does not exist.
QByteArray PatchStyles(const QByteArray& styles, const QString& fontName, double fontSize,
                       int defaultStyle, const std::vector<int>& quotePrefixStyles);

}  // namespace tarvel::excel
