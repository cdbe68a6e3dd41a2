// 表1's item-code overview: its thirteen columns (on the page and on the sheet) and its sheet,
// which 印合版資料's overview shares.
#pragma once

#include "design/ReportDefinition.h"

namespace tarvel {

/// From the first column's left to the last column's right (twips).
inline constexpr int kItemCodeWidth = 14850 - 90;

/// The thirteen columns of the item-code line, A to M on the sheet.
std::vector<Column> ItemCodeColumns();
/// The item-code sheet (the heading block over A to M) under `name` and `errorTitle`.
SheetForm ItemCodeSheet(const char* name, const char* errorTitle);

}  // namespace tarvel
