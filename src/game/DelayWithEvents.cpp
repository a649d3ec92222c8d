#include "game/modMain.h"

#include <QCoreApplication>

void DelayWithEvents() {
    // No timer and no sleep: each round handles what is pending and goes on, so a
    // click made now runs to its end inside this pause.
    for (int round = 0; round < 11000; ++round)
        QCoreApplication::processEvents();
}
