// What the finished styles part (xl/styles.xml) gets beyond what libxlsxwriter writes: the
// workbook's Normal font, and the quote prefix of the styles of texts typed with an apostrophe.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tarvel::excel {

/// Returns `styles` with the first font (the Normal style's, Calibri 11 from libxlsxwriter)
/// replaced by `fontName` at `fontSize` points, and quotePrefix="1" on the cell styles
/// (cellXfs entries) numbered in `quotePrefixStyles`. Throws WorkbookError when the part is not
/// laid out as libxlsxwriter lays it out or a style number does not exist.
QByteArray PatchStyles(const QByteArray& styles, const QString& fontName, double fontSize,
                       const std::vector<int>& quotePrefixStyles);

}  // namespace tarvel::excel
