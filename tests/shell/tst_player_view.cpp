#include "pictures/PictureLibrary.h"
#include "shell/Twips.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <map>
#include <qpa/qwindowsysteminterface.h>

using testing::GameFixture;
using Play = testing::RecordingSoundOutput::Play;

namespace {

QPoint centreIn(const QWidget* widget) {
    return widget->mapTo(widget->window(), widget->rect().center());
}

// A left click as the window system delivers it.
void clickOn(const QWidget* widget) {
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, centreIn(widget));
}

// What the window shows: its backing store, not a fresh rendering.
QImage shown(QWidget* window) {
    return window->screen()->grabWindow(window->winId()).toImage();
}

} // namespace

class PlayerViewTest : public QObject {
    Q_OBJECT
  private slots:
    void eachRowIsPaintedBeforeItsPop_data() {
        QTest::addColumn<int>("level");
        QTest::newRow("level 1") << 0;
        QTest::newRow("level 3") << 2;
    }
    void eachRowIsPaintedBeforeItsPop() {
        QFETCH(int, level);
        GameFixture game;
        frmMain& w = game.window();
        const int side = w.lblLevel[level]->tag().toInt();
        QList<int> coveredAtPops;
        game.platform.sound.onPlay = [&](const Play& play) {
            if (play.name != "pop.wav")
                return;
            const QImage image = shown(&w);
            int covered = 0;
            // A block's sunken border stands out from the black board at its top-left pixel.
            for (int cell = 0; cell < side * side; ++cell) {
                const QPoint at(shell::twipsToPixels(120 + 800 * (cell % side)),
                                shell::twipsToPixels(120 + 800 * (cell / side)));
                covered += image.pixelColor(w.picMain->area()->mapTo(&w, at)) != Qt::black;
            }
            coveredAtPops << covered;
        };
        clickOn(w.lblLevel[level]);
        QList<int> expected;
        for (int row = 1; row <= side; ++row)
            expected << row * side;
        QCOMPARE(coveredAtPops, expected);
    }

    void doubleClickIsOneClick_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("sounds");
        QTest::newRow("Label1") << "Label1" << QStringList{"Horse.wav"};
        QTest::newRow("lblGen") << "lblGen(1)" << QStringList{"bird.wav"};
        QTest::newRow("imgDefault") << "imgDefault" << QStringList{"ugh.wav"};
        QTest::newRow("covered block") << "imgMain(5)" << QStringList{"zhoop.wav"};
    }
    void doubleClickIsOneClick() {
        QFETCH(QString, control);
        QFETCH(QStringList, sounds);
        GameFixture game;
        frmMain& w = game.window();
        clickOn(w.lblLevel[0]);
        game.platform.sound.clear();
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {},
                           centreIn(w.findChild<QWidget*>(control)));
        QCOMPARE(game.platform.sound.names(), sounds);
    }

    void nestedLastPairFinishesOnItsScore() {
        GameFixture game;
        frmMain& w = game.window();
        w.lblHighScore[0]->setCaption("0");
        clickOn(w.lblLevel[0]);
        std::map<QString, std::vector<const QWidget*>> pairs;
        for (const shell::ImageBox* block : w.imgMain)
            pairs[block->tag()].push_back(block);
        for (auto it = pairs.begin(); it != std::prev(pairs.end()); ++it) {
            clickOn(it->second[0]);
            clickOn(it->second[1]);
        }
        // The last pair's second click comes while the first one waits in its pause.
        const auto& [first, second] =
            std::pair(pairs.rbegin()->second[0], pairs.rbegin()->second[1]);
        QWindow* window = w.windowHandle();
        game.platform.sound.clear();
        game.platform.sound.onPlay = [&](const Play&) {
            if (game.platform.sound.plays.size() > 1)
                return;
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QWindowSystemInterface::handleMouseEvent<
                    QWindowSystemInterface::AsynchronousDelivery>(
                    window, centreIn(second), window->mapToGlobal(centreIn(second)),
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                    Qt::LeftButton, type);
        };
        clickOn(first);
        QCOMPARE(game.platform.sound.names(),
                 (QStringList{"zhoop.wav", "zhoop.wav", "ooo.wav", "excellent.wav", "win.wav"}));
        QCOMPARE(w.lblCurrentScore->caption(), "920");
        QCOMPARE(w.lblHighScore[0]->caption(), "920");
    }

    void frameCaptionSitsInTheBorder() {
        GameFixture game;
        frmMain& w = game.window();
        const QImage image = shown(&w);
        const QPoint frame = w.Frame1->mapTo(&w, QPoint(0, 0));
        const int row = w.lblGen[0]->mapTo(&w, QPoint(0, 0)).y();
        // The top edge of the border, probed right of the caption.
        int edge = frame.y();
        while (edge < row &&
               image.pixelColor(frame.x() + 150, edge) == w.palette().window().color())
            ++edge;
        QVERIFY2(qAbs(row - 13 - edge) <= 2, qPrintable(QString::number(row - edge)));
        // The caption's letters reach above and below that edge.
        const auto inked = [&](int y) {
            for (int x = frame.x(); x < frame.x() + 60; ++x)
                if (qGray(image.pixel(x, y)) < 100)
                    return true;
            return false;
        };
        QVERIFY(inked(edge - 2) && inked(edge + 2));
    }

    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("boxes");
        QTest::newRow("Return on Help") << "cmdHelp" << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter on Help") << "cmdHelp" << int(Qt::Key_Enter) << 1;
        QTest::newRow("Return on the board") << "picMain" << int(Qt::Key_Return) << 0;
    }
    void enterPressesTheFocusedButton() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, boxes);
        GameFixture game;
        frmMain& w = game.window();
        w.findChild<QWidget*>(focus)->setFocus();
        QTest::keyClick(w.windowHandle(), Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(int(game.platform.messageBox.shown.size()), boxes);
    }

    // Run on its own under Xvfb with a window manager; skipped elsewhere.
    void windowStaysWhereThePlayerDragsIt() {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server with a window manager");
        testing::FakePlatform platform;
        pictures::frmImg.load();
        frmMain w;
        // A window made before it is placed is framed where it stands: the window
        // manager does not move it when it maps it.
        w.winId();
        w.Form_Load();
        w.show();
        QWindow* window = w.windowHandle();
        // Centred with the frame the window manager reports.
        const auto centred = [window] {
            const QRect frame = window->frameGeometry();
            const QSize slack = window->screen()->geometry().size() - frame.size();
            return !window->frameMargins().isNull() &&
                   qAbs(2 * frame.left() - slack.width()) <= 2 &&
                   qAbs(2 * frame.top() - slack.height()) <= 2;
        };
        QTRY_VERIFY(centred());
        const QRect frame = window->frameGeometry();
        // The player drags it by its title bar, and there it stays.
        const QString drag("mousemove %1 %2 mousedown 1 sleep 0.2 mousemove_relative 20 15 sleep "
                           "0.2 mousemove_relative 20 15 sleep 0.2 mouseup 1");
        QProcess::execute("xdotool", drag.arg(frame.left() + 100).arg(frame.top() + 5).split(' '));
        QTRY_COMPARE(window->framePosition(), frame.topLeft() + QPoint(40, 30));
        QTest::qWait(500);
        QCOMPARE(window->framePosition(), frame.topLeft() + QPoint(40, 30));
    }
};

QTEST_MAIN(PlayerViewTest)
#include "tst_player_view.moc"
