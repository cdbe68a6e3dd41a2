#include "excel/workbook/LibxlsxwriterGaps.h"

#include <cstdio>

namespace tarvel::excel::detail {

void MarkQuotePrefix(lxw_format* format) {
  // Any value other than the unset default gives the format its own hash key.
  format->dxf_bg_color = 0x00515550;
}

void SetHeaderFooterMargins(lxw_worksheet* sheet, double headerInches, double footerInches) {
  sheet->margin_header = headerInches;
  sheet->margin_footer = footerInches;
}

bool RowFileFailed(lxw_worksheet* sheet) {
  FILE* file = sheet->optimize_tmpfile;
  if (!file) return false;
  return std::fflush(file) != 0 || std::ferror(file) != 0;
}

}  // namespace tarvel::excel::detail
