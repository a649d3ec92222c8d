#include "game/Numbers.h"
#include "game/cDefault.h"
#include "platform/Services.h"
#include "scores/HighScores.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

void frmMain::EndOfGameTest(std::int16_t level) {
    const double score = this->score();
    if (score <= 0) {
        PlayWave("over.wav");
        return;
    }
    // A click that leaves its turn half done never finishes the board: its block's
    // partner is still to be counted. When the last pair's two clicks overlap, the
    // inner one counts first and finds no covered block; the game must end only in
    // the click that takes the turn's 10 points. Nothing has yielded since this
    // click counted its reveal, so intTurn is still what that count left.
    if (objGame->intTurn == 1)
        return;
    objGame->CheckGameOver(*this);
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
