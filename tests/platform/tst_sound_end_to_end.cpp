// Real sound, end to end: the SDL2_mixer output plays into a private PulseAudio
// server whose only sink is a null sink, and the sink's monitor is recorded.
// The tones are then found again in the recording by their frequency, which
// shows what a listener would hear: order, length and cut-offs.
//
// Where no PulseAudio server can be started the program says why and exits
// with code 77, which CTest reports as skipped.

#include "WavFile.h"
#include "platform/SdlSoundOutput.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <numbers>
#include <vector>

using platform::SdlSoundOutput;

namespace {

constexpr int kRecordRate = 8000;
constexpr int kWindow = kRecordRate / 50; // 20 ms
constexpr double kWindowMs = 20.0;
// Every tone of the test; a window is labelled with the one that carries most of its energy.
constexpr double kTones[] = {440, 660, 880};
// A segment's length may be off by the windows at its two edges.
constexpr double kLengthSlackMs = 2 * kWindowMs + 10;

// Power of one frequency in a block of samples (Goertzel).
double powerAt(const qint16* x, int n, double hz) {
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hz / kRecordRate);
    double s1 = 0;
    double s2 = 0;
    for (int i = 0; i < n; ++i) {
        const double s = x[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

struct Segment {
    double hz; // 0 for silence, -1 for anything that is not one of the tones
    double ms;
};

// The recording as runs of 20 ms windows with the same label.
std::vector<Segment> segmentsOf(const QByteArray& raw) {
    const auto* x = reinterpret_cast<const qint16*>(raw.constData());
    const int windows = int(raw.size() / 2 / kWindow);
    std::vector<Segment> out;
    for (int w = 0; w < windows; ++w) {
        const qint16* block = x + w * kWindow;
        double energy = 0;
        for (int i = 0; i < kWindow; ++i)
            energy += double(block[i]) * block[i];
        double hz = 0;
        if (std::sqrt(energy / kWindow) > 300) {
            hz = -1;
            for (double tone : kTones) {
                // A pure tone puts about N/2 of the window's energy into its bin.
                if (powerAt(block, kWindow, tone) > 0.6 * energy * kWindow / 2)
                    hz = tone;
            }
        }
        if (!out.empty() && out.back().hz == hz)
            out.back().ms += kWindowMs;
        else
            out.push_back({hz, kWindowMs});
    }
    return out;
}

QString describe(const std::vector<Segment>& segments) {
    QStringList parts;
    for (const Segment& s : segments) {
        const QString what = s.hz == 0  ? "silence"
                             : s.hz < 0 ? "other"
                                        : QString::number(s.hz) + " Hz";
        parts << QString("%1 %2 ms").arg(what).arg(s.ms);
    }
    return parts.join(", ");
}

// The tone segments in order. A tone broken by at most two windows of anything
// else (a late buffer on a busy machine) counts as one segment spanning the gap.
std::vector<Segment> tonesOf(const std::vector<Segment>& segments) {
    std::vector<Segment> tones;
    double gapMs = 0;
    for (const Segment& s : segments) {
        if (s.hz > 0 && !tones.empty() && tones.back().hz == s.hz && gapMs <= 2 * kWindowMs) {
            tones.back().ms += gapMs + s.ms;
            gapMs = 0;
        } else if (s.hz > 0 && s.ms > kWindowMs) {
            tones.push_back(s);
            gapMs = 0;
        } else {
            gapMs += s.ms;
        }
    }
    return tones;
}

} // namespace

class SoundEndToEndTest : public QObject {
    Q_OBJECT

  public:
    bool skipped = false;

  private:
    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_server;
    QString m_serverLog;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QStringList serverArgs() const;
    bool startServer();
    void stopServer();
    QByteArray pactl(const QStringList& args);
    bool serverAnswers();

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void soundsComeOutInOrderAtFullLengthAndCutEachOther();
};

QStringList SoundEndToEndTest::serverArgs() const {
    return {"-n", "--daemonize=no",
            // Ends the server by itself should this program die without stopping it.
            "--exit-idle-time=20", "--use-pid-file=no", "--log-target=stderr",
            "--load=module-null-sink sink_name=nullsink rate=44100 channels=2",
            "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket};
}

bool SoundEndToEndTest::startServer() {
    const QString program = QStandardPaths::findExecutable("pulseaudio");
    if (program.isEmpty()) {
        m_serverLog = "pulseaudio is not installed";
        return false;
    }
    QDir().mkpath(path("runtime"));
    QDir().mkpath(path("home"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", path("runtime"));
    env.insert("HOME", path("home"));
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(program, serverArgs());
    if (!m_server.waitForStarted(5000)) {
        m_serverLog = m_server.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000 && m_server.state() == QProcess::Running) {
        if (QFile::exists(m_socket) && serverAnswers())
            return true;
        m_server.waitForFinished(100);
    }
    m_serverLog = QString::fromLocal8Bit(m_server.readAll());
    stopServer();
    return false;
}

void SoundEndToEndTest::stopServer() {
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(3000);
    }
}

QByteArray SoundEndToEndTest::pactl(const QStringList& args) {
    QProcess p;
    p.start("pactl", QStringList{"--server=unix:" + m_socket} + args);
    p.waitForFinished(5000);
    return p.readAllStandardOutput();
}

bool SoundEndToEndTest::serverAnswers() {
    QProcess p;
    p.start("pactl", {"--server=unix:" + m_socket, "info"});
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void SoundEndToEndTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_socket = path("native");
    QString why;
    if (QStandardPaths::findExecutable("parec").isEmpty() ||
        QStandardPaths::findExecutable("pactl").isEmpty())
        why = "parec and pactl (pulseaudio-utils) are not installed";
    else if (!startServer())
        why = "no PulseAudio server could be started: " + m_serverLog.trimmed().left(600);
    if (!why.isEmpty()) {
        skipped = true;
        QSKIP(qPrintable(why));
    }
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", ("unix:" + m_socket).toLocal8Bit());

    QVERIFY(testwav::writeFile(path("quiet.wav"), testwav::wavBytes(testwav::silence(0.1))));
    QVERIFY(testwav::writeSine(path("a440.wav"), 440, 0.6));
    QVERIFY(testwav::writeSine(path("b880.wav"), 880, 0.4));
    QVERIFY(testwav::writeSine(path("c660.wav"), 660, 0.6));
}

void SoundEndToEndTest::cleanupTestCase() {
    stopServer();
}

void SoundEndToEndTest::soundsComeOutInOrderAtFullLengthAndCutEachOther() {
    QProcess recorder;
    recorder.setStandardOutputFile(path("recording.raw"));
    recorder.start("parec", {"--server=unix:" + m_socket, "--device=nullsink.monitor", "--raw",
                             "--format=s16le", "--rate=" + QString::number(kRecordRate),
                             "--channels=1", "--latency-msec=20"});
    QVERIFY(recorder.waitForStarted(5000));

    SdlSoundOutput out;
    // Opens the device. For about two seconds after a stream connects, the null
    // sink's monitor does not keep real time (it loses audio), so the tones
    // start only after three.
    out.play(path("quiet.wav").toStdString(), false);
    QVERIFY2(out.deviceAvailable(), "the PulseAudio server refused the sound output");
    QTest::qSleep(3000);

    const QByteArray inputs = pactl({"list", "sink-inputs"});
    QVERIFY2(inputs.contains("application.name = \"Duvella\""), inputs.constData());

    // Two waiting plays in a row.
    out.play(path("a440.wav").toStdString(), true);
    out.play(path("b880.wav").toStdString(), true);
    QTest::qSleep(400);
    // A sound started without waiting, cut 200 ms later by a waiting one.
    out.play(path("c660.wav").toStdString(), false);
    QTest::qSleep(200);
    out.play(path("b880.wav").toStdString(), true);
    QTest::qSleep(400);
    out.shutdown();

    recorder.terminate();
    QVERIFY(recorder.waitForFinished(5000));
    QFile file(path("recording.raw"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::vector<Segment> segments = segmentsOf(file.readAll());
    const std::vector<Segment> tones = tonesOf(segments);
    const QByteArray heard = describe(segments).toLocal8Bit();
    qInfo("heard: %s", heard.constData());

    QCOMPARE(tones.size(), std::size_t(4));
    const double expectedHz[] = {440, 880, 660, 880};
    const double expectedMs[] = {600, 400, 200, 400};
    for (std::size_t i = 0; i < 4; ++i) {
        QVERIFY2(tones[i].hz == expectedHz[i], heard.constData());
        QVERIFY2(std::abs(tones[i].ms - expectedMs[i]) <= kLengthSlackMs, heard.constData());
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SoundEndToEndTest test;
    const int result = QTest::qExec(&test, argc, argv);
    return result == 0 && test.skipped ? 77 : result;
}

#include "tst_sound_end_to_end.moc"
