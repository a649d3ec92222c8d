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

    // Every control in its place with its text; a drag of the border snaps back,
    // maximising works, and restoring brings the size back.
    void windowLayoutAndSize() {
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
        w.resize(760, 600);
        QCOMPARE(w.size(), QSize(700, 514));
        w.showMaximized();
        QTRY_VERIFY(w.width() > 700 && w.height() > 514);
        w.showNormal();
        QTRY_COMPARE(w.size(), QSize(700, 514));
    }

    // A decorative control plays its one sound, waiting or not, and changes nothing.
    void decorativeClicks() {
        testing::GameFixture game;
        frmMain& w = game.window();
        using Play = testing::RecordingSoundOutput::Play;
        const std::pair<QWidget*, Play> clicks[] = {
            {w.imgDefault, {"ugh.wav", true}},     {w.Label1, {"Horse.wav", true}},
            {w.lblCurrentScore, {"ow.wav", true}}, {w.lblGen[1], {"bird.wav", false}},
            {w.lblGen[3], {"bird.wav", false}},    {w.Shape1, {"coyote.wav", false}},
        };
        for (const auto& [control, play] : clicks) {
            game.platform.sound.clear();
            testing::click(control);
            QCOMPARE(game.platform.sound.plays, testing::Plays{play});
        }
        QCOMPARE(w.lblCurrentScore->text(), "1000");
        QCOMPARE(w.lblCurrentLevel->text(), "Level");
    }

    // The drum starts the game from the program's folder. Exit thanks the player before
    // the table is saved and the process ends; the close box saves and ends at once.
    void startAndClose() {
        testing::GameFixture game;
        QCOMPARE(game.platform.sound.paths[0],
                 QCoreApplication::applicationDirPath().toStdString() + "/bdrum.wav");
        // Clear Scores gives the table a change to save; a run without one writes nothing.
        testing::click(game.window().cmdClear);
        bool savedBeforeThanks = true;
        game.platform.sound.onPlay = [&](auto&) {
            savedBeforeThanks = QFile::exists(game.settingsFile());
        };
        QTest::keyClick(game.window().windowHandle(), Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(game.platform.processEnds, 1);
        QVERIFY(!savedBeforeThanks && QFile::remove(game.settingsFile()));
        game.restart();
        testing::click(game.window().cmdClear);
        QWindowSystemInterface::handleCloseEvent(game.window().windowHandle());
        QTRY_COMPARE(game.platform.processEnds, 2);
        QVERIFY(QFile::exists(game.settingsFile()));
        const testing::RecordingSoundOutput::Play siren{"police.wav", true};
        QCOMPARE(game.platform.sound.plays,
                 (testing::Plays{{"bdrum.wav", false}, siren, siren, siren, {"Thankyou.wav", true},
                                 {"bdrum.wav", false}, siren, siren, siren}));
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
