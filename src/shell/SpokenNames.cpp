#include "shell/SpokenNames.h"

#include "pictures/PictureLibrary.h"
#include "shell/frmMain.h"

#include <algorithm>
#include <cmath>

namespace shell {

QString blockName(const frmMain& window, int index) {
    const auto& blocks = window.imgMain;
    if (index < 0 || index >= static_cast<int>(blocks.size()))
        return {};
    const ImageBox& block = *blocks[static_cast<std::size_t>(index)];
    // Block i of an n by n board stands in row i div n, column i mod n; a laid-out
    // board holds all n * n blocks, matched ones too.
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(blocks.size()))));
    // A matched block is hidden; whatever is not a library picture is the cover.
    const int number = pictures::frmImg.numberOf(block.picture());
    const QString shows = block.isHidden() ? QStringLiteral("matched")
                          : number < 0     ? QStringLiteral("covered")
                                           : pictures::frmImg.name(number);
    return QStringLiteral("Row %1, column %2, %3")
        .arg(index / side + 1)
        .arg(index % side + 1)
        .arg(shows);
}

QString levelName(const frmMain& window, int index) {
    const Label& label = *window.lblLevel.at(static_cast<std::size_t>(index));
    return QStringLiteral("Level %1, %2 by %2 blocks").arg(label.caption()).arg(window.boardSide(index));
}

QString highScoreRowName(const frmMain& window, int row) {
    const auto at = static_cast<std::size_t>(row);
    QStringList values;
    for (const Label* value : {window.lblHighScore.at(at), window.lblHighDate.at(at)})
        if (!value->caption().isEmpty())
            values.append(value->caption());
    return window.lblGen.at(at)->caption().trimmed() + QStringLiteral(" high score ") +
           (values.isEmpty() ? QStringLiteral("none") : values.join(QStringLiteral(", ")));
}

QString scoreName(const frmMain& window) {
    return QStringLiteral("Current score ") + window.lblCurrentScore->caption() +
           (window.score() <= 0 ? QStringLiteral(", game over") : QString());
}

QString boardName(const frmMain& window) {
    return boardCleared(window) ? QStringLiteral("Board, all pairs matched")
                                : QStringLiteral("Board");
}

bool boardCleared(const frmMain& window) {
    const auto& blocks = window.imgMain;
    return blocks.size() > 1 &&
           std::all_of(blocks.begin(), blocks.end(), [](auto* b) { return b->isHidden(); });
}

} // namespace shell
