#include "platform/PlainIniFormat.h"

#include <QIODevice>
#include <QList>
#include <QMap>

namespace platform {

QSettings::SettingsMap parsePlainIni(const QByteArray& text) {
    QSettings::SettingsMap map;
    QString section;
    for (QByteArray rawLine : text.split('\n')) {
        if (rawLine.endsWith('\r'))
            rawLine.chop(1);
        const QString line = QString::fromUtf8(rawLine);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (key.isEmpty())
            continue;
        map.insert(section.isEmpty() ? key : section + u'/' + key, line.mid(equals + 1));
    }
    return map;
}

QByteArray writePlainIni(const QSettings::SettingsMap& map) {
    // Group the keys by section, keeping keys without a section first.
    QMap<QString, QList<QPair<QString, QString>>> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section].append({key, it.value().toString()});
    }
    QByteArray out;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!it.key().isEmpty()) {
            if (!out.isEmpty())
                out += '\n';
            out += '[' + it.key().toUtf8() + "]\n";
        }
        for (const auto& [key, value] : it.value())
            out += key.toUtf8() + '=' + value.toUtf8() + '\n';
    }
    return out;
}

namespace {

bool readDevice(QIODevice& device, QSettings::SettingsMap& map) {
    map = parsePlainIni(device.readAll());
    return true;
}

bool writeDevice(QIODevice& device, const QSettings::SettingsMap& map) {
    const QByteArray text = writePlainIni(map);
    return device.write(text) == text.size();
}

} // namespace

QSettings::Format plainIniFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), readDevice, writeDevice);
    return format;
}

std::unique_ptr<QSettings> openUserSettings(const QString& organisation,
                                            const QString& application) {
    auto settings = std::make_unique<QSettings>(plainIniFormat(), QSettings::UserScope,
                                                organisation, application);
    // Only the user's own file counts; no system-wide defaults are mixed in.
    settings->setFallbacksEnabled(false);
    return settings;
}

} // namespace platform
