#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The per-user settings file of an application: <config>/<organisation>/<application>.ini,
// where <config> is $XDG_CONFIG_HOME (taken from the home folder when relative) or
// ~/.config.
QString userSettingsPath(const QString& organisation, const QString& application);

// The file's bytes: empty when there is no file yet, nothing when it exists but
// cannot be read (so that a caller never writes over what it could not read).
std::optional<QByteArray> readSettingsFile(const QString& path);

// Replaces the file as a whole or not at all: the bytes go to a new file that
// takes the old one's place only once it is complete, so a crash or a full disk
// never leaves half a file. A failure is reported on stderr.
bool writeSettingsFile(const QString& path, const QByteArray& bytes);

} // namespace platform
