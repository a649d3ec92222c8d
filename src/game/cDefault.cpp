#include "game/cDefault.h"

#include "platform/ProgramFolder.h"
#include "platform/StoredText.h"
#include "shell/frmMain.h"

GameStateReference objGame;

cDefault& GameStateReference::get() {
    if (!m_object)
        m_object = std::make_unique<cDefault>();
    return *m_object;
}

cDefault::cDefault() : strSoundPath(platform::textFromStoredBytes(platform::programFolder())) {}

void cDefault::CheckAllAssigned(const frmMain& window) {
    blnIsAllAssigned = true;
    for (int i = 0; i < static_cast<int>(window.imgMain.size()); ++i) {
        if (!window.isDealt(i)) {
            blnIsAllAssigned = false;
            return;
        }
    }
}

void cDefault::CheckGameOver(const frmMain& window) {
    blnGameOver = true;
    for (int i = 0; i < static_cast<int>(window.imgMain.size()); ++i) {
        if (window.isCovered(i)) {
            blnGameOver = false;
            return;
        }
    }
}
