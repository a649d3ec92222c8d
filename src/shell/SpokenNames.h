#pragma once

#include <QString>

class frmMain;

namespace shell {

// What a screen reader says for the game window's controls, read from the
// controls each time.

// "Row 2, column 3, covered", or the picture's name, or "matched".
QString blockName(const frmMain& window, int index);
// "Level 2, 6 by 6 blocks".
QString levelName(const frmMain& window, int index);
// A high-score row read as one line: "Level 1 high score 920, 07/12/2026".
QString highScoreRowName(const frmMain& window, int row);
// "Current score 990", and "game over" once it has reached zero.
QString scoreName(const frmMain& window);
// "Board", and "all pairs matched" once no block is left on it.
QString boardName(const frmMain& window);
// Whether every block of a laid-out board has been matched (and so hidden).
bool boardCleared(const frmMain& window);

} // namespace shell
