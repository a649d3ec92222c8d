#include "game/Numbers.h"
#include "shell/frmMain.h"

double frmMain::score() const {
    return numericValue(lblCurrentScore->caption());
}

std::int16_t frmMain::levelInPlay() const {
    return levelFromCaption(lblCurrentLevel->caption());
}

std::int16_t frmMain::boardSide(int index) const {
    return toInt16(numericValue(lblLevel[index]->tag())).value_or(0);
}

bool frmMain::isCovered(int i) const {
    return imgMain[static_cast<std::size_t>(i)]->picture() == imgDefault->picture();
}

bool frmMain::isDealt(int i) const {
    return !imgMain[static_cast<std::size_t>(i)]->tag().trimmed().isEmpty();
}

std::int16_t frmMain::pictureNumber(int i) const {
    return toInt16(numericValue(imgMain[static_cast<std::size_t>(i)]->tag())).value_or(0);
}
