#include "shell/Centring.h"
#include "support/GameFixture.h"

#include <QGroupBox>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

namespace {

// The controls of the window: place and size in twips within their container, and text.
// clang-format off
const std::tuple<const char*, QRect, const char*> kLayout[] = {
    {"Label1",          {0,    60,   1035, 495},  " Level >"},
    {"lblLevel(0)",     {1140, 0,    435,  480},  "1"},
    {"lblLevel(1)",     {1740, 0,    495,  480},  "2"},
    {"lblLevel(2)",     {2400, 0,    435,  480},  "3"},
    {"lblInfo(0)",      {180,  900,  3075, 675},  "Click mouse on Level 1, 2 or 3 above to start game. "},
    {"Frame1",          {180,  1980, 3015, 2115}, "High Score"},
    {"lblGen(0)",       {180,  300,  675,  315},  " Level 1"},
    {"lblHighScore(2)", {900,  1020, 735,  315},  "0"},
    {"lblHighDate(2)",  {1680, 1020, 1155, 315},  "Never"},
    {"cmdClear",        {180,  1620, 1155, 375},  "&Clear Scores"},
    {"lblCurrentLevel", {1800, 1680, 975,  255},  "Level"},
    {"lblGen(3)",       {180,  4500, 1215, 255},  " Current Score >"},
    {"lblCurrentScore", {1920, 4440, 1215, 375},  "1000"},
    {"picMain",         {3720, 300,  6615, 6555}, nullptr},
    {"imgMain(0)",      {120,  120,  720,  720},  nullptr},
    {"imgDefault",      {3720, 6960, 540,  540},  nullptr},
    {"cmdHelp",         {8700, 7080, 795,  375},  "&Help"},
    {"cmdExit",         {9540, 7080, 795,  375},  "E&XIT"},
};
// clang-format on

const QString kHelp =
    "box Duvella Help|i|OK|OK: Click on the level you want to play. There are 3 levels, each "
    "with more blocks. This starts the game.\r\n\r\nClick on any block to see what image is "
    "hidden behind it. Click another block to see if it matches the first block. If the two "
    "blocks don't match, the images are hidden again. Continue this way until all images are "
    "visible.\r\n\r\nYou score starts at 1000 and starts decreasing. The fewer moves to "
    "complete the game, the higher the score. Once the score reaches zero, the game is "
    "automatically over. -> OK";

// The window centred on its screen: the difference of the outer sizes in whole twips,
// halved toward zero (15 twips to the pixel), `frame` pixels around the client area.
QString centred(const QScreen* screen, int frame) {
    const QRect on = screen->geometry();
    const int left = (on.width() * 15 - 15 * (700 + 2 * frame)) / 2;
    const int top = (on.height() * 15 - 15 * (514 + 2 * frame)) / 2;
    return QString("window=%1,%2 700x514").arg(on.x() + left / 15).arg(on.y() + top / 15);
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    void centringTruncatesTowardZero() {
        // The outer size of a window whose frame adds 120 x 405 twips to its client area.
        QCOMPARE(shell::centredPositionTwips({800, 600}, {10620, 8115}), QPoint(690, 442));
        QCOMPARE(shell::centredPositionTwips({640, 480}, {10620, 8115}), QPoint(-510, -457));
        QCOMPARE(shell::centredPositionTwips({641, 480}, {10620, 8115}), QPoint(-502, -457));
    }

    // Every control in its place with its text.
    void windowLayout() {
        testing::GameFixture game;
        frmMain& w = game.window();
        QCOMPARE(w.windowTitle(), " Duvella Version 6.2");
        for (const auto& [name, twips, text] : kLayout) {
            QWidget* control = w.findChild<QWidget*>(name);
            QVERIFY2(control && control->isVisible(), name);
            QCOMPARE(control->geometry(),
                     QRect(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0),
                           qRound(twips.width() / 15.0), qRound(twips.height() / 15.0)));
            if (text) // a label's or a button's text, a frame's title
                QCOMPARE(control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text"),
                         text);
        }
    }

    // The window opens centred, with the table read and the drum heard; the player's
    // commands: Help, the decorative clicks, the window moved, its border dragged (it
    // snaps back), maximised, minimised and restored; then Exit or the close box.
    void aSession_data() {
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("EXIT") << true;
        QTest::newRow("close box") << false;
    }
    void aSession() {
        QFETCH(bool, exitButton);
        testing::GameFixture game;
        const int frame = game.window().frameGeometry().width() - game.window().width();
        game.restart();
        frmMain& w = game.window();
        QWindow* window = w.windowHandle();
        QCOMPARE(game.transcript(), "best1=0, best2=0, best3=0, date1=Never, date2=Never, date3=Never, "
                                    "bdrum&, focus=picMain, " + centred(w.screen(), frame / 2));
        QString heard; // an access key presses its button a moment later
        QTest::keyClick(window, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY((heard += game.transcript(), !heard.isEmpty()));
        QCOMPARE(heard, kHelp);
        QCOMPARE(game.click(w.cmdHelp), "focus=cmdHelp, " + kHelp);
        const std::pair<QWidget*, QString> decorative[] = {
            {w.imgDefault, "ugh"}, {w.Label1, "focus=Picture1, Horse"}, {w.lblCurrentScore, "ow"},
            {w.lblGen[0], "bird&"}, {w.lblGen[2], "bird&"}, {w.lblGen[3], "bird&"}, {w.Shape1, "coyote&"}};
        for (const auto& [control, heard] : decorative)
            QCOMPARE(game.click(control), heard);
        QWindowSystemInterface::handleGeometryChange<QWindowSystemInterface::SynchronousDelivery>(
            window, QRect(QPoint(300, 200), w.size()));
        const QString moved = QString("window=%1,%2 700x514").arg(300 - frame / 2).arg(200 - frame / 2);
        QCOMPARE(game.transcript(), moved);
        QWindowSystemInterface::handleGeometryChange<QWindowSystemInterface::SynchronousDelivery>(
            window, QRect(QPoint(300, 200), QSize(760, 600)));
        QTRY_COMPARE(w.size(), QSize(700, 514));
        QCOMPARE(game.transcript(), "");
        w.showMaximized();
        QTRY_COMPARE(w.frameGeometry(), w.screen()->availableGeometry());
        QCOMPARE(game.transcript(), QString("window=%1,%2 %3x%4 max").arg(w.frameGeometry().x()).arg(w.frameGeometry().y())
                                        .arg(w.width()).arg(w.height()));
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        QCOMPARE(game.transcript(), QString("window=%1,%2 %3x%4 min").arg(w.frameGeometry().x()).arg(w.frameGeometry().y())
                                        .arg(w.width()).arg(w.height()));
        w.showNormal();
        QTRY_COMPARE(w.frameGeometry().topLeft(), QPoint(300 - frame / 2, 200 - frame / 2));
        QCOMPARE(game.transcript(), moved);
        // The table is written as the window closes, after the thanks, and the process ends.
        if (exitButton)
            QTest::keyClick(window, Qt::Key_X, Qt::AltModifier);
        else
            QWindowSystemInterface::handleCloseEvent(window);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(game.transcript(), QString(exitButton ? "Thankyou, " : "") + "file=[general]\\nhighscore1=0\\nhighscore2=0\\n"
                 "highscore3=0\\nhighdate1=Never\\nhighdate2=Never\\nhighdate3=Never\\n, end");
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
