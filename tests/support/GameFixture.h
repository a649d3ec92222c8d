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

    FakePlatform platform;

  private:
    QTemporaryDir m_config;
    std::unique_ptr<frmMain> m_window;
};

// Tag texts of the board, block by block.
QStringList boardTags(const frmMain& window);
// Sends a left click (press and release) to a widget, at once.
void click(QWidget* widget);
// Posts a left click to a widget; it is handled when the event loop next runs.
void postClick(QWidget* widget);

} // namespace testing
