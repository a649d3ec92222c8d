// PlayWave and PlayWaveAsync: which file they name, whether they wait, and the
// game state that the first sound brings into being.

#include "game/cDefault.h"
#include "platform/SdlSoundOutput.h"
#include "platform/Services.h"
#include "platform/WavFile.h"
#include "sound/PlayWave.h"
#include "support/Fakes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using Play = testing::RecordingSoundOutput::Play;

class PlayWaveTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { objGame.release(); }

    void firstSoundCreatesGameStateWithProgramFolder();
    void pathIsFolderSeparatorName_data();
    void pathIsFolderSeparatorName();
    void realOutputPlaysTheBuiltPath_data();
    void realOutputPlaysTheBuiltPath();
};

void PlayWaveTest::firstSoundCreatesGameStateWithProgramFolder() {
    testing::FakePlatform platform;
    objGame.release();
    PlayWaveAsync("bdrum.wav");
    QVERIFY(objGame.exists());
    QCOMPARE(objGame->strSoundPath, QCoreApplication::applicationDirPath());
    PlayWave("Thankyou.wav");
    const QString folder = QCoreApplication::applicationDirPath();
    QCOMPARE(platform.sound.plays,
             (std::vector<Play>{{"bdrum.wav", false}, {"Thankyou.wav", true}}));
    QCOMPARE(platform.sound.paths,
             (std::vector<std::string>{(folder + "/bdrum.wav").toStdString(),
                                       (folder + "/Thankyou.wav").toStdString()}));
}

void PlayWaveTest::pathIsFolderSeparatorName_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("plain") << "/tmp/x"
                           << "pop.wav" << QByteArray("/tmp/x/pop.wav");
    QTest::newRow("trailing separator") << "/tmp/x/"
                                        << "pop.wav" << QByteArray("/tmp/x//pop.wav");
    QTest::newRow("no folder") << ""
                               << "pop.wav" << QByteArray("/pop.wav");
    QTest::newRow("non-ASCII folder in UTF-8")
        << QString::fromUtf8("/home/j\u00fcrgen/Spiele") << "win.wav"
        << QByteArray("/home/j\xc3\xbcrgen/Spiele/win.wav");
}

void PlayWaveTest::pathIsFolderSeparatorName() {
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QByteArray, path);
    testing::FakePlatform platform;
    objGame->strSoundPath = folder;
    PlayWave(name);
    PlayWaveAsync(name);
    QCOMPARE(platform.sound.paths,
             (std::vector<std::string>{path.toStdString(), path.toStdString()}));
    QCOMPARE(platform.sound.plays, (std::vector<Play>{{name, true}, {name, false}}));
}

void PlayWaveTest::realOutputPlaysTheBuiltPath_data() {
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("trailing separator gives two") << ""
                                                  << "/";
    QTest::newRow("non-ASCII folder") << QString::fromUtf8("Spiele f\u00fcr Duvella") << "";
}

void PlayWaveTest::realOutputPlaysTheBuiltPath() {
    QFETCH(QString, subfolder);
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = subfolder.isEmpty() ? dir.path() : dir.filePath(subfolder);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(testwav::writeSine(folder + "/tone.wav", 440, 0.3));
    platform::SdlSoundOutput output;
    platform::services().sound = &output;
    objGame->strSoundPath = folder + suffix;

    QElapsedTimer timer;
    timer.start();
    PlayWave("tone.wav");
    const qint64 ms = timer.elapsed();
    platform::services() = platform::Services{};
    QVERIFY2(output.deviceAvailable(), "no audio device (SDL_AUDIODRIVER=dummy expected)");
    // Only a file that was found and played takes the tone's 300 ms.
    QVERIFY2(ms >= 300 && ms < 800, qPrintable(QString("returned after %1 ms").arg(ms)));
}

QTEST_GUILESS_MAIN(PlayWaveTest)
#include "tst_play_wave.moc"
