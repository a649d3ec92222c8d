#include "shell/Main.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "platform/Services.h"
#include "platform/Termination.h"
#include "scores/HighScores.h"
#include "shell/frmMain.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

void Main() {
    pictures::frmImg.load();
    auto* window = new frmMain;
    WatchForTermination(*window);
    // The desktop session is ending: the table goes to disk now, in case the
    // process does not live to see its window closed. The game itself goes on.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, window,
                     [window](QSessionManager&) { SaveHighScores(*window); });
    window->Form_Load();
    window->show();
}

void ExitProgram() {
    objGame.release();
    platform::Services& services = platform::services();
    if (services.sound)
        services.sound->shutdown();
    if (services.endProcess)
        services.endProcess();
}

void WatchForTermination(frmMain& window) {
    if (platform::terminationFd() < 0)
        return;
    auto* notifier = new QSocketNotifier(platform::terminationFd(), QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [notifier] {
        // The pipe stays readable from now on; one close is all it takes.
        notifier->setEnabled(false);
        CloseOnTerminationRequest();
    });
}

void CloseOnTerminationRequest() {
    if (platform::terminationRequested())
        frmMain::instance().close();
}
