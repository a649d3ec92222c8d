#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The settings file holds bytes, the labels hold text. A stored value is shown as
// UTF-8; each byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC80..U+DCFF, which no valid UTF-8 can produce. So a value that the game
// leaves alone goes back to the file with exactly the bytes it came with. A path
// goes through the same pair, so that a folder whose name is not valid UTF-8
// still names itself.
namespace platform {

QString textFromStoredBytes(QByteArrayView bytes);
QByteArray storedBytesFromText(QStringView text);

} // namespace platform
