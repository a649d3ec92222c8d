#include "Game.h"
#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"

#include <QtTest>

using Play = testing::RecordingSoundOutput::Play;
using Plays = Game::Plays;

namespace {

const Play kZhoop{"zhoop.wav", false}, kOoo{"ooo.wav", false};
const Play kOver{"over.wav", true}, kDenied{"denied.wav", true};

} // namespace

class TurnsTest : public QObject {
    Q_OBJECT
  private slots:
    void perfectGame_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("best");
        QTest::addColumn<QString>("final");
        QTest::addColumn<bool>("win");
        QTest::newRow("level 1") << 0 << "500" << "920" << true;
        QTest::newRow("level 2") << 1 << "500" << "820" << true;
        QTest::newRow("level 3") << 2 << "500" << "680" << true;
        QTest::newRow("best equalled") << 0 << "920" << "920" << false;
        QTest::newRow("best 1000, a number") << 0 << "1000" << "920" << false;
        QTest::newRow("best cleared") << 0 << "" << "920" << true;
        QTest::newRow("best not a number") << 0 << "abc" << "920" << true;
    }
    void perfectGame() {
        QFETCH(int, level);
        QFETCH(QString, best);
        QFETCH(QString, final);
        QFETCH(bool, win);
        Game game;
        frmMain& w = game.window();
        for (int row = 0; row < 3; ++row) {
            w.lblHighScore[row]->setCaption(best);
            w.lblHighDate[row]->setCaption("01-01-2020");
        }
        game.startLevel(level);
        const auto pairs = game.pairs();
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const auto [a, b] = pairs[k];
            QCOMPARE(game.reveal(a), Plays{kZhoop});
            QCOMPARE(game.block(a)->picture(), pictures::frmImg.imgMain(game.block(a)->tag().toInt()));
            Plays expected{kZhoop, kOoo};
            if (k + 1 == pairs.size())
                expected.push_back({"excellent.wav", true});
            if (k + 1 == pairs.size() && win)
                expected.push_back({"win.wav", true});
            QCOMPARE(game.reveal(b), expected);
            const int score = 990 - 10 * int(k);
            QCOMPARE(game.score(), QString::number(score));
            QCOMPARE(w.Shape1->height(), qRound(2 * score / 15.0));
            QVERIFY(!game.block(a)->isVisible() && !game.block(b)->isVisible());
        }
        QCOMPARE(game.score(), final);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(w.lblHighScore[row]->caption(), row == level && win ? final : best);
            QCOMPARE(w.lblHighDate[row]->caption(), row == level && win ? "12-05-2026" : "01-01-2020");
        }
        // The next game starts afresh.
        game.startLevel(level);
        const auto [a, b] = game.pairs()[0];
        QCOMPARE(game.reveal(a), Plays{kZhoop});
        QCOMPARE(game.reveal(b), (Plays{kZhoop, kOoo}));
    }

    void mismatchComplainsThenCovers() {
        const std::map<QString, std::size_t> complaints{
            {"boing3.wav", 3}, {"crybaby.wav", 1}, {"whine.wav", 1},  {"cow.wav", 2},
            {"bleep.wav", 12}, {"weird.wav", 3},   {"donkey.wav", 1}, {"ow.wav", 4}};
        Game game;
        game.startLevel(0);
        int b = 1;
        while (game.block(b)->tag() == game.block(0)->tag())
            ++b;
        for (int attempt = 0; attempt < 4; ++attempt) {
            game.reveal(0);
            // Both pictures stay in view for the whole complaint.
            bool inView = true;
            game.platform.sound.onPlay = [&](const Play& play) {
                inView = inView && (!play.waited || (!game.covered(0) && !game.covered(b)));
            };
            Plays plays = game.reveal(b);
            game.platform.sound.onPlay = nullptr;
            QCOMPARE(plays.front(), kZhoop);
            plays.erase(plays.begin());
            QCOMPARE(plays, Plays(complaints.at(plays.at(0).name), {plays.at(0).name, true}));
            QVERIFY(inView && game.covered(0) && game.covered(b));
            QCOMPARE(game.score(), QString::number(990 - 10 * attempt));
        }
    }

    void refusalsAndPlayBelowZero() {
        Game game;
        frmMain& w = game.window();
        // Before any level, block 0 shows its own copy of the cover: the empty board is over.
        QCOMPARE(game.reveal(0), (Plays{kZhoop, kOver}));
        // Were it covered, the click would ask for a level.
        game.block(0)->setPicture(w.imgDefault->picture());
        QCOMPARE(game.reveal(0), (Plays{kZhoop, kDenied}));
        QCOMPARE(game.platform.messageBox.shown.size(), 1u);
        QCOMPARE(game.platform.messageBox.shown[0].text, "Please Select Level");
        QCOMPARE(game.platform.messageBox.shown[0].title, "Duvella 6.2");

        game.startLevel(0);
        w.lblCurrentScore->setCaption("30");
        int score = 30;
        for (const auto& [a, b] : game.pairs()) {
            QCOMPARE(game.reveal(a), score > 0 ? Plays{kZhoop} : (Plays{kZhoop, kOver}));
            QCOMPARE(game.reveal(a), (Plays{kZhoop, kDenied}));
            score -= 10;
            QCOMPARE(game.reveal(b), score > 0 ? (Plays{kZhoop, kOoo}) : (Plays{kZhoop, kOoo, kOver}));
            QCOMPARE(game.score(), QString::number(score));
            // The bar follows the score down to 0 and stays there below it.
            QCOMPARE(w.Shape1->height(), qRound(2 * std::max(score, 0) / 15.0));
        }
        QCOMPARE(w.lblHighScore[0]->caption(), "0");
    }

    // Clicks that arrive through the window system during a reveal's pause run
    // inside it, and the click that ends its pause first is counted first.
    void clicksInsideThePause() {
        Game game;
        frmMain& w = game.window();
        game.startLevel(0);
        const auto p = game.pairs();
        auto nested = [&](int outer, QWidget* inner) {
            game.platform.sound.clear();
            game.clickWhile(game.block(outer), [inner] { testing::postClick(inner); });
        };
        auto gone = [&](int a, int b) { return !game.block(a)->isVisible() && !game.block(b)->isVisible(); };

        // B during A's pause: B becomes the first block of the turn, A the second.
        nested(p[0].first, game.block(p[0].second));
        QCOMPARE(game.platform.sound.plays, (Plays{kZhoop, kZhoop, kOoo}));
        QCOMPARE(objGame->intFirstBlockIndex, p[0].second);
        QVERIFY(gone(p[0].first, p[0].second));

        // With F shown, F's partner clicked during A's pause pairs with F; A opens the next turn.
        game.reveal(p[1].first);
        nested(p[2].first, game.block(p[1].second));
        QVERIFY(gone(p[1].first, p[1].second));
        QCOMPARE(objGame->intTurn, 1);
        QCOMPARE(objGame->intFirstBlockIndex, p[2].first);
        QVERIFY(!game.covered(p[2].first));
        game.reveal(p[2].second);

        // The block being revealed, clicked again during its own pause, is refused.
        nested(p[3].first, game.block(p[3].first));
        QCOMPARE(game.platform.sound.plays, (Plays{kZhoop, kZhoop, kDenied}));
        QCOMPARE(objGame->intTurn, 1);

        // A level click during a pause is ignored; once the click has ended, it is taken.
        nested(p[3].second, w.lblLevel[2]);
        QCOMPARE(w.imgMain.size(), 16u);
        QVERIFY(gone(p[3].first, p[3].second));
        QCOMPARE(game.score(), "960");
        testing::click(w.lblLevel[2]);
        QCOMPARE(w.imgMain.size(), 64u);
    }
};

QTEST_MAIN(TurnsTest)
#include "tst_turns.moc"
