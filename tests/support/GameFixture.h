#pragma once

#include "shell/frmMain.h"
#include "support/Fakes.h"

#include <QTemporaryDir>
#include <map>
#include <memory>
#include <optional>

namespace testing {

// Player input goes through the window system, as a real mouse's does. Now hands
// it over at once; Queued leaves it in the window system's queue, where the next
// pass of the event loop picks it up (a pass that shuts out user input does not).
enum class Delivery { Now, Queued };
// A left click (press and release) on the middle of `widget`; two for a double-click.
// A press released `away` pixels off the middle, outside a small control, is no click.
void click(QWidget* widget, Delivery delivery = Delivery::Now, int clicks = 1, QPoint away = {});

// A window's place (its frame's corner `at`), size and state, as the transcript gives them.
QString placed(const QWidget& window, QPoint at);

// Whether the game running as process `pid` has put its own handler for `signal` in
// place (not merely inherited the test's before it started).
bool catchesSignal(qint64 pid, int signal);

// A game window on the fake platform, with a settings file of its own in a temporary
// folder, built and shown as the program does it, and the transcript of what its
// player perceives: each sound, message box and end of the process as it happens,
// and before each of them and at the end of each step, whatever changed on screen
// and on disk since (window place, size and state, focus, blocks, captions, the
// score bar, the settings file's bytes).
class GameFixture {
  public:
    GameFixture();

    frmMain& window() { return *m_window; }
    // Starts the program afresh, over a settings file that holds `file` if given.
    void restart(const std::optional<QByteArray>& file = {});
    QString settingsFile() const { return m_config.path() + "/Duvella/Duvella 6.2.ini"; }

    // The transcript since the last call, its events joined by ", ". Blocks are
    // shown by index, or by the name given them in `names`.
    QString transcript();
    // Clicks `widget` (twice: a double-click) and returns the transcript of the click.
    QString click(QWidget* widget, int clicks = 1);
    // Clicks `outer`; `inside` runs as that click makes its first sound, e.g. to queue
    // clicks that then arrive during the click's pause.
    void clickWhile(QWidget* outer, const std::function<void()>& inside);
    std::function<void(const QString& event)> during; // runs at each event of the platform

    shell::ImageBox* block(int i) { return window().imgMain.at(std::size_t(i)); }
    // The two blocks of each picture number on the board, by their first block.
    std::vector<std::pair<int, int>> pairs();
    std::map<int, QString> names;

    FakePlatform platform;

  private:
    using State = std::map<QString, QString>; // by name, the transcript's order
    State state();
    void noteChanges();

    QTemporaryDir m_config;
    std::unique_ptr<frmMain> m_window;
    std::vector<QString> m_blocks;
    std::map<QString, QString> m_shown;
    QStringList m_events;
};

} // namespace testing
