#include "platform/PlainIniFormat.h"
#include "scores/HighScores.h"
#include "support/GameFixture.h"

#include <QtTest>

using testing::GameFixture;
using Play = testing::RecordingSoundOutput::Play;

namespace {

QStringList table(const frmMain& w) {
    QStringList texts;
    for (const shell::Label* label : w.lblHighScore)
        texts << label->caption();
    for (const shell::Label* label : w.lblHighDate)
        texts << label->caption();
    return texts;
}

void setTable(frmMain& w, const QStringList& texts) {
    for (int row = 0; row < 3; ++row) {
        w.lblHighScore[row]->setCaption(texts[row]);
        w.lblHighDate[row]->setCaption(texts[row + 3]);
    }
}

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class HighScoresTest : public QObject {
    Q_OBJECT
  private slots:
    void firstRunShowsDefaults();
    void tableSurvivesANewStart();
    void handEditedValuesReadBackExactly();
    void clearAnsweredYesEmptiesTheRowsAtClose();
    void clearAnsweredNoChangesNothing();
    void closeWithoutPlayWritesBackWhatWasRead();
    void readOnlyStoreStillCloses();
    void plainIniKeepsValuesAsWritten();
    void dateTextIsMonthDayYear();
};

void HighScoresTest::firstRunShowsDefaults() {
    GameFixture game;
    QCOMPARE(table(game.window()), (QStringList{"0", "0", "0", "Never", "Never", "Never"}));
    QVERIFY(!QFile::exists(game.settingsFile()));
}

void HighScoresTest::tableSurvivesANewStart() {
    GameFixture game;
    const QStringList texts{"920", "", "680", "12-05-2026", "", "01-02-2027"};
    setTable(game.window(), texts);
    game.window().close();
    // The file holds a plain [general] section, read anew by the next start.
    const QByteArray file = readFile(game.settingsFile());
    QVERIFY2(file.startsWith("[general]\n"), file.constData());
    QVERIFY(file.contains("highscore1=920\n"));
    QVERIFY(file.contains("highscore2=\n"));
    game.restart();
    QCOMPARE(table(game.window()), texts);
}

void HighScoresTest::handEditedValuesReadBackExactly() {
    GameFixture game;
    writeFile(game.settingsFile(), "[general]\r\nhighscore1=1, 2, 3\r\nhighscore2=@Variant(abc)\n"
                                   "highscore3=\"quoted\" \\back\\slash\nhighdate1=  spaced  \n"
                                   "highdate2=Jänner ∞ 日本\nhighdate3=a=b;c#d\n");
    game.restart();
    const QStringList expected{"1, 2, 3",    "@Variant(abc)", "\"quoted\" \\back\\slash",
                               "  spaced  ", "Jänner ∞ 日本", "a=b;c#d"};
    QCOMPARE(table(game.window()), expected);
    game.window().close();
    game.restart();
    QCOMPARE(table(game.window()), expected);
}

void HighScoresTest::clearAnsweredYesEmptiesTheRowsAtClose() {
    GameFixture game;
    writeFile(game.settingsFile(), "[general]\nhighscore1=900\nhighdate1=03-04-2025\n");
    game.restart();
    const QByteArray before = readFile(game.settingsFile());
    game.platform.sound.clear();
    game.platform.messageBox.answers = {platform::MessageBox::Button::Yes};
    testing::click(game.window().cmdClear);

    const auto& box = game.platform.messageBox.shown.at(0);
    QCOMPARE(box.text, QString("Are you sure you want to clear the high score history ?"));
    QCOMPARE(box.title, QString("Clear High Score History"));
    QCOMPARE(box.buttons, platform::MessageBox::Buttons::YesNo);
    QCOMPARE(box.defaultButton, platform::MessageBox::Button::Yes);
    QCOMPARE(box.icon, platform::MessageBox::Icon::None);
    QCOMPARE(game.platform.sound.plays, std::vector<Play>(3, Play{"police.wav", true}));
    QCOMPARE(table(game.window()), QStringList(6, QString()));
    // The store learns of it only at closing.
    QCOMPARE(readFile(game.settingsFile()), before);
    game.window().close();
    game.restart();
    QCOMPARE(table(game.window()), QStringList(6, QString()));
}

void HighScoresTest::clearAnsweredNoChangesNothing() {
    GameFixture game;
    game.platform.sound.clear();
    game.platform.messageBox.answers = {platform::MessageBox::Button::No};
    testing::click(game.window().cmdClear);
    QCOMPARE(game.platform.messageBox.shown.size(), 1u);
    QVERIFY(game.platform.sound.plays.empty());
    QCOMPARE(table(game.window()), (QStringList{"0", "0", "0", "Never", "Never", "Never"}));
}

void HighScoresTest::closeWithoutPlayWritesBackWhatWasRead() {
    GameFixture game;
    writeFile(game.settingsFile(), "[general]\nhighscore1=abc\nhighdate3=someday\n");
    game.restart();
    QCOMPARE(table(game.window()), (QStringList{"abc", "0", "0", "Never", "Never", "someday"}));
    game.window().close();
    QCOMPARE(readFile(game.settingsFile()),
             QByteArray("[general]\nhighdate1=Never\nhighdate2=Never\nhighdate3=someday\n"
                        "highscore1=abc\nhighscore2=0\nhighscore3=0\n"));
}

void HighScoresTest::readOnlyStoreStillCloses() {
    GameFixture game;
    // A plain file where the store's folder should be: nothing can be written there,
    // whoever runs the test.
    const QString folder = QFileInfo(game.settingsFile()).path();
    writeFile(folder, "not a folder");
    game.window().close();
    QCOMPARE(game.platform.processEnds, 1);
    QVERIFY(!QFile::exists(game.settingsFile()));
}

void HighScoresTest::plainIniKeepsValuesAsWritten() {
    const QSettings::SettingsMap map = platform::parsePlainIni(
        "top=1\n; comment\n[general]\n  key  =  value, with = signs \n[other]\nkey=\nbroken\n");
    QCOMPARE(map.value("top").toString(), QString("1"));
    QCOMPARE(map.value("general/key").toString(), QString("  value, with = signs "));
    QVERIFY(map.contains("other/key"));
    QCOMPARE(map.value("other/key").toString(), QString());
    QCOMPARE(map.size(), 3);
    QCOMPARE(platform::parsePlainIni(platform::writePlainIni(map)), map);
}

void HighScoresTest::dateTextIsMonthDayYear() {
    QCOMPARE(highScoreDateText(QDate(2026, 12, 5)), QString("12-05-2026"));
    QCOMPARE(highScoreDateText(QDate(1999, 6, 30)), QString("06-30-1999"));
    QCOMPARE(highScoreDateText(QDate(812, 1, 2)), QString("01-02-0812"));
}

QTEST_MAIN(HighScoresTest)
#include "tst_high_scores.moc"
