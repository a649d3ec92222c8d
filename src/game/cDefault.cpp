#include "game/cDefault.h"

#include "platform/ProgramFolder.h"
#include "scores/StoredText.h"
#include "shell/frmMain.h"

GameStateReference objGame;

cDefault& GameStateReference::get() {
    if (!m_object)
        m_object = std::make_unique<cDefault>();
    return *m_object;
}

cDefault::cDefault() : strSoundPath(textFromStoredBytes(platform::programFolder())) {}

void cDefault::CheckAllAssigned() {
    blnIsAllAssigned = true;
    for (const shell::ImageBox* block : frmMain::instance().imgMain) {
        if (block->tag().trimmed().isEmpty()) {
            blnIsAllAssigned = false;
            return;
        }
    }
}

void cDefault::CheckGameOver() {
    blnGameOver = true;
    const pictures::Picture& cover = frmMain::instance().imgDefault->picture();
    for (const shell::ImageBox* block : frmMain::instance().imgMain) {
        if (block->picture() == cover) {
            blnGameOver = false;
            return;
        }
    }
}
