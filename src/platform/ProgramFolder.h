#pragma once

#include <QByteArray>

namespace platform {

// The folder that holds the program file, as the bytes the file system names it
// by, without a trailing separator (but "/" for the root). Unlike Qt's
// applicationDirPath(), which is empty when the name is not valid UTF-8.
QByteArray programFolder();

} // namespace platform
