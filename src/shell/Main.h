#pragma once

// Start of the program: loads the picture library, then shows the game window.
void Main();
// Lets go of the game state and ends the process at once.
void ExitProgram();
