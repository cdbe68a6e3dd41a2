// Where each line of an export goes: the worksheet is cut into page blocks of a fixed number of
// rows, each starting with the layout's heading block and keeping its last row free for a totals
// line. Plain numbers, no workbook: the routines ask, then write.
#pragma once

#include <vector>

namespace tarvel::excel {

class PageBlocks {
 public:
  /// Blocks of `pageRows` rows whose first `headingRowCount` rows hold the heading block. The
  /// first block's heading is on rows 1 to headingRowCount; the first line goes below it.
  PageBlocks(int pageRows, int headingRowCount);

  int PageRows() const { return pageRows_; }
  int HeadingRowCount() const { return headingRowCount_; }
  /// The worksheet rows of the current block's heading block (HeadingRows), top first.
  const std::vector<int>& HeadingRows() const { return headingRows_; }
  /// The last row written (CurrentRow) and its place in its block, from 1 (RowInPage).
  int CurrentRow() const { return currentRow_; }
  int RowInPage() const { return rowInPage_; }

  /// Before a line: when the current block is full (its last free row is the totals line's),
  /// moves on to the next block and returns true; the caller then writes the heading block on
  /// HeadingRows().
  bool BreakIfFull();
  /// The row of the next line (CurrentRow and RowInPage move on by one).
  int NextLine();

  /// At the end of the lines: whether the totals line needs a new block (it never does while the
  /// blocks keep their last row free, but a block can be filled to its end by other means).
  bool TotalsNeedNewBlock() const { return rowInPage_ + 1 > pageRows_; }
  /// The row of the totals line: the row after the last line.
  int TotalsRow() const { return currentRow_ + 1; }

  /// Whether the current block has no room for a totals line below the next line: a block that
  /// must close with its totals (a salesperson's) breaks first.
  bool NoRoomForTotals() const { return rowInPage_ + 1 > pageRows_ - 1; }
  /// Moves on to the top of the next block, whatever is left of this one: the heading rows move
  /// down by one block and the next line goes below them.
  void StartNextBlock();

  /// The last row of the current block (its free row).
  int BlockEnd() const { return headingRows_.front() + pageRows_ - 1; }
  /// Moves the current block, as far as it has got, to the top of a fresh sheet: its heading on
  /// rows 1 to HeadingRowCount, its lines below. Its place within the block stays.
  void MoveBlockToTop();

 private:
  int pageRows_;
  int headingRowCount_;
  std::vector<int> headingRows_;
  int currentRow_;
  int rowInPage_;
};

}  // namespace tarvel::excel
