#include "game/cDefault.h"
#include "scores/HighScores.h"
#include "shell/Centring.h"
#include "shell/Main.h"
#include "shell/Twips.h"
#include "shell/frmMain.h"
#include "sound/PlayWave.h"

#include "platform/Services.h"

#include <QCloseEvent>
#include <QScreen>
#include <QWindow>

namespace {

constexpr int kClientWidthTwips = 10500;
constexpr int kClientHeightTwips = 7710;

const QString kHelpText = QStringLiteral(
    "Click on the level you want to play. There are 3 levels, each with more blocks. This "
    "starts the game.\r\n\r\n"
    "Click on any block to see what image is hidden behind it. Click another block to see if "
    "it matches the first block. If the two blocks don't match, the images are hidden again. "
    "Continue this way until all images are visible.\r\n\r\n"
    "You score starts at 1000 and starts decreasing. The fewer moves to complete the game, the "
    "higher the score. Once the score reaches zero, the game is automatically over.");

} // namespace

void frmMain::Form_Load() {
    // Sounds play from the game state's folder; the first of them creates the state.
    setSoundFolder([] { return objGame->strSoundPath; });
    LoadHighScores(*this);
    centreOnScreen();
    PlayWaveAsync("bdrum.wav");
}

void frmMain::centreOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    m_centredOuterSize = outerSize();
    const QPoint origin = shell::centredPositionTwips(
        screen->geometry().size(), QSize(shell::pixelsToTwips(m_centredOuterSize.width()),
                                         shell::pixelsToTwips(m_centredOuterSize.height())));
    const QPoint topLeft = screen->geometry().topLeft() + QPoint(shell::twipsToPixels(origin.x()),
                                                                 shell::twipsToPixels(origin.y()));
    // Once framed, the window is placed by its frame through the window system,
    // which knows the frame; the widget's own idea of the frame may lag behind.
    if (m_framed)
        windowHandle()->setFramePosition(topLeft);
    else
        move(topLeft);
}

QSize frmMain::outerSize() const {
    // The client area plus the frame the window manager reports, which is none
    // until the window stands on screen.
    const QWindow* window = windowHandle();
    return window ? size().grownBy(window->frameMargins()) : size();
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_framed)
        windowHandle()->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // By the first expose the window manager has framed the window and told its
    // frame; the window is centred once more with its real outer size, and never
    // again: a move after this is the player's.
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        m_framed = true;
        if (outerSize() != m_centredOuterSize)
            centreOnScreen();
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::Form_Resize() {
    // A normal window keeps its size; minimised and maximised windows are left alone.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QSize client(shell::twipsToPixels(kClientWidthTwips),
                       shell::twipsToPixels(kClientHeightTwips));
    if (size() != client)
        resize(client);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing is never refused, whichever way it comes.
    event->accept();
    Form_Unload();
}

void frmMain::Form_Unload() {
    SaveHighScores(*this);
    ExitProgram();
}

void frmMain::cmdExit_Click() {
    PlayWave("Thankyou.wav");
    close();
}

void frmMain::cmdHelp_Click() {
    platform::services().messageBox->show(
        {kHelpText, QStringLiteral("Duvella Help"), platform::MessageBox::Buttons::Ok,
         platform::MessageBox::Button::Ok, platform::MessageBox::Icon::Information});
}

void frmMain::imgDefault_Click() {
    PlayWave("ugh.wav");
}

void frmMain::Label1_Click() {
    PlayWave("Horse.wav");
}

void frmMain::lblCurrentScore_Click() {
    PlayWave("ow.wav");
}

void frmMain::lblGen_Click(int /*index*/) {
    PlayWaveAsync("bird.wav");
}

void frmMain::Shape1_Click() {
    PlayWaveAsync("coyote.wav");
}
