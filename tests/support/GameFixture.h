#pragma once

#include "shell/frmMain.h"
#include "support/Fakes.h"

#include <QTemporaryDir>
#include <memory>

namespace testing {

using Plays = std::vector<RecordingSoundOutput::Play>;

// Player input goes through the window system, as a real mouse's does. Now hands
// it over at once; Queued leaves it in the window system's queue, where the next
// pass of the event loop picks it up (a pass that shuts out user input does not).
enum class Delivery { Now, Queued };
// A left click (press and release) on the middle of `widget`; two for a double-click.
void click(QWidget* widget, Delivery delivery = Delivery::Now, int clicks = 1);

// A game window on the fake platform, with a settings store of its own in a
// temporary folder, built and shown as the program does it; and a player's moves.
class GameFixture {
  public:
    GameFixture();

    frmMain& window() { return *m_window; }
    // Builds a fresh window (the old one goes), as a new start of the program would.
    void restart();
    // Starts the program afresh over a settings file that holds `bytes`.
    void restartWithSettingsFile(const QByteArray& bytes);
    QString settingsFile() const { return m_config.path() + "/Duvella/Duvella 6.2.ini"; }

    void startLevel(int index) { click(window().lblLevel[index]), platform.sound.clear(); }
    shell::ImageBox* block(int i) { return window().imgMain.at(std::size_t(i)); }
    // Clicks block i and returns the sounds of that click.
    Plays reveal(int i);
    bool covered(int i) { return block(i)->picture() == window().imgDefault->picture(); }
    QString score() { return window().lblCurrentScore->caption(); }
    // The two blocks of each picture number on the board.
    std::vector<std::pair<int, int>> pairs();
    // Clicks `outer`; `inside` runs as that click plays its first sound, e.g. to
    // queue clicks that then arrive during the click's pause.
    void clickWhile(QWidget* outer, const std::function<void()>& inside);

    FakePlatform platform;

  private:
    QTemporaryDir m_config;
    std::unique_ptr<frmMain> m_window;
};

} // namespace testing
