#pragma once

#include "shell/Twips.h"

#include <QPoint>
#include <QSize>

namespace shell {

// Where a window of `outerTwips` goes to stand centred on a screen of
// `screenPixels`, in twips: the difference is taken in whole twips and halved
// by whole-number division, which truncates toward zero.
inline QPoint centredPositionTwips(const QSize& screenPixels, const QSize& outerTwips) {
    return QPoint((screenPixels.width() * kTwipsPerPixel - outerTwips.width()) / 2,
                  (screenPixels.height() * kTwipsPerPixel - outerTwips.height()) / 2);
}

} // namespace shell
