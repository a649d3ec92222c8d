#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QAccessible>
#include <QtTest>

using testing::GameFixture;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject* object) {
    return accessible(object)->text(QAccessible::Name);
}

void press(QObject* object) {
    accessible(object)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
  private slots:
    void aScreenReaderPlaysAMatch();
};

void AccessibilityTest::aScreenReaderPlaysAMatch() {
    GameFixture game;
    frmMain& w = game.window();
    QCOMPARE(nameOf(w.lblLevel[1]), QString("Level 2, 6 by 6 blocks"));
    QCOMPARE(accessible(w.lblLevel[1])->role(), QAccessible::Button);
    QCOMPARE(nameOf(w.lblGen[0]), QString("Level 1 high score 0, Never"));
    QCOMPARE(nameOf(w.cmdClear), QString("Clear Scores"));
    // A row is read from its own score and date.
    w.lblHighScore[2]->setCaption("990");
    QCOMPARE(nameOf(w.lblGen[2]), QString("Level 3 high score 990, Never"));

    press(w.lblLevel[0]);
    QAccessibleInterface* board = accessible(w.imgMain[0]->parentWidget());
    QCOMPARE(board->childCount(), 16);
    QCOMPARE(nameOf(w.imgMain[6]), QString("Row 2, column 3, covered"));
    QCOMPARE(board->indexOfChild(accessible(w.imgMain[6])), 6);

    // Uncover a pair through the action interface, as a screen reader would.
    const int a = 6;
    int other = -1;
    for (const auto& [first, second] : game.pairs())
        if (first == a || second == a)
            other = first + second - a;
    press(w.imgMain[a]);
    QCOMPARE(pictures::frmImg.name(24), QString("grinning face"));
    QCOMPARE(nameOf(w.imgMain[a]), "Row 2, column 3, " + pictures::frmImg.name(w.imgMain[a]->tag().toInt()));
    press(w.imgMain[other]);
    QCOMPARE(board->childCount(), 14);
    QCOMPARE(board->indexOfChild(accessible(w.imgMain[a])), -1);
    QCOMPARE(nameOf(w.lblCurrentScore), QString("Current score 990"));
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
