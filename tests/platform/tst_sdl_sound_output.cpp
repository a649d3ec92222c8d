// The real SDL2_mixer output on SDL's dummy audio driver, which consumes the
// mix in real time without a sound card: how long plays last, that a play cuts
// the one before, and that unplayable files are passed over.

#include "WavFile.h"
#include "platform/SdlSoundOutput.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <SDL_mixer.h>

#include <future>

using platform::SdlSoundOutput;

namespace {

// Generous bounds: the suite runs on a loaded two-core machine.
constexpr qint64 kAtOnceMs = 150;
constexpr qint64 kLateMs = 500;

qint64 playMs(SdlSoundOutput& out, const QString& path, bool wait) {
    QElapsedTimer timer;
    timer.start();
    out.play(path.toStdString(), wait);
    return timer.elapsed();
}

// Length in milliseconds of the chunk on the one channel, in the device's format.
qint64 playingChunkMs() {
    const Mix_Chunk* chunk = Mix_GetChunk(0);
    int rate = 0;
    int channels = 0;
    Uint16 format = 0;
    if (chunk == nullptr || Mix_QuerySpec(&rate, &format, &channels) == 0)
        return -1;
    const qint64 bytesPerSecond = qint64(rate) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
    return qint64(chunk->alen) * 1000 / bytesPerSecond;
}

} // namespace

class SdlSoundOutputTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

  private slots:
    void initTestCase();
    void waitingPlayLastsTheSoundsLength_data();
    void waitingPlayLastsTheSoundsLength();
    void stalledDeviceDoesNotHangAWaitingPlay();
    void asyncPlayReturnsAtOnceAndPlaysOn();
    void laterPlayCutsTheEarlierOne();
    void unplayableFilesArePassedOver_data();
    void unplayableFilesArePassedOver();
    void fileIsReadAgainAtEveryPlay();
    void shutdownStopsTheSoundAndClosesTheDevice();
};

void SdlSoundOutputTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(testwav::writeSine(path("tick.wav"), 1000, 0.05));
    QVERIFY(testwav::writeSine(path("short.wav"), 880, 0.2));
    QVERIFY(testwav::writeSine(path("long.wav"), 440, 0.6));
    std::vector<std::int16_t> stereo;
    for (std::int16_t s : testwav::sine(500, 0.2, 44100))
        stereo.insert(stereo.end(), {s, s});
    QVERIFY(testwav::writeFile(path("stereo.wav"), testwav::wavBytes(stereo, 44100, 2)));
    QVERIFY(testwav::writeFile(path("low.wav"),
                               testwav::wavBytes(testwav::sine(500, 0.2, 8000), 8000)));
    // A file cut short, as by an interrupted copy: its header still promises 600 ms.
    const QByteArray whole = testwav::wavBytes(testwav::sine(440, 0.6));
    QVERIFY(testwav::writeFile(path("cut.wav"), whole.left(44 + 2 * testwav::kRate / 5)));
    SdlSoundOutput probe;
    QVERIFY2(probe.deviceAvailable(), "SDL's dummy audio driver did not open");
}

void SdlSoundOutputTest::waitingPlayLastsTheSoundsLength_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("lengthMs");
    QTest::newRow("50 ms") << "tick.wav" << qint64(50);
    QTest::newRow("600 ms") << "long.wav" << qint64(600);
    // Converted to the device's format on loading; the length must come out the same.
    QTest::newRow("200 ms, 44100 Hz stereo") << "stereo.wav" << qint64(200);
    QTest::newRow("200 ms, 8000 Hz mono") << "low.wav" << qint64(200);
    QTest::newRow("200 ms left of 600 ms") << "cut.wav" << qint64(200);
}

void SdlSoundOutputTest::waitingPlayLastsTheSoundsLength() {
    QFETCH(QString, name);
    QFETCH(qint64, lengthMs);
    SdlSoundOutput out;
    // The first play also opens the device; a later one must be just as long.
    for (int round = 0; round < 2; ++round) {
        const qint64 ms = playMs(out, path(name), true);
        QVERIFY2(ms >= lengthMs, qPrintable(QString("returned after %1 ms").arg(ms)));
        QVERIFY2(ms < lengthMs + kLateMs, qPrintable(QString("returned after %1 ms").arg(ms)));
        // A waiting play has heard its sound out.
        QCOMPARE(Mix_Playing(-1), 0);
    }
}

void SdlSoundOutputTest::stalledDeviceDoesNotHangAWaitingPlay() {
    SdlSoundOutput out;
    QVERIFY(out.deviceAvailable());
    // The mixer's device is one of the first few that SDL numbers.
    SDL_AudioDeviceID device = 0;
    for (SDL_AudioDeviceID id = 1; id < 16 && device == 0; ++id) {
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING)
            device = id;
    }
    QVERIFY(device != 0);
    // A paused device stops consuming the mix, so the sound never ends.
    SDL_PauseAudioDevice(device, 1);
    // Played on a thread of its own, so that a hang fails here instead of
    // running into the suite's time limit; resuming the device releases it.
    auto play = std::async(std::launch::async, [&] { return playMs(out, path("tick.wav"), true); });
    const bool returned = play.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    SDL_PauseAudioDevice(device, 0);
    const qint64 ms = play.get();
    QVERIFY2(returned, "the waiting play hung on the stalled device");
    QVERIFY2(ms >= 50 && ms < 50 + kLateMs, qPrintable(QString("returned after %1 ms").arg(ms)));
}

void SdlSoundOutputTest::asyncPlayReturnsAtOnceAndPlaysOn() {
    SdlSoundOutput out;
    QVERIFY(playMs(out, path("long.wav"), false) < kAtOnceMs);
    QCOMPARE(Mix_Playing(-1), 1);
    QTest::qSleep(400);
    QCOMPARE(Mix_Playing(-1), 1);
    // It stops by itself once its 600 ms have passed.
    QTRY_COMPARE_WITH_TIMEOUT(Mix_Playing(-1), 0, 1500);
}

void SdlSoundOutputTest::laterPlayCutsTheEarlierOne() {
    SdlSoundOutput out;
    QVERIFY(playMs(out, path("long.wav"), false) < kAtOnceMs);
    QVERIFY(playMs(out, path("tick.wav"), false) < kAtOnceMs);
    // One sound plays, and it is the second.
    QCOMPARE(Mix_Playing(-1), 1);
    QCOMPARE(playingChunkMs(), qint64(50));

    // A waiting play right after an async one lasts its own length, not the
    // rest of the earlier sound, and leaves nothing playing.
    QVERIFY(playMs(out, path("long.wav"), false) < kAtOnceMs);
    const qint64 ms = playMs(out, path("short.wav"), true);
    QVERIFY2(ms >= 200 && ms < 200 + kLateMs, qPrintable(QString("returned after %1 ms").arg(ms)));
    QVERIFY2(ms < 500, "the waiting play waited for the cut sound");
    QCOMPARE(Mix_Playing(-1), 0);
}

void SdlSoundOutputTest::unplayableFilesArePassedOver_data() {
    QTest::addColumn<QByteArray>("content"); // "-" for no file at all, "/" for a folder
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) >> 3));
    const QByteArray valid = testwav::wavBytes(testwav::sine(440, 0.5));
    QByteArray wrongFormat = valid;
    wrongFormat[20] = 0x55; // format tag 0x55 (MP3) over PCM data

    QTest::newRow("missing") << QByteArray("-");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << garbage;
    QTest::newRow("RIFF header only") << valid.left(12);
    QTest::newRow("cut inside fmt") << valid.left(30);
    QTest::newRow("unknown format tag") << wrongFormat;
    QTest::newRow("no samples") << testwav::wavBytes({});
    QTest::newRow("folder") << QByteArray("/");
}

void SdlSoundOutputTest::unplayableFilesArePassedOver() {
    QFETCH(QByteArray, content);
    const QString bad = path("bad.wav");
    QDir(bad).removeRecursively();
    QFile::remove(bad);
    if (content == "/")
        QVERIFY(QDir().mkdir(bad));
    else if (content != "-")
        QVERIFY(testwav::writeFile(bad, content));

    SdlSoundOutput out;
    QVERIFY(playMs(out, path("long.wav"), false) < kAtOnceMs);
    QVERIFY(playMs(out, bad, false) < kAtOnceMs);
    // The bad file still stops what played before it.
    QCOMPARE(Mix_Playing(-1), 0);
    QVERIFY(playMs(out, bad, true) < kAtOnceMs);
    // And the output goes on playing good files.
    const qint64 ms = playMs(out, path("tick.wav"), true);
    QVERIFY2(ms >= 50 && ms < 50 + kLateMs, qPrintable(QString("returned after %1 ms").arg(ms)));
}

void SdlSoundOutputTest::fileIsReadAgainAtEveryPlay() {
    const QString changing = path("changing.wav");
    QVERIFY(testwav::writeSine(changing, 660, 0.1));
    SdlSoundOutput out;
    qint64 ms = playMs(out, changing, true);
    QVERIFY2(ms >= 100 && ms < 100 + kLateMs, qPrintable(QString("first: %1 ms").arg(ms)));

    QVERIFY(testwav::writeSine(changing, 660, 0.4));
    ms = playMs(out, changing, true);
    QVERIFY2(ms >= 400 && ms < 400 + kLateMs, qPrintable(QString("longer: %1 ms").arg(ms)));

    QVERIFY(QFile::remove(changing));
    QVERIFY(playMs(out, changing, true) < kAtOnceMs);
}

void SdlSoundOutputTest::shutdownStopsTheSoundAndClosesTheDevice() {
    SdlSoundOutput out;
    out.play(path("long.wav").toStdString(), false);
    out.shutdown();
    int rate = 0;
    int channels = 0;
    Uint16 format = 0;
    QCOMPARE(Mix_QuerySpec(&rate, &format, &channels), 0);
    // Leaving the scope shuts down a second time, which must be harmless.
}

QTEST_GUILESS_MAIN(SdlSoundOutputTest)
#include "tst_sdl_sound_output.moc"
