#pragma once

#include "shell/controls/ImageBox.h"
#include "shell/controls/Label.h"
#include "shell/controls/Line.h"
#include "shell/controls/PictureBox.h"

#include <QGroupBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The game window. Its controls are the game's data: the score, the level in
// play, the board and the high-score table live in their captions, tag texts
// and pictures. The handlers are named after the control and the event.
class frmMain : public QWidget {
    Q_OBJECT
  public:
    frmMain();
    ~frmMain() override;

    // Level choice strip.
    shell::PictureBox* Picture1;
    shell::Label* Label1;
    std::array<shell::Label*, 3> lblLevel;
    // Start hint.
    std::array<shell::Label*, 1> lblInfo;
    // High-score frame.
    QGroupBox* Frame1;
    std::array<shell::Label*, 4> lblGen;
    std::array<shell::Label*, 3> lblHighScore;
    std::array<shell::Label*, 3> lblHighDate;
    // The table's six texts as this run read them from the settings file (scores,
    // then dates), to tell at closing what this run changed; nothing when the file
    // could not be read, and then this run never writes it.
    std::optional<QStringList> highScoresAsRead;
    QPushButton* cmdClear;
    shell::Label* lblCurrentLevel;
    // Current score and its bar.
    shell::Label* lblCurrentScore;
    shell::Label* Shape1;
    std::array<shell::Line*, 3> Line3;
    // The board: block 0 exists from the start, the others are created by a level start.
    shell::PictureBox* picMain;
    std::vector<shell::ImageBox*> imgMain;
    std::array<shell::Line*, 7> Line1;
    std::array<shell::Line*, 7> Line2;
    // Cover sample and buttons.
    shell::ImageBox* imgDefault;
    QPushButton* cmdHelp;
    QPushButton* cmdExit;

    // The game's values as the controls hold them. Each is turned from a caption,
    // tag text or picture into a value here and nowhere else.
    // The score: the numeric value of the score caption.
    double score() const;
    // The level in play, from the 7th character of the level caption; 0 for none.
    std::int16_t levelInPlay() const;
    // The board side of level label `index`, from its tag text.
    std::int16_t boardSide(int index) const;
    // Whether block i shows the cover picture object itself; a picture that merely
    // looks like the cover does not count.
    bool isCovered(int i) const;
    // Whether block i has been dealt: its tag text is not blank.
    bool isDealt(int i) const;
    // Block i's picture number, from its tag text; 0 when it holds none.
    std::int16_t pictureNumber(int i) const;

    // Life cycle.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    // Buttons and clicks.
    void cmdExit_Click();
    void cmdHelp_Click();
    void cmdClear_Click();
    void imgDefault_Click();
    void Label1_Click();
    void lblCurrentScore_Click();
    void lblGen_Click(int index);
    void Shape1_Click();
    void lblLevel_Click(int index);
    void imgMain_Click(int index);
    void lblCurrentScore_Change();

    // The mismatch complaint: a random sound group, played to its end.
    void DoPause();

    // Board blocks: creates block i as a hidden copy of block 0, or removes block i.
    void createBlock(int i);
    void removeBlock(int i);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLayout();
    void centreOnScreen();
    QSize outerSize() const;
    void connectHandlers();
    void connectBlock(int i);
    void EndOfGameTest(std::int16_t level);

    // Re-entry. A board build and a block click's pause let the event loop run, so
    // clicks arrive in the middle of them (a waiting sound lets none in). Two are
    // dropped, silently:
    // - a block click while a board is built: its blocks have no picture numbers yet;
    // - a level click while a board is built or any block click is running, nested
    //   ones included: two builds must not interleave, and a running click must never
    //   count its reveal into a new game.
    // Any other click runs in full at once, nested. A reveal is counted only after its
    // pause, so of two overlapping block clicks the inner one counts first.
    bool m_building = false;
    int m_blockClicksRunning = 0;
    // The outer size the window was last centred with, and whether the window
    // manager has framed the window (true from the first expose on).
    QSize m_centredOuterSize;
    bool m_framed = false;
};
