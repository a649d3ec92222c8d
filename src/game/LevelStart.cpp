#include "game/modMain.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

void frmMain::lblLevel_Click(int index) {
    // A level click while a board is being built, or while a block click waits in
    // its pause, is ignored: a click must never count its reveal into a new game.
    if (m_building || m_blockClicksRunning > 0)
        return;
    m_building = true;

    imgMain.front()->setVisible(true);
    const std::int16_t n = boardSide(index);
    StartGame(*this, n);
    m_building = false;

    lblCurrentScore->setCaption(QStringLiteral("1000"));
    lblCurrentLevel->setCaption(QStringLiteral("Level ") + QString::number(index + 1));
    if (n == 6)
        PlayWaveAsync("cow.wav");
    else if (n == 8)
        PlayWaveAsync("carhorn.wav");
    PlayWaveAsync("proceed.wav");
}
