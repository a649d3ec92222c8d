#include "support/GameFixture.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "platform/PlainIniFormat.h"
#include "shell/Fonts.h"

#include <QSettings>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

namespace testing {

GameFixture::GameFixture() {
    shell::installFontSubstitutes();
    QSettings::setPath(platform::plainIniFormat(), QSettings::UserScope, m_config.path());
    pictures::frmImg.load();
    restart();
}

GameFixture::~GameFixture() {
    m_window.reset();
    objGame.release();
}

void GameFixture::restart() {
    m_window.reset();
    objGame.release();
    m_window = std::make_unique<frmMain>();
    m_window->Form_Load();
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("game window did not become active");
}

QString GameFixture::settingsFile() const {
    return m_config.path() + QStringLiteral("/Duvella/Duvella 6.2.ini");
}

void GameFixture::clickWhile(QWidget* outer, const std::function<void()>& inside) {
    const auto previous = platform.sound.onPlay;
    bool done = false;
    platform.sound.onPlay = [&](const RecordingSoundOutput::Play& play) {
        if (!std::exchange(done, true))
            inside();
        if (previous)
            previous(play);
    };
    click(outer);
    platform.sound.onPlay = previous;
}

QStringList boardTags(const frmMain& window) {
    QStringList tags;
    for (const shell::ImageBox* block : window.imgMain)
        tags << block->tag();
    return tags;
}

namespace {

void mouse(QWidget* widget, QEvent::Type type, Delivery delivery) {
    QWidget* top = widget->window();
    const QPointF at = widget->mapTo(top, QPointF(widget->width() / 2.0, widget->height() / 2.0));
    // QTest's own clock, so these clicks and QTest's never make a stray double-click.
    const ulong time = ++QTest::lastMouseTimestamp;
    const auto buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    using W = QWindowSystemInterface;
    if (delivery == Delivery::Queued)
        W::handleMouseEvent<W::AsynchronousDelivery>(top->windowHandle(), time, at,
                                                     top->mapToGlobal(at), buttons,
                                                     Qt::LeftButton, type);
    else
        W::handleMouseEvent<W::SynchronousDelivery>(top->windowHandle(), time, at,
                                                    top->mapToGlobal(at), buttons,
                                                    Qt::LeftButton, type);
}

} // namespace

void click(QWidget* widget, Delivery delivery) {
    mouse(widget, QEvent::MouseButtonPress, delivery);
    mouse(widget, QEvent::MouseButtonRelease, delivery);
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
}

void doubleClick(QWidget* widget, Delivery delivery) {
    for (int i = 0; i < 2; ++i) {
        mouse(widget, QEvent::MouseButtonPress, delivery);
        mouse(widget, QEvent::MouseButtonRelease, delivery);
    }
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
}

} // namespace testing
