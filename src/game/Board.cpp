#include "game/cDefault.h"
#include "game/modMain.h"
#include "shell/Twips.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

#include <QCoreApplication>

namespace {

constexpr std::int16_t kFirstBlockTwips = 120;
constexpr std::int16_t kPitchTwips = 800;

void letWindowCatchUp() {
    QCoreApplication::processEvents();
}

// Paints the board now: a repaint that is only asked for waits for the window's
// next frame, which the waiting pop would hold back, so rows would show late.
void paintBoardNow(frmMain& window) {
    window.picMain->repaint();
}

} // namespace

void StartGame(frmMain& window, std::int16_t n) {
    ClearBlocks(window);
    objGame->intTurn = 0;
    objGame->intFirstBlockIndex = 0;
    objGame->intSecondBlockIndex = 0;

    std::int16_t i = 0;
    std::int16_t x = kFirstBlockTwips;
    std::int16_t y = kFirstBlockTwips;
    for (std::int16_t row = 1; row <= n; ++row) {
        // Block 0 already stands in the first cell of the first row.
        for (std::int16_t column = row == 1 ? 1 : 0; column < n; ++column) {
            ++i;
            PlaceBlock(window, x, y, i);
            x += kPitchTwips;
        }
        x = kFirstBlockTwips - kPitchTwips;
        y += kPitchTwips;
        // Handle pending input, and show the new row before its pop plays.
        letWindowCatchUp();
        paintBoardNow(window);
        PlayWave("pop.wav");
    }
    letWindowCatchUp();
    AssignImages(window);
}

void ClearBlocks(frmMain& window) {
    for (int i = static_cast<int>(window.imgMain.size()) - 1; i > 0; --i)
        window.removeBlock(i);
    window.imgMain.front()->setPicture(window.imgDefault->picture());
}

void PlaceBlock(frmMain& window, std::int16_t x, std::int16_t y, std::int16_t i) {
    window.createBlock(i);
    if (i < 0 || i >= static_cast<int>(window.imgMain.size()))
        return;
    shell::ImageBox* block = window.imgMain[static_cast<std::size_t>(i)];
    block->move(shell::twipsToPixels(x + kPitchTwips), shell::twipsToPixels(y));
    block->setVisible(true);
}
