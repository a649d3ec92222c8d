#pragma once

#include <cstdint>

class frmMain;

// Board routines of the game: laying out, clearing and dealing the blocks of
// the game window they are handed, and the pause after a reveal.

// Lays out a board of n x n covered blocks row by row, then deals it.
void StartGame(frmMain& window, std::int16_t n);
// Removes every block but block 0 and gives block 0 the cover picture.
void ClearBlocks(frmMain& window);
// Creates block i as a copy of block 0 and puts it at Left x + 800, Top y (twips).
void PlaceBlock(frmMain& window, std::int16_t x, std::int16_t y, std::int16_t i);

// Deals picture numbers into the blocks' tag texts, each number on two blocks.
void AssignImages(frmMain& window);
// Writes p into the tag text of the first empty block at or after a random start.
void AssignImageToBlock(frmMain& window, std::int16_t p);

// The pause after a reveal: 11000 rounds of handling whatever events are pending.
void DelayWithEvents();
