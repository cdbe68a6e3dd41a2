// The pickers' mouse wheel: one notch moves the grid by up to three rows, and nothing else the
// wheel sends moves it at all.
#pragma once

class QAbstractItemView;

namespace tarvel {

/// The grid's top row after one wheel notch. Rows are counted as the grid numbers them: the
/// heading is row 0, so `topRow` (the first data row in view) is 1 or more and `rowCount`
/// includes the heading. Away from the user the top row moves up by 3, 2 or 1, the largest step
/// that leaves it above the heading; toward the user it moves down by 3, 2 or 1, the largest step
/// that keeps it below `rowCount`. Without such a step it stays.
int TopRowAfterNotch(int topRow, int rowCount, bool awayFromUser);

/// Puts the notch rule on `grid` (a per-item scrolling view of a flat model, no heading column):
/// a wheel turn of exactly one notch (an angle of ±120 eighths of a degree, vertical, no key or
/// button held) over the grid's cells, heading or scroll bars moves its top row by
/// TopRowAfterNotch, and every other wheel event there (several notches at once, a touchpad's fine
/// steps, horizontal turns, turns with Ctrl or Shift) is swallowed. The view cannot scroll past its
/// last page, so near the end a notch moves it only as far as the scroll bar goes. Installing it
/// twice changes nothing.
void InstallGridWheel(QAbstractItemView* grid);

}  // namespace tarvel
