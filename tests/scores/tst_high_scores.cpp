#include "support/GameFixture.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using testing::GameFixture;
using Button = platform::MessageBox::Button;

namespace {

QStringList table(const frmMain& w) {
    QStringList texts;
    for (const auto& row : {w.lblHighScore, w.lblHighDate})
        for (const shell::Label* label : row)
            texts << label->caption();
    return texts;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Starts the game anew on a settings file holding `bytes` (no file when null).
void restartOn(GameFixture& game, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(game.settingsFile()).path());
    QFile file(game.settingsFile());
    QVERIFY(bytes.isNull() || (file.open(QIODevice::WriteOnly) && file.write(bytes) > 0));
    file.close();
    game.restart();
}

const QStringList kDefaults{"0", "0", "0", "Never", "Never", "Never"};
const QByteArray kDefaultsFile("highscore1=0\nhighscore2=0\nhighscore3=0\nhighdate1=Never\n"
                               "highdate2=Never\nhighdate3=Never");
const QByteArray kMegabyte(1 << 20, 'x');
const QByteArray kNul(1, '\0');
// Everything a person or another program may leave in the file.
const QByteArray kHostile =
    "; kept by hand\r\n# comment \xff\n\ntop=no section\n[other]\n"
    "highscore1=not ours\na/b=slash\n[General] ; the game's\r\n"
    "HighScore1 = 1, 2\r\nhighscore1=second\nhighscore2=  spaced  \n"
    "highscore3=" +
    kMegabyte + "\nhighdate1=\xff\xfe!\nhighdate2=a" + kNul +
    "b\nHIGHDATE3=J\xc3\xa4nner\nunknown=kept\n\xc0\x80\n[more]\nhighdate1=x";
const QStringList kHostileShown{" 1, 2",
                                "  spaced  ",
                                QString::fromLatin1(kMegabyte),
                                QStringView(u"\xdcff\xdcfe!").toString(),
                                QString::fromUtf8("a\0b", 3),
                                "J\u00e4nner"};

} // namespace

class HighScoresTest : public QObject {
    Q_OBJECT
  private slots:
    void fileComesBackByteForByte_data();
    void fileComesBackByteForByte();
    void failedWriteLeavesTheOldFile();
    void clearScores_data();
    void clearScores();
};

void HighScoresTest::fileComesBackByteForByte_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("newBest"); // a new best score in row 2 before closing
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("first run") << QByteArray() << kDefaults << false
                               << "[general]\n" + kDefaultsFile + '\n';
    QTest::newRow("hostile") << kHostile << kHostileShown << false << kHostile;
    QTest::newRow("hostile, new best")
        << kHostile << kHostileShown << true
        << QByteArray(kHostile)
               .replace("highscore2=  spaced  ", "highscore2=990")
               .replace("highdate2=a" + kNul + "b", "highdate2=12-05-2026");
    QTest::newRow("keys missing, CRLF")
        << QByteArray("[GENERAL] ; note\r\nHIGHSCORE1=\r\n\r\n[other]\r\n")
        << QStringList{"", "0", "0", "Never", "Never", "Never"} << false
        << "[GENERAL] ; note\r\nHIGHSCORE1=\r\n" + kDefaultsFile.sliced(13).replace("\n", "\r\n") +
               "\r\n\r\n[other]\r\n";
    QTest::newRow("no [general], no final newline")
        << QByteArray("[other]\nx=1") << kDefaults << false
        << "[other]\nx=1\n[general]\n" + kDefaultsFile;
}

void HighScoresTest::fileComesBackByteForByte() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(bool, newBest);
    QFETCH(QByteArray, written);
    GameFixture game;
    restartOn(game, file);
    QCOMPARE(table(game.window()), shown);
    if (newBest) {
        game.window().lblHighScore[1]->setCaption("990");
        game.window().lblHighDate[1]->setCaption("12-05-2026");
    }
    QCOMPARE(readFile(game.settingsFile()), file); // the file changes only at closing
    game.window().close();
    QCOMPARE(readFile(game.settingsFile()), written);
}

void HighScoresTest::failedWriteLeavesTheOldFile() {
    GameFixture game;
    restartOn(game, kHostile);
    game.window().lblHighScore[0]->setCaption("990");
    // No file may grow beyond 64 KB for a moment, whoever runs the test: the disk is full.
    rlimit limit{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit full{64 * 1024, limit.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &full), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot save .*/Duvella 6.2.ini: "));
    game.window().close();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(game.platform.processEnds, 1);
    QCOMPARE(readFile(game.settingsFile()), kHostile);
    QCOMPARE(QDir(QFileInfo(game.settingsFile()).path()).count(), 3u); // ".", "..", the file
}

void HighScoresTest::clearScores_data() {
    QTest::addColumn<Button>("answer");
    QTest::addColumn<int>("sirens");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("Yes") << Button::Yes << 3 << QStringList(6, "");
    QTest::newRow("No") << Button::No << 0 << kDefaults;
}

void HighScoresTest::clearScores() {
    QFETCH(Button, answer);
    QFETCH(int, sirens);
    QFETCH(QStringList, after);
    GameFixture game;
    game.platform.sound.clear();
    game.platform.messageBox.answers = {answer};
    testing::click(game.window().cmdClear);
    const auto& box = game.platform.messageBox.shown.at(0);
    QCOMPARE(box.text, QString("Are you sure you want to clear the high score history ?"));
    QCOMPARE(box.title, QString("Clear High Score History"));
    QCOMPARE(box.buttons, platform::MessageBox::Buttons::YesNo);
    QCOMPARE(box.defaultButton, Button::Yes);
    using Play = testing::RecordingSoundOutput::Play;
    QCOMPARE(game.platform.sound.plays, std::vector<Play>(sirens, Play{"police.wav", true}));
    QCOMPARE(table(game.window()), after);
}

QTEST_MAIN(HighScoresTest)
#include "tst_high_scores.moc"
