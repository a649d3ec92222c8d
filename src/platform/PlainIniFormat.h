#pragma once

#include <QByteArray>
#include <QSettings>

#include <memory>

namespace platform {

// A plain INI text: "[section]" lines and "key=value" lines. Values are taken
// exactly as they stand after the first "=" (no quoting, escaping, lists or
// variants), so whatever a person writes into the file reads back unchanged.
// Keys in the map are "section/key"; keys outside any section are plain "key".
QSettings::SettingsMap parsePlainIni(const QByteArray& text);
QByteArray writePlainIni(const QSettings::SettingsMap& map);

// The per-user settings store of `application`, kept as a plain INI file under
// the user's config folder: <config>/<organisation>/<application>.ini.
std::unique_ptr<QSettings> openUserSettings(const QString& organisation,
                                            const QString& application);

QSettings::Format plainIniFormat();

} // namespace platform
