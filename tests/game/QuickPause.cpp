#include "game/modMain.h"

#include <QCoreApplication>

// Linked into the long monkey run in place of the game's pause. Input queued
// before a pause is all handled in its first round (a click inside handles the
// rest inside its own pause), so two rounds check the same as 11000 at a tiny
// fraction of the time. The normal monkey run keeps the game's own pause.
void DelayWithEvents() {
    for (int round = 0; round < 2; ++round)
        QCoreApplication::processEvents();
}
