#include "excel/workbook/ModExcel.h"

namespace tarvel::excel {
namespace {

void Align(const Range& range, XlHAlign horizontal) {
  range.SetHorizontalAlignment(horizontal);
  range.SetVerticalAlignment(XlVAlign::kCenter);
}

void Merge(const Range& range, XlHAlign horizontal) {
  // Orientation 0, AddIndent and ShrinkToFit off are a new cell's own settings: nothing to set.
  Align(range, horizontal);
  range.SetWrapText(false);
  range.SetMergeCells(true);
}

}  // namespace

void MergeCenter(const Range& range) {
  Merge(range, XlHAlign::kCenter);
}
void MergeLeft(const Range& range) {
  Merge(range, XlHAlign::kLeft);
}
void MergeRight(const Range& range) {
  Merge(range, XlHAlign::kRight);
}
void AlignCenter(const Range& range) {
  Align(range, XlHAlign::kCenter);
}
void AlignRight(const Range& range) {
  Align(range, XlHAlign::kRight);
}
void AlignLeft(const Range& range) {
  Align(range, XlHAlign::kLeft);
}

}  // namespace tarvel::excel
