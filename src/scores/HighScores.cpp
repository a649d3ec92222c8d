#include "scores/HighScores.h"

#include "platform/PlainIniFormat.h"
#include "platform/Services.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

namespace {

const QString kOrganisation = QStringLiteral("Duvella");
const QString kApplication = QStringLiteral("Duvella 6.2");
const QString kSection = QStringLiteral("general");

std::unique_ptr<QSettings> openTable() {
    auto store = platform::openUserSettings(kOrganisation, kApplication);
    store->beginGroup(kSection);
    return store;
}

QString scoreKey(int row) {
    return QStringLiteral("highscore%1").arg(row + 1);
}

QString dateKey(int row) {
    return QStringLiteral("highdate%1").arg(row + 1);
}

} // namespace

void LoadHighScores() {
    frmMain& window = frmMain::instance();
    const auto store = openTable();
    for (int row = 0; row < 3; ++row)
        window.lblHighScore[row]->setCaption(
            store->value(scoreKey(row), QStringLiteral("0")).toString());
    for (int row = 0; row < 3; ++row)
        window.lblHighDate[row]->setCaption(
            store->value(dateKey(row), QStringLiteral("Never")).toString());
}

void SaveHighScores() {
    const frmMain& window = frmMain::instance();
    const auto store = openTable();
    for (int row = 0; row < 3; ++row)
        store->setValue(scoreKey(row), window.lblHighScore[row]->caption());
    for (int row = 0; row < 3; ++row)
        store->setValue(dateKey(row), window.lblHighDate[row]->caption());
    // The table must be on disk before the process ends.
    store->sync();
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
