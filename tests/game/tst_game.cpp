#include "platform/SystemClock.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <random>

namespace {

const std::map<QString, int> kComplaints{{"boing3", 3}, {"crybaby", 1}, {"whine", 1},  {"cow", 2},
                                         {"bleep", 12}, {"weird", 3},   {"donkey", 1}, {"ow", 4}};

// A new score and its bar, twice the score in twips (15 to the pixel), and none below 0.
QString scored(int score) {
    return (score >= 0 ? QString("bar=%1, ").arg(qRound(2 * score / 15.0)) : "") +
           QString("score=%1").arg(score);
}

// A level start after `before` (the old board's blocks going, up to the first row's first
// block shown): each row of covered blocks shown before its pop, the strip clicked taking
// the focus, then the level caption, the score back at 1000 if it was not, the level's sounds.
QString levelStart(int level, const QString& before, bool scoreBack) {
    const int n = 2 + 2 * level;
    QString heard = before + QString::number(n - 1) + ", focus=Picture1, pop";
    for (int row = 1; row < n; ++row)
        heard += QString(", show %1-%2, pop").arg(row * n).arg(row * n + n - 1);
    return heard + (scoreBack ? ", bar=133" : "") + QString(", level=Level %1, ").arg(level) +
           (scoreBack ? "score=1000, " : "") + QStringList{"", "", "cow&, ", "carhorn&, "}[level] +
           "proceed&";
}

} // namespace

class GameTest : public QObject {
    Q_OBJECT
  private slots:
    // Levels started one after the other: from the start, after a finished game (the old
    // score stays until the deal; clicks during a build are ignored), in the middle of a turn.
    void levelStarts() {
        testing::GameFixture game;
        frmMain& w = game.window();
        QCOMPARE(game.click(w.lblLevel[0]), levelStart(1, "cover 0, show 1-", false));
        for (const auto& [a, b] : game.pairs())
            game.click(game.block(a)), game.click(game.block(b));
        game.during = [&, pops = 0](const QString& event) mutable {
            if (event == "pop" && ++pops == 1)
                for (QWidget* late : {(QWidget*)game.block(1), (QWidget*)w.lblLevel[0]})
                    testing::click(late, testing::Delivery::Queued);
        };
        QCOMPARE(game.click(w.lblLevel[1]), levelStart(2, "show 0-", true));
        game.during = nullptr;
        game.click(game.block(0));
        QCOMPARE(game.click(w.lblLevel[2]), levelStart(3, "drop 1-35, cover 0, show 1-", false));
        for (int i = 0; i < 64; ++i) // 120 twips from the corner, then a pitch of 800
            QCOMPARE(game.block(i)->geometry(),
                     QRect(qRound((120 + 800 * (i % 8)) / 15.0),
                           qRound((120 + 800 * (i / 8)) / 15.0), 48, 48));
        game.names = {{5, "a"}}; // the turn of the old game is gone: a first reveal
        QCOMPARE(game.click(game.block(5)), "focus=picMain, zhoop&, open a");
    }

    // Games played without a miss to their end, with each row of the table holding another
    // best; only the level's own row may take the score, with the day it was made.
    void finishedGames_data() {
        // The level; the three rows' bests; today, or the real clock's far from UTC; a win.
        QTest::addColumn<QString>("game");
        // clang-format off
        QTest::newRow("1, lower") << "1;910|930|990;03-05-2027;win";
        QTest::newRow("2, equal") << "2;100|820|990;03-06-2027;-";
        QTest::newRow("3, higher") << "3;0|10|700;03-07-2027;-";
        QTest::newRow("3, not a number") << "3;998|999|abc;12-31-2026;win";
        QTest::newRow("2, 819 points") << "2;900| 819 points|830;02-29-2028;win";
        QTest::newRow("2, 950 points") << "2;100| 950 points|10;01-02-2027;-";
        QTest::newRow("1, 1e3") << "1;1e3|0|10;01-01-2027;-";
        QTest::newRow("1, cleared, real clock") << "1;|5|15;;win";
        // clang-format on
    }
    void finishedGames() {
        QFETCH(QString, game);
        const int level = game.section(';', 0, 0).toInt();
        const QStringList bests = game.section(';', 1, 1).split('|');
        QString today = game.section(';', 2, 2);
        const bool win = game.endsWith("win");
        platform::SystemClock realClock;
        testing::GameFixture play;
        frmMain& w = play.window();
        play.platform.date = QDate::fromString(today, "MM-dd-yyyy");
        if (today.isEmpty()) { // a zone whose date differs from UTC's at this hour
            const bool west = QDateTime::currentDateTimeUtc().time().hour() < 12;
            qputenv("TZ", west ? "Etc/GMT+12" : "Etc/GMT-14");
            today = QDateTime::currentDateTimeUtc()
                        .addSecs(3600 * (west ? -12 : 14))
                        .toString("MM-dd-yyyy");
            platform::services().clock = &realClock;
        }
        for (int row = 0; row < 3; ++row)
            w.lblHighScore[row]->setCaption(bests[row]);
        play.click(w.lblLevel[level - 1]);
        const auto pairs = play.pairs();
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            play.names = {{pairs[k].first, "a"}, {pairs[k].second, "A"}};
            QCOMPARE(play.click(play.block(pairs[k].first)),
                     (k ? "" : "focus=picMain, ") + QString("zhoop&, open a"));
            const int score = 990 - 10 * int(k);
            const QString best =
                QString(", best%1=%2, date%1=%3, win").arg(level).arg(score).arg(today);
            QCOMPARE(play.click(play.block(pairs[k].second)),
                     "zhoop&, open A, " + scored(score) + ", ooo&, hide a A" +
                         (k + 1 < pairs.size() ? "" : ", excellent" + (win ? best : "")));
        }
        qunsetenv("TZ");
    }

    // Refused clicks, and mismatches until each complaint has been heard, in full, with both
    // pictures in view throughout; the score goes on below zero, and the bar stops at 0.
    void refusalsAndMismatches() {
        testing::GameFixture game;
        frmMain& w = game.window();
        QCOMPARE(game.click(game.block(0)), "zhoop&, over"); // block 0 is not the cover yet
        game.click(w.lblLevel[0]);
        const auto p = game.pairs();
        game.names = {{p[0].first, "a"}, {p[0].second, "A"}, {p[1].first, "b"}};
        w.lblCurrentScore->setCaption("60");
        game.transcript();
        std::map<QString, int> heard;
        int score = 60;
        while (heard.size() < 8 || score > -100) {
            QCOMPARE(game.click(game.block(p[0].first)), (score == 60 ? "focus=picMain, " : "") +
                                                             QString("zhoop&, open a") +
                                                             (score <= 0 ? ", over" : ""));
            QCOMPARE(game.click(game.block(p[0].first)), "zhoop&, denied");
            const QString mismatch = game.click(game.block(p[1].first));
            score -= 10;
            const int at = score < 0 ? 3 : 4; // after the score and its bar
            const QString complaint = mismatch.section(", ", at, at);
            QVERIFY2(kComplaints.contains(complaint), qPrintable(mismatch));
            ++heard[complaint];
            QCOMPARE(mismatch, "zhoop&, open b, " + scored(score) + ", " +
                                   QStringList(kComplaints.at(complaint), complaint).join(", ") +
                                   ", cover a b" + (score <= 0 ? ", over" : ""));
        }
        for (const auto& [complaint, times] : heard) // some 30 mismatches
            QVERIFY2(times <= 12, qPrintable(complaint));
        QCOMPARE(game.click(game.block(p[0].first)), "zhoop&, open a, over");
        QCOMPARE(game.click(game.block(p[0].second)),
                 "zhoop&, open A, " + scored(score - 10) + ", ooo&, hide a A, over");
    }

    // Clicks that arrive through the window system during a reveal's pause run inside it,
    // and the click that ends its pause first is counted first; a level click then is ignored.
    void clicksInsideThePause() {
        testing::GameFixture game;
        frmMain& w = game.window();
        game.click(w.lblLevel[0]);
        const auto p = game.pairs();
        game.names = {{p[0].first, "a"},  {p[0].second, "A"}, {p[1].first, "b"},
                      {p[1].second, "B"}, {p[2].first, "c"},  {p[2].second, "C"}};
        auto nested = [&](int outer, QWidget* inner) {
            game.clickWhile(game.block(outer),
                            [inner] { testing::click(inner, testing::Delivery::Queued); });
            return game.transcript();
        };
        QCOMPARE(nested(p[0].first, game.block(p[0].second)),
                 "focus=picMain, zhoop&, open a, zhoop&, open A, " + scored(990) +
                     ", ooo&, hide a A");
        // With b shown, B clicked during c's pause pairs with b; c opens the next turn.
        QCOMPARE(game.click(game.block(p[1].first), 2), "zhoop&, open b"); // a double-click
        QCOMPARE(nested(p[2].first, game.block(p[1].second)),
                 "zhoop&, open c, zhoop&, open B, " + scored(980) + ", ooo&, hide b B");
        QCOMPARE(game.click(game.block(p[2].second)),
                 "zhoop&, open C, " + scored(970) + ", ooo&, hide c C");
        // The block being revealed, clicked again during its own pause, is refused; a level
        // click during a pause is ignored.
        game.names.insert({{p[3].first, "d"}, {p[3].second, "D"}});
        QCOMPARE(nested(p[3].first, game.block(p[3].first)), "zhoop&, open d, zhoop&, denied");
        QCOMPARE(nested(p[3].second, w.lblLevel[2]),
                 "zhoop&, open D, bar=128, focus=Picture1, score=960, ooo&, hide d D");
        // The last pair's two clicks arrive together, so the second runs inside the first's
        // pause: the game is finished by the click that takes the turn's points.
        for (int k = 4; k < 7; ++k)
            game.click(game.block(p[k].first)), game.click(game.block(p[k].second));
        game.names = {{p[7].first, "a"}, {p[7].second, "A"}};
        testing::click(game.block(p[7].second), testing::Delivery::Queued);
        QCOMPARE(game.click(game.block(p[7].first)),
                 "zhoop&, open A, zhoop&, open a, " + scored(920) +
                     ", ooo&, hide a A, excellent, best1=920, date1=12-05-2026, win");
        QVERIFY(game.click(w.lblLevel[2]).endsWith("carhorn&, proceed&"));
    }

    // Seeded draws reach every outcome of the deal: every picture number 1..79 on two blocks
    // each, every block as the start of a search for an empty block; and a deal depends
    // on the clock's reading too, so deals from one seed differ.
    void deals() {
        testing::GameFixture game;
        frmMain& w = game.window();
        std::map<int, int> numbers, starts;
        QSet<QString> deals;
        QStringList was;
        // At each draw: a block newly given a number whose left neighbour is still empty was
        // found by a search that started right there.
        game.platform.onTicks = [&] {
            QStringList tags;
            for (const shell::ImageBox* block : w.imgMain)
                tags << block->tag();
            for (int i = 1; i < tags.size() && was.size() == tags.size(); ++i)
                starts[i] += was[i].isEmpty() && !tags[i].isEmpty() && was[i - 1].isEmpty();
            was = tags;
        };
        for (int run = 0; run < 16; ++run) {
            platform::services().random = platform::RandomGenerator(20261207);
            game.platform.tickCount = run;
            game.click(w.lblLevel[2]);
            game.platform.onTicks(); // the deal as it ends
            for (int i = 0; i < 64; ++i) {
                const int n = was[i].toInt();
                QVERIFY(was[i] == QString::number(n) && n >= 1 && n <= 79 &&
                        was.count(was[i]) == 2);
                numbers[n] += 1;
            }
            deals.insert(was.join(','));
        }
        QCOMPARE(deals.size(), 16);
        QCOMPARE(int(numbers.size()), 79); // on some 13 blocks each
        for (const auto& [n, times] : numbers)
            QVERIFY2(times >= 4 && times <= 30, qPrintable(QString::number(n)));
        QCOMPARE(int(starts.size()), 63); // some 6 times each
        for (const auto& [start, times] : starts)
            QVERIFY2(times >= 1 && times <= 20, qPrintable(QString::number(start)));
    }

    // Random play: clicks, double-clicks, and clicks and level clicks that arrive during a
    // reveal's pause. After each event the board is whole (each number on two blocks, which
    // leave together; no more than one block in view) and the score counts the turns
    // resolved, by a match or a complaint. DUVELLA_MONKEY_EVENTS and _SEED set the run.
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
        int resolved = 0;
        game.during = [&, last = QString(), run = 0](const QString& event) mutable {
            // A complaint plays its sound a set number of times; more make another complaint.
            const bool again =
                event == last && kComplaints.contains(event) && run < kComplaints.at(event);
            run = again ? run + 1 : 1;
            last = event;
            resolved = event == "proceed&" ? 0
                                           : resolved + (event == "ooo&" ||
                                                         (!again && kComplaints.contains(event)));
        };
        testing::click(w.lblLevel[0]);
        for (int event = 0; event < events && !QTest::currentTestFailed(); ++event) {
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
            const QString heard = QString("event %1: %2").arg(event).arg(game.transcript());
            int inView = 0;
            for (const auto& [a, b] : game.pairs()) {
                QVERIFY2(a != b && game.block(a)->isVisible() == game.block(b)->isVisible(),
                         qPrintable(heard));
                for (const int i : {a, b})
                    inView += game.block(i)->isVisible() &&
                              game.block(i)->picture() != w.imgDefault->picture();
            }
            QVERIFY2(inView <= 1 &&
                         w.lblCurrentScore->caption() == QString::number(1000 - 10 * resolved),
                     qPrintable(heard));
        }
    }
};

QTEST_MAIN(GameTest)
#include "tst_game.moc"
