#include "game/Numbers.h"
#include "game/cDefault.h"
#include "platform/Services.h"
#include "scores/HighScores.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

void frmMain::EndOfGameTest(std::int16_t level) {
    const double score = numericValue(lblCurrentScore->caption());
    if (score <= 0) {
        PlayWave("over.wav");
        return;
    }
    objGame->CheckGameOver();
    if (!objGame->blnGameOver)
        return;

    PlayWave("excellent.wav");
    // Only the row of the level in play can take a new best score.
    if (level < 1 || level > 3)
        return;
    const int row = level - 1;
    if (numericValue(lblHighScore[row]->caption()) < score) {
        lblHighScore[row]->setCaption(lblCurrentScore->caption());
        lblHighDate[row]->setCaption(highScoreDateText(platform::services().clock->today()));
        PlayWave("win.wav");
    }
}
