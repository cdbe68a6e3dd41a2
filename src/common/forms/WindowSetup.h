// What every window does when it opens: clear its boxes and take its place on the screen.
#pragma once

class QWidget;

namespace tarvel {

/// The dynamic property (a QString) that marks a control; an absent property reads as "".
inline constexpr char kTagProperty[] = "Tag";
/// The Tag that keeps a box's contents when its window is prepared.
inline constexpr char kKeepTag[] = "-1";

/// Prepares the controls of `window` for a fresh start. Every control of the window (children at
/// any depth, in creation order; controls of other windows parented to it are left alone) whose
/// Tag is not "-1" is emptied: a text box (QLineEdit, QPlainTextEdit, QTextEdit) gets empty text,
/// a combo box loses all its items. The line edits inside spin boxes, date boxes and combo boxes
/// are parts of those controls, not boxes of their own, and are left as they are.
///
/// Two steps of the Windows program have nothing to do here. It moved an undocked toolbar 60
/// twips up on newer Windows versions to make up for their thicker window frames; Qt lays out
/// tool bars itself. It gave a control whose font is 9 points or less character set 0 (Western);
/// a Qt font has no character set, the font database picks a face per character.
void PrepareControls(QWidget* window);

/// The twips that centring keeps free below a window for the task bar.
inline constexpr int kTaskBarTwips = 420;

/// Centres the top-level `window` (its frame) on the screen it is on (the primary screen when it
/// has none): left = (available width - window width) / 2 within the available area, top =
/// (screen height - window height - 420 twips) / 2 from the top of the screen. A window larger
/// than that room is put at the top-left corner of the available area, so that its title bar
/// stays within reach.
void CenterWindow(QWidget* window);

}  // namespace tarvel
