// The sound files beside the program, as the build installs them: every name
// the game plays is there with that exact spelling and is a playable, audible
// 16-bit PCM WAV whose length suits the way the game uses it.

#include "platform/WavFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest>

#include <cstdlib>

namespace {

const char* const kSounds[] = {
    "bdrum.wav",  "Thankyou.wav", "ugh.wav",    "Horse.wav",  "ow.wav",        "bird.wav",
    "coyote.wav", "police.wav",   "pop.wav",    "cow.wav",    "carhorn.wav",   "proceed.wav",
    "zhoop.wav",  "denied.wav",   "ooo.wav",    "boing3.wav", "crybaby.wav",   "whine.wav",
    "bleep.wav",  "weird.wav",    "donkey.wav", "over.wav",   "excellent.wav", "win.wav"};

QString soundPath(const QString& name) {
    return QCoreApplication::applicationDirPath() + "/" + name;
}

} // namespace

class SoundFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void everySoundIsAPlayableAudibleWav_data();
    void everySoundIsAPlayableAudibleWav();
    void shortSoundsStayShort_data();
    void shortSoundsStayShort();
    void mismatchGroupsLastAboutTwoSeconds_data();
    void mismatchGroupsLastAboutTwoSeconds();
};

void SoundFilesTest::everySoundIsAPlayableAudibleWav_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : kSounds)
        QTest::newRow(name) << QString(name);
}

void SoundFilesTest::everySoundIsAPlayableAudibleWav() {
    QFETCH(QString, name);
    // The listing, not a lookup, so that a wrongly cased name fails on any file system.
    const QStringList present = QDir(QCoreApplication::applicationDirPath()).entryList(QDir::Files);
    QVERIFY2(present.contains(name, Qt::CaseSensitive), qPrintable(name + " is missing"));

    const std::optional<testwav::Wav> wav = testwav::readWav(soundPath(name));
    QVERIFY2(wav.has_value(), "not a RIFF/WAVE file with fmt and data chunks");
    QCOMPARE(wav->formatTag, 1);
    QCOMPARE(wav->bits, 16);
    QVERIFY(wav->channels == 1 || wav->channels == 2);
    QVERIFY(wav->rate == 22050 || wav->rate == 44100);
    QVERIFY2(wav->seconds() >= 0.05, qPrintable(QString("%1 s").arg(wav->seconds())));

    int peak = 0;
    for (std::int16_t s : wav->samples)
        peak = std::max(peak, std::abs(int(s)));
    // At least -20 dBFS: clearly audible, not a placeholder of silence.
    QVERIFY2(peak >= 3277, qPrintable(QString("peak %1").arg(peak)));
}

void SoundFilesTest::shortSoundsStayShort_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("longest");
    // pop paces the board build once per row; bleep is the complaint played 12 times.
    QTest::newRow("pop") << "pop.wav" << 0.25;
    QTest::newRow("bleep") << "bleep.wav" << 0.15;
}

void SoundFilesTest::shortSoundsStayShort() {
    QFETCH(QString, name);
    QFETCH(double, longest);
    const std::optional<testwav::Wav> wav = testwav::readWav(soundPath(name));
    QVERIFY(wav.has_value());
    QVERIFY2(wav->seconds() <= longest, qPrintable(QString("%1 s").arg(wav->seconds())));
}

void SoundFilesTest::mismatchGroupsLastAboutTwoSeconds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("times");
    // The complaint played back to back while a mismatched pair stays in view.
    QTest::newRow("boing3 x3") << "boing3.wav" << 3;
    QTest::newRow("crybaby x1") << "crybaby.wav" << 1;
    QTest::newRow("whine x1") << "whine.wav" << 1;
    QTest::newRow("cow x2") << "cow.wav" << 2;
    QTest::newRow("bleep x12") << "bleep.wav" << 12;
    QTest::newRow("weird x3") << "weird.wav" << 3;
    QTest::newRow("donkey x1") << "donkey.wav" << 1;
    QTest::newRow("ow x4") << "ow.wav" << 4;
}

void SoundFilesTest::mismatchGroupsLastAboutTwoSeconds() {
    QFETCH(QString, name);
    QFETCH(int, times);
    const std::optional<testwav::Wav> wav = testwav::readWav(soundPath(name));
    QVERIFY(wav.has_value());
    const double seconds = wav->seconds() * times;
    QVERIFY2(seconds <= 2.05, qPrintable(QString("%1 s").arg(seconds)));
}

QTEST_GUILESS_MAIN(SoundFilesTest)
#include "tst_sound_files.moc"
