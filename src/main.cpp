#include "shell/Main.h"
#include "platform/SystemServices.h"
#include "shell/Fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    shell::installFontSubstitutes();
    platform::installSystemServices();

    Main();
    return QApplication::exec();
}
