#include "scores/HighScores.h"

#include "platform/IniDocument.h"
#include "platform/Services.h"
#include "platform/SettingsFile.h"
#include "scores/StoredText.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

#include <array>

namespace {

// The game owns these six keys of [general] and nothing else in the file.
constexpr QByteArrayView kSection = "general";
constexpr std::array<QByteArrayView, 3> kScoreKeys = {"highscore1", "highscore2", "highscore3"};
constexpr std::array<QByteArrayView, 3> kDateKeys = {"highdate1", "highdate2", "highdate3"};

QString settingsPath() {
    return platform::userSettingsPath(QStringLiteral("Duvella"), QStringLiteral("Duvella 6.2"));
}

QString storedText(const platform::IniDocument& file, QByteArrayView key, const QString& absent) {
    const std::optional<QByteArray> value = platform::iniValue(file, kSection, key);
    return value ? textFromStoredBytes(*value) : absent;
}

} // namespace

void LoadHighScores(frmMain& window) {
    const platform::IniDocument file =
        platform::parseIni(platform::readSettingsFile(settingsPath()).value_or(QByteArray()));
    for (int row = 0; row < 3; ++row)
        window.lblHighScore[row]->setCaption(
            storedText(file, kScoreKeys[row], QStringLiteral("0")));
    for (int row = 0; row < 3; ++row)
        window.lblHighDate[row]->setCaption(
            storedText(file, kDateKeys[row], QStringLiteral("Never")));
}

void SaveHighScores(const frmMain& window) {
    // Read anew, so that whatever else has changed in the file meanwhile stays.
    const QString path = settingsPath();
    const std::optional<QByteArray> before = platform::readSettingsFile(path);
    if (!before)
        return;
    platform::IniDocument file = platform::parseIni(*before);
    for (int row = 0; row < 3; ++row)
        platform::setIniValue(file, kSection, kScoreKeys[row],
                              storedBytesFromText(window.lblHighScore[row]->caption()));
    for (int row = 0; row < 3; ++row)
        platform::setIniValue(file, kSection, kDateKeys[row],
                              storedBytesFromText(window.lblHighDate[row]->caption()));
    const QByteArray after = platform::serialiseIni(file);
    if (after != *before)
        platform::writeSettingsFile(path, after);
}

QString highScoreDateText(const QDate& date) {
    const QLatin1Char zero('0');
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, zero)
        .arg(date.day(), 2, 10, zero)
        .arg(date.year(), 4, 10, zero);
}

void frmMain::cmdClear_Click() {
    const auto answer = platform::services().messageBox->show(
        {QStringLiteral("Are you sure you want to clear the high score history ?"),
         QStringLiteral("Clear High Score History"), platform::MessageBox::Buttons::YesNo,
         platform::MessageBox::Button::Yes, platform::MessageBox::Icon::None});
    if (answer != platform::MessageBox::Button::Yes)
        return;
    for (int i = 0; i < 3; ++i)
        PlayWave("police.wav");
    for (int row = 0; row < 3; ++row) {
        lblHighScore[row]->setCaption(QString());
        lblHighDate[row]->setCaption(QString());
    }
}
