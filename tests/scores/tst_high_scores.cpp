#include "support/GameFixture.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using Button = platform::MessageBox::Button;

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
    void clearScores_data();
    void clearScores();
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

void HighScoresTest::clearScores_data() {
    QTest::addColumn<QList<Button>>("answer"); // none: Enter, which takes the default button
    QTest::newRow("Yes") << QList<Button>{Button::Yes};
    QTest::newRow("No") << QList<Button>{Button::No};
    QTest::newRow("Enter") << QList<Button>{};
}

// Asked first; cleared after three sirens, on screen at once and in the file at closing,
// so that the next start shows the empty rows.
void HighScoresTest::clearScores() {
    QFETCH(QList<Button>, answer);
    const bool no = answer == QList{Button::No};
    const QByteArray stored = "[general]\nhighscore1=920\nhighscore2=810\nhighscore3=650\n"
                              "highdate1=03-05-2027\nhighdate2=12-31-2026\nhighdate3=02-29-2028\n";
    testing::GameFixture game;
    game.restart(stored);
    QCOMPARE(game.transcript().section(", bdrum&", 0, 0),
             "best1=920, best2=810, best3=650, date1=03-05-2027, date2=12-31-2026, date3=02-29-2028");
    game.platform.messageBox.answers = {answer.begin(), answer.end()};
    QCOMPARE(game.click(game.window().cmdClear),
             "focus=cmdClear, box Clear High Score History|-|YesNo|Yes: Are you sure you want to clear "
             "the high score history ? -> " + QString(no ? "No" : "Yes, police, police, police, best1=, "
             "best2=, best3=, date1=, date2=, date3="));
    game.window().close();
    QCOMPARE(game.transcript(), no ? "end" : "file=[general]\\nhighscore1=\\nhighscore2=\\nhighscore3=\\n"
                                             "highdate1=\\nhighdate2=\\nhighdate3=\\n, end");
    game.restart();
    QCOMPARE(game.transcript().startsWith("bdrum&"), !no);
}

QTEST_MAIN(HighScoresTest)
#include "tst_high_scores.moc"
