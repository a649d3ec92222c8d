// The game's start-up exactly as the program does it, with the first-frame probe
// added: the process reports and ends right after the window's first frame.
#include "FirstFrameProbe.h"

#include "platform/SystemServices.h"
#include "shell/Fonts.h"
#include "shell/Main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFirstFrameProbe();
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    shell::installFontSubstitutes();
    platform::installSystemServices();

    Main();
    return QApplication::exec();
}
