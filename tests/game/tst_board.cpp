#include "Game.h"
#include "game/cDefault.h"
#include "game/modMain.h"

#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Deals the board anew in a child process whose clock reads `ticks`; its tag texts.
QByteArray dealWithClockAt(Game& game, std::uint64_t ticks) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        game.platform.clock.tickCount = ticks;
        AssignImages();
        const QByteArray tags = testing::boardTags(game.window()).join(',').toLatin1();
        std::_Exit(::write(fds[1], tags.data(), tags.size()) == tags.size() ? 0 : 1);
    }
    ::close(fds[1]);
    QFile pipe;
    pipe.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray tags = pipe.readAll();
    ::waitpid(child, nullptr, 0);
    return tags;
}

} // namespace

class BoardTest : public QObject {
    Q_OBJECT
  private slots:
    void levelStart_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("side");
        QTest::addColumn<QStringList>("levelSounds");
        QTest::newRow("level 1") << 0 << 4 << QStringList{"proceed.wav"};
        QTest::newRow("level 2") << 1 << 6 << QStringList{"cow.wav", "proceed.wav"};
        QTest::newRow("level 3") << 2 << 8 << QStringList{"carhorn.wav", "proceed.wav"};
    }
    void levelStart() {
        QFETCH(int, index);
        QFETCH(int, side);
        QFETCH(QStringList, levelSounds);
        Game game;
        frmMain& w = game.window();
        game.startLevel((index + 1) % 3);
        game.reveal(game.pairs()[0].first);
        objGame->intFirstBlockImage = 17;
        w.lblCurrentScore->setCaption("350");

        // Each row is on screen before its pop; the score is the old one until the deal.
        // Clicks made during the build are ignored.
        std::vector<int> shownAtPop;
        game.platform.sound.clear();
        game.platform.sound.onPlay = [&](const testing::RecordingSoundOutput::Play& play) {
            if (play.name != "pop.wav" || w.lblCurrentScore->caption() != "350")
                return;
            shownAtPop.push_back(int(std::count_if(w.imgMain.begin(), w.imgMain.end(),
                                                   [](QWidget* b) { return b->isVisible(); })));
            testing::postClick(w.lblLevel[(index + 1) % 3]);
            testing::postClick(game.block(0));
        };
        testing::click(w.lblLevel[index]);
        QCoreApplication::processEvents();

        QStringList sounds(side, "pop.wav");
        QCOMPARE(game.platform.sound.names(), sounds + levelSounds);
        for (const auto& play : game.platform.sound.plays)
            QCOMPARE(play.waited, play.name == "pop.wav");
        QCOMPARE(int(shownAtPop.size()), side);
        for (int row = 0; row < side; ++row)
            QCOMPARE(shownAtPop[row], (row + 1) * side);
        QVERIFY(game.platform.messageBox.shown.empty());
        QCOMPARE(int(w.imgMain.size()), side * side);
        for (int i = 0; i < side * side; ++i) {
            // 120 twips from the corner, then a pitch of 800 twips.
            const QRect place(qRound((120 + 800 * (i % side)) / 15.0),
                              qRound((120 + 800 * (i / side)) / 15.0), 48, 48);
            QCOMPARE(game.block(i)->geometry(), place);
            QVERIFY(game.block(i)->isVisible() && game.covered(i));
        }
        QCOMPARE(game.score(), "1000");
        QCOMPARE(w.lblCurrentLevel->caption(), QString("Level %1").arg(index + 1));
        QCOMPARE(objGame->intTurn, 0);
        QCOMPARE(objGame->intFirstBlockImage, 17);
    }

    void deal_data() {
        QTest::addColumn<int>("side");
        QTest::newRow("4x4") << 4;
        QTest::newRow("6x6") << 6;
        QTest::newRow("8x8") << 8;
    }
    // Every number 1..79 lies on exactly two blocks; the second block of a pair is
    // searched from a random start, so pairs seldom lie side by side.
    void deal() {
        QFETCH(int, side);
        Game game;
        game.startLevel(side / 2 - 2);
        int pairs = 0, sideBySide = 0;
        for (int deal = 0; deal < 20; ++deal) {
            for (shell::ImageBox* block : game.window().imgMain)
                block->setTag("99");
            AssignImages();
            std::map<QString, std::vector<int>> blocks;
            for (int i = 0; i < side * side; ++i)
                blocks[game.block(i)->tag()].push_back(i);
            QCOMPARE(int(blocks.size()), side * side / 2);
            for (const auto& [tag, at] : blocks) {
                const int number = tag.toInt();
                QVERIFY2(number >= 1 && number <= 79 && tag == QString::number(number), qPrintable(tag));
                QCOMPARE(at.size(), 2u);
                sideBySide += at[1] == at[0] + 1;
            }
            pairs += int(blocks.size());
        }
        QVERIFY2(sideBySide * 2 < pairs, qPrintable(QString("%1 of %2").arg(sideBySide).arg(pairs)));
        QVERIFY(game.platform.messageBox.shown.empty());
    }

    void dealFollowsTheClock() {
        Game game;
        game.startLevel(2);
        const QByteArray first = dealWithClockAt(game, 1);
        QCOMPARE(first.count(',') + 1, 64);
        QVERIFY(first != dealWithClockAt(game, 2));
    }
};

QTEST_MAIN(BoardTest)
#include "tst_board.moc"
