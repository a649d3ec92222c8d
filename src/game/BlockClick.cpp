#include "game/Numbers.h"
#include "game/RandomNumber.h"
#include "game/cDefault.h"
#include "game/modMain.h"
#include "pictures/PictureLibrary.h"
#include "platform/Services.h"
#include "shell/Twips.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

namespace {

// Counts the block clicks that are still running, nested ones included.
class RunningClick {
  public:
    explicit RunningClick(int& counter) : m_counter(counter) { ++m_counter; }
    ~RunningClick() { --m_counter; }
    RunningClick(const RunningClick&) = delete;
    RunningClick& operator=(const RunningClick&) = delete;

  private:
    int& m_counter;
};

struct Complaint {
    const char* sound;
    int times;
};

// The mismatch complaints, one of which is picked at random.
constexpr Complaint kComplaints[8] = {
    {"boing3.wav", 3}, {"crybaby.wav", 1}, {"whine.wav", 1},  {"cow.wav", 2},
    {"bleep.wav", 12}, {"weird.wav", 3},   {"donkey.wav", 1}, {"ow.wav", 4},
};

} // namespace

void frmMain::imgMain_Click(int index) {
    // Dropped during a board build: see the re-entry rule in frmMain.h.
    if (m_building)
        return;
    RunningClick running(m_blockClicksRunning);
    shell::ImageBox* block = imgMain[static_cast<std::size_t>(index)];

    objGame->CheckGameOver(*this);
    PlayWaveAsync("zhoop.wav");
    if (objGame->blnGameOver) {
        PlayWave("over.wav");
        return;
    }
    if (!isCovered(index)) {
        PlayWave("denied.wav");
        return;
    }
    const std::int16_t level = levelInPlay();
    // No player reaches this today: block clicks during a board build are dropped, and
    // before the first level block 0 shows its own copy of the cover, not the cover
    // itself, so its click ends at the game-over test above.
    if (level == 0) {
        PlayWave("denied.wav");
        platform::services().messageBox->show(
            {QStringLiteral("Please Select Level"), QStringLiteral("Duvella 6.2")});
        return;
    }

    // Uncover the block; a number outside the library leaves it covered.
    if (pictures::Picture picture = pictures::frmImg.imgMain(pictureNumber(index)))
        block->setPicture(std::move(picture));
    DelayWithEvents();

    // Counted only now, after the pause (the re-entry rule in frmMain.h).
    objGame->intTurn += 1;
    if (objGame->intTurn == 1) {
        objGame->intFirstBlockIndex = static_cast<std::int16_t>(index);
        objGame->intFirstBlockImage = pictureNumber(index);
    } else if (objGame->intTurn == 2) {
        objGame->intSecondBlockIndex = static_cast<std::int16_t>(index);
        objGame->intSecondBlockImage = pictureNumber(index);
        if (const auto lowered = scoreAfterSecondReveal(score()))
            lblCurrentScore->setCaption(QString::number(*lowered));
    }
    if (objGame->intTurn == 2) {
        shell::ImageBox* first = imgMain[static_cast<std::size_t>(objGame->intFirstBlockIndex)];
        shell::ImageBox* second = imgMain[static_cast<std::size_t>(objGame->intSecondBlockIndex)];
        if (objGame->intFirstBlockImage != objGame->intSecondBlockImage) {
            DoPause();
            first->setPicture(imgDefault->picture());
            second->setPicture(imgDefault->picture());
        } else {
            PlayWaveAsync("ooo.wav");
            first->setVisible(false);
            second->setVisible(false);
        }
        objGame->intTurn = 0;
    }
    EndOfGameTest(level);
}

void frmMain::DoPause() {
    const Complaint& complaint = kComplaints[RandomNumber(8) - 1];
    for (int i = 0; i < complaint.times; ++i)
        PlayWave(complaint.sound);
}

void frmMain::lblCurrentScore_Change() {
    const auto score = toInt16(this->score());
    // A negative height cannot be set: the bar keeps the height it had.
    if (!score || *score < 0)
        return;
    Shape1->resize(Shape1->width(), shell::twipsToPixels(2 * *score));
}
