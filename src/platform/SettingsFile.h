#pragma once

#include <QByteArray>

#include <optional>

namespace platform {

// Paths here are bytes, as the file system has them, so that a folder whose name
// is not valid UTF-8 works like any other.

// The per-user settings file of an application: <config>/<organisation>/<application>.ini,
// where <config> is $XDG_CONFIG_HOME when that is an absolute path (a relative one
// is ignored, as the XDG rules say) and ~/.config otherwise.
QByteArray userSettingsPath(const QByteArray& organisation, const QByteArray& application);

// The file's bytes: empty when there is no file yet, nothing when it exists but
// cannot be read (so that a caller never writes over what it could not read; this
// is said on stderr). Only a regular file is read, without blocking.
std::optional<QByteArray> readSettingsFile(const QByteArray& path);

// Replaces the file as a whole or not at all: the bytes go to a new file beside
// it, which takes the old one's place only once every byte has been written and
// flushed to the disk, so a crash or a full disk never leaves half a file. A
// failure leaves the old file as it was and is reported on stderr with its cause.
bool writeSettingsFile(const QByteArray& path, const QByteArray& bytes);

} // namespace platform
