#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include "shell/controls/PictureBox.h"

#include <QAccessible>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

using testing::Delivery;
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

// A key pressed and released on the game window, through the window system.
void key(frmMain& w, int k, Qt::KeyboardModifiers modifiers = {},
         Delivery delivery = Delivery::Now) {
    using W = QWindowSystemInterface;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        W::handleKeyEvent<W::AsynchronousDelivery>(w.windowHandle(), type, k, modifiers);
    if (delivery == Delivery::Now) {
        W::flushWindowSystemEvents();
        QCoreApplication::processEvents();
    }
}

// What a screen reader is told, in order: the name of each control the focus
// moves to, as it is at that moment; and the sounds, "wait " marking a waiting one.
QStringList g_heard;
void hear(QAccessibleEvent* event) {
    if (event->type() == QAccessible::Focus && event->accessibleInterface())
        g_heard << event->accessibleInterface()->text(QAccessible::Name);
}

// The white dots of a focus rectangle along the top of the level labels, on their yellow.
int cursorDots(frmMain& w) {
    const QImage strip = w.Picture1->area()->grab().toImage();
    int dots = 0;
    for (const shell::Label* level : w.lblLevel)
        for (int x = level->x() + 2; x < level->x() + level->width() - 3; ++x)
            dots += strip.pixel(x, level->y() + 2) == qRgb(255, 255, 255);
    return dots;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
  private slots:
    void aScreenReaderPlaysAMatch();
    void cursorMovesByKeys();
    void keysPlayAsClicksAndAreHeard();
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
    QCOMPARE(nameOf(w.imgMain[a]),
             "Row 2, column 3, " + pictures::frmImg.name(w.imgMain[a]->tag().toInt()));
    press(w.imgMain[other]);
    QCOMPARE(board->childCount(), 14);
    QCOMPARE(board->indexOfChild(accessible(w.imgMain[a])), -1);
    QCOMPARE(nameOf(w.lblCurrentScore), QString("Current score 990"));
}

void AccessibilityTest::cursorMovesByKeys() {
    using A = shell::Arrangement;
    const QList<int> keys{Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                          Qt::Key_Down, Qt::Key_Home,  Qt::Key_End};
    // Each key from one place; a key that would leave the row or the board stays.
    const struct {
        A arrangement;
        int count, from;
        QList<int> to;
    } cases[] = {{A::Row, 3, 0, {0, 1, 0, 1, 0, 2}},
                 {A::Row, 3, 2, {1, 2, 1, 2, 0, 2}},
                 {A::Square, 16, 0, {0, 1, 0, 4, 0, 3}},
                 {A::Square, 16, 7, {6, 7, 3, 11, 4, 7}},
                 {A::Square, 36, 35, {34, 35, 29, 35, 30, 35}}};
    for (const auto& c : cases) {
        QList<int> landed;
        for (const int k : keys)
            landed << shell::cursorAfterKey(c.from, c.count, c.arrangement, k).value_or(-1);
        QCOMPARE(landed, c.to);
    }
    QCOMPARE(shell::cursorAfterKey(5, 16, A::Square, Qt::Key_A), std::nullopt);
}

void AccessibilityTest::keysPlayAsClicksAndAreHeard() {
    GameFixture game;
    frmMain& w = game.window();
    // A screen reader listens, and reads each name as it is told.
    if (QGuiApplication::platformName() != "xcb" ||
        !QTest::qWaitFor([] { return QAccessible::isActive(); }, 2000))
        QSKIP("no accessibility bridge on this platform (see tst_accessibility_x11)");
    QAccessible::installUpdateHandler(hear);
    // A sound is an event of the fake platform: its name, with "&" when it does not wait.
    auto record = [](const QString& sound) {
        if (!sound.startsWith("box ") && sound != "end")
            g_heard << (sound.endsWith('&') ? sound.chopped(1) : "wait " + sound) + ".wav";
    };
    game.during = record;
    // No rectangle while the focus did not come from the keyboard.
    QCOMPARE(cursorDots(w), 0);
    key(w, Qt::Key_Tab);
    QVERIFY(cursorDots(w) > 0);
    key(w, Qt::Key_Right), key(w, Qt::Key_Down), key(w, Qt::Key_Up), key(w, Qt::Key_Left);
    QCOMPARE(g_heard, (QStringList{"Levels", "Level 1, 4 by 4 blocks", "Level 2, 6 by 6 blocks",
                                   "Level 3, 8 by 8 blocks", "Level 2, 6 by 6 blocks",
                                   "Level 1, 4 by 4 blocks"}));
    // Return starts the level as a click does; keys during the build are dropped as clicks are.
    g_heard.clear();
    game.during = [&, first = true](const QString& play) mutable {
        if (std::exchange(first, false))
            key(w, Qt::Key_Return, {}, Delivery::Queued),
                key(w, Qt::Key_Space, {}, Delivery::Queued);
        record(play);
    };
    key(w, Qt::Key_Return);
    const QStringList byKey = g_heard;
    g_heard.clear();
    testing::click(w.lblLevel[0]);
    QCOMPARE(byKey, g_heard);
    QCOMPARE(byKey.count("wait pop.wav"), 4);
    // The mouse leaves no rectangle.
    QVERIFY(w.Picture1->hasFocus());
    QCOMPARE(cursorDots(w), 0);

    // On the board: a mismatch, then a match, by keys. The second picture and the
    // score are told before the complaint holds up the window.
    key(w, Qt::Key_Backtab, Qt::ShiftModifier);
    const auto pairs = game.pairs();
    const auto [a, partner] = pairs[0];
    const int other = pairs[1].first;
    auto moveTo = [&](int i) {
        for (int k = 0; k < 4; ++k)
            key(w, Qt::Key_Up);
        key(w, Qt::Key_Home);
        for (int k = 0; k < i / 4 + i % 4; ++k)
            key(w, k < i / 4 ? Qt::Key_Down : Qt::Key_Right);
    };
    auto name = [&](int i, const QString& shows) {
        return QString("Row %1, column %2, %3").arg(i / 4 + 1).arg(i % 4 + 1).arg(shows);
    };
    auto picture = [&](int i) { return pictures::frmImg.name(game.block(i)->tag().toInt()); };
    QList<QStringList> turns;
    for (const int i : {a, other, a, partner}) {
        moveTo(i);
        g_heard.clear();
        key(w, Qt::Key_Space);
        QCOMPARE(g_heard.mid(0, 2), (QStringList{"zhoop.wav", name(i, picture(i))}));
        turns << g_heard.mid(2);
    }
    // The mismatch: the score is told too before the first waiting complaint sound.
    QCOMPARE(turns[1].value(0), QString("Current score 990"));
    QVERIFY2(turns[1].value(1).startsWith("wait "), qPrintable(turns[1].join(", ")));
    // The match: the score, then both blocks gone.
    QCOMPARE(turns[3], (QStringList{"Current score 980", "ooo.wav", name(a, "matched"),
                                    name(partner, "matched")}));
    QAccessible::installUpdateHandler(nullptr);
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
