#include "shell/Main.h"
#include "platform/SystemServices.h"
#include "platform/Termination.h"
#include "shell/Fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // First of all, before any library starts a thread or puts in handlers of its
    // own: SIGTERM, SIGINT and SIGHUP close the game as its close box does.
    platform::installTerminationSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    shell::installFontSubstitutes();
    platform::installSystemServices();

    Main();
    return QApplication::exec();
}
