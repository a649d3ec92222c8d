#pragma once

class frmMain;

namespace shell {

// Lets a screen reader read and play the game window: every control says what it
// is and what it shows, in words taken from its caption, tag text or picture, and
// the blocks and level labels can be pressed. Nothing visible changes.
//
// Call it before the window's controls are built: Qt keeps the first interface
// it makes for a control.
void installAccessibility();

// A high-score row is read as one line, so a change of its score or date is a
// change of the row's name.
void announceHighScoreRows(frmMain& window);

} // namespace shell
