#include "support/GameFixture.h"

#include <QtTest>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kMegabyte(1 << 20, 'x');
// Everything a person or another program may leave in the file, and what the rows show.
const QByteArray kHostile =
    "; kept by hand\r\n# comment \xff\n\ntop=no section\n[other]\n"
    "highscore1=not ours\na/b=slash\n[General] ; the game's\r\n"
    "HighScore1 = 1, 2\r\nhighscore1=second\nhighscore2=  spaced  \n"
    "highscore3=" +
    kMegabyte + "\nhighdate1=\xff\xfe!\n" + QByteArrayLiteral("highdate2=a\0b") +
    "\nHIGHDATE3=J\xc3\xa4nner\nunknown=kept\n\xc0\x80\n[more]\nhighdate1=x";
const QString kHostileShown = "best1= 1, 2, best2=  spaced  , best3=" + kMegabyte +
                              QStringView(u", date1=\xdcff\xdcfe!, date2=a").toString() + QChar(0) +
                              "b, date3=J\u00e4nner, bdrum&";

} // namespace

class HighScoresTest : public QObject {
    Q_OBJECT
  private slots:
    void fileComesBackByteForByte_data();
    void fileComesBackByteForByte();
};

void HighScoresTest::fileComesBackByteForByte_data() {
    QTest::addColumn<bool>("newBest"); // a new best score in row 2 before closing
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("hostile") << false << kHostile;
    QByteArray newBest = kHostile;
    newBest.replace("highscore2=  spaced  ", "highscore2=990");
    newBest.replace(QByteArrayLiteral("highdate2=a\0b"), "highdate2=12-05-2026");
    QTest::newRow("hostile, new best") << true << newBest;
}

void HighScoresTest::fileComesBackByteForByte() {
    QFETCH(bool, newBest);
    QFETCH(QByteArray, written);
    testing::GameFixture game;
    game.restart(kHostile);
    QCOMPARE(game.transcript().section(", focus", 0, 0), kHostileShown);
    if (newBest) {
        game.window().lblHighScore[1]->setCaption("990");
        game.window().lblHighDate[1]->setCaption("12-05-2026");
    }
    QCOMPARE(readFile(game.settingsFile()), kHostile); // the file changes only at closing
    game.window().close();
    QCOMPARE(readFile(game.settingsFile()), written);
}

QTEST_MAIN(HighScoresTest)
#include "tst_high_scores.moc"
