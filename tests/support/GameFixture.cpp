#include "support/GameFixture.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "shell/Fonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <map>
#include <qpa/qwindowsysteminterface.h>

namespace testing {

GameFixture::GameFixture() {
    shell::installFontSubstitutes();
    // The settings file goes where the program puts it, under a config folder of our own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    pictures::frmImg.load();
    restart();
}

void GameFixture::restart() {
    m_window.reset();
    objGame.release();
    m_window = std::make_unique<frmMain>();
    m_window->Form_Load();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void GameFixture::restartWithSettingsFile(const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(settingsFile()).path());
    QFile file(settingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    restart();
}

Plays GameFixture::reveal(int i) {
    platform.sound.clear();
    click(block(i));
    return platform.sound.plays;
}

std::vector<std::pair<int, int>> GameFixture::pairs() {
    std::map<QString, std::vector<int>> blocks;
    for (int i = 0; i < int(window().imgMain.size()); ++i)
        blocks[block(i)->tag()].push_back(i);
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [tag, at] : blocks)
        pairs.emplace_back(at.front(), at.back());
    return pairs;
}

void GameFixture::clickWhile(QWidget* outer, const std::function<void()>& inside) {
    const auto previous = platform.sound.onPlay;
    platform.sound.onPlay = [&, first = true](const RecordingSoundOutput::Play& play) mutable {
        if (std::exchange(first, false))
            inside();
        if (previous)
            previous(play);
    };
    click(outer);
    platform.sound.onPlay = previous;
}

void click(QWidget* widget, Delivery delivery, int clicks) {
    using W = QWindowSystemInterface;
    QWidget* top = widget->window();
    const QPointF at = widget->mapTo(top, QPointF(widget->width() / 2.0, widget->height() / 2.0));
    // On QTest's own clock, so these clicks and QTest's never make a stray double-click.
    for (int i = 0; i < 2 * clicks; ++i)
        W::handleMouseEvent<W::AsynchronousDelivery>(
            top->windowHandle(), ++QTest::lastMouseTimestamp, at, top->mapToGlobal(at),
            i % 2 ? Qt::NoButton : Qt::LeftButton, Qt::LeftButton,
            i % 2 ? QEvent::MouseButtonRelease : QEvent::MouseButtonPress);
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    if (delivery == Delivery::Now)
        W::flushWindowSystemEvents();
}

} // namespace testing
