// What the workbook needs and libxlsxwriter 1.1.4 has no function for, done through the public
// members of its structs in this one place. A later libxlsxwriter with functions for these
// (a quote-prefix format property, zero header and footer margins) replaces them here.
#pragma once

#include <xlsxwriter.h>

namespace tarvel::excel::detail {

/// Makes `format` differ from every format without the mark in libxlsxwriter's eyes, so a
/// quote-prefixed text format is never shared with an otherwise equal number format. The mark
/// is a conditional-format colour, which cell formats never write; the quote prefix itself is
/// added to the finished styles (StylesPatch.h).
void MarkQuotePrefix(lxw_format* format);

/// Sets the header and footer margins in inches. worksheet_set_header_opt() refuses 0, which is
/// what the export's page setup asks for.
void SetHeaderFooterMargins(lxw_worksheet* sheet, double headerInches, double footerInches);

/// Whether the constant-memory row file of `sheet` has failed a write (a full disk): libxlsxwriter
/// does not check those writes itself.
bool RowFileFailed(lxw_worksheet* sheet);

}  // namespace tarvel::excel::detail
