// The pickers' mouse wheel: each notch's worth of turning moves the grid by up to three rows.
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
/// vertical wheel turns over the grid's cells, heading or scroll bars (no key or button held) add
/// up, and every 120 eighths of a degree, one notch of a plain wheel, move its top row by
/// TopRowAfterNotch; a touchpad's or fine wheel's smaller steps thus move it once their sum makes
/// a notch, and a turn the other way starts a new sum. Horizontal turns and turns with Ctrl, Shift
/// or a button held are swallowed. The view cannot scroll past its last page, so near the end a
/// notch moves it only as far as the scroll bar goes. Installing it twice changes nothing.
void InstallGridWheel(QAbstractItemView* grid);

}  // namespace tarvel
