#include "shell/Centring.h"
#include "support/GameFixture.h"

#include "platform/Services.h"

#include <QtTest>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using testing::GameFixture;
using Play = testing::RecordingSoundOutput::Play;

class ShellCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void centringTruncatesTowardZero_data();
    void centringTruncatesTowardZero();
    void startUpPlaysDrumWithoutWaiting();
    void decorativeClicksPlayTheirSounds();
    void helpShowsTheThreeParagraphs();
    void exitSaysThankYouThenSavesAndEnds();
    void closeBoxSavesAndEndsSilently();
    void closingInsideAPauseEndsAtOnce();
};

void ShellCommandsTest::centringTruncatesTowardZero_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("800x600") << QSize(800, 600) << QPoint(690, 442);
    QTest::newRow("640x480") << QSize(640, 480) << QPoint(-510, -457);
}

void ShellCommandsTest::centringTruncatesTowardZero() {
    QFETCH(QSize, screen);
    QFETCH(QPoint, expected);
    // The outer size of a window whose frame adds 120 x 405 twips to its client area.
    QCOMPARE(shell::centredPositionTwips(screen, QSize(10620, 8115)), expected);
}

void ShellCommandsTest::startUpPlaysDrumWithoutWaiting() {
    GameFixture game;
    QCOMPARE(game.platform.sound.plays, (std::vector<Play>{{"bdrum.wav", false}}));
    // The sound folder is the program's own.
    QCOMPARE(QString::fromStdString(game.platform.sound.paths.front()),
             QCoreApplication::applicationDirPath() + "/bdrum.wav");
}

void ShellCommandsTest::decorativeClicksPlayTheirSounds() {
    GameFixture game;
    frmMain& w = game.window();
    game.platform.sound.clear();
    testing::click(w.imgDefault);
    testing::click(w.Label1);
    testing::click(w.lblCurrentScore);
    for (shell::Label* label : w.lblGen)
        testing::click(label);
    testing::click(w.Shape1);
    const std::vector<Play> expected{{"ugh.wav", true},   {"Horse.wav", true},  {"ow.wav", true},
                                     {"bird.wav", false}, {"bird.wav", false},  {"bird.wav", false},
                                     {"bird.wav", false}, {"coyote.wav", false}};
    QCOMPARE(game.platform.sound.plays, expected);
    QVERIFY(game.platform.messageBox.shown.empty());
    QCOMPARE(w.lblCurrentScore->caption(), QString("1000"));
}

void ShellCommandsTest::helpShowsTheThreeParagraphs() {
    GameFixture game;
    game.platform.sound.clear();
    // An access key presses its button as a short animated click.
    QTest::keyClick(&game.window(), Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(game.platform.messageBox.shown.size(), 1u);
    const auto& box = game.platform.messageBox.shown.front();
    QCOMPARE(box.title, QString("Duvella Help"));
    QCOMPARE(box.icon, platform::MessageBox::Icon::Information);
    QCOMPARE(box.buttons, platform::MessageBox::Buttons::Ok);
    QCOMPARE(box.text,
             QString("Click on the level you want to play. There are 3 levels, each with more "
                     "blocks. This starts the game.\r\n\r\nClick on any block to see what image "
                     "is hidden behind it. Click another block to see if it matches the first "
                     "block. If the two blocks don't match, the images are hidden again. "
                     "Continue this way until all images are visible.\r\n\r\nYou score starts "
                     "at 1000 and starts decreasing. The fewer moves to complete the game, the "
                     "higher the score. Once the score reaches zero, the game is automatically "
                     "over."));
    QVERIFY(game.platform.sound.plays.empty());
}

void ShellCommandsTest::exitSaysThankYouThenSavesAndEnds() {
    GameFixture game;
    game.platform.sound.clear();
    bool savedBeforeSound = true;
    game.platform.sound.onPlay = [&](const Play&) {
        savedBeforeSound = QFile::exists(game.settingsFile());
    };
    QTest::keyClick(&game.window(), Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(game.platform.processEnds, 1);
    QCOMPARE(game.platform.sound.plays, (std::vector<Play>{{"Thankyou.wav", true}}));
    QVERIFY(!savedBeforeSound);
    QVERIFY(QFile::exists(game.settingsFile()));
    QCOMPARE(game.platform.processEnds, 1);
}

void ShellCommandsTest::closeBoxSavesAndEndsSilently() {
    GameFixture game;
    game.platform.sound.clear();
    game.window().close();
    QVERIFY(game.platform.sound.plays.empty());
    QVERIFY(QFile::exists(game.settingsFile()));
    QCOMPARE(game.platform.processEnds, 1);
}

void ShellCommandsTest::closingInsideAPauseEndsAtOnce() {
    GameFixture game;
    frmMain& w = game.window();
    testing::click(w.lblLevel[0]);
    // The real end of the process runs in a child, so the test can see what is left.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        platform::services().endProcess = [] { std::_Exit(0); };
        // The window is closed while the click below pauses after its reveal.
        QCoreApplication::postEvent(&w, new QCloseEvent);
        testing::click(w.imgMain[3]);
        std::_Exit(3); // the interrupted click went on
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(QFile::exists(game.settingsFile()));
}

QTEST_MAIN(ShellCommandsTest)
#include "tst_shell_commands.moc"
