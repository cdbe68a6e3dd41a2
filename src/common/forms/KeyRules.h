// The key rules of the entry boxes: digits only, upper case. Each rule is a pure function of the
// typed character's code (as a key-press handler sees it, 0 meaning "discard the key") and a way
// to apply it to a QLineEdit.
#pragma once

class QLineEdit;

namespace tarvel {

/// The mode of FilterKey that lets through digits and what a number needs; the only mode the
/// windows use.
inline constexpr int kDigitsMode = 1;

/// The typed character `keyAscii` as the box should take it, 0 to discard it. In kDigitsMode:
/// '0'..'9', minus ('-', 45), Backspace (8) and Enter (13) come back unchanged, anything else
/// gives 0. Any other mode has no rule: the key comes back unchanged.
int FilterKey(int keyAscii, int mode);

/// Applies FilterKey to `box`. An event filter drops every typed character FilterKey discards,
/// so such a key neither reaches the box nor goes on to its window; keys without a printable
/// text (arrows, Home/End, Delete, Backspace, Tab, Enter) and keys held with Ctrl, Alt or Meta
/// (copy, paste, select all, menu shortcuts) pass untouched. What comes in without a key press
/// (pasting, dropping, an input method) is held by a validator on the box, which refuses any
/// change that would put a character FilterKey discards into the text: a refused paste leaves
/// the box as it was. The validator replaces any the box had. Text set by the program itself
/// (setText) is not checked. Applying a rule twice to a box changes nothing.
void ApplyKeyFilter(QLineEdit* box, int mode = kDigitsMode);

/// Makes `box` a 7-digit ROC date box: ApplyKeyFilter in kDigitsMode, and when the focus leaves
/// it, its text becomes PadRocDateText(text, 7) (a 6-digit date gets its leading zero; other
/// lengths stay as typed). Applying it twice changes nothing.
void ApplyRocDateBox(QLineEdit* box);

/// The code of the upper-case form of the typed character: 'a'..'z' give 'A'..'Z', every other
/// code comes back unchanged.
int UpperCaseKey(int keyAscii);

/// Applies UpperCaseKey to `box`: a typed lower-case letter goes into the box as its capital,
/// where the cursor is (replacing the selection, cursor after it, as typing does). Only typing
/// is converted; pasted text goes in as it is. Applying it twice changes nothing.
void ApplyUpperCase(QLineEdit* box);

}  // namespace tarvel
