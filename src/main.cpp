#include "shell/Main.h"
#include "platform/SystemServices.h"
#include "platform/Termination.h"
#include "shell/Fonts.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

// What Qt's platform plugins say while the application connects to the display.
// It is shown only when that fails, and then as the one line that says why.
QStringList g_displayMessages;
QtMessageHandler g_usualHandler = nullptr;

void holdDisplayMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // No platform plugin could open a display: a message and a plain exit,
        // not Qt's abort with its advice to reinstall.
        const QString why =
            g_displayMessages.isEmpty() ? text.section(u'\n', 0, 0) : g_displayMessages.front();
        std::fprintf(stderr, "duvella: no display to show the window on (%s)\n", qPrintable(why));
        std::_Exit(EXIT_FAILURE);
    }
    if (context.category != nullptr && QByteArrayView(context.category).startsWith("qt.qpa"))
        g_displayMessages << text;
    else
        g_usualHandler(type, context, text);
}

} // namespace

int main(int argc, char* argv[]) {
    // First of all, before any library starts a thread or puts in handlers of its
    // own: the termination signals close the game as its close box does.
    platform::installTerminationSignals();
    g_usualHandler = qInstallMessageHandler(holdDisplayMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_usualHandler);
    for (const QString& message : std::as_const(g_displayMessages))
        qWarning("%s", qPrintable(message));
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    shell::installFontSubstitutes();
    platform::installSystemServices();

    Main();
    return QApplication::exec();
}
