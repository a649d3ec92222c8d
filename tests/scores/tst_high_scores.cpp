#include "support/GameFixture.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

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

const QStringList kDefaults{"0", "0", "0", "Never", "Never", "Never"};
const QByteArray kMegabyte(1 << 20, 'x');
// Everything a person or another program may leave in the file.
const QByteArray kHostile =
    "; kept by hand\r\n# comment \xff\n\ntop=no section\n[other]\n"
    "highscore1=not ours\na/b=slash\n[General] ; the game's\r\n"
    "HighScore1 = 1, 2\r\nhighscore1=second\nhighscore2=  spaced  \n"
    "highscore3=" +
    kMegabyte + "\nhighdate1=\xff\xfe!\n" + QByteArrayLiteral("highdate2=a\0b") +
    "\nHIGHDATE3=J\xc3\xa4nner\nunknown=kept\n\xc0\x80\n[more]\nhighdate1=x";
const QStringList kHostileShown = QStringList() << " 1, 2"
                                                << "  spaced  " << QString::fromLatin1(kMegabyte)
                                                << QStringView(u"\xdcff\xdcfe!").toString()
                                                << QString::fromUtf8("a\0b", 3) << "J\u00e4nner";
} // namespace

class HighScoresTest : public QObject {
    Q_OBJECT
  private slots:
    void fileComesBackByteForByte_data();
    void fileComesBackByteForByte();
};

void HighScoresTest::fileComesBackByteForByte_data() {
    QTest::addColumn<QByteArray>("file"); // no file when null
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("newBest"); // a new best score in row 2 before closing
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("first run") << QByteArray() << kDefaults << false << false
                               << QByteArray("[general]\nhighscore1=0\nhighscore2=0\nhighscore3=0\n"
                                             "highdate1=Never\nhighdate2=Never\nhighdate3=Never\n");
    QTest::newRow("hostile") << kHostile << kHostileShown << false << false << kHostile;
    QByteArray newBest = kHostile;
    newBest.replace("highscore2=  spaced  ", "highscore2=990");
    newBest.replace(QByteArrayLiteral("highdate2=a\0b"), "highdate2=12-05-2026");
    QTest::newRow("hostile, new best") << kHostile << kHostileShown << true << false << newBest;
    // The new file never takes the old one's place half written.
    QTest::newRow("new best, disk full") << kHostile << kHostileShown << true << true << kHostile;
}

void HighScoresTest::fileComesBackByteForByte() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(bool, newBest);
    QFETCH(bool, diskFull);
    QFETCH(QByteArray, written);
    testing::GameFixture game;
    if (!file.isNull())
        game.restart(file);
    QCOMPARE(table(game.window()), shown);
    if (newBest) {
        game.window().lblHighScore[1]->setCaption("990");
        game.window().lblHighDate[1]->setCaption("12-05-2026");
    }
    QCOMPARE(readFile(game.settingsFile()), file); // the file changes only at closing
    // A full disk, whoever runs the test: no file may grow beyond 64 KB for a moment.
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{diskFull ? 64 * 1024 : limit.rlim_cur, limit.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &full), 0);
    if (diskFull)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot save .*/Duvella 6.2.ini"));
    game.window().close();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(readFile(game.settingsFile()), written);
}

QTEST_MAIN(HighScoresTest)
#include "tst_high_scores.moc"
