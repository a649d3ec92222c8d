#pragma once

#include "shell/frmMain.h"
#include "support/Fakes.h"

#include <QTemporaryDir>
#include <memory>

namespace testing {

// A game window on the fake platform, with a settings store of its own in a
// temporary folder. The window is built and shown as the program does it.
class GameFixture {
  public:
    GameFixture();
    ~GameFixture();

    frmMain& window() { return *m_window; }
    // Builds a fresh window (the old one goes), as a new start of the program would.
    void restart();
    QString settingsFile() const;
    QString configDir() const { return m_config.path(); }
    // Clicks `outer`; `inside` runs as the click plays its first sound, e.g. to
    // queue clicks that then arrive during the click's pause.
    void clickWhile(QWidget* outer, const std::function<void()>& inside);

    FakePlatform platform;

  private:
    QTemporaryDir m_config;
    std::unique_ptr<frmMain> m_window;
};

// Tag texts of the board, block by block.
QStringList boardTags(const frmMain& window);

// Player input goes through the window system, as a real mouse's does. Now hands
// it over at once; Queued leaves it in the window system's queue, where the next
// pass of the event loop picks it up (a pause that shuts out user input does not).
enum class Delivery { Now, Queued };
// A left click (press and release) on the middle of `widget`.
void click(QWidget* widget, Delivery delivery = Delivery::Now);
// Two clicks close enough in time to make a double-click.
void doubleClick(QWidget* widget, Delivery delivery = Delivery::Now);
inline void postClick(QWidget* widget) {
    click(widget, Delivery::Queued);
}

} // namespace testing
