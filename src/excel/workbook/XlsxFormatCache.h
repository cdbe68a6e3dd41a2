// The libxlsxwriter formats of one workbook: one per distinct complete format, keyed by its
// properties, so cells of equal look share one style in the file.
#pragma once

#include <xlsxwriter.h>

#include <QHash>
#include <QString>
#include <vector>

#include "excel/workbook/CellFormat.h"

namespace tarvel::excel {

class XlsxFormatCache {
 public:
  /// `normal` is Excel's Normal style with every property set: a complete format equal to it
  /// is written without a format of its own.
  XlsxFormatCache(lxw_workbook* book, const CellFormat& normal);

  /// The format for a complete format (every property set, see CellFormat::OverlaidWith), with
  /// the quote prefix of a text typed with an apostrophe; nullptr for the Normal style. Throws
  /// WorkbookError for a font name or number format longer than a workbook holds.
  lxw_format* For(const CellFormat& complete, bool quotePrefix);

  /// The style numbers (cellXfs indices in styles.xml) of the quote-prefixed formats.
  const std::vector<int>& QuotePrefixStyles() const { return quotePrefixStyles_; }

 private:
  lxw_format* Create(const CellFormat& complete, bool quotePrefix);

  lxw_workbook* book_;
  CellFormat normal_;
  QHash<QString, lxw_format*> formats_;
  std::vector<int> quotePrefixStyles_;
};

}  // namespace tarvel::excel
