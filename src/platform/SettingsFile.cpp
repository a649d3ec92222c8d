#include "platform/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

QString userSettingsPath(const QString& organisation, const QString& application) {
    // The place Qt's own settings store has always used for these files.
    const QString configHome = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    QString folder;
    if (configHome.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    else if (configHome.startsWith(u'/'))
        folder = configHome;
    else
        folder = QDir::homePath() + u'/' + configHome;
    return folder + u'/' + organisation + u'/' + application + QStringLiteral(".ini");
}

std::optional<QByteArray> readSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Cannot read %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return std::nullopt;
    }
    return file.readAll();
}

bool writeSettingsFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    const bool written = QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written)
        qWarning("Cannot save %s: %s", qPrintable(path),
                 qPrintable(file.errorString().isEmpty() ? QStringLiteral("no folder")
                                                         : file.errorString()));
    return written;
}

} // namespace platform
