// The real SDL2_mixer output where no audio device can be opened. A program of
// its own, because SDL's audio state is process-wide: here no play may ever
// have opened a device.

#include "WavFile.h"
#include "platform/SdlSoundOutput.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using platform::SdlSoundOutput;

namespace {

// Sends everything written to file descriptor 2 into a file for as long as it
// lives, whoever writes it (ALSA and libpulse write there directly).
class StderrCapture {
  public:
    explicit StderrCapture(const QString& file) : m_file(file) {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int fd = ::open(file.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    ~StderrCapture() { restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QByteArray text() {
        restore();
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no capture)");
    }

  private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    QString m_file;
    int m_saved = -1;
};

} // namespace

class SdlSoundNoDeviceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void initTestCase();
    void playsReturnAtOnceAndSilently_data();
    void playsReturnAtOnceAndSilently();
};

void SdlSoundNoDeviceTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(testwav::writeSine(m_dir.filePath("tone.wav"), 440, 0.5));
    // An ALSA set-up whose default device names a card that does not exist; ALSA
    // complains about it on stderr, whatever cards the machine has.
    QVERIFY(testwav::writeFile(m_dir.filePath("asound.conf"),
                               "pcm.!default { type hw card nonesuch }\n"));
}

void SdlSoundNoDeviceTest::playsReturnAtOnceAndSilently_data() {
    QTest::addColumn<QByteArray>("driver");
    QTest::newRow("unknown driver") << QByteArray("nonexistent");
    QTest::newRow("sound server not running") << QByteArray("pulseaudio");
    QTest::newRow("ALSA without the card") << QByteArray("alsa");
}

void SdlSoundNoDeviceTest::playsReturnAtOnceAndSilently() {
    QFETCH(QByteArray, driver);
    ::setenv("SDL_AUDIODRIVER", driver.constData(), 1);
    ::setenv("PULSE_SERVER", qPrintable("unix:" + m_dir.filePath("no-such-socket")), 1);
    ::setenv("ALSA_CONFIG_PATH", qPrintable(m_dir.filePath("asound.conf")), 1);

    const std::string tone = m_dir.filePath("tone.wav").toStdString();
    SdlSoundOutput out;
    qint64 longest = 0;
    QByteArray noise;
    {
        StderrCapture capture(m_dir.filePath("stderr.txt"));
        // The first play tries the device, the later ones know it is missing.
        for (bool wait : {true, false, true}) {
            QElapsedTimer timer;
            timer.start();
            out.play(tone, wait);
            longest = std::max(longest, timer.elapsed());
        }
        noise = capture.text();
    }
    QVERIFY2(longest < 150, qPrintable(QString("a play took %1 ms").arg(longest)));
    QVERIFY2(noise.isEmpty(), noise.constData());
    QVERIFY(!out.deviceAvailable());

    // The failure is remembered: later plays do not try again, even where a
    // device would now open.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    out.play(tone, false);
    int rate = 0;
    int channels = 0;
    Uint16 format = 0;
    QCOMPARE(Mix_QuerySpec(&rate, &format, &channels), 0);
    QVERIFY(!out.deviceAvailable());
}

QTEST_GUILESS_MAIN(SdlSoundNoDeviceTest)
#include "tst_sdl_sound_no_device.moc"
