#include "shell/Main.h"
#include "platform/QtMessageBox.h"
#include "platform/SdlSoundOutput.h"
#include "platform/Services.h"
#include "platform/SystemClock.h"
#include "shell/Fonts.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
