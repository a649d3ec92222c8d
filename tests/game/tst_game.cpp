#include "game/Numbers.h"
#include "game/cDefault.h"
#include "game/modMain.h"
#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QTemporaryFile>
#include <QtTest>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using testing::Plays;

namespace {

const testing::RecordingSoundOutput::Play kZhoop{"zhoop.wav", false}, kOoo{"ooo.wav", false},
    kOver{"over.wav", true}, kDenied{"denied.wav", true};

// The sounds of a reveal that leaves the score at `score`: at 0 or below, "over.wav" ends them.
Plays withOver(Plays plays, int score) {
    if (score <= 0)
        plays.push_back(kOver);
    return plays;
}

int barFor(int score) {
    return qRound(2 * std::max(score, 0) / 15.0);
}

// The game is consistent: board and level agree, pairs stay whole, no turn is left
// half resolved, and the score counts the second reveals since the level start.
void check(testing::GameFixture& game, int score) {
    const int side = 2 + 2 * levelFromCaption(game.window().lblCurrentLevel->caption());
    const auto pairs = game.pairs();
    QCOMPARE(int(pairs.size()) * 2, side * side);
    // Each number lies on two blocks, which leave the board together or not at all.
    for (const auto& [a, b] : pairs) {
        QVERIFY(a != b && game.block(a)->tag().toInt() >= 1 && game.block(a)->tag().toInt() <= 79);
        QCOMPARE(game.block(a)->isVisible(), game.block(b)->isVisible());
    }
    // No turn is left half resolved, and only its first block is in view.
    for (int i = 0; i < side * side; ++i)
        QCOMPARE(game.block(i)->isVisible() && !game.covered(i),
                 objGame->intTurn == 1 && i == objGame->intFirstBlockIndex);
    QCOMPARE(game.score(), QString::number(score));
    QCOMPARE(game.window().Shape1->height(), barFor(score));
}

} // namespace

class GameTest : public QObject {
    Q_OBJECT
  private slots:
    void perfectGame_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("best");
        QTest::addColumn<QString>("final");
        QTest::addColumn<bool>("win");
        QTest::newRow("level 1") << 0 << QString("500") << QString("920") << true;
        QTest::newRow("level 2") << 1 << QString("500") << QString("820") << true;
        QTest::newRow("level 3") << 2 << QString("500") << QString("680") << true;
        QTest::newRow("best equalled") << 0 << QString("920") << QString("920") << false;
        QTest::newRow("best  950 points") << 0 << QString(" 950 points") << QString("920") << false;
        QTest::newRow("best not a number") << 0 << QString("abc") << QString("920") << true;
    }
    // A level started in the middle of a turn of another game, then played without a miss.
    void perfectGame() {
        QFETCH(int, level);
        QFETCH(QString, best);
        QFETCH(QString, final);
        QFETCH(bool, win);
        const int side = 4 + 2 * level;
        testing::GameFixture game;
        frmMain& w = game.window();
        for (int row = 0; row < 3; ++row) {
            w.lblHighScore[row]->setCaption(best);
            w.lblHighDate[row]->setCaption("01-01-2020");
        }
        game.startLevel((level + 1) % 3);
        game.reveal(0);
        w.lblCurrentScore->setCaption("350");
        // The old score stays until the deal, and clicks made during the build are ignored.
        QStringList sounds;
        game.platform.sound.onPlay = [&](auto& play) {
            sounds << play.name + (play.waited ? " waited" : "");
            if (w.lblCurrentScore->caption() == "350") {
                testing::click(w.lblLevel[(level + 1) % 3], testing::Delivery::Queued);
                testing::click(game.block(0), testing::Delivery::Queued);
            }
        };
        testing::click(w.lblLevel[level]);
        QCoreApplication::processEvents();
        game.platform.sound.onPlay = nullptr;
        const QStringList levelSounds{QStringList{"", "cow.wav", "carhorn.wav"}[level],
                                      "proceed.wav"};
        QCOMPARE(sounds, QStringList(side, "pop.wav waited") + levelSounds.filter(".wav"));
        QCOMPARE(int(w.imgMain.size()), side * side);
        for (int i = 0; i < side * side; ++i) { // 120 twips from the corner, then a pitch of 800
            QCOMPARE(game.block(i)->geometry(),
                     QRect(qRound((120 + 800 * (i % side)) / 15.0),
                           qRound((120 + 800 * (i / side)) / 15.0), 48, 48));
            QVERIFY(game.block(i)->isVisible() && game.covered(i));
        }
        QCOMPARE(w.lblCurrentLevel->caption(), QString("Level %1").arg(level + 1));
        QCOMPARE(game.score(), "1000");

        const auto pairs = game.pairs();
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const auto [a, b] = pairs[k];
            QCOMPARE(game.reveal(a), Plays{kZhoop});
            // The library picture of the block's number, one of 32 x 32 pixels.
            QCOMPARE(game.block(a)->picture(),
                     pictures::frmImg.imgMain(game.block(a)->tag().toInt()));
            QCOMPARE(game.block(a)->picture()->size(), QSize(32, 32));
            Plays sounds{kZhoop, kOoo, {"excellent.wav", true}, {"win.wav", true}};
            sounds.resize(k + 1 < pairs.size() ? 2 : win ? 4 : 3);
            QCOMPARE(game.reveal(b), sounds);
            QCOMPARE(game.score(), QString::number(990 - 10 * int(k)));
            QCOMPARE(w.Shape1->height(), barFor(990 - 10 * int(k)));
            QVERIFY(!game.block(a)->isVisible() && !game.block(b)->isVisible());
        }
        QCOMPARE(game.score(), final);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(w.lblHighScore[row]->caption(), row == level && win ? final : best);
            QCOMPARE(w.lblHighDate[row]->caption(),
                     row == level && win ? "12-05-2026" : "01-01-2020");
        }
        // The next game starts afresh.
        game.startLevel(level);
        QCOMPARE(game.reveal(game.pairs()[0].first), Plays{kZhoop});
        QCOMPARE(game.reveal(game.pairs()[0].second), (Plays{kZhoop, kOoo}));
    }

    // Refused clicks, mismatches and matches, down to a score below zero.
    void refusalsMismatchesAndScoresBelowZero() {
        const std::map<QString, std::size_t> complaints{
            {"boing3.wav", 3}, {"crybaby.wav", 1}, {"whine.wav", 1},  {"cow.wav", 2},
            {"bleep.wav", 12}, {"weird.wav", 3},   {"donkey.wav", 1}, {"ow.wav", 4}};
        testing::GameFixture game;
        game.startLevel(0);
        game.window().lblCurrentScore->setCaption("50");
        const auto p = game.pairs();
        for (int k = 0, score = 50; k < 7; ++k) {
            const auto [a, b] = p[k];
            const int c = p[k + 1].first;
            QCOMPARE(game.reveal(a), withOver({kZhoop}, score));
            QCOMPARE(game.reveal(a), (Plays{kZhoop, kDenied}));
            // Both pictures of a mismatch stay in view for the whole complaint.
            bool inView = true;
            game.platform.sound.onPlay = [&](auto& play) {
                inView = inView && (!complaints.contains(play.name) ||
                                    (!game.covered(a) && !game.covered(c)));
            };
            const Plays plays = game.reveal(c);
            game.platform.sound.onPlay = nullptr;
            const QString complaint = plays.at(1).name;
            score -= 10;
            Plays expected(complaints.at(complaint) + 1, {complaint, true});
            expected[0] = kZhoop;
            QCOMPARE(plays, withOver(expected, score));
            QVERIFY(inView && game.covered(a) && game.covered(c));
            game.reveal(a);
            score -= 10;
            QCOMPARE(game.reveal(b), withOver({kZhoop, kOoo}, score));
            QCOMPARE(game.score(), QString::number(score));
            QCOMPARE(game.window().Shape1->height(), barFor(score)); // down to 0, and no lower
        }
    }

    // Clicks that arrive through the window system during a reveal's pause run
    // inside it, and the click that ends its pause first is counted first.
    void clicksInsideThePause() {
        testing::GameFixture game;
        frmMain& w = game.window();
        game.startLevel(0);
        const auto p = game.pairs();
        auto nested = [&](int outer, QWidget* inner) {
            game.platform.sound.clear();
            game.clickWhile(game.block(outer),
                            [inner] { testing::click(inner, testing::Delivery::Queued); });
        };
        // B during A's pause: B becomes the first block of the turn, A the second.
        nested(p[0].first, game.block(p[0].second));
        QCOMPARE(game.platform.sound.plays, (Plays{kZhoop, kZhoop, kOoo}));
        QCOMPARE(objGame->intFirstBlockIndex, p[0].second);
        // With F shown, F's partner clicked during A's pause pairs with F; A opens the next turn.
        game.reveal(p[1].first);
        nested(p[2].first, game.block(p[1].second));
        QVERIFY(!game.block(p[1].second)->isVisible() && !game.covered(p[2].first));
        QCOMPARE(objGame->intTurn, 1);
        QCOMPARE(objGame->intFirstBlockIndex, p[2].first);
        game.reveal(p[2].second);
        // The block being revealed, clicked again during its own pause, is refused.
        nested(p[3].first, game.block(p[3].first));
        QCOMPARE(game.platform.sound.plays, (Plays{kZhoop, kZhoop, kDenied}));
        // A level click during a pause is ignored; once the click has ended, it is taken.
        nested(p[3].second, w.lblLevel[2]);
        QCOMPARE(game.score(), "960"); // the pair was resolved, in the same game
        testing::click(w.lblLevel[2]);
        QCOMPARE(w.imgMain.size(), 64u);
    }

    // Each deal, in a run of its own at another time of the clock, puts every number
    // 1..79 on two blocks, whatever the tags held before; runs deal differently, and
    // as a block is searched from a random start, pairs seldom lie side by side.
    void deal() {
        testing::GameFixture game;
        game.startLevel(2);
        QSet<QString> deals;
        int sideBySide = 0;
        for (int run = 0; run < 20; ++run) {
            QTemporaryFile file;
            QVERIFY(file.open());
            if (::fork() == 0) {
                ::alarm(20); // a generator that repeats itself within one tick never ends a deal
                game.platform.clock.tickCount = run;
                AssignImages(game.window());
                for (shell::ImageBox* block : game.window().imgMain)
                    file.write(block->tag().toLatin1() + ',');
                std::_Exit(!file.flush());
            }
            ::wait(nullptr);
            const QStringList tags =
                QString(file.seek(0) ? file.readAll() : "").split(',', Qt::SkipEmptyParts);
            QCOMPARE(tags.size(), 64);
            for (int i = 0; i < 64; ++i) {
                const int n = tags[i].toInt(); // 1 to 79
                QVERIFY(tags.count(tags[i]) == 2 && tags[i] == QString::number(n) && n % 80 > 0);
                sideBySide += i < 63 && tags[i] == tags[i + 1];
            }
            deals.insert(tags.join(','));
        }
        QCOMPARE(deals.size(), 20);
        QVERIFY2(sideBySide < 20 * 32 / 2, qPrintable(QString::number(sideBySide)));
    }

    // Random play: clicks, double-clicks, and clicks and level clicks that arrive
    // during a reveal's pause. After each event the game must be consistent. The
    // number of events and the seed come from DUVELLA_MONKEY_EVENTS and DUVELLA_MONKEY_SEED.
    void randomPlayKeepsTheGameConsistent() {
        const int events = qEnvironmentVariable("DUVELLA_MONKEY_EVENTS", "300").toInt();
        const uint seed = qEnvironmentVariable("DUVELLA_MONKEY_SEED", "20261206").toUInt();
        testing::GameFixture game;
        frmMain& w = game.window();
        std::mt19937 random(seed);
        auto chance = [&](unsigned percent) { return random() % 100 < percent; };
        auto anyBlock = [&] { // a block still on the board
            QWidget* block;
            while (!(block = game.block(int(random() % w.imgMain.size())))->isVisible())
                ;
            return block;
        };
        // Each turn resolved since the level start costs 10 points. A turn is resolved
        // while its sounds play with the turn at 2 (several turns may resolve in a row
        // as nested clicks unwind, each with its own pair of blocks).
        int resolved = 0;
        std::pair<int, int> resolving;
        game.platform.sound.onPlay = [&](const testing::RecordingSoundOutput::Play& play) {
            const std::pair<int, int> pair(objGame->intFirstBlockIndex,
                                           objGame->intSecondBlockIndex);
            resolved = play.name == "proceed.wav"
                           ? 0
                           : resolved + (objGame->intTurn == 2 && pair != resolving);
            resolving = objGame->intTurn == 2 ? pair : std::pair(-1, -1);
        };
        testing::click(w.lblLevel[0]);
        for (int event = 0; event < events; ++event) {
            if (chance(3) || std::none_of(w.imgMain.begin(), w.imgMain.end(),
                                          [](QWidget* b) { return b->isVisible(); }))
                testing::click(w.lblLevel[random() % 3]);
            else if (chance(5))
                testing::click(anyBlock(), testing::Delivery::Now, 2);
            else
                game.clickWhile(anyBlock(), [&] {
                    if (chance(25))
                        testing::click(anyBlock(), testing::Delivery::Queued, chance(20) ? 2 : 1);
                    if (chance(3))
                        testing::click(w.lblLevel[random() % 3], testing::Delivery::Queued);
                });
            QCoreApplication::processEvents();
            game.platform.sound.clear();
            check(game, 1000 - 10 * resolved);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QString("after event %1 of seed %2").arg(event).arg(seed)));
        }
    }
};

QTEST_MAIN(GameTest)
#include "tst_game.moc"
