#include "BenchGame.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "platform/Services.h"
#include "shell/Fonts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QFile>
#include <QTest>
#include <QThread>

#include <algorithm>

namespace bench {

void SilentSound::play(const std::string& path, bool wait) {
    ++plays;
    static const std::string pop = "/pop.wav";
    if (wait && path.size() >= pop.size() &&
        path.compare(path.size() - pop.size(), pop.size(), pop) == 0)
        ++waitingPops;
}

platform::MessageBox::Button AnsweringMessageBox::show(const Request& request) {
    ++shown;
    return request.defaultButton;
}

QDate CountingClock::today() const {
    return QDate::currentDate();
}

std::uint64_t CountingClock::ticks() const {
    ++readings;
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

BenchGame::BenchGame() {
    platform::Services& services = platform::services();
    services.sound = &sound;
    services.messageBox = &messageBox;
    services.clock = &clock;
    services.endProcess = [] {};

    shell::installFontSubstitutes();
    // The settings file goes under a config folder of the benchmark's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    pictures::frmImg.load();
    m_window = std::make_unique<frmMain>();
    m_window->Form_Load();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("the game window was not exposed");
    settle(50);
}

BenchGame::~BenchGame() {
    m_window.reset();
    objGame.release();
    platform::services() = platform::Services{};
}

void settle(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

QString platformLabel() {
    return QGuiApplication::platformName();
}

const char* verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

} // namespace bench
