// The game's start-up exactly as the program does it, with the first-frame probe
// added: the process reports and ends right after the window's first frame.
#include "FirstFrameProbe.h"

#include "platform/QtMessageBox.h"
#include "platform/SdlSoundOutput.h"
#include "platform/Services.h"
#include "platform/SystemClock.h"
#include "shell/Fonts.h"
#include "shell/Main.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFirstFrameProbe();
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    shell::installFontSubstitutes();

    static platform::SdlSoundOutput sound;
    static platform::QtMessageBox messageBox;
    static platform::SystemClock clock;
    platform::Services& services = platform::services();
    services.sound = &sound;
    services.messageBox = &messageBox;
    services.clock = &clock;
    services.endProcess = [] {
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    };

    Main();
    return QApplication::exec();
}
