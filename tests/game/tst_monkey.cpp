#include "Game.h"
#include "game/Numbers.h"
#include "game/cDefault.h"

#include <QtTest>
#include <random>

// Random play: clicks, double-clicks, clicks and level clicks that arrive during a
// reveal's pause. After each event the game must be consistent. The number of
// events and the seed come from DUVELLA_MONKEY_EVENTS and DUVELLA_MONKEY_SEED.
class MonkeyTest : public QObject {
    Q_OBJECT
  private slots:
    void randomPlayKeepsTheGameConsistent() {
        const int events = qEnvironmentVariableIsSet("DUVELLA_MONKEY_EVENTS")
                               ? qEnvironmentVariableIntValue("DUVELLA_MONKEY_EVENTS")
                               : 300;
        const auto seed = qEnvironmentVariable("DUVELLA_MONKEY_SEED", "20261206").toUInt();
        Game game;
        frmMain& w = game.window();
        std::mt19937 random(seed);
        auto chance = [&](unsigned percent) { return random() % 100 < percent; };
        auto anyBlock = [&] {
            std::vector<QWidget*> visible;
            for (QWidget* block : w.imgMain)
                if (block->isVisible())
                    visible.push_back(block);
            return visible.empty() ? nullptr : visible[random() % visible.size()];
        };
        auto queueSome = [&] {
            if (QWidget* block = anyBlock(); block && chance(20))
                testing::click(block, testing::Delivery::Queued);
            if (QWidget* block = anyBlock(); block && chance(5))
                testing::doubleClick(block, testing::Delivery::Queued);
            if (chance(3))
                testing::click(w.lblLevel[random() % 3], testing::Delivery::Queued);
        };

        testing::click(w.lblLevel[0]);
        int reveals = 0;
        for (int event = 0; event < events; ++event) {
            QWidget* block = anyBlock();
            if (!block || chance(3))
                testing::click(w.lblLevel[random() % 3]);
            else if (chance(5))
                testing::doubleClick(block);
            else
                game.clickWhile(block, queueSome);
            QCoreApplication::processEvents();

            // A click that is not refused at once is a reveal; a level start begins anew.
            const QStringList log = game.platform.sound.names();
            for (qsizetype i = 0; i < log.size(); ++i) {
                if (log[i] == "proceed.wav")
                    reveals = 0;
                reveals += log[i] == "zhoop.wav" && log.value(i + 1) != "denied.wav";
            }
            game.platform.sound.clear();
            check(game, 1000 - 10 * (reveals / 2));
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QString("after event %1 of seed %2").arg(event).arg(seed)));
        }
        QVERIFY(game.platform.messageBox.shown.empty());
    }

  private:
    void check(Game& game, int score) {
        frmMain& w = game.window();
        const int side = 2 + 2 * levelFromCaption(w.lblCurrentLevel->caption());
        QCOMPARE(int(w.imgMain.size()), side * side);
        // Each number lies on two blocks, which have left the board together or not at all.
        for (const auto& [a, b] : game.pairs()) {
            const int number = game.block(a)->tag().toInt();
            QVERIFY(number >= 1 && number <= 79 && game.block(b)->tag().toInt() == number);
            QCOMPARE(game.block(a)->isVisible(), game.block(b)->isVisible());
        }
        QCOMPARE(int(game.pairs().size()), side * side / 2);
        // No turn is left half resolved, and only its first block is in view.
        QVERIFY(objGame->intTurn == 0 || objGame->intTurn == 1);
        for (int i = 0; i < side * side; ++i)
            QCOMPARE(game.block(i)->isVisible() && !game.covered(i),
                     objGame->intTurn == 1 && i == objGame->intFirstBlockIndex);
        QCOMPARE(game.score(), QString::number(score));
        QCOMPARE(w.Shape1->height(), qRound(2 * std::max(score, 0) / 15.0));
    }
};

QTEST_MAIN(MonkeyTest)
#include "tst_monkey.moc"
