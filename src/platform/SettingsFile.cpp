#include "platform/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

QString userSettingsPath(const QString& organisation, const QString& application) {
    // The folder Qt's own settings store has always used for these files.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           organisation + u'/' + application + QStringLiteral(".ini");
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
