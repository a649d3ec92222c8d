#include "support/GameFixture.h"

#include <QGroupBox>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

using Button = platform::MessageBox::Button;

namespace {

// The controls of the window: place and size in twips within their container, and text.
// clang-format off
const std::tuple<const char*, QRect, const char*> kLayout[] = {
    {"Label1", {0, 60, 1035, 495}, " Level >"},             {"lblLevel(0)", {1140, 0, 435, 480}, "1"},
    {"lblLevel(1)", {1740, 0, 495, 480}, "2"},                {"lblLevel(2)", {2400, 0, 435, 480}, "3"},
    {"lblInfo(0)", {180, 900, 3075, 675}, "Click mouse on Level 1, 2 or 3 above to start game. "},
    {"Frame1", {180, 1980, 3015, 2115}, "High Score"},        {"lblGen(0)", {180, 300, 675, 315}, " Level 1"},
    {"lblHighScore(2)", {900, 1020, 735, 315}, nullptr},     {"lblHighDate(2)", {1680, 1020, 1155, 315}, nullptr},
    {"cmdClear", {180, 1620, 1155, 375}, "&Clear Scores"},   {"lblCurrentLevel", {1800, 1680, 975, 255}, "Level"},
    {"lblGen(3)", {180, 4500, 1215, 255}, " Current Score >"}, {"lblCurrentScore", {1920, 4440, 1215, 375}, "1000"},
    {"picMain", {3720, 300, 6615, 6555}, nullptr},            {"imgMain(0)", {120, 120, 720, 720}, nullptr},
    {"imgDefault", {3720, 6960, 540, 540}, nullptr},          {"cmdHelp", {8700, 7080, 795, 375}, "&Help"},
    {"cmdExit", {9540, 7080, 795, 375}, "E&XIT"},
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

const QByteArray kStored = "[general]\nhighscore1=920\nhighscore2=810\nhighscore3=650\n"
                           "highdate1=03-05-2027\nhighdate2=12-31-2026\nhighdate3=02-29-2028\n";
const QString kStoredShown = "best1=920, best2=810, best3=650, date1=03-05-2027, "
                             "date2=12-31-2026, date3=02-29-2028, ";
const QString kCleared = "file=[general]%0Ahighscore1=%0Ahighscore2=%0Ahighscore3=%0A"
                         "highdate1=%0Ahighdate2=%0Ahighdate3=%0A, ";

QString where(const QWidget& w, const QPoint& at) {
    return "window=" + testing::placed(w, at);
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    // A session: every control in its place with its text; the window opens centred (the outer
    // size's difference in whole twips halved toward zero), with the table read and the drum heard;
    // Help by its access key and by the mouse, the decorative clicks, the window moved, its border
    // dragged (it snaps back), maximised, minimised and restored; Clear Scores answered; Exit or
    // the close box, which write what the run changed as the window closes; and the next start.
    void aSession_data() {
        QTest::addColumn<QByteArray>("file");      // none when null
        QTest::addColumn<QList<Button>>("answer"); // none: Enter, which takes the default button
        QTest::addColumn<bool>("exitButton");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("written");
        // clang-format off
        QTest::newRow("first run, No, close box") << QByteArray() << QList{Button::No} << false
            << "best1=0, best2=0, best3=0, date1=Never, date2=Never, date3=Never, "
            << ""; // a run that changed nothing writes nothing
        QTest::newRow("stored, Yes, EXIT") << kStored << QList{Button::Yes} << true << kStoredShown << kCleared;
        QTest::newRow("stored, Enter, close box") << kStored << QList<Button>{} << false << kStoredShown << kCleared;
        // clang-format on
    }
    void aSession() {
        QFETCH(QByteArray, file);
        QFETCH(QList<Button>, answer);
        QFETCH(bool, exitButton);
        QFETCH(QString, shown);
        QFETCH(QString, written);
        testing::GameFixture game;
        const int frame = (game.window().frameGeometry().width() - game.window().width()) / 2;
        game.restart(file.isNull() ? std::nullopt : std::optional(file));
        frmMain& w = game.window();
        QWindow* window = w.windowHandle();
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
        const QRect screen = w.screen()->geometry();
        const QPoint centred =
            screen.topLeft() +
            QPoint(qRound((screen.width() * 15 - 15 * (700 + 2 * frame)) / 2 / 15.0),
                   qRound((screen.height() * 15 - 15 * (514 + 2 * frame)) / 2 / 15.0));
        QCOMPARE(game.transcript(), shown + "bdrum&, focus=picMain, " + where(w, centred));
        QString heard; // an access key presses its button a moment later
        QTest::keyClick(window, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY((heard += game.transcript(), !heard.isEmpty()));
        QCOMPARE(heard, kHelp);
        QCOMPARE(game.click(w.cmdHelp), "focus=cmdHelp, " + kHelp);
        // Enter and keypad Enter press the focused button; there is no default button.
        QTest::keyClick(window, Qt::Key_Return);
        QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(game.transcript(), kHelp + ", " + kHelp);
        const std::pair<QWidget*, QString> decorative[] = {
            {w.imgDefault, "ugh"},     {w.Label1, "focus=Picture1, Horse"},
            {w.lblCurrentScore, "ow"}, {w.lblGen[0], "bird&"},
            {w.lblGen[2], "bird&"},    {w.lblGen[3], "bird&"},
            {w.Shape1, "coyote&"}};
        for (const auto& [control, heard] : decorative) // a double-click is one click
            QCOMPARE(game.click(control, 2), heard);
        // A press let go outside its control is no click.
        for (QWidget* c : {(QWidget*)w.cmdClear, (QWidget*)w.lblLevel[0], (QWidget*)w.Shape1})
            testing::click(c, testing::Delivery::Now, 1, QPoint(c->width(), 0));
        QCOMPARE(game.transcript(), "");
        using W = QWindowSystemInterface;
        W::handleGeometryChange<W::SynchronousDelivery>(window, QRect({300, 200}, w.size()));
        QCOMPARE(game.transcript(), where(w, {300 - frame, 200 - frame}));
        W::handleGeometryChange<W::SynchronousDelivery>(window, QRect(300, 200, 760, 600));
        QTRY_COMPARE(w.size(), QSize(700, 514));
        QCOMPARE(game.transcript(), "");
        w.showMaximized();
        QTRY_COMPARE(w.frameGeometry(), w.screen()->availableGeometry());
        QCOMPARE(game.transcript(), where(w, w.frameGeometry().topLeft()));
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        QCOMPARE(game.transcript(), where(w, w.frameGeometry().topLeft()));
        w.showNormal();
        QTRY_COMPARE(w.frameGeometry().topLeft(), QPoint(300 - frame, 200 - frame));
        QCOMPARE(game.transcript(), where(w, {300 - frame, 200 - frame}));
        // Cleared after three sirens, on screen at once and on disk at closing.
        game.platform.answers = {answer.begin(), answer.end()};
        const bool no = answer == QList{Button::No};
        QCOMPARE(game.click(w.cmdClear),
                 "focus=cmdClear, box Clear High Score History|-|YesNo|Yes: Are you sure you want "
                 "to clear the high score history ? -> " +
                     QString(no ? "No"
                                : "Yes, police, police, police, best1=, best2=, best3=, "
                                  "date1=, date2=, date3="));
        if (exitButton)
            QTest::keyClick(window, Qt::Key_X, Qt::AltModifier);
        else
            W::handleCloseEvent(window);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(game.transcript(), QString(exitButton ? "Thankyou, " : "") + written + "end");
        game.restart();
        QCOMPARE(game.transcript(), QString(no ? shown : "") + "bdrum&, focus=picMain, " +
                                        where(game.window(), centred));
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
