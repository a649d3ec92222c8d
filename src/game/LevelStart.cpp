#include "game/modMain.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

void frmMain::lblLevel_Click(int index) {
    // Dropped during a board build or a block click: see the re-entry rule in frmMain.h.
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
