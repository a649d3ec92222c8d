#pragma once

class frmMain;

// Start of the program: loads the picture library, then shows the game window.
void Main();
// Lets go of the game state and ends the process at once.
void ExitProgram();

// A request from outside to end the game (SIGTERM, SIGINT, SIGHUP) ends it the
// way the window's close box does: the table is saved and the process ends.
// WatchForTermination() acts on it whenever the event loop runs: idle, in a
// pause, in a board build or under a message box.
void WatchForTermination(frmMain& window);
// The same end for the one wait that handles no events, a waiting sound: called
// right after it, so that the interrupted handler does not go on.
void CloseOnTerminationRequest();
