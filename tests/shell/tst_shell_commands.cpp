#include "platform/Services.h"
#include "shell/Centring.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

using testing::GameFixture;
using Plays = std::vector<testing::RecordingSoundOutput::Play>;

class ShellCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void centringTruncatesTowardZero() {
        // The outer size of a window whose frame adds 120 x 405 twips to its client area.
        QCOMPARE(shell::centredPositionTwips({800, 600}, {10620, 8115}), QPoint(690, 442));
        QCOMPARE(shell::centredPositionTwips({640, 480}, {10620, 8115}), QPoint(-510, -457));
        QCOMPARE(shell::centredPositionTwips({641, 480}, {10620, 8115}), QPoint(-502, -457));
    }

    void normalWindowKeepsItsSize() {
        GameFixture game;
        frmMain& w = game.window();
        const QSize normal(700, 514);
        w.resize(760, 600); // a drag of the border
        QCOMPARE(w.size(), normal);
        w.showMaximized();
        QTRY_VERIFY(w.isMaximized());
        QTRY_VERIFY(w.width() > normal.width() && w.height() > normal.height());
        w.showNormal();
        QTRY_COMPARE(w.size(), normal);
    }

    void clicksAndKeysPlayTheirSounds() {
        GameFixture game;
        frmMain& w = game.window();
        QCOMPARE(game.platform.sound.plays, (Plays{{"bdrum.wav", false}}));
        QCOMPARE(QString::fromStdString(game.platform.sound.paths[0]),
                 QCoreApplication::applicationDirPath() + "/bdrum.wav");
        const std::pair<QWidget*, Plays> clicks[] = {
            {w.imgDefault, {{"ugh.wav", true}}},    {w.Label1, {{"Horse.wav", true}}},
            {w.lblCurrentScore, {{"ow.wav", true}}}, {w.lblGen[0], {{"bird.wav", false}}},
            {w.lblGen[3], {{"bird.wav", false}}},   {w.Shape1, {{"coyote.wav", false}}}};
        for (const auto& [control, sounds] : clicks) {
            game.platform.sound.clear();
            testing::click(control);
            QCOMPARE(game.platform.sound.plays, sounds);
        }
        QCOMPARE(w.lblCurrentScore->caption(), "1000");
        // Help opens its box, and nothing else happens.
        game.platform.sound.clear();
        QTest::keyClick(w.windowHandle(), Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(game.platform.messageBox.shown.size(), 1u);
        QCOMPARE(game.platform.messageBox.shown[0].title, "Duvella Help");
        QVERIFY(game.platform.sound.plays.empty());
    }

    void closingSavesAndEnds_data() {
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("Exit button") << true;
        QTest::newRow("close box") << false;
    }
    void closingSavesAndEnds() {
        QFETCH(bool, exitButton);
        GameFixture game;
        game.platform.sound.clear();
        bool savedBeforeSoundEnded = false;
        game.platform.sound.onPlay = [&](auto&) { savedBeforeSoundEnded = QFile::exists(game.settingsFile()); };
        if (exitButton)
            QTest::keyClick(game.window().windowHandle(), Qt::Key_X, Qt::AltModifier);
        else
            game.window().close();
        QTRY_COMPARE(game.platform.processEnds, 1);
        QCOMPARE(game.platform.sound.plays, (exitButton ? Plays{{"Thankyou.wav", true}} : Plays{}));
        QVERIFY(!savedBeforeSoundEnded && QFile::exists(game.settingsFile()));
    }

    void closingInsideAPauseEndsAtOnce() {
        GameFixture game;
        frmMain& w = game.window();
        testing::click(w.lblLevel[0]);
        // The real end of the process runs in a child, so the test can see what is left.
        const pid_t child = ::fork();
        if (child == 0) {
            platform::services().endProcess = [] { std::_Exit(0); };
            game.clickWhile(w.imgMain[3], [&] { QCoreApplication::postEvent(&w, new QCloseEvent); });
            std::_Exit(3); // the interrupted click went on
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(status, 0);
        QVERIFY(QFile::exists(game.settingsFile()));
    }
};

QTEST_MAIN(ShellCommandsTest)
#include "tst_shell_commands.moc"
