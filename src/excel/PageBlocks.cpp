#include "excel/PageBlocks.h"

namespace tarvel::excel {

PageBlocks::PageBlocks(int pageRows, int headingRowCount)
    : pageRows_(pageRows),
      headingRowCount_(headingRowCount),
      currentRow_(headingRowCount),
      rowInPage_(headingRowCount) {
  for (int row = 1; row <= headingRowCount; ++row)
    headingRows_.push_back(row);
}

bool PageBlocks::BreakIfFull() {
  if (rowInPage_ != pageRows_ - 1) return false;
  StartNextBlock();
  return true;
}

int PageBlocks::NextLine() {
  ++currentRow_;
  ++rowInPage_;
  return currentRow_;
}

void PageBlocks::StartNextBlock() {
  for (int& row : headingRows_)
    row += pageRows_;
  currentRow_ += pageRows_ - rowInPage_ + headingRowCount_;
  rowInPage_ = headingRowCount_;
}

void PageBlocks::MoveBlockToTop() {
  const int shift = headingRows_.front() - 1;
  for (int& row : headingRows_)
    row -= shift;
  currentRow_ -= shift;
}

}  // namespace tarvel::excel
