#include "game/RandomNumber.h"
#include "game/cDefault.h"
#include "game/modMain.h"
#include "pictures/PictureLibrary.h"
#include "platform/Services.h"
#include "shell/frmMain.h"

namespace {

bool isPictureInUse(const frmMain& window, std::int16_t p) {
    for (int i = 0; i < static_cast<int>(window.imgMain.size()); ++i) {
        if (window.pictureNumber(i) == p)
            return true;
    }
    return false;
}

// Writes p into the first block from `from` to `last` whose tag text is empty.
bool assignFirstEmpty(frmMain& window, std::int16_t p, int from, int last) {
    for (int i = from; i <= last; ++i) {
        if (!window.isDealt(i)) {
            window.imgMain[static_cast<std::size_t>(i)]->setTag(QString::number(p));
            return true;
        }
    }
    return false;
}

} // namespace

void AssignImages(frmMain& window) {
    const auto highestPicture = static_cast<std::int16_t>(pictures::frmImg.count() - 1);
    for (shell::ImageBox* block : window.imgMain)
        block->setTag(QString());
    objGame->blnIsAllAssigned = false;
    while (!objGame->blnIsAllAssigned) {
        const std::int16_t p = RandomNumber(highestPicture);
        if (isPictureInUse(window, p))
            continue;
        AssignImageToBlock(window, p);
        AssignImageToBlock(window, p);
        objGame->CheckAllAssigned(window);
    }
}

void AssignImageToBlock(frmMain& window, std::int16_t p) {
    const auto last = static_cast<std::int16_t>(window.imgMain.size() - 1);
    const std::int16_t start = RandomNumber(last);
    if (assignFirstEmpty(window, p, start, last) || assignFirstEmpty(window, p, 0, last))
        return;
    platform::services().messageBox->show(
        {QStringLiteral("Could not assign"), QStringLiteral("Duvella 6.2")});
}
