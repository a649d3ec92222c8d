#include "shell/Main.h"
#include "platform/SystemServices.h"
#include "shell/Fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // First, so that the sound device opens on its own thread while the window is built.
    platform::installSystemServices();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    shell::installFontSubstitutes();

    Main();
    return QApplication::exec();
}
