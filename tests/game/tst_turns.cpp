#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <map>

using testing::GameFixture;
using Play = testing::RecordingSoundOutput::Play;
using Plays = std::vector<Play>;

namespace {

// The two blocks of each picture number on the board.
std::vector<std::pair<int, int>> pairsOf(const frmMain& window) {
    std::map<QString, std::vector<int>> blocks;
    for (int i = 0; i < static_cast<int>(window.imgMain.size()); ++i)
        blocks[window.imgMain[i]->tag()].push_back(i);
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [tag, indices] : blocks)
        pairs.emplace_back(indices.at(0), indices.at(1));
    return pairs;
}

// Two blocks whose pictures differ.
std::pair<int, int> mismatchOf(const frmMain& window) {
    for (int i = 1; i < static_cast<int>(window.imgMain.size()); ++i) {
        if (window.imgMain[i]->tag() != window.imgMain[0]->tag())
            return {0, i};
    }
    return {0, 0};
}

bool isComplaint(const Plays& plays) {
    static const std::map<QString, std::size_t> groups{
        {"boing3.wav", 3}, {"crybaby.wav", 1}, {"whine.wav", 1},  {"cow.wav", 2},
        {"bleep.wav", 12}, {"weird.wav", 3},   {"donkey.wav", 1}, {"ow.wav", 4}};
    if (plays.empty() || !groups.contains(plays.front().name))
        return false;
    if (plays.size() != groups.at(plays.front().name))
        return false;
    for (const Play& play : plays) {
        if (play != Play{plays.front().name, true})
            return false;
    }
    return true;
}

class Game : public GameFixture {
  public:
    void startLevel(int index) {
        testing::click(window().lblLevel[index]);
        platform.sound.clear();
    }

    // Clicks block i and returns the sounds of that click.
    Plays reveal(int i) {
        platform.sound.clear();
        testing::click(window().imgMain[i]);
        return platform.sound.plays;
    }

    bool covered(int i) { return window().imgMain[i]->picture() == window().imgDefault->picture(); }
    int barHeight() { return window().Shape1->height(); }
};

const Play kZhoop{"zhoop.wav", false};

} // namespace

class TurnsTest : public QObject {
    Q_OBJECT
  private slots:
    void perfectGameSetsTheBestScore_data();
    void perfectGameSetsTheBestScore();
    void equalledBestScoreIsNoWin();
    void clearedOrOddBestScoreCountsAsZero();
    void mismatchComplainsThenCovers();
    void refusedClicksChangeNothing();
    void clickBeforeAnyLevel();
    void playGoesOnBelowZero();
    void clickInsidePauseIsCountedFirst();
    void clickInsidePauseCompletesAnOpenTurn();
    void levelClickInsidePauseIsIgnored();
};

void TurnsTest::perfectGameSetsTheBestScore_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("finalScore");
    QTest::newRow("level 1") << 0 << "920";
    QTest::newRow("level 2") << 1 << "820";
    QTest::newRow("level 3") << 2 << "680";
}

void TurnsTest::perfectGameSetsTheBestScore() {
    QFETCH(int, level);
    QFETCH(QString, finalScore);
    Game game;
    frmMain& w = game.window();
    for (int row = 0; row < 3; ++row) {
        w.lblHighScore[row]->setCaption("500");
        w.lblHighDate[row]->setCaption("01-01-2020");
    }
    game.startLevel(level);
    const auto pairs = pairsOf(w);
    int score = 1000;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto [a, b] = pairs[k];
        QCOMPARE(game.reveal(a), Plays{kZhoop});
        QVERIFY(!game.covered(a));
        QCOMPARE(w.imgMain[a]->picture(), pictures::frmImg.imgMain(w.imgMain[a]->tag().toInt()));
        QCOMPARE(objGame->intTurn, 1);
        Plays expected{kZhoop, {"ooo.wav", false}};
        if (k + 1 == pairs.size())
            expected.insert(expected.end(), {{"excellent.wav", true}, {"win.wav", true}});
        QCOMPARE(game.reveal(b), expected);
        score -= 10;
        QCOMPARE(w.lblCurrentScore->caption(), QString::number(score));
        QCOMPARE(game.barHeight(), qRound(2 * score / 15.0));
        QVERIFY(!w.imgMain[a]->isVisible() && !w.imgMain[b]->isVisible());
        QCOMPARE(objGame->intTurn, 0);
    }
    QCOMPARE(w.lblCurrentScore->caption(), finalScore);
    for (int row = 0; row < 3; ++row) {
        const bool played = row == level;
        QCOMPARE(w.lblHighScore[row]->caption(), played ? finalScore : QString("500"));
        QCOMPARE(w.lblHighDate[row]->caption(),
                 played ? QString("12-05-2026") : QString("01-01-2020"));
    }
    // The finished board refuses further clicks as over.
    w.imgMain[0]->setVisible(true);
    QCOMPARE(game.reveal(0), (Plays{kZhoop, {"over.wav", true}}));
}

void TurnsTest::equalledBestScoreIsNoWin() {
    Game game;
    frmMain& w = game.window();
    w.lblHighScore[0]->setCaption("920");
    w.lblHighDate[0]->setCaption("07-04-2025");
    game.startLevel(0);
    const auto pairs = pairsOf(w);
    Plays last;
    for (const auto& [a, b] : pairs) {
        game.reveal(a);
        last = game.reveal(b);
    }
    QCOMPARE(last, (Plays{kZhoop, {"ooo.wav", false}, {"excellent.wav", true}}));
    QCOMPARE(w.lblHighScore[0]->caption(), QString("920"));
    QCOMPARE(w.lblHighDate[0]->caption(), QString("07-04-2025"));
}

void TurnsTest::clearedOrOddBestScoreCountsAsZero() {
    for (const QString& best : {QString(), QString("abc"), QString("  15 points")}) {
        Game game;
        frmMain& w = game.window();
        w.lblHighScore[1]->setCaption(best);
        w.lblHighScore[0]->setCaption("0");
        game.startLevel(1);
        // Bring the score down near the end: the best of level 2 is still beaten.
        w.lblCurrentScore->setCaption("200");
        for (const auto& [a, b] : pairsOf(w)) {
            game.reveal(a);
            game.reveal(b);
        }
        QCOMPARE(w.lblHighScore[1]->caption(), QString("20"));
        QCOMPARE(w.lblHighScore[0]->caption(), QString("0"));
    }
}

void TurnsTest::mismatchComplainsThenCovers() {
    Game game;
    frmMain& w = game.window();
    game.startLevel(0);
    for (int attempt = 0; attempt < 6; ++attempt) {
        const auto [a, b] = mismatchOf(w);
        game.reveal(a);
        // Both pictures stay in view for the whole complaint.
        bool bothShown = true;
        game.platform.sound.onPlay = [&](const Play& play) {
            if (play.waited)
                bothShown = bothShown && !game.covered(a) && !game.covered(b);
        };
        Plays plays = game.reveal(b);
        game.platform.sound.onPlay = nullptr;
        QCOMPARE(plays.front(), kZhoop);
        QVERIFY(isComplaint(Plays(plays.begin() + 1, plays.end())));
        QVERIFY(bothShown);
        QVERIFY(game.covered(a) && game.covered(b));
        QCOMPARE(w.lblCurrentScore->caption(), QString::number(990 - 10 * attempt));
        QCOMPARE(objGame->intTurn, 0);
    }
}

void TurnsTest::refusedClicksChangeNothing() {
    Game game;
    frmMain& w = game.window();
    game.startLevel(0);
    const auto pairs = pairsOf(w);
    // The first block of the turn is refused a second time.
    game.reveal(pairs[0].first);
    QCOMPARE(game.reveal(pairs[0].first), (Plays{kZhoop, {"denied.wav", true}}));
    QCOMPARE(objGame->intTurn, 1);
    QCOMPARE(w.lblCurrentScore->caption(), QString("1000"));
    game.reveal(pairs[0].second);
    // A matched block has left the board: a click on its cell reaches nothing.
    const QPoint cell = w.imgMain[pairs[0].first]->geometry().center();
    game.platform.sound.clear();
    QTest::mouseClick(w.picMain->area(), Qt::LeftButton, {}, cell);
    QVERIFY(game.platform.sound.plays.empty());
    QCOMPARE(w.lblCurrentScore->caption(), QString("990"));
}

void TurnsTest::clickBeforeAnyLevel() {
    Game game;
    frmMain& w = game.window();
    // Block 0 shows its own copy of the cover, so the empty board counts as over.
    QCOMPARE(game.reveal(0), (Plays{kZhoop, {"over.wav", true}}));
    QVERIFY(game.platform.messageBox.shown.empty());

    // Were it covered, the click would ask for a level.
    w.imgMain[0]->setPicture(w.imgDefault->picture());
    QCOMPARE(game.reveal(0), (Plays{kZhoop, {"denied.wav", true}}));
    QCOMPARE(game.platform.messageBox.shown.size(), 1u);
    const auto& box = game.platform.messageBox.shown.front();
    QCOMPARE(box.text, QString("Please Select Level"));
    QCOMPARE(box.title, QString("Duvella 6.2"));
    QCOMPARE(box.buttons, platform::MessageBox::Buttons::Ok);
    QCOMPARE(box.icon, platform::MessageBox::Icon::None);
    QVERIFY(game.covered(0));
    QCOMPARE(objGame->intTurn, 0);
}

void TurnsTest::playGoesOnBelowZero() {
    Game game;
    frmMain& w = game.window();
    w.lblHighScore[0]->setCaption("0");
    game.startLevel(0);
    w.lblCurrentScore->setCaption("60");
    const Play over{"over.wav", true};
    int score = 60;
    int bar = game.barHeight();
    for (const auto& [a, b] : pairsOf(w)) {
        const Plays first = game.reveal(a);
        QCOMPARE(first, score > 0 ? (Plays{kZhoop}) : (Plays{kZhoop, over}));
        score -= 10;
        const Plays second = game.reveal(b);
        QCOMPARE(second, score > 0 ? (Plays{kZhoop, {"ooo.wav", false}})
                                   : (Plays{kZhoop, {"ooo.wav", false}, over}));
        // The bar follows down to 0 and stays there below zero.
        if (score >= 0)
            bar = qRound(2 * score / 15.0);
        QCOMPARE(game.barHeight(), bar);
    }
    QCOMPARE(w.lblCurrentScore->caption(), QString("-20"));
    QCOMPARE(w.lblHighScore[0]->caption(), QString("0"));
}

void TurnsTest::clickInsidePauseIsCountedFirst() {
    Game game;
    frmMain& w = game.window();
    game.startLevel(0);
    const auto [a, b] = pairsOf(w)[0];
    // B is clicked while A's reveal pauses: B's click runs to its end first.
    game.platform.sound.clear();
    testing::postClick(w.imgMain[b]);
    testing::click(w.imgMain[a]);
    QCOMPARE(objGame->intFirstBlockIndex, b);
    QCOMPARE(objGame->intSecondBlockIndex, a);
    QCOMPARE(objGame->intTurn, 0);
    QVERIFY(!w.imgMain[a]->isVisible() && !w.imgMain[b]->isVisible());
    QCOMPARE(w.lblCurrentScore->caption(), QString("990"));
    QCOMPARE(game.platform.sound.plays, (Plays{kZhoop, kZhoop, {"ooo.wav", false}}));
}

void TurnsTest::clickInsidePauseCompletesAnOpenTurn() {
    Game game;
    frmMain& w = game.window();
    game.startLevel(0);
    const auto pairs = pairsOf(w);
    const int f = pairs[0].first;
    const int b = pairs[0].second;
    const int a = pairs[1].first;
    game.reveal(f);
    // B pairs with the shown F inside A's pause; A then opens the next turn.
    testing::postClick(w.imgMain[b]);
    testing::click(w.imgMain[a]);
    QVERIFY(!w.imgMain[f]->isVisible() && !w.imgMain[b]->isVisible());
    QCOMPARE(objGame->intTurn, 1);
    QCOMPARE(objGame->intFirstBlockIndex, a);
    QVERIFY(!game.covered(a) && w.imgMain[a]->isVisible());
    QCOMPARE(w.lblCurrentScore->caption(), QString("990"));
}

void TurnsTest::levelClickInsidePauseIsIgnored() {
    Game game;
    frmMain& w = game.window();
    game.startLevel(0);
    const int a = pairsOf(w)[0].first;
    testing::postClick(w.lblLevel[2]);
    game.reveal(a);
    QCOMPARE(w.imgMain.size(), 16u);
    QCOMPARE(w.lblCurrentLevel->caption(), QString("Level 1"));
    QCOMPARE(objGame->intTurn, 1);
    QCOMPARE(objGame->intFirstBlockIndex, a);
    // Once the click has ended, a level click is taken again.
    testing::click(w.lblLevel[2]);
    QCOMPARE(w.imgMain.size(), 64u);
}

QTEST_MAIN(TurnsTest)
#include "tst_turns.moc"
