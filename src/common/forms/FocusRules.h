// How the focus moves through a window's boxes: select-all on arrival, Enter as the next-control
// key.
#pragma once

class QLineEdit;
class QWidget;

namespace tarvel {

/// Selects the whole text of `box` (selection from 0, as long as the text), the cursor at its end.
void SelectAllOnFocus(QLineEdit* box);

/// Makes `box` select its whole text whenever it gets the focus: by Tab, by a mouse click, or
/// from the program. A click first places the cursor (QLineEdit deselects on the mouse press
/// that follows the focus), so the selection is made once the focus event and the click are
/// through: queued to the box, it runs at the next turn of the event loop. The focus coming back
/// with the window (from another program) or from a closed popup menu leaves the selection as
/// the user left it. Installing it twice changes nothing.
void InstallSelectAllOnFocus(QLineEdit* box);

/// Makes Enter (Return or the keypad's Enter) move the focus to the next control of `window` in
/// its tab order, as Tab does, in every control that leaves Enter unused: line edits, combo
/// boxes, spin and date boxes, check and option boxes, lists. The control's own Enter handling
/// runs first: QLineEdit::returnPressed and editingFinished handlers and event filters on the
/// control see the key before the focus moves, and when such a handler has put the focus
/// elsewhere, it moves on from there. Controls that use Enter themselves keep it: a multi-line
/// editor starts a new line, a dialog's push button (auto-default) is clicked. Enter that moved
/// the focus goes no further: a dialog's default button is not pressed by it, and the window's
/// own keyPressEvent does not see it (windows handle Enter on the control, as above). Enter held
/// with Ctrl, Alt or Meta is left alone. Installing it twice changes nothing.
void MoveFocusOnEnter(QWidget* window);

}  // namespace tarvel
