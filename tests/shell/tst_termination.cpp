#include "platform/Services.h"
#include "platform/Termination.h"
#include "shell/Main.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether the process has put its own handler for `signal` in place.
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const QByteArray mask = text.mid(text.indexOf("SigCgt:") + 7).split('\n').front();
    return (mask.trimmed().toULongLong(nullptr, 16) >> (signal - 1) & 1) != 0;
}

} // namespace

class TerminationTest : public QObject {
    Q_OBJECT
  private slots:
    void idleProgramEndsAsItsCloseBoxDoes_data();
    void idleProgramEndsAsItsCloseBoxDoes();
    void signalInAWaitEndsTheGameThere_data();
    void signalInAWaitEndsTheGameThere();
};

void TerminationTest::idleProgramEndsAsItsCloseBoxDoes_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TerminationTest::idleProgramEndsAsItsCloseBoxDoes() {
    QFETCH(int, signal);
    QTemporaryDir config;
    QProcess game;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    game.setProcessEnvironment(environment);
    game.start(QCoreApplication::applicationDirPath() + "/duvella");
    QTRY_VERIFY_WITH_TIMEOUT(catches(game.processId(), signal), 10000);
    ::kill(static_cast<pid_t>(game.processId()), signal);
    QVERIFY(game.waitForFinished(1000));
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    QCOMPARE(game.exitCode(), 0);
    QVERIFY(readFile(config.path() + "/Duvella/Duvella 6.2.ini").contains("\nhighdate3=Never\n"));
}

void TerminationTest::signalInAWaitEndsTheGameThere_data() {
    QTest::addColumn<QString>("sound");
    QTest::newRow("in a reveal's pause") << "zhoop.wav";
    QTest::newRow("during the sirens of Clear Scores") << "police.wav";
}

void TerminationTest::signalInAWaitEndsTheGameThere() {
    QFETCH(QString, sound);
    testing::GameFixture game;
    testing::click(game.window().lblLevel[0]);
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        platform::installTerminationSignals();
        WatchForTermination(game.window());
        platform::services().endProcess = [] { std::_Exit(0); };
        game.window().lblHighScore[0]->setCaption("990");
        // At `sound`, the test is told to send the signal, and the sound "plays" up to 5 s
        // in the sleep that every wait of the game goes through.
        game.platform.sound.onPlay = [&](const auto& play) {
            if (play.name == sound && ::write(ready[1], "!", 1) == 1)
                platform::sleepUntil(std::chrono::steady_clock::now() + std::chrono::seconds(5));
        };
        testing::click(sound == "zhoop.wav" ? static_cast<QWidget*>(game.window().imgMain[3])
                                            : game.window().cmdClear);
        std::_Exit(3); // the interrupted handler went on
    }
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), 1);
    QElapsedTimer clock;
    clock.start();
    ::kill(child, SIGTERM);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0 && clock.elapsed() < 1000)
        QTest::qSleep(5);
    ::kill(child, SIGKILL);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "no clean end within 1 s");
    // Saved as the table stood: for Clear Scores, before its rows were cleared.
    QVERIFY(readFile(game.settingsFile()).contains("\nhighscore1=990\n"));
}

QTEST_MAIN(TerminationTest)
#include "tst_termination.moc"
