#include "support/GameFixture.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "shell/Fonts.h"

#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTest>

namespace testing {

GameFixture::GameFixture() {
    shell::installFontSubstitutes();
    // The settings file goes where the program puts it, under a config folder of our own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
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

QStringList boardTags(const frmMain& window) {
    QStringList tags;
    for (const shell::ImageBox* block : window.imgMain)
        tags << block->tag();
    return tags;
}

namespace {

void send(QWidget* widget, bool post) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    auto* press = new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                  Qt::LeftButton, Qt::NoModifier);
    auto* release = new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);
    if (post) {
        QCoreApplication::postEvent(widget, press);
        QCoreApplication::postEvent(widget, release);
    } else {
        QCoreApplication::sendEvent(widget, press);
        QCoreApplication::sendEvent(widget, release);
        delete press;
        delete release;
    }
}

} // namespace

void click(QWidget* widget) {
    send(widget, false);
}

void postClick(QWidget* widget) {
    send(widget, true);
}

} // namespace testing
