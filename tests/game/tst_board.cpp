#include "game/cDefault.h"
#include "game/modMain.h"
#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <map>

using testing::GameFixture;

namespace {

// Builds a board of `count` covered blocks without laying it out row by row.
void makeBoard(frmMain& window, int count) {
    ClearBlocks();
    for (int i = 1; i < count; ++i)
        window.createBlock(i);
}

// How many blocks carry each picture number.
std::map<QString, int> tagCounts(const frmMain& window) {
    std::map<QString, int> counts;
    for (const QString& tag : testing::boardTags(window))
        ++counts[tag];
    return counts;
}

} // namespace

class BoardTest : public QObject {
    Q_OBJECT
  private slots:
    void allAssignedNeedsEveryTag();
    void gameOverMeansNoCoverPictureLeft();
    void dealPairsEveryBlock_data();
    void dealPairsEveryBlock();
    void fullBoardCannotTakeAnotherPicture();
    void oddBoardLeavesOneSinglePicture();
    void levelStartLaysOutTheBoard_data();
    void levelStartLaysOutTheBoard();
    void smallerLevelAfterLargerOne();
    void levelClickDuringBuildIsIgnored();
};

void BoardTest::allAssignedNeedsEveryTag() {
    GameFixture game;
    frmMain& w = game.window();
    // Before the first level start the board is block 0 alone, with no tag.
    objGame->CheckAllAssigned();
    QVERIFY(!objGame->blnIsAllAssigned);

    makeBoard(w, 4);
    for (shell::ImageBox* block : w.imgMain)
        block->setTag("7");
    w.imgMain[2]->setTag("   ");
    objGame->CheckAllAssigned();
    QVERIFY(!objGame->blnIsAllAssigned);
    w.imgMain[2]->setTag("0");
    objGame->CheckAllAssigned();
    QVERIFY(objGame->blnIsAllAssigned);
}

void BoardTest::gameOverMeansNoCoverPictureLeft() {
    GameFixture game;
    frmMain& w = game.window();
    // Block 0's own copy of the cover image is not the cover picture.
    objGame->CheckGameOver();
    QVERIFY(objGame->blnGameOver);

    makeBoard(w, 16);
    const pictures::Picture shown = pictures::frmImg.imgMain(5);
    for (int covered = 0; covered < 16; ++covered) {
        for (int i = 0; i < 16; ++i)
            w.imgMain[i]->setPicture(i == covered ? w.imgDefault->picture() : shown);
        objGame->CheckGameOver();
        QVERIFY2(!objGame->blnGameOver, qPrintable(QString::number(covered)));
    }
    // Every pair matched and hidden: hidden blocks keep their library pictures.
    for (shell::ImageBox* block : w.imgMain) {
        block->setPicture(shown);
        block->setVisible(false);
    }
    objGame->CheckGameOver();
    QVERIFY(objGame->blnGameOver);
}

void BoardTest::dealPairsEveryBlock_data() {
    QTest::addColumn<int>("side");
    QTest::newRow("4x4") << 4;
    QTest::newRow("6x6") << 6;
    QTest::newRow("8x8") << 8;
}

void BoardTest::dealPairsEveryBlock() {
    QFETCH(int, side);
    GameFixture game;
    frmMain& w = game.window();
    makeBoard(w, side * side);
    for (int deal = 0; deal < 20; ++deal) {
        // Leftovers of an earlier game, including a tag of blanks.
        for (shell::ImageBox* block : w.imgMain)
            block->setTag("99");
        w.imgMain[1]->setTag("  ");
        AssignImages();
        QVERIFY(objGame->blnIsAllAssigned);
        const auto counts = tagCounts(w);
        QCOMPARE(counts.size(), std::size_t(side * side / 2));
        for (const auto& [tag, count] : counts) {
            bool ok = false;
            const int number = tag.toInt(&ok);
            QVERIFY2(ok && number >= 1 && number <= 79 && tag == QString::number(number),
                     qPrintable(tag));
            QCOMPARE(count, 2);
        }
    }
    QVERIFY(game.platform.messageBox.shown.empty());
}

void BoardTest::fullBoardCannotTakeAnotherPicture() {
    GameFixture game;
    frmMain& w = game.window();
    makeBoard(w, 16);
    AssignImages();
    const QStringList before = testing::boardTags(w);
    AssignImageToBlock(5);
    QCOMPARE(testing::boardTags(w), before);
    QCOMPARE(game.platform.messageBox.shown.size(), 1u);
    const auto& box = game.platform.messageBox.shown.front();
    QCOMPARE(box.text, QString("Could not assign"));
    QCOMPARE(box.title, QString("Duvella 6.2"));
    QCOMPARE(box.buttons, platform::MessageBox::Buttons::Ok);
    QCOMPARE(box.icon, platform::MessageBox::Icon::None);
}

void BoardTest::oddBoardLeavesOneSinglePicture() {
    GameFixture game;
    frmMain& w = game.window();
    makeBoard(w, 9);
    AssignImages();
    QCOMPARE(game.platform.messageBox.shown.size(), 1u);
    int singles = 0;
    for (const auto& [tag, count] : tagCounts(w))
        singles += count == 1;
    QCOMPARE(singles, 1);
    QCOMPARE(tagCounts(w).size(), 5u);
}

void BoardTest::levelStartLaysOutTheBoard_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("side");
    QTest::addColumn<QStringList>("levelSounds");
    QTest::newRow("level 1") << 0 << 4 << QStringList{"proceed.wav"};
    QTest::newRow("level 2") << 1 << 6 << QStringList{"cow.wav", "proceed.wav"};
    QTest::newRow("level 3") << 2 << 8 << QStringList{"carhorn.wav", "proceed.wav"};
}

void BoardTest::levelStartLaysOutTheBoard() {
    QFETCH(int, index);
    QFETCH(int, side);
    QFETCH(QStringList, levelSounds);
    GameFixture game;
    frmMain& w = game.window();
    objGame->intFirstBlockImage = 17;
    objGame->intTurn = 1;
    w.lblCurrentScore->setCaption("350");
    w.imgMain[0]->setVisible(false);

    // Each row is on screen before its pop, and the score is the old one until the deal.
    std::vector<int> blocksAtPop;
    game.platform.sound.clear();
    game.platform.sound.onPlay = [&](const testing::RecordingSoundOutput::Play& play) {
        if (play.name == "pop.wav") {
            int visible = 0;
            for (const shell::ImageBox* block : w.imgMain)
                visible += block->isVisible();
            blocksAtPop.push_back(visible);
            QCOMPARE(w.lblCurrentScore->caption(), QString("350"));
        }
    };
    testing::click(w.lblLevel[index]);

    QStringList expectedSounds;
    for (int row = 0; row < side; ++row)
        expectedSounds << "pop.wav";
    expectedSounds << levelSounds;
    QCOMPARE(game.platform.sound.names(), expectedSounds);
    for (const auto& play : game.platform.sound.plays)
        QCOMPARE(play.waited, play.name == "pop.wav");
    for (int row = 0; row < side; ++row)
        QCOMPARE(blocksAtPop[row], (row + 1) * side);

    QCOMPARE(int(w.imgMain.size()), side * side);
    for (int i = 0; i < side * side; ++i) {
        const shell::ImageBox* block = w.imgMain[i];
        // 120 twips from the corner, then a pitch of 800 twips.
        const int left = qRound((120 + 800 * (i % side)) / 15.0);
        const int top = qRound((120 + 800 * (i / side)) / 15.0);
        QCOMPARE(block->geometry(), QRect(left, top, 48, 48));
        QVERIFY(block->isVisible());
        QCOMPARE(block->picture(), w.imgDefault->picture());
        QCOMPARE(block->objectName(), QString("imgMain(%1)").arg(i));
    }
    QCOMPARE(w.lblCurrentScore->caption(), QString("1000"));
    QCOMPARE(w.Shape1->height(), qRound(2000 / 15.0));
    QCOMPARE(w.lblCurrentLevel->caption(), QString("Level %1").arg(index + 1));
    QCOMPARE(objGame->intTurn, 0);
    QVERIFY(objGame->blnIsAllAssigned);
    // A level start leaves the last turn's pictures alone.
    QCOMPARE(objGame->intFirstBlockImage, 17);
}

void BoardTest::smallerLevelAfterLargerOne() {
    GameFixture game;
    frmMain& w = game.window();
    testing::click(w.lblLevel[2]);
    QPointer<shell::ImageBox> last = w.imgMain.back();
    const QStringList firstDeal = testing::boardTags(w);
    testing::click(w.lblLevel[0]);
    QVERIFY(last.isNull());
    QCOMPARE(w.imgMain.size(), 16u);
    QCOMPARE(w.imgMain.back()->geometry().topLeft(), QPoint(qRound(2520 / 15.0), 168));
    // The same level twice deals anew.
    const QStringList secondDeal = testing::boardTags(w);
    testing::click(w.lblLevel[0]);
    QCOMPARE(w.imgMain.size(), 16u);
    QVERIFY(testing::boardTags(w) != secondDeal);
    QVERIFY(firstDeal.size() == 64);
}

void BoardTest::levelClickDuringBuildIsIgnored() {
    GameFixture game;
    frmMain& w = game.window();
    // Clicks that wait while the first pop plays arrive at the next pass of the event loop.
    bool posted = false;
    game.platform.sound.onPlay = [&](const testing::RecordingSoundOutput::Play& play) {
        if (play.name == "pop.wav" && !posted) {
            posted = true;
            testing::postClick(w.lblLevel[0]);
            testing::postClick(w.imgMain[0]);
        }
    };
    game.platform.sound.clear();
    testing::click(w.lblLevel[2]);
    QCoreApplication::processEvents();
    QCOMPARE(w.imgMain.size(), 64u);
    QCOMPARE(w.lblCurrentLevel->caption(), QString("Level 3"));
    QCOMPARE(game.platform.sound.names().count("pop.wav"), 8);
    QCOMPARE(game.platform.sound.names().count("zhoop.wav"), 0);
    QVERIFY(game.platform.messageBox.shown.empty());
}

QTEST_MAIN(BoardTest)
#include "tst_board.moc"
