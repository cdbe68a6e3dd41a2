// The cell-format routines of modExcel: each sets the horizontal alignment of a range and centres
// it vertically; the Merge routines also merge it and switch off wrapping.
#pragma once

#include "excel/workbook/Range.h"

namespace tarvel::excel {

/// Merged, centred: MergeCells, WrapText off, horizontal centre, vertical centre.
void MergeCenter(const Range& range);
/// Merged, left-aligned.
void MergeLeft(const Range& range);
/// Merged, right-aligned.
void MergeRight(const Range& range);
/// Centred, horizontally and vertically.
void AlignCenter(const Range& range);
/// Right-aligned, vertically centred.
void AlignRight(const Range& range);
/// Left-aligned, vertically centred.
void AlignLeft(const Range& range);

}  // namespace tarvel::excel
