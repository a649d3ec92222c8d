#include "scores/HighScores.h"

#include "platform/IniDocument.h"
#include "platform/Services.h"
#include "platform/SettingsFile.h"
#include "platform/StoredText.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

#include <QStringList>

#include <array>
#include <optional>
#include <utility>

namespace {

// The game owns these six keys of [general] and nothing else in the file.
constexpr QByteArrayView kSection = "general";
constexpr std::array<QByteArrayView, 3> kScoreKeys = {"highscore1", "highscore2", "highscore3"};
constexpr std::array<QByteArrayView, 3> kDateKeys = {"highdate1", "highdate2", "highdate3"};

QByteArray settingsPath() {
    return platform::userSettingsPath("Duvella", "Duvella 6.2");
}

// The table's six labels with their keys: the scores, then the dates, in row order.
std::array<std::pair<const shell::Label*, QByteArrayView>, 6> tableEntries(const frmMain& window) {
    std::array<std::pair<const shell::Label*, QByteArrayView>, 6> entries;
    for (std::size_t row = 0; row < 3; ++row) {
        entries[row] = {window.lblHighScore[row], kScoreKeys[row]};
        entries[row + 3] = {window.lblHighDate[row], kDateKeys[row]};
    }
    return entries;
}

QString storedText(const platform::IniDocument& file, QByteArrayView key, const QString& absent) {
    const std::optional<QByteArray> value = platform::iniValue(file, kSection, key);
    return value ? platform::textFromStoredBytes(*value) : absent;
}

} // namespace

void LoadHighScores(frmMain& window) {
    const std::optional<QByteArray> bytes = platform::readSettingsFile(settingsPath());
    const platform::IniDocument file = platform::parseIni(bytes.value_or(QByteArray()));
    for (int row = 0; row < 3; ++row)
        window.lblHighScore[row]->setCaption(
            storedText(file, kScoreKeys[row], QStringLiteral("0")));
    for (int row = 0; row < 3; ++row)
        window.lblHighDate[row]->setCaption(
            storedText(file, kDateKeys[row], QStringLiteral("Never")));
    // What differs from these at saving is what this run changed, and only that
    // is written.
    window.highScoresAsRead.reset();
    if (bytes) {
        window.highScoresAsRead.emplace();
        for (const auto& [label, key] : tableEntries(window))
            *window.highScoresAsRead << label->caption();
    }
}

void SaveHighScores(const frmMain& window) {
    if (!window.highScoresAsRead)
        return;
    // Read anew, so that whatever another game or a hand edit has changed in the
    // file meanwhile stays, the keys this run left alone included.
    const QByteArray path = settingsPath();
    const std::optional<QByteArray> before = platform::readSettingsFile(path);
    if (!before)
        return;
    platform::IniDocument file = platform::parseIni(*before);
    qsizetype i = 0;
    for (const auto& [label, key] : tableEntries(window))
        if (label->caption() != window.highScoresAsRead->at(i++))
            platform::setIniValue(file, kSection, key, platform::storedBytesFromText(label->caption()));
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
