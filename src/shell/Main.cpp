#include "shell/Main.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "platform/Services.h"
#include "platform/Termination.h"
#include "scores/HighScores.h"
#include "shell/frmMain.h"

#include <QGuiApplication>
#include <QSessionManager>

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
    platform::onTermination(window, [&window] { window.close(); });
}
