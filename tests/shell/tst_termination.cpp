#include "platform/Services.h"
#include "platform/Termination.h"
#include "shell/Main.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The table as the file has it, where the game adds the keys it lacks.
const QByteArray kFile = "[General] ; note\r\nHIGHSCORE1=990\r\n\r\n[x]";

} // namespace

class TerminationTest : public QObject {
    Q_OBJECT
  private slots:
    void signalEndsTheGameAsItsCloseBoxDoes_data();
    void signalEndsTheGameAsItsCloseBoxDoes();
};

void TerminationTest::signalEndsTheGameAsItsCloseBoxDoes_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("sound"); // the sound during which it comes; none: idle
    QTest::newRow("idle, SIGTERM") << SIGTERM << QString();
    QTest::newRow("idle, SIGINT") << SIGINT << QString();
    QTest::newRow("idle, SIGHUP") << SIGHUP << QString();
    QTest::newRow("in a reveal's pause") << SIGTERM << "zhoop&";
    QTest::newRow("during the sirens of Clear Scores") << SIGTERM << "police";
}

// The idle game is the real program; the others are this test's game in a child.
void TerminationTest::signalEndsTheGameAsItsCloseBoxDoes() {
    QFETCH(int, signal);
    QFETCH(QString, sound);
    testing::GameFixture game;
    game.restart(kFile);
    frmMain& w = game.window();
    testing::click(w.lblLevel[0]);
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0 && sound.isEmpty())
        ::execl(qPrintable(QCoreApplication::applicationDirPath() + "/duvella"), "duvella",
                nullptr);
    if (child == 0) {
        if (sound == "zhoop&")
            testing::click(w.cmdClear); // a change, for the save to show
        platform::installTerminationSignals();
        WatchForTermination(w);
        platform::services().endProcess = [] { std::_Exit(0); };
        // The signal comes at `sound`, which "plays" for 5 s in the sleep that every wait
        // of the game goes through.
        game.during = [&](const QString& event) {
            if (event == sound && ::kill(::getpid(), signal) == 0)
                platform::sleepUntil(std::chrono::steady_clock::now() + std::chrono::seconds(5));
        };
        testing::click(sound == "zhoop&" ? static_cast<QWidget*>(w.imgMain[3]) : w.cmdClear);
        std::_Exit(3); // the interrupted handler went on
    }
    if (sound.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(testing::catchesSignal(child, signal), 10000);
        ::kill(child, signal);
        clock.restart();
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Saved as the table stood: for Clear Scores, before its rows were cleared,
    // so unchanged, as for the idle game.
    QFile file(game.settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), sound != "zhoop&" ? kFile
             : "[General] ; note\r\nHIGHSCORE1=\r\nhighscore2=\r\nhighscore3=\r\n"
               "highdate1=\r\nhighdate2=\r\nhighdate3=\r\n\r\n[x]");
}

QTEST_MAIN(TerminationTest)
#include "tst_termination.moc"
