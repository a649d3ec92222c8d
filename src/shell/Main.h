#pragma once

class frmMain;

// Start of the program: loads the picture library, then shows the game window.
void Main();
// Lets go of the game state and ends the process at once.
void ExitProgram();

// A request from outside to end the game (SIGTERM, SIGINT, SIGHUP) ends it the
// way the window's close box does: the table is saved and the process ends.
// Registers that close as the platform's answer to a termination request.
void WatchForTermination(frmMain& window);
